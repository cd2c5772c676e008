// POSIX body of the platform layer: terminal keys through termios, files
// through stat and rename, the retry/cancel prompt on the controlling terminal.
#include <dirent.h>
#include <fcntl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace platform {
namespace {

// The terminal settings to restore and those of key mode; written before
// the terminal is changed, read by the signal handlers (only
// async-signal-safe calls there).
struct termios savedTerminal;
struct termios keyModeTerminal;
volatile sig_atomic_t terminalChanged = 0;
int changedFd = -1;

void restoreTerminal() {
  if (terminalChanged) {
    tcsetattr(changedFd, TCSANOW, &savedTerminal);
    terminalChanged = 0;
  }
}

// Puts fd into non-canonical mode without echo and with CR kept as CR, so
// that Return reads as 13. Signals stay on: Ctrl-C still interrupts.
bool enterKeyMode(int fd) {
  struct termios raw;
  if (tcgetattr(fd, &savedTerminal) != 0) return false;
  raw = savedTerminal;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  keyModeTerminal = raw;
  changedFd = fd;
  terminalChanged = 1;
  if (tcsetattr(fd, TCSANOW, &raw) != 0) {
    terminalChanged = 0;
    return false;
  }
  return true;
}

// The files to remove on an interrupt: prepared before they are armed, read
// by the handler, which only calls unlink on them.
const int kArmedFiles = 2;
char interruptFiles[kArmedFiles][4096];
volatile sig_atomic_t interruptFileArmed[kArmedFiles] = {0, 0};
volatile sig_atomic_t interruptSeen = 0;
volatile sig_atomic_t progressLineIsOpen = 0;

// The signals that end the program, whose handler restores the terminal and
// removes the armed files first.
const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void cleanUpAndReraise(int signo) {
  interruptSeen = 1;
  restoreTerminal();
  if (progressLineIsOpen) {
    const ssize_t written = write(STDERR_FILENO, "\n", 1);
    (void)written;
  }
  for (int i = 0; i < kArmedFiles; ++i) {
    if (interruptFileArmed[i]) unlink(interruptFiles[i]);
  }
  signal(signo, SIG_DFL);
  raise(signo);
}

void stopWithTheTerminalRestored(int);

void installStopHandler() {
  struct sigaction handler {};
  handler.sa_handler = stopWithTheTerminalRestored;
  sigemptyset(&handler.sa_mask);
  sigaction(SIGTSTP, &handler, nullptr);
}

// Ctrl-Z: the shell gets the terminal as it gave it, the program stops, and
// once it is continued (SIGCONT) it takes the terminal into key mode again
// and goes on waiting for the key.
void stopWithTheTerminalRestored(int) {
  const int savedErrno = errno;
  const bool inKeyMode = terminalChanged != 0;
  restoreTerminal();
  signal(SIGTSTP, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  raise(SIGTSTP);  // the program stops here until it is continued
  installStopHandler();
  if (inKeyMode && tcsetattr(changedFd, TCSANOW, &keyModeTerminal) == 0) terminalChanged = 1;
  errno = savedErrno;
}

// Installs the handler for every ending signal, and for the stop of Ctrl-Z,
// that the program did not inherit as ignored (nohup): an ignored signal
// stays ignored. A file that grows past the file-size limit makes its write
// fail instead of ending the program, so that the ordinary path removes the
// temporary file.
void installCleanup() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction handler {};
  handler.sa_handler = cleanUpAndReraise;
  sigemptyset(&handler.sa_mask);
  for (int signo : kEndingSignals) {
    struct sigaction old {};
    sigaction(signo, nullptr, &old);
    if (old.sa_handler != SIG_IGN) sigaction(signo, &handler, nullptr);
  }
  struct sigaction oldStop {};
  sigaction(SIGTSTP, nullptr, &oldStop);
  if (oldStop.sa_handler != SIG_IGN) installStopHandler();
  signal(SIGXFSZ, SIG_IGN);
}

// Reads one byte from fd with the terminal in key mode. -1 when the read
// fails or finds no byte: on a terminal that is a hangup, not an answer.
int readKeyFrom(int fd) {
  installCleanup();
  const bool keyMode = enterKeyMode(fd);
  unsigned char byte = 0;
  ssize_t got;
  do {
    got = read(fd, &byte, 1);
  } while (got < 0 && errno == EINTR);
  if (keyMode) restoreTerminal();
  return got == 1 ? byte : -1;
}

}  // namespace

bool stdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

Result filesInFolder(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return Result::failed(std::strerror(errno));
  errno = 0;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  const int readError = errno;
  closedir(dir);
  if (readError != 0) {
    names.clear();
    return Result::failed(std::strerror(readError));
  }
  return Result::success();
}

bool stdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

bool stderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

int readConsoleKey() { return readKeyFrom(STDIN_FILENO); }

std::string fileIdentity(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0) {
    return "file " + std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
  }
  // Not there yet: the folder's identity and the name.
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  struct stat folderInfo;
  if (name != "." && name != ".." && stat(folder.c_str(), &folderInfo) == 0) {
    return "new " + std::to_string(folderInfo.st_dev) + ":" + std::to_string(folderInfo.st_ino) +
           "/" + name;
  }
  char* real = realpath(folder.c_str(), nullptr);
  const std::string canonical = real ? std::string(real) : folder;
  std::free(real);
  return "path " + canonical + "/" + name;
}

bool fileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

void useBinaryStandardOutput() {}

bool isDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool askRetryOrCancel(const char* caption, const char* message) {
  std::fprintf(stderr, "%s\n%s\n", caption, message);
  int tty = open("/dev/tty", O_RDWR | O_NOCTTY);
  if (tty < 0) {
    std::fprintf(stderr, "(no terminal to answer: cancel)\n");
    return false;
  }
  bool retry = false;
  for (;;) {
    const char* prompt = "r = retry, c = cancel? ";
    if (write(tty, prompt, std::strlen(prompt)) < 0) break;
    int key = readKeyFrom(tty);
    if (key < 0) key = 'c';
    if (write(tty, "\n", 1) < 0) break;
    if (key == 'r' || key == 'R') {
      retry = true;
      break;
    }
    if (key == 'c' || key == 'C' || key == kReturnKey) break;
  }
  close(tty);
  return retry;
}

void keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);  // the largest it takes
  mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
  mallopt(M_TOP_PAD, 256 * 1024 * 1024);
#endif
}

Result createNewFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) {
    return Result::failure(std::strerror(errno));
  }
  close(fd);
  return Result::success();
}

unsigned long processId() { return static_cast<unsigned long>(getpid()); }

bool removeOnInterrupt(const std::string& path) {
  installCleanup();
  if (path.size() >= sizeof interruptFiles[0]) return false;
  for (int i = 0; i < kArmedFiles; ++i) {
    if (interruptFileArmed[i]) continue;
    std::memcpy(interruptFiles[i], path.data(), path.size());
    interruptFiles[i][path.size()] = '\0';
    interruptFileArmed[i] = 1;
    return true;
  }
  return false;
}

void keepOnInterrupt(const std::string& path) {
  for (int i = 0; i < kArmedFiles; ++i) {
    if (interruptFileArmed[i] && path == interruptFiles[i]) interruptFileArmed[i] = 0;
  }
}

bool interruptRequested() { return interruptSeen != 0; }

void progressLineOpen(bool open) {
  installCleanup();
  progressLineIsOpen = open ? 1 : 0;
}

Result replaceFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return Result::success();
  return Result::failure(std::strerror(errno));
}

Result replaceFilesTogether(const std::vector<std::pair<std::string, std::string>>& moves,
                            std::size_t& moved) {
  // An interrupt waits until every file has its new content.
  sigset_t ending, before;
  sigemptyset(&ending);
  for (int signo : kEndingSignals) sigaddset(&ending, signo);
  sigprocmask(SIG_BLOCK, &ending, &before);
  Result result = Result::success();
  for (moved = 0; moved < moves.size() && result; ++moved) {
    result = replaceFile(moves[moved].first, moves[moved].second);
  }
  if (!result) --moved;
  sigprocmask(SIG_SETMASK, &before, nullptr);
  return result;
}

}  // namespace platform

// POSIX body of the platform layer: terminal keys through termios, files
// through stat and rename, the retry/cancel prompt on the controlling terminal.
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
#include <cstring>

#include "platform/platform.h"

namespace platform {
namespace {

// The terminal settings to restore; written before the terminal is changed,
// read by the signal handler (only async-signal-safe calls there).
const unsigned char kReturnKey = 13;  // what the console reads for Return

struct termios savedTerminal;
volatile sig_atomic_t terminalChanged = 0;
int changedFd = -1;

void restoreTerminal() {
  if (terminalChanged) {
    tcsetattr(changedFd, TCSANOW, &savedTerminal);
    terminalChanged = 0;
  }
}

void restoreAndReraise(int signo) {
  restoreTerminal();
  signal(signo, SIG_DFL);
  raise(signo);
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
  changedFd = fd;
  terminalChanged = 1;
  if (tcsetattr(fd, TCSANOW, &raw) != 0) {
    terminalChanged = 0;
    return false;
  }
  return true;
}

// Reads one byte from fd with the terminal in key mode; 13 at end of input.
int readKeyFrom(int fd) {
  struct sigaction handler {};
  struct sigaction oldInt {};
  struct sigaction oldTerm {};
  handler.sa_handler = restoreAndReraise;
  sigemptyset(&handler.sa_mask);
  sigaction(SIGINT, &handler, &oldInt);
  sigaction(SIGTERM, &handler, &oldTerm);

  const bool keyMode = enterKeyMode(fd);
  unsigned char byte = kReturnKey;
  ssize_t got;
  do {
    got = read(fd, &byte, 1);
  } while (got < 0 && errno == EINTR);
  if (got != 1) byte = kReturnKey;
  if (keyMode) restoreTerminal();

  sigaction(SIGINT, &oldInt, nullptr);
  sigaction(SIGTERM, &oldTerm, nullptr);
  return byte;
}

// The file to remove on an interrupt: prepared before it is armed, read by
// the handler, which only calls unlink on it.
char interruptFile[4096];
volatile sig_atomic_t interruptFileArmed = 0;
volatile sig_atomic_t interruptSeen = 0;

void removeFileAndReraise(int signo) {
  interruptSeen = 1;
  if (interruptFileArmed) unlink(interruptFile);
  signal(signo, SIG_DFL);
  raise(signo);
}

void installInterruptCleanup() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction handler {};
  handler.sa_handler = removeFileAndReraise;
  sigemptyset(&handler.sa_mask);
  for (int signo : {SIGINT, SIGTERM, SIGHUP}) sigaction(signo, &handler, nullptr);
}

}  // namespace

bool stdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool stderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

int readConsoleKey() { return readKeyFrom(STDIN_FILENO); }

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
    const int key = readKeyFrom(tty);
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

void removeOnInterrupt(const std::string& path) {
  installInterruptCleanup();
  interruptFileArmed = 0;
  const std::size_t length = std::min(path.size(), sizeof interruptFile - 1);
  std::memcpy(interruptFile, path.data(), length);
  interruptFile[length] = '\0';
  interruptFileArmed = length == path.size() ? 1 : 0;
}

void keepOnInterrupt() { interruptFileArmed = 0; }

bool interruptRequested() { return interruptSeen != 0; }

Result replaceFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return Result::success();
  return Result::failure(std::strerror(errno));
}

}  // namespace platform

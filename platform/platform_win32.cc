// Windows body of the platform layer: _getch for keys, GetFileAttributesA,
// MessageBoxA for the retry/cancel prompt, MoveFileExA to replace files.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/platform.h"

namespace platform {
namespace {

std::string lastErrorText() {
  char buffer[256] = {0};
  const DWORD code = GetLastError();
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, buffer, sizeof buffer, nullptr);
  std::string text(buffer, length);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) {
    text.pop_back();
  }
  return text.empty() ? "error " + std::to_string(code) : text;
}

// The console's control handler runs on a thread of its own while the main
// thread may still hold the files open, so it cannot remove them itself: it
// asks (interruptSeen), and waits until the writer has removed its files and
// disarmed them, before it lets the program end.
const int kArmedFiles = 2;
char interruptFiles[kArmedFiles][4096];
volatile LONG interruptFileArmed[kArmedFiles] = {0, 0};
volatile LONG interruptSeen = 0;

bool anyArmed() {
  for (int i = 0; i < kArmedFiles; ++i) {
    if (InterlockedCompareExchange(&interruptFileArmed[i], 0, 0) != 0) return true;
  }
  return false;
}

BOOL WINAPI askWriterToStop(DWORD) {
  if (!anyArmed()) return FALSE;
  InterlockedExchange(&interruptSeen, 1);
  for (int waited = 0; waited < 4000 && anyArmed(); waited += 10) Sleep(10);
  return FALSE;  // the default handler ends the program
}

volatile LONG progressLineIsOpen = 0;

// Ends an open progress line on Ctrl-C; the next handler, or the default
// one, then ends the program.
BOOL WINAPI endProgressLine(DWORD) {
  if (InterlockedCompareExchange(&progressLineIsOpen, 0, 0) != 0) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), "\n", 1, &written, nullptr);
  }
  return FALSE;
}

}  // namespace

bool stdinIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

Result filesInFolder(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  std::string pattern = folder.empty() ? "." : folder;
  if (pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return Result::failed(lastErrorText());
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  const Result listed = complete ? Result::success() : Result::failed(lastErrorText());
  FindClose(search);
  if (!complete) names.clear();
  return listed;
}

bool stdoutIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

bool stderrIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

int readConsoleKey() {
  // Arrow keys, Home, End and the function keys come as 0 or 0xE0 and a
  // second byte: neither is an answer.
  for (;;) {
    const int key = _getch() & 0xFF;
    if (key != 0 && key != 0xE0) return key;
    _getch();
  }
}

std::string fileIdentity(const std::string& path) {
  const HANDLE file =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (known) {
      return "file " + std::to_string(info.dwVolumeSerialNumber) + ":" +
             std::to_string(info.nFileIndexHigh) + ":" + std::to_string(info.nFileIndexLow);
    }
  }
  // Not there yet: the full path, in one case (the file system ignores case).
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  std::string text = length > 0 && length < sizeof full ? std::string(full, length) : path;
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/') c = '\\';
  }
  return "path " + text;
}

bool fileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void useBinaryStandardOutput() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

bool isDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isRegularFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
}

bool askRetryOrCancel(const char* caption, const char* message) {
  const int answer = MessageBoxA(nullptr, message, caption, MB_RETRYCANCEL | MB_ICONEXCLAMATION);
  return answer != IDCANCEL && answer != 0;
}

void keepFreedMemoryForReuse() {
  // The Windows heap keeps freed blocks for reuse by itself.
}

Result createNewFile(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return Result::failure(lastErrorText());
  }
  CloseHandle(file);
  return Result::success();
}

unsigned long processId() { return GetCurrentProcessId(); }

bool removeOnInterrupt(const std::string& path) {
  static const bool installed = SetConsoleCtrlHandler(askWriterToStop, TRUE) != 0;
  (void)installed;
  if (path.size() >= sizeof interruptFiles[0]) return false;
  for (int i = 0; i < kArmedFiles; ++i) {
    if (InterlockedCompareExchange(&interruptFileArmed[i], 0, 0) != 0) continue;
    path.copy(interruptFiles[i], path.size());
    interruptFiles[i][path.size()] = '\0';
    InterlockedExchange(&interruptFileArmed[i], 1);
    return true;
  }
  return false;
}

void keepOnInterrupt(const std::string& path) {
  for (int i = 0; i < kArmedFiles; ++i) {
    if (path == interruptFiles[i]) InterlockedExchange(&interruptFileArmed[i], 0);
  }
}

void progressLineOpen(bool open) {
  static const bool installed = SetConsoleCtrlHandler(endProgressLine, TRUE) != 0;
  (void)installed;
  InterlockedExchange(&progressLineIsOpen, open ? 1 : 0);
}

bool interruptRequested() { return InterlockedCompareExchange(&interruptSeen, 0, 0) != 0; }

Result replaceFile(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return Result::success();
  return Result::failure(lastErrorText());
}

// The control handler waits while the files are armed, so the moves finish
// before an interrupt ends the program.
Result replaceFilesTogether(const std::vector<std::pair<std::string, std::string>>& moves,
                            std::size_t& moved) {
  Result result = Result::success();
  for (moved = 0; moved < moves.size() && result; ++moved) {
    result = replaceFile(moves[moved].first, moves[moved].second);
  }
  if (!result) --moved;
  return result;
}

}  // namespace platform

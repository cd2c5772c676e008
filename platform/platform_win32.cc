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
// thread may still hold the file open, so it cannot remove the file itself:
// it asks (interruptSeen), and waits until the writer has removed its file
// and disarmed, before it lets the program end.
char interruptFile[4096];
volatile LONG interruptFileArmed = 0;
volatile LONG interruptSeen = 0;

BOOL WINAPI askWriterToStop(DWORD) {
  if (InterlockedCompareExchange(&interruptFileArmed, 0, 0) == 0) return FALSE;
  InterlockedExchange(&interruptSeen, 1);
  for (int waited = 0; waited < 4000 && InterlockedCompareExchange(&interruptFileArmed, 0, 0);
       waited += 10) {
    Sleep(10);
  }
  return FALSE;  // the default handler ends the program
}

}  // namespace

bool stdinIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool stderrIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

int readConsoleKey() { return _getch() & 0xFF; }

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

void removeOnInterrupt(const std::string& path) {
  static const bool installed = SetConsoleCtrlHandler(askWriterToStop, TRUE) != 0;
  (void)installed;
  InterlockedExchange(&interruptFileArmed, 0);
  if (path.size() >= sizeof interruptFile) return;
  path.copy(interruptFile, path.size());
  interruptFile[path.size()] = '\0';
  InterlockedExchange(&interruptFileArmed, 1);
}

void keepOnInterrupt() { InterlockedExchange(&interruptFileArmed, 0); }

bool interruptRequested() { return InterlockedCompareExchange(&interruptSeen, 0, 0) != 0; }

Result replaceFile(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return Result::success();
  return Result::failure(lastErrorText());
}

}  // namespace platform

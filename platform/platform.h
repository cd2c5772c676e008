// The few operating-system services the program needs, behind one header:
// one body for POSIX (platform_posix.cc) and one for Windows (platform_win32.cc).
// Nothing outside this folder includes an operating-system header.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/result.h"

namespace platform {

// True when standard input is an interactive console (a terminal), so that
// keys can be read one by one without echo.
bool stdinIsTerminal();

// The names of the entries of a folder ("" is the current one), without
// "." and "..", in no order; the system's reason when it cannot be read
// (names is then empty).
Result filesInFolder(const std::string& folder, std::vector<std::string>& names);

// True when standard output is a terminal (a console window).
bool stdoutIsTerminal();

// True when standard error is a terminal, where progress may be shown.
bool stderrIsTerminal();

// The code that a key read gives for Return.
const int kReturnKey = 13;

// Waits for one key on the console and returns its code without echoing it;
// Return gives kReturnKey, and -1 means that the console gave no key (it is gone: a
// hangup). Only meaningful when stdinIsTerminal() is true. The terminal is
// left as it was found, also when the program is interrupted.
int readConsoleKey();

// What names one file whatever the path that leads to it: its device and
// inode (its volume and file index on Windows); for a file that does not
// exist yet, its folder's identity and its name. Two paths with one identity
// name one file.
std::string fileIdentity(const std::string& path);

// True when the path names anything that exists, directories included.
bool fileExists(const std::string& path);

// Shows message under caption and offers Retry and Cancel. True for Retry.
// Without anybody to ask, the answer is Cancel.
bool askRetryOrCancel(const char* caption, const char* message);

// Moves the file `from` over `to`, replacing `to` if it exists; the
// system's reason when it cannot.
Result replaceFile(const std::string& from, const std::string& to);

// Moves every file to its new name with no interrupt in between. On a
// failure the moves stop there; moved says how many were made.
Result replaceFilesTogether(const std::vector<std::pair<std::string, std::string>>& moves,
                            std::size_t& moved);

// Creates path as a new, empty file; fails with the system's reason when
// something of that name exists or the file cannot be made.
Result createNewFile(const std::string& path);

// The number of this process, to give names that no other process uses.
unsigned long processId();

// While armed, an interrupt (Ctrl-C, Ctrl-\\, SIGTERM or SIGHUP on POSIX,
// unless the program was started with it ignored; Ctrl-C, Ctrl-Break or
// closing the console window on Windows) removes the file at path before the
// program ends as it would have ended anyway. Two files may be armed at
// once; false when no slot is free or the path is too long.
bool removeOnInterrupt(const std::string& path);
// Disarms removeOnInterrupt for path; the file is no longer touched.
void keepOnInterrupt(const std::string& path);
// True once an interrupt asked the program to end while a file was armed.
// Long writes check it: on Windows the interrupt only asks, and the writer
// removes its file itself before the program ends.
bool interruptRequested();

// While open, an ending signal (as for removeOnInterrupt) first writes a line
// end to standard error, so that a progress line that the program keeps
// rewriting with a carriage return does not run into the shell's prompt.
void progressLineOpen(bool open);

// Makes standard output write bytes as they are: on Windows it would turn
// every line feed into CR LF, which breaks output that carries its own CR LF
// (CSV). Nothing to do on POSIX.
void useBinaryStandardOutput();

// True when path names a directory.
bool isDirectory(const std::string& path);

// True when path names a regular file (not a directory or a device).
bool isRegularFile(const std::string& path);

// Asks the C library to keep freed memory for the next allocation instead of
// returning it to the system at once. Each round of the program builds and
// drops lists of the same sizes; handing such memory back and faulting it in
// again took a third of the time of a run on a 10^6-plate section.
void keepFreedMemoryForReuse();

}  // namespace platform

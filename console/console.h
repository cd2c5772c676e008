// The keyboard and standard input of the dialogue: single keys without echo,
// one-token answers echoed key by key, and numeric reads of standard input.
//
// On a terminal, keys are read from the console directly while numbers go
// through the line-buffered standard input stream. From a pipe or a file,
// keys and numbers share that one stream, so that a script can answer every
// question: a line feed (or CR LF) is Return, the end of input is Return, and
// a key read right after a token read first drops the blanks and the line
// feed left on the token's line.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>

#include "archive/numbers.h"
#include "platform/platform.h"

// The input can give no more answers: the terminal is gone (a hangup; keys
// are read raw there, so nobody types an end of input), or the input gave
// kMostBytesPerAnswer bytes without completing one. runGuarded ends the run
// with its message.
class InputGone : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An answer holds at most this many keys; a longer one is shown as its first
// kShownKeys keys and "…", which no check takes.
const std::size_t kMostAnswerKeys = 1000;
const std::size_t kShownKeys = 20;
const long kMostBytesPerAnswer = 100000;

class Console {
 public:
  // keysFromTerminal: keys come from the platform's console, not from `in`.
  Console(std::istream& in, std::ostream& out, bool keysFromTerminal);

  // The process's console: std::cin and std::cout.
  static Console& standard();

  // One key, not echoed; Return gives kReturnKey. Throws InputGone.
  int readKey();
  // The key that ends a wait ("Press key..."); a terminal that is gone
  // ends the wait as well.
  void awaitKey();
  // One answer token, each key echoed as typed; Return, blank or tab ends it.
  // Backspace and Delete take back the last key of the answer (echoed as
  // backspace, blank, backspace), and do nothing on an empty answer. NUL
  // bytes are not keys. Throws InputGone.
  std::string readAnswer();
  // The next token of standard input: the characters up to a blank, tab or
  // line end, after leading white space and line breaks. False at the end of
  // input, and at every read after that.
  bool readToken(std::string& token);
  // Drops what is left of the current line of standard input, so that the
  // next token is typed afresh.
  void dropRestOfLine();

  std::ostream& out() { return out_; }
  // True once a key read from standard input (not a terminal) met its end.
  bool keysEnded() const { return keysEnded_; }

 private:
  void dropRestOfTokenLine();
  int nextByte();     // counts toward kMostBytesPerAnswer
  int terminalKey();  // the same for a key of the terminal

  std::istream& in_;
  std::ostream& out_;
  bool keysFromTerminal_;
  bool afterToken_ = false;
  bool tokensEnded_ = false;  // a token read met the end of standard input
  long bytesThisAnswer_ = 0;
  bool keysEnded_ = false;  // a key read met the end of standard input
};

// The standard console's wait for a key, at the end of the program.
void awaitKey();

// Keys with a meaning of their own; Return is the platform's.
using platform::kReturnKey;
const int kBackspaceKey = 8;
const int kDeleteKey = 127;
const int kEscapeKey = 27;

// Console lines are flushed at once, so that each is visible before the next
// key is awaited. A write to standard output that fails is remembered with
// the system's reason, for runGuarded.
void writeLine(std::ostream& out, const std::string& line);
void writeText(std::ostream& out, const std::string& text);

// Runs a program's body and returns its exit code. The checked list's index
// error, raised only when the user cancels its message, and InputGone end
// the program with one line on standard error and exit code 1. Standard
// output is flushed at the end: a write there that failed and that the body
// did not say ("PROGRAM: standard output could not be written: No space left
// on device.") makes the exit code at least 1.
int runGuarded(const char* program, int (*body)(int, char**), int argc, char** argv);

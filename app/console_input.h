// The keyboard and standard input of the dialogue: single keys without echo,
// one-token answers echoed key by key, and numeric reads of standard input.
//
// On a terminal, keys are read from the console directly while numbers go
// through the line-buffered standard input stream. From a pipe or a file,
// keys and numbers share that one stream, so that a script can answer every
// question: a line feed (or CR LF) is Return, the end of input is Return, and
// a key read right after a numeric read first drops the blanks and the line
// feed left on the number's line.
#pragma once

#include <iosfwd>
#include <string>

#include "archive/numbers.h"

class Console {
 public:
  // keysFromTerminal: keys come from the platform's console, not from `in`.
  Console(std::istream& in, std::ostream& out, bool keysFromTerminal);

  // The process's console: std::cin and std::cout.
  static Console& standard();

  // One key, not echoed; Return gives 13.
  int readKey();
  // One answer token, each key echoed as typed; Return, blank or tab ends it.
  std::string readAnswer();
  // A number from standard input. Leading white space and line breaks are
  // skipped. When no number can be read, target keeps its value, and every
  // later numeric read fails the same way.
  bool readNumber(double& target);
  bool readNumber(int& target);

  std::ostream& out() { return out_; }

 private:
  bool readNumberText(bool real, std::string& text);
  void dropRestOfNumberLine();

  std::istream& in_;
  std::ostream& out_;
  bool keysFromTerminal_;
  bool afterNumber_ = false;
  bool numbersFailed_ = false;
};

// The standard console's key read, for the waits at the end of the program.
int readKey();

// Console lines are flushed at once, so that each is visible before the next
// key is awaited.
void writeLine(std::ostream& out, const std::string& line);
void writeText(std::ostream& out, const std::string& text);

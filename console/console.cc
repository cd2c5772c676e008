#include "console/console.h"

#include <iostream>
#include <stdexcept>

#include "platform/platform.h"

namespace {

bool endsAnswer(int key) { return key == kReturnKey || key == ' ' || key == '\t'; }
bool takesBackAKey(int key) { return key == kBackspaceKey || key == kDeleteKey; }
bool endsToken(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

Console::Console(std::istream& in, std::ostream& out, bool keysFromTerminal)
    : in_(in), out_(out), keysFromTerminal_(keysFromTerminal) {}

Console& Console::standard() {
  static Console console(std::cin, std::cout, platform::stdinIsTerminal());
  return console;
}

int readKey() { return Console::standard().readKey(); }

void writeLine(std::ostream& out, const std::string& line) { out << line << '\n' << std::flush; }
void writeText(std::ostream& out, const std::string& text) { out << text << std::flush; }

void Console::dropRestOfTokenLine() {
  std::streambuf* buffer = in_.rdbuf();
  int c = buffer->sgetc();
  while (c == ' ' || c == '\t') c = buffer->snextc();
  if (c == '\r') c = buffer->snextc();
  if (c == '\n') buffer->sbumpc();
}

int Console::readKey() {
  if (keysFromTerminal_) {
    // A line feed is Return too: the terminal sends one for a Return typed
    // in the moment between two key reads, when it is in line mode.
    const int key = platform::readConsoleKey();
    return key == '\n' ? kReturnKey : key;
  }
  if (afterToken_) {
    afterToken_ = false;
    dropRestOfTokenLine();
  }
  std::streambuf* buffer = in_.rdbuf();
  using Traits = std::streambuf::traits_type;
  const int c = buffer->sbumpc();
  if (c == Traits::eof() || c == '\n') return kReturnKey;
  if (c == '\r') {
    if (buffer->sgetc() == '\n') buffer->sbumpc();
    return kReturnKey;
  }
  return static_cast<unsigned char>(Traits::to_char_type(c));
}

std::string Console::readAnswer() {
  std::string answer;
  for (;;) {
    const int key = readKey();
    if (takesBackAKey(key)) {
      if (!answer.empty()) {
        answer.pop_back();
        out_ << "\b \b" << std::flush;
      }
      continue;
    }
    out_ << static_cast<char>(key) << std::flush;
    if (endsAnswer(key)) return answer;
    answer += static_cast<char>(key);
  }
}

bool Console::readToken(std::string& token) {
  token.clear();
  if (inputEnded_) return false;
  std::streambuf* buffer = in_.rdbuf();
  using Traits = std::streambuf::traits_type;
  int c = buffer->sgetc();
  while (c != Traits::eof() && isBlankSpace(Traits::to_char_type(c))) c = buffer->snextc();
  while (c != Traits::eof() && !endsToken(c)) {
    token += Traits::to_char_type(c);
    c = buffer->snextc();
  }
  if (token.empty()) {
    inputEnded_ = true;
    return false;
  }
  afterToken_ = true;
  return true;
}

void Console::dropRestOfLine() {
  afterToken_ = false;
  std::streambuf* buffer = in_.rdbuf();
  using Traits = std::streambuf::traits_type;
  int c = buffer->sgetc();
  while (c != Traits::eof() && c != '\n') c = buffer->snextc();
  if (c == '\n') buffer->sbumpc();
}

int runGuarded(const char* program, int (*body)(int, char**), int argc, char** argv) {
  try {
    return body(argc, argv);
  } catch (const std::out_of_range&) {
    std::cerr << program << " stopped on an internal index error; no further file was saved.\n";
    return 1;
  }
}

#include "app/console_input.h"

#include <iostream>

#include "platform/platform.h"

namespace {

const int kReturn = 13;

bool endsAnswer(int key) { return key == kReturn || key == ' ' || key == '\t'; }

// Follows the characters of a number as they arrive, so that a numeric read
// takes no character that cannot belong to the number ("2-3" leaves "-3").
class NumberTextGrammar {
 public:
  explicit NumberTextGrammar(bool real) : real_(real) {}

  bool accepts(char c) {
    const bool digit = c >= '0' && c <= '9';
    const bool signAllowed = length_ == 0 || (previous_ == 'e' || previous_ == 'E');
    bool ok = digit || ((c == '+' || c == '-') && signAllowed);
    if (real_ && c == '.' && !point_ && !exponent_) ok = point_ = true;
    if (real_ && (c == 'e' || c == 'E') && digitSeen_ && !exponent_) ok = exponent_ = true;
    if (ok) {
      digitSeen_ = digitSeen_ || digit;
      previous_ = c;
      ++length_;
    }
    return ok;
  }

 private:
  bool real_;
  bool point_ = false;
  bool exponent_ = false;
  bool digitSeen_ = false;
  char previous_ = 0;
  int length_ = 0;
};

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

void Console::dropRestOfNumberLine() {
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
    return key == '\n' ? kReturn : key;
  }
  if (afterNumber_) {
    afterNumber_ = false;
    dropRestOfNumberLine();
  }
  std::streambuf* buffer = in_.rdbuf();
  using Traits = std::streambuf::traits_type;
  const int c = buffer->sbumpc();
  if (c == Traits::eof() || c == '\n') return kReturn;
  if (c == '\r') {
    if (buffer->sgetc() == '\n') buffer->sbumpc();
    return kReturn;
  }
  return static_cast<unsigned char>(Traits::to_char_type(c));
}

std::string Console::readAnswer() {
  std::string answer;
  for (;;) {
    const int key = readKey();
    out_ << static_cast<char>(key) << std::flush;
    if (endsAnswer(key)) return answer;
    answer += static_cast<char>(key);
  }
}

bool Console::readNumberText(bool real, std::string& text) {
  if (numbersFailed_) return false;
  std::streambuf* buffer = in_.rdbuf();
  using Traits = std::streambuf::traits_type;
  int c = buffer->sgetc();
  while (c != Traits::eof() && isBlankSpace(Traits::to_char_type(c))) c = buffer->snextc();
  NumberTextGrammar grammar(real);
  while (c != Traits::eof() && grammar.accepts(Traits::to_char_type(c))) {
    text += Traits::to_char_type(c);
    c = buffer->snextc();
  }
  afterNumber_ = true;
  return true;
}

bool Console::readNumber(double& target) {
  std::string text;
  if (!readNumberText(true, text) || scanDouble(text, target) == 0) {
    numbersFailed_ = true;
    return false;
  }
  return true;
}

bool Console::readNumber(int& target) {
  std::string text;
  if (!readNumberText(false, text) || scanInt(text, target) == 0) {
    numbersFailed_ = true;
    return false;
  }
  return true;
}

#include "console/console.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
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

void awaitKey() { Console::standard().awaitKey(); }

namespace {

// An answer or token longer than the most keys is shown shortened.
std::string shortened(std::string text) {
  if (text.size() <= kMostAnswerKeys) return text;
  return text.substr(0, kShownKeys) + "\xE2\x80\xA6";  // "…"
}

}  // namespace

namespace {

// The first write to standard output that failed, with the system's reason
// at that moment (a later call may change errno).
std::string standardOutputFailure;

void noteStandardOutput(const std::ostream& out) {
  if (&out != &std::cout || out || !standardOutputFailure.empty()) return;
  standardOutputFailure = errno != 0 ? std::strerror(errno) : "the write failed";
}

}  // namespace

void writeLine(std::ostream& out, const std::string& line) {
  errno = 0;
  out << line << '\n' << std::flush;
  noteStandardOutput(out);
}

void writeText(std::ostream& out, const std::string& text) {
  errno = 0;
  out << text << std::flush;
  noteStandardOutput(out);
}

void Console::dropRestOfTokenLine() {
  std::streambuf* buffer = in_.rdbuf();
  int c = buffer->sgetc();
  while (c == ' ' || c == '\t') c = buffer->snextc();
  if (c == '\r') c = buffer->snextc();
  if (c == '\n') buffer->sbumpc();
}

int Console::nextByte() {
  if (++bytesThisAnswer_ > kMostBytesPerAnswer) {
    throw InputGone("standard input gave " + std::to_string(kMostBytesPerAnswer) +
                    " bytes without an answer; the run ends here.");
  }
  return in_.rdbuf()->sbumpc();
}

void Console::awaitKey() {
  try {
    readKey();
  } catch (const InputGone&) {
    // Nothing is left to do: the wait is over either way.
  }
}

int Console::terminalKey() {
  const int key = platform::readConsoleKey();
  if (key < 0) throw InputGone("the terminal is gone; the run ends here.");
  if (++bytesThisAnswer_ > kMostBytesPerAnswer) {
    throw InputGone("the terminal gave " + std::to_string(kMostBytesPerAnswer) +
                    " keys without an answer; the run ends here.");
  }
  return key;
}

int Console::readKey() {
  if (keysFromTerminal_) {
    int key = terminalKey();
    // Arrow keys, Home, End and the like send ESC [ ... final byte (or ESC O
    // and one byte): they are not answers and are dropped without echo.
    while (key == kEscapeKey) {
      const int next = terminalKey();
      if (next == '[') {
        int byte = terminalKey();
        while (byte < 0x40 || byte > 0x7e) byte = terminalKey();
      } else if (next == 'O') {
        terminalKey();
      }
      key = terminalKey();
    }
    // A line feed is Return too: the terminal sends one for a Return typed
    // in the moment between two key reads, when it is in line mode.
    return key == '\n' ? kReturnKey : key;
  }
  if (afterToken_) {
    afterToken_ = false;
    dropRestOfTokenLine();
  }
  std::streambuf* buffer = in_.rdbuf();
  using Traits = std::streambuf::traits_type;
  const int c = nextByte();
  if (c == Traits::eof()) keysEnded_ = true;
  if (c == Traits::eof() || c == '\n') return kReturnKey;
  if (c == '\r') {
    if (buffer->sgetc() == '\n') buffer->sbumpc();
    return kReturnKey;
  }
  return static_cast<unsigned char>(Traits::to_char_type(c));
}

std::string Console::readAnswer() {
  std::string answer;
  bytesThisAnswer_ = 0;
  for (;;) {
    const int key = readKey();
    if (key == 0) continue;
    if (takesBackAKey(key)) {
      if (!answer.empty()) {
        answer.pop_back();
        out_ << "\b \b" << std::flush;
      }
      continue;
    }
    out_ << static_cast<char>(key) << std::flush;
    if (endsAnswer(key)) return shortened(answer);
    if (answer.size() <= kMostAnswerKeys) answer += static_cast<char>(key);
  }
}

bool Console::readToken(std::string& token) {
  token.clear();
  if (tokensEnded_) return false;
  std::streambuf* buffer = in_.rdbuf();
  using Traits = std::streambuf::traits_type;
  bytesThisAnswer_ = 0;
  // NUL bytes are not keys: they are passed over like blanks.
  auto passedOver = [](int c) { return c == 0 || isBlankSpace(Traits::to_char_type(c)); };
  int c = buffer->sgetc();
  while (c != Traits::eof() && passedOver(c)) {
    nextByte();
    c = buffer->sgetc();
  }
  while (c != Traits::eof() && !endsToken(c)) {
    if (c != 0 && token.size() <= kMostAnswerKeys) token += Traits::to_char_type(c);
    nextByte();
    c = buffer->sgetc();
  }
  token = shortened(token);
  if (token.empty()) {
    tokensEnded_ = true;
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
  while (c != Traits::eof() && c != '\n') {
    nextByte();
    c = buffer->sgetc();
  }
  if (c == '\n') nextByte();
}

namespace {

// Flushes standard output: a write there that failed (a full disk) and was
// not said yet is one line on standard error, and the run did not do all
// it was asked (exit code 1 at least).
int checkedStandardOutput(const char* program, int exitCode) {
  errno = 0;
  std::cout.flush();
  noteStandardOutput(std::cout);
  if (std::cout) return exitCode;
  std::cerr << program << ": standard output could not be written: " << standardOutputFailure
            << ".\n"
            << std::flush;
  return std::max(exitCode, 1);
}

}  // namespace

int runGuarded(const char* program, int (*body)(int, char**), int argc, char** argv) {
  try {
    return checkedStandardOutput(program, body(argc, argv));
  } catch (const InputGone& gone) {
    std::cout << std::flush;
    std::cerr << program << ": " << gone.what() << '\n';
    return 1;
  } catch (const std::out_of_range&) {
    // Raised only when the user cancels the index message of a section list.
    std::cerr << program << " stopped on an internal index error; no further file was saved.\n";
    return 1;
  }
}

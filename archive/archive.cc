#include "archive/archive.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/numbers.h"
#include "platform/platform.h"

namespace {

// Writing a list whose count disagrees with its length is a broken invariant
// of the program, never a matter of input: stop at once.
void assertCountMatches(bool holds) {
  if (holds) return;
  std::fprintf(stderr, "Assertion failed: n == v.size(), file archive.cc\n");
  std::abort();
}

std::string_view withoutTrailingCarriageReturns(std::string_view line) {
  while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

constexpr std::size_t kWriteChunk = 1 << 20;

}  // namespace

Archive::Archive(const std::string& fileName, Direction direction)
    : storing_(direction == Direction::Write) {
  if (storing_) {
    out_.open(fileName, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!out_) fail(std::string("cannot create the file: ") + std::strerror(errno));
    return;
  }
  std::ifstream in(fileName, std::ios::in | std::ios::binary);
  if (!in) {
    fail(std::string("cannot open the file: ") + std::strerror(errno));
    return;
  }
  // Read whole: labels are then found and numbers parsed without stream calls.
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size > 0) {
    bytes_.reset(new char[static_cast<std::size_t>(size)]);
    in.read(bytes_.get(), size);
    data_ = std::string_view(bytes_.get(), static_cast<std::size_t>(size));
  }
  if (!in) fail("cannot read the file");
}

void Archive::fail(const std::string& reason) {
  if (failure_.empty()) failure_ = reason.empty() ? "unknown failure" : reason;
}

// ---- writing ----

void Archive::write(std::string_view text) {
  pending_.append(text);
  if (pending_.size() >= kWriteChunk) flushPending();
}

void Archive::writeLineEnd() { write("\n"); }

void Archive::flushPending() {
  if (platform::interruptRequested()) fail("the program was interrupted");
  if (!pending_.empty() && good()) {
    out_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
    if (!out_) fail(std::string("writing failed: ") + std::strerror(errno));
  }
  pending_.clear();
}

Result Archive::close() {
  if (storing_) {
    flushPending();
    if (out_.is_open()) {
      out_.close();
      if (!out_) fail(std::string("closing the file failed: ") + std::strerror(errno));
    }
  }
  return good() ? Result::success() : Result::failure(failure_);
}

// ---- reading ----

std::string_view Archive::takeLine() {
  const std::size_t end = data_.find('\n', position_);
  const std::size_t stop = end == std::string_view::npos ? data_.size() : end;
  std::string_view line(data_.data() + position_, stop - position_);
  position_ = end == std::string_view::npos ? data_.size() : end + 1;
  return withoutTrailingCarriageReturns(line);
}

std::string Archive::readLine() {
  if (storing_ || !good() || atEnd()) return std::string();
  return std::string(takeLine());
}

void Archive::skipBlankSpace() {
  while (position_ < data_.size() && isBlankSpace(data_[position_])) ++position_;
}

void Archive::missing(const char* noun) {
  const std::string article = noun[0] == 'i' ? "an " : "a ";
  fail((atEnd() ? "the file ends where " + article + noun + " is expected"
                : "no " + std::string(noun) + " where one is expected") +
       " after \"" + block_ + "\"");
}

bool Archive::findLabelFromTop(const std::string& label) {
  // Every label of a section file begins with '*'; only such lines are indexed.
  if (label.empty() || label[0] != '*') return false;
  if (!indexed_) {
    indexed_ = true;
    std::size_t at = searchStart_;
    while (at < data_.size()) {
      const std::size_t end = data_.find('\n', at);
      const std::size_t stop = end == std::string_view::npos ? data_.size() : end;
      const std::string_view line =
          withoutTrailingCarriageReturns(std::string_view(data_.data() + at, stop - at));
      at = end == std::string_view::npos ? data_.size() : end + 1;
      if (!line.empty() && line[0] == '*') lineIndex_.emplace(line, at);  // keeps the first
    }
  }
  const auto found = lineIndex_.find(label);
  if (found == lineIndex_.end()) return false;
  position_ = found->second;
  return true;
}

// ---- items, both directions ----

void Archive::lineItem(std::string& text) {
  if (storing_) {
    write(text);
    writeLineEnd();
  } else if (good()) {
    text = readLine();
  }
}

void Archive::labelLine(const std::string& label) {
  if (storing_) {
    write(label);
    writeLineEnd();
    return;
  }
  if (!good()) return;
  block_ = label;
  if (!searchStartSet_) {
    searchStartSet_ = true;
    searchStart_ = position_;
  }
  if (!atEnd() && takeLine() == label) return;
  if (!findLabelFromTop(label)) fail("the label \"" + label + "\" is missing");
}

void Archive::intItem(int& value) {
  if (storing_) {
    char text[16];
    char* end = std::to_chars(text, text + sizeof text - 1, value).ptr;
    *end++ = ' ';
    write(std::string_view(text, static_cast<std::size_t>(end - text)));
    return;
  }
  if (!good()) return;
  skipBlankSpace();
  const std::size_t used = scanInt(data_.substr(position_), value);
  if (used == 0) return missing("integer");
  position_ += used;
}

void Archive::realItem(double& value, int digits) {
  if (storing_) {
    char text[40];
    char* end = formatReal(value, digits, text);
    *end++ = ' ';
    write(std::string_view(text, static_cast<std::size_t>(end - text)));
    return;
  }
  if (!good()) return;
  skipBlankSpace();
  const std::size_t used = scanDouble(data_.substr(position_), value);
  if (used == 0) return missing("number");
  position_ += used;
}

void Archive::wordItem(std::string& word) {
  if (storing_) {
    write(word);
    write(" ");
    return;
  }
  if (!good()) return;
  skipBlankSpace();
  const std::size_t start = position_;
  while (position_ < data_.size() && !isBlankSpace(data_[position_])) ++position_;
  if (position_ == start) return missing("word");
  word.assign(data_.substr(start, position_ - start));
}

// Reads n entries into v, which ends with n entries; those after a failed
// read keep 0.
template <typename T>
void Archive::readEntries(const char* count, int n, CheckedVector<T>& v) {
  v.clear();
  v.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n && good(); ++i) {
    T value{};
    if (entryFollows(count, n)) item(value);
    v.push_back(value);
  }
  v.resize(static_cast<std::size_t>(n), T{});
  if (n > 0) checkListEnd(count, n);
}

namespace {

// "the list of ns = 4 entries after "*** L ***"", for the messages.
std::string listText(const char* count, int n, const std::string& label) {
  return "the list of " + std::string(count) + " = " + std::to_string(n) + " entries after \"" +
         label + "\"";
}

// A text shown in a message: its first characters, without trailing blanks.
std::string excerpt(std::string_view text, std::size_t most) {
  while (!text.empty() && isBlankSpace(text.back())) text.remove_suffix(1);
  return text.size() <= most ? std::string(text) : std::string(text.substr(0, most)) + "...";
}

}  // namespace

// A list that has read up to a label has run past its own numbers: its count
// is larger than the file's list.
bool Archive::entryFollows(const char* count, int n) {
  skipBlankSpace();
  if (atEnd() || data_[position_] != '*') return true;
  const std::size_t end = data_.find('\n', position_);
  const std::string_view rest = data_.substr(
      position_, end == std::string_view::npos ? std::string_view::npos : end - position_);
  fail(listText(count, n, block_) + " runs into the label \"" + excerpt(rest, 100) + "\"");
  return false;
}

// What stands after a list's last entry on its line must be blank: a
// number there belongs to no list, and means that the count is smaller
// than the file's list.
void Archive::checkListEnd(const char* count, int n) {
  if (!good()) return;
  std::size_t at = position_;
  while (at < data_.size() && data_[at] != '\n' && isBlankSpace(data_[at])) ++at;
  if (at >= data_.size() || data_[at] == '\n') return;
  const std::size_t end = data_.find('\n', at);
  const std::string_view rest =
      data_.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
  fail(listText(count, n, block_) + " does not end with its line (\"" + excerpt(rest, 20) +
       "\" follows)");
}

bool Archive::checkCount(const char* name, int n) {
  if (storing_ || !good()) return good();
  if (n < 0) {
    fail(std::string("the count ") + name + " is negative (" + std::to_string(n) + ")");
  } else if (static_cast<std::size_t>(n) > data_.size() / 2) {
    // Every entry takes at least a character and a separator.
    fail(std::string("the count ") + name + " = " + std::to_string(n) +
         " is larger than the file can hold");
  }
  return good();
}

void Archive::intList(const char* count, int n, IntList& v) {
  if (storing_) {
    assertCountMatches(n >= 0 && static_cast<std::size_t>(n) == v.size());
    for (int& entry : v) intItem(entry);
    writeLineEnd();
    return;
  }
  if (!checkCount(count, n)) return;
  readEntries(count, n, v);
}

void Archive::realList(const char* count, int n, RealList& v) {
  if (storing_) {
    assertCountMatches(n >= 0 && static_cast<std::size_t>(n) == v.size());
    for (double& entry : v) realItem(entry);
    writeLineEnd();
    return;
  }
  if (!checkCount(count, n)) return;
  readEntries(count, n, v);
}

void Archive::textList(TextList& v) {
  if (storing_) {
    write(std::to_string(v.size()));
    writeLineEnd();
    for (std::string& entry : v) {
      wordItem(entry);
      writeLineEnd();
    }
    return;
  }
  int n = 0;
  intItem(n);
  if (!checkCount("of the explanation lines", n)) return;
  v.resize(static_cast<std::size_t>(n));
  readLine();  // the rest of the count line
  // Each entry is a whole line: an entry may hold several words. The writer
  // puts one blank after each entry; that blank is not part of it.
  for (int i = 0; i < n && good(); ++i) {
    if (atEnd()) return fail("the explanation holds fewer lines than its count");
    std::string line = readLine();
    if (!line.empty() && line.back() == ' ') line.pop_back();
    v[i] = std::move(line);
  }
}

void Archive::endLine() {
  if (storing_) {
    writeLineEnd();
  } else if (good()) {
    readLine();
  }
}

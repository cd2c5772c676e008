// Archive: the two-way, line-oriented text serialisation of section files.
// One archive is opened either for writing or for reading, and the same
// sequence of item calls then writes the data or reads it back.
//
// Writing is exact: every number or word is followed by one blank, every line
// ends with a single line feed. Reading is forgiving about what stands between
// items, because each label is searched for (first from the current line, then
// from the top of the file, where its first occurrence counts).
#pragma once

#include <cstddef>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "archive/checked_vector.h"
#include "archive/numbers.h"
#include "platform/result.h"

class Archive {
 public:
  enum class Direction { Read, Write };

  // Opens fileName for writing (an existing file is replaced) or reads it
  // whole for reading. A file that cannot be opened leaves the archive failed
  // from the start.
  Archive(const std::string& fileName, Direction direction);
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  // Reading: false once a read found nothing where it expected something.
  // Writing: false once a write to the file failed.
  bool good() const { return failure_.empty(); }
  const std::string& failure() const { return failure_; }
  // Makes the archive failed with reason, unless it already is.
  void fail(const std::string& reason);

  // Reading: the next line, or the rest of the current one; empty at the end
  // of the file and in a failed state.
  std::string readLine();
  void lineItem(std::string& text);
  void labelLine(const std::string& label);
  void intItem(int& value);
  // Writing: six significant digits, or digits (up to 17) where the caller
  // needs more. Reading: the number as it stands.
  void realItem(double& value, int digits = kFileDigits);
  void wordItem(std::string& word);
  // A list of n entries, named by its count ("ns"), on one line. Reading
  // takes the numbers across line ends (older files wrap long lists), but a
  // list ends with its line: numbers left on its last line, or a list that
  // runs into a label, fail the archive naming the count and the label.
  // Writing a list whose length is not n is a broken invariant of the
  // program and stops it.
  void intList(const char* count, int n, IntList& v);
  void realList(const char* count, int n, RealList& v);
  void textList(TextList& v);
  void endLine();

  // Reading: fails the archive when count n cannot size a list of this file
  // (negative, or more entries than the file has room for).
  bool checkCount(const char* name, int n);

  // Writing: writes out what is buffered and closes the file; the result says
  // whether every byte reached the file. Reading: nothing to do.
  Result close();

 private:
  void write(std::string_view text);
  void writeLineEnd();
  void flushPending();
  // Reading helpers.
  bool atEnd() const { return position_ >= data_.size(); }
  std::string_view takeLine();
  void skipBlankSpace();
  void missing(const char* what);
  bool findLabelFromTop(const std::string& label);
  void item(int& value) { intItem(value); }
  void item(double& value) { realItem(value); }
  template <typename T>
  void readEntries(const char* count, int n, CheckedVector<T>& v);
  bool entryFollows(const char* count, int n);
  void checkListEnd(const char* count, int n);

  bool storing_;
  std::string failure_;
  std::string block_ = "the first label";  // where reading stands, for messages

  // Writing.
  std::ofstream out_;
  std::string pending_;

  // Reading: the whole file and the position of the next unread byte.
  std::unique_ptr<char[]> bytes_;
  std::string_view data_;
  std::size_t position_ = 0;
  // Where searches "from the top" begin: at the first label searched for,
  // so that the free text lines above it (a section's title) are never taken
  // for a label, even when they read like one.
  std::size_t searchStart_ = 0;
  bool searchStartSet_ = false;
  // First occurrence of each line: its text and the offset of the line after
  // it. Built on the first search from the top, so each label is found in
  // constant time however long the file is.
  std::unordered_map<std::string_view, std::size_t> lineIndex_;
  bool indexed_ = false;
};

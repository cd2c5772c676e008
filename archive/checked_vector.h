// CheckedVector: the list type of every list a section file holds. It is a
// std::vector whose index operation checks the index; an index out of range is
// reported to the user, who either goes on at the last element or stops.
#pragma once

#include <string>
#include <vector>

// Asks whether to go on after an index out of range: true means Retry (go on
// at the last element), false means Cancel. Replaceable so that tests and the
// fuzzer can answer without a user.
using IndexPrompt = bool (*)(const char* caption, const char* message);

// Installs prompt and returns the one it replaces.
IndexPrompt setIndexPrompt(IndexPrompt prompt);

// Reports index i on a list of n elements. Returns true when the caller is to
// go on at element n - 1; on Cancel, and on Retry for an empty list, throws
// std::out_of_range("invalid vector<T> subscript").
bool reportBadIndex(int i, int n);

template <typename T>
class CheckedVector : public std::vector<T> {
 public:
  using std::vector<T>::vector;

  T& operator[](int i) { return std::vector<T>::operator[](checkedIndex(i)); }
  const T& operator[](int i) const { return std::vector<T>::operator[](checkedIndex(i)); }

 private:
  std::size_t checkedIndex(int i) const {
    const std::size_t n = this->size();
    if (static_cast<std::size_t>(static_cast<unsigned>(i)) < n) return static_cast<unsigned>(i);
    reportBadIndex(i, static_cast<int>(n));
    return n - 1;
  }
};

// The three kinds of list a section file holds.
using IntList = CheckedVector<int>;
using RealList = CheckedVector<double>;
using TextList = CheckedVector<std::string>;

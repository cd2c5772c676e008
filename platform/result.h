// Result: what an operation that can fail on its input reports to its caller,
// as a value. An empty reason means success.
#pragma once

#include <string>
#include <utility>

class [[nodiscard]] Result {
 public:
  static Result success() { return Result(); }
  static Result failure(std::string reason) { return Result(std::move(reason)); }

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const std::string& reason() const { return reason_; }

 private:
  Result() = default;
  explicit Result(std::string reason) : failed_(true), reason_(std::move(reason)) {}

  bool failed_ = false;
  std::string reason_;
};

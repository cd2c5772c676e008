// Result: what an operation reports to its caller, as a value: a code and,
// unless it succeeded, the reason in words. Callers decide by the code, never
// by whether the reason is empty.
#pragma once

#include <new>
#include <string>
#include <utility>

class [[nodiscard]] Result {
 public:
  enum class Code {
    kOk,
    kRefused,       // the input or the answer cannot be used
    kNotAttempted,  // an earlier step failed, so this one was not tried
    kFailed,        // the system refused: a write, the memory
  };

  static Result success() { return Result(Code::kOk, std::string()); }
  static Result refused(std::string reason) { return Result(Code::kRefused, std::move(reason)); }
  static Result notAttempted(std::string reason) {
    return Result(Code::kNotAttempted, std::move(reason));
  }
  static Result failed(std::string reason) { return Result(Code::kFailed, std::move(reason)); }
  // The input cannot be used: the common case, the same as refused().
  static Result failure(std::string reason) { return refused(std::move(reason)); }

  bool ok() const { return code_ == Code::kOk; }
  explicit operator bool() const { return ok(); }
  Code code() const { return code_; }
  bool isRefused() const { return code_ == Code::kRefused; }
  bool isNotAttempted() const { return code_ == Code::kNotAttempted; }
  bool isFailed() const { return code_ == Code::kFailed; }
  const std::string& reason() const { return reason_; }

 private:
  Result(Code code, std::string reason) : code_(code), reason_(std::move(reason)) {}

  Code code_ = Code::kOk;
  std::string reason_;
};

// The one place where running out of memory becomes a value: runs step, which
// returns a Result, and gives Result::failed(reason) when it throws
// std::bad_alloc (what the step had built is freed on the way out), so that
// a program names what it could not do and goes on with the next file.
template <typename Step>
Result failedWhenOutOfMemory(Step&& step, const std::string& reason) {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    return Result::failed(reason);
  }
}

#include "console/program_shell.h"

#include <cerrno>
#include <cstring>
#include <ostream>

#include "archive/atomic_file.h"
#include "console/options.h"
#include "platform/platform.h"

std::string cannotUse(const std::string& file, const std::string& reason) {
  const bool ended = !reason.empty() && reason.back() == '.';
  return "Cannot use " + file + ": " + reason + (ended ? "" : ".");
}

ProgramShell::ProgramShell(std::string program, std::ostream& out, std::ostream& err)
    : program_(std::move(program)), out_(out), err_(err) {}

Result ProgramShell::setOutputs(std::vector<ProgramOutput> outputs) {
  const ProgramOutput* toStandardOutput = nullptr;
  for (const ProgramOutput& output : outputs) {
    if (!output.toStandardOutput) continue;
    if (toStandardOutput) {
      return Result::refused(toStandardOutput->option + " and " + output.option +
                             " cannot both go to standard output.");
    }
    toStandardOutput = &output;
  }
  standardOutputTaken_ = toStandardOutput != nullptr;
  outputs_ = std::move(outputs);
  return Result::success();
}

std::vector<PlannedOutput> ProgramShell::plannedFiles() const {
  std::vector<PlannedOutput> planned;
  for (const ProgramOutput& output : outputs_) {
    if (!output.name.empty() && !output.toStandardOutput) {
      planned.push_back({output.name, "the " + output.what, false});
    }
  }
  return planned;
}

void ProgramShell::print(const std::string& text) {
  if (standardOutputTaken_) return;
  errno = 0;
  out_ << text;
  noteStandardOutputFailure();
}

void ProgramShell::noteStandardOutputFailure() {
  if (out_ || !standardOutputFailure_.empty()) return;
  standardOutputFailure_ = errno != 0 ? std::strerror(errno) : "the write failed";
}

int ProgramShell::refuseRun(const Result& refusal) {
  return refuseCommandLine(err_, program_, refusal);
}

void ProgramShell::refuseFile(const std::string& file, const Result& why) {
  refusals_.push_back(cannotUse(file, why.reason()));
  notAllDone();
}

void ProgramShell::noteFile(const std::string& line) { refusals_.push_back(line); }

void ProgramShell::sayRefusals() {
  for (const std::string& line : refusals_) messages() << line << '\n';
  refusals_.clear();
}

void ProgramShell::write(const ProgramOutput& output, const std::string& bytes) {
  if (output.toStandardOutput) {
    platform::useBinaryStandardOutput();  // the output brings its own line ends
    errno = 0;
    out_ << bytes;
    noteStandardOutputFailure();
    if (!flushStandardOutput()) notAllDone();
    return;
  }
  const Result written = writeWholeFile(output.name, bytes);
  if (!written) return cannotWrite(output, written.reason());
  messages() << output.written << ": " << output.name << '\n';
}

void ProgramShell::cannotWrite(const ProgramOutput& output, const std::string& reason) {
  messages() << "Cannot write the " << output.what << " " << output.name << ": " << reason << '\n';
  notAllDone();
}

bool ProgramShell::flushStandardOutput() {
  if (!standardOutputFailure_.empty()) return false;
  errno = 0;
  out_.flush();
  noteStandardOutputFailure();
  return standardOutputFailure_.empty();
}

int ProgramShell::finish() {
  if (!flushStandardOutput()) {
    err_ << program_ << ": standard output could not be written: " << standardOutputFailure_
         << ".\n"
         << std::flush;
    notAllDone();
    out_.clear();  // said once: the end of the program does not say it again
  }
  return exitCode_;
}

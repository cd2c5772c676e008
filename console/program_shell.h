// The shell of a program that reads section files and writes tables, CSVs
// and pictures (zorvik-view, zorvik-buckle): where each output and each
// message goes, the refusal lines in one wording, and the exit code. An
// output goes to a file, written whole, or to standard output (a CSV named
// "-"), which then holds that output and nothing else: the messages go to
// standard error. Every write to standard output is checked.
#pragma once

#include <algorithm>
#include <iosfwd>
#include <string>
#include <vector>

#include "console/output_plan.h"
#include "platform/result.h"

// The exit codes of every program: everything asked was done; something
// asked was not done (a file refused, an output not written); and, in
// console/options.h, kWrongCommandLine for a command line or a set of files
// that cannot be taken at all.
const int kAllDone = 0;
const int kNotAllDone = 1;

// "Cannot use FILE: reason.": how every program names a file it cannot use
// (the period added unless the reason ends with one).
std::string cannotUse(const std::string& file, const std::string& reason);

// One output of a run.
struct ProgramOutput {
  std::string option;             // the option that names it ("--csv"), for messages
  std::string what;               // "table", "curves", "picture"
  std::string name;               // the file; empty for none
  std::string written;            // the head of the line that names it once written: "Table"
  bool toStandardOutput = false;  // written to standard output, not to a file
};

class ProgramShell {
 public:
  // out and err: standard output and standard error.
  ProgramShell(std::string program, std::ostream& out, std::ostream& err);
  ProgramShell(const ProgramShell&) = delete;
  ProgramShell& operator=(const ProgramShell&) = delete;

  // The outputs of the run; refused when two would go to standard output.
  Result setOutputs(std::vector<ProgramOutput> outputs);
  // The outputs that go to files, for checkOutputPlan.
  std::vector<PlannedOutput> plannedFiles() const;
  // True when an output goes to standard output.
  bool standardOutputTaken() const { return standardOutputTaken_; }

  // Where the lines for the engineer go: standard output, or standard error
  // when an output goes to standard output.
  std::ostream& messages() { return standardOutputTaken_ ? err_ : out_; }
  // Text for the console on standard output (a table); nothing when an
  // output has standard output to itself.
  void print(const std::string& text);

  // "PROGRAM: reason" on standard error; returns kWrongCommandLine.
  int refuseRun(const Result& refusal);
  // A file that cannot be used: its line, "Cannot use FILE: reason.", waits
  // for sayRefusals (the run may yet be refused as a whole), and the exit
  // code becomes kNotAllDone.
  void refuseFile(const std::string& file, const Result& why);
  // A note on a file that is used ("Note: ..."): it waits beside the
  // refusals, in the order of the files.
  void noteFile(const std::string& line);
  // The refusals and notes so far, in the messages.
  void sayRefusals();

  // Writes output's bytes: to its file, whole or not at all, or to standard
  // output; names what was written, or why not, in the messages.
  void write(const ProgramOutput& output, const std::string& bytes);
  // The line "Cannot write the picture p.svg: reason." in the messages; not
  // all done.
  void cannotWrite(const ProgramOutput& output, const std::string& reason);
  // Something asked was not done, said by the caller.
  void notAllDone() { exitCode_ = std::max(exitCode_, kNotAllDone); }

  // Ends the run: a write to standard output that failed (a full disk) is
  // one line on standard error. The exit code.
  int finish();

 private:
  // Flushes standard output; false, with the reason kept, when a write
  // there failed.
  bool flushStandardOutput();
  // Keeps the reason of the first write to standard output that failed: a
  // text larger than the stream's buffer fails as it is written, and errno
  // says why only then.
  void noteStandardOutputFailure();

  std::string program_;
  std::ostream& out_;
  std::ostream& err_;
  std::vector<ProgramOutput> outputs_;
  bool standardOutputTaken_ = false;
  std::vector<std::string> refusals_;  // and notes
  std::string standardOutputFailure_;
  int exitCode_ = kAllDone;
};

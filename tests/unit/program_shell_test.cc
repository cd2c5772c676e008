#include "console/program_shell.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>

#include "console/options.h"
#include "tests/unit/test_files.h"

namespace {

// Standard output on a full disk: every write fails.
class FullDisk : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(ProgramShellTest, RefusalsWaitAndSayWhyInOneWording) {
  std::ostringstream out, err;
  ProgramShell shell("prog", out, err);
  shell.refuseFile("a.kaf", Result::refused("it has no plates"));
  shell.refuseFile("b.kaf", Result::refused("it cannot be read."));
  EXPECT_EQ(out.str(), "");
  shell.sayRefusals();
  EXPECT_EQ(out.str(),
            "Cannot use a.kaf: it has no plates.\nCannot use b.kaf: it cannot be read.\n");
  EXPECT_EQ(shell.finish(), kNotAllDone);
  EXPECT_EQ(shell.refuseRun(Result::refused("No section file given.")), kWrongCommandLine);
  EXPECT_EQ(err.str(), "prog: No section file given.\n");
}

TEST(ProgramShellTest, AnOutputOnStandardOutputHasItToItself) {
  TemporaryDirectory dir;
  std::ostringstream out, err;
  ProgramShell shell("prog", out, err);
  const ProgramOutput csv{"--csv", "table", "-", "Table", true};
  const ProgramOutput picture{"--svg", "picture", dir.path("p.svg"), "Picture"};
  ASSERT_TRUE(shell.setOutputs({csv, picture}).ok());
  ASSERT_EQ(shell.plannedFiles().size(), 1u);
  EXPECT_EQ(shell.plannedFiles()[0].what, "the picture");
  shell.refuseFile("a.kaf", Result::refused("it has no plates"));
  shell.sayRefusals();
  shell.print("the console table\n");
  shell.write(csv, "a,b\r\n");
  shell.write(picture, "<svg/>");
  EXPECT_EQ(out.str(), "a,b\r\n");
  EXPECT_EQ(err.str(), "Cannot use a.kaf: it has no plates.\nPicture: " + dir.path("p.svg") + "\n");
  EXPECT_EQ(readFile(dir.path("p.svg")), "<svg/>");
  EXPECT_EQ(shell.finish(), kNotAllDone);
  // Two outputs cannot share standard output.
  const ProgramOutput curves{"--csv", "curves", "-", "Written", true};
  const ProgramOutput table{"--table-csv", "table", "-", "Written", true};
  EXPECT_EQ(shell.setOutputs({table, curves}).reason(),
            "--table-csv and --csv cannot both go to standard output.");
}

TEST(ProgramShellTest, AFailedWriteIsNamedAndNotDone) {
  TemporaryDirectory dir;
  std::ostringstream out, err;
  ProgramShell shell("prog", out, err);
  const ProgramOutput picture{"--svg", "picture", dir.path("none/p.svg"), "Picture"};
  ASSERT_TRUE(shell.setOutputs({picture}).ok());
  shell.write(picture, "<svg/>");
  EXPECT_EQ(out.str().rfind("Cannot write the picture " + dir.path("none/p.svg") + ": ", 0), 0u)
      << out.str();
  EXPECT_EQ(shell.finish(), kNotAllDone);
  EXPECT_EQ(err.str(), "");
}

TEST(ProgramShellTest, AFullStandardOutputEndsWithOneLineAndExitCode1) {
  FullDisk full;
  std::ostream out(&full);
  std::ostringstream err;
  ProgramShell shell("prog", out, err);
  shell.print("the console table\n");
  EXPECT_EQ(shell.finish(), kNotAllDone);
  EXPECT_EQ(err.str().rfind("prog: standard output could not be written: ", 0), 0u) << err.str();
  EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
  // A standard output that takes the bytes ends the run as done.
  std::ostringstream table;
  ProgramShell clean("prog", table, err);
  clean.print("the console table\n");
  EXPECT_EQ(clean.finish(), kAllDone);
  EXPECT_EQ(table.str(), "the console table\n");
}

}  // namespace

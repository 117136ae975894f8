// same_file_test.cpp: an output that names the input, under every spelling
// this platform allows, must be refused (a usage error) with the input
// untouched. Names that only look alike (another letter case on a
// case-sensitive file system) are other files and are converted.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "convert/convert_file.h"
#include "fault_support.h"
#include "sample_tables.h"

namespace faults {
namespace {

const std::string kBin = LOGWEAVE_BIN;

struct SpellingCase {
  const char* name;
  const char* input;  // the input's name in the test folder
  // Prepares the folder and returns the -o argument ("" for the derived
  // output); \a dir is the test folder.
  std::function<std::string(const std::string& dir, Mount* mount)> output;
  bool refused;
  const char* cwd = "";  // "." runs the program in the test folder
};

void PrintTo(const SpellingCase& c, std::ostream* os) { *os << c.name; }

class OutputNamesInput : public ::testing::TestWithParam<SpellingCase> {};

TEST_P(OutputNamesInput, IsRefusedAndTheInputKept) {
  const SpellingCase& c = GetParam();
  TempDir dir;
  std::string input = dir / c.input;
  const std::string table = BuildTable(SampleLog(5));
  ASSERT_TRUE(WriteFile(input, table));
  Mount mount;
  std::string output = c.output(dir.str(), &mount);
  if (output == "SKIP")
    GTEST_SKIP() << "cannot mount here (" << mount.error()
                 << "); this test needs root with mount rights";
  std::string before = Listing(dir.str());

  std::vector<std::string> args = {kBin, "convert", input, "--auto"};
  if (!output.empty()) {
    args.push_back("-o");
    args.push_back(output);
  }
  RunOptions options;
  if (*c.cwd) options.cwd = dir.str();
  RunResult run = RunProgram(args, options);
  EXPECT_EQ(ReadFile(input), table) << "the input was changed";
  if (c.refused) {
    EXPECT_EQ(run.exit_code, 2) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("would replace the input"), std::string::npos)
        << run.err;
    EXPECT_EQ(Listing(dir.str()), before) << "something was written";
  } else {
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("converted to"), std::string::npos);
  }
}

std::string Make(const std::string& path) {
  mkdir(path.c_str(), 0777);
  return path;
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, OutputNamesInput,
    ::testing::Values(
        SpellingCase{
            "SamePath", "log.dbf",
            [](const std::string& d, Mount*) { return d + "/log.dbf"; }, true},
        SpellingCase{"Relative", "log.dbf",
                     [](const std::string&, Mount*) { return "log.dbf"; }, true,
                     "."},
        SpellingCase{"DotSlash", "log.dbf",
                     [](const std::string&, Mount*) { return "./log.dbf"; },
                     true, "."},
        SpellingCase{"ThroughDotDot", "log.dbf",
                     [](const std::string& d, Mount*) {
                       Make(d + "/sub");
                       return d + "/sub/../log.dbf";
                     },
                     true},
        SpellingCase{
            "DoubledSlashes", "log.dbf",
            [](const std::string& d, Mount*) { return d + "//.//log.dbf"; },
            true},
        SpellingCase{"HardLink", "log.dbf",
                     [](const std::string& d, Mount*) {
                       link((d + "/log.dbf").c_str(),
                            (d + "/other.adi").c_str());
                       return d + "/other.adi";
                     },
                     true},
        SpellingCase{"SymbolicLink", "log.dbf",
                     [](const std::string& d, Mount*) {
                       symlink("log.dbf", (d + "/link.adi").c_str());
                       return d + "/link.adi";
                     },
                     true},
        SpellingCase{"LinkedFolder", "log.dbf",
                     [](const std::string& d, Mount*) {
                       symlink(".", (d + "/alias").c_str());
                       return d + "/alias/log.dbf";
                     },
                     true},
        SpellingCase{"BindMountedFolder", "log.dbf",
                     [](const std::string& d, Mount* mount) -> std::string {
                       Make(d + "/elsewhere");
                       Make(d + "/real");
                       rename((d + "/log.dbf").c_str(),
                              (d + "/real/log.dbf").c_str());
                       symlink("real/log.dbf", (d + "/log.dbf").c_str());
                       if (!mount->Bind(d + "/real", d + "/elsewhere"))
                         return "SKIP";
                       return d + "/elsewhere/log.dbf";
                     },
                     true},
        // The derived output of an input whose name ends in "ADI".
        SpellingCase{"DerivedFromAnAdiName", "LOG.ADI",
                     [](const std::string&, Mount*) { return ""; }, true},
        // On a case-sensitive file system these are other files.
        SpellingCase{"DerivedFromALowerCaseAdiName", "log.adi",
                     [](const std::string&, Mount*) { return ""; }, false},
        SpellingCase{
            "OtherLetterCase", "log.dbf",
            [](const std::string& d, Mount*) { return d + "/LOG.DBF"; },
            false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OutputNamesInput, StandardOutputOnTheInputIsRefused) {
  // "logweave convert log.dbf -o - 1<>log.dbf" or ">>log.dbf": standard
  // output is the input file itself.
  for (bool append : {false, true}) {
    SCOPED_TRACE(append ? ">>" : "1<>");
    TempDir dir;
    std::string input = dir / "log.dbf";
    const std::string table = BuildTable(SampleLog(5));
    ASSERT_TRUE(WriteFile(input, table));
    RunOptions options;
    options.stdout_path = input;
    options.stdout_append = append;
    RunResult run =
        RunProgram({kBin, "convert", input, "--auto", "-o", "-"}, options);
    EXPECT_EQ(run.exit_code, 2) << run.err;
    EXPECT_EQ(run.err, "logweave: The output standard output would replace "
                       "the input " +
                           input + "; nothing was written\n");
    EXPECT_EQ(ReadFile(input), table) << "the input was changed";
  }
}

TEST(OutputNamesInput, StandardOutputOnAnotherFileIsWritten) {
  TempDir dir;
  std::string input = dir / "log.dbf";
  std::string output = dir / "log.adi";
  ASSERT_TRUE(WriteFile(input, BuildTable(SampleLog(5))));
  ASSERT_TRUE(WriteFile(output, ""));
  RunOptions options;
  options.stdout_path = output;
  RunResult run =
      RunProgram({kBin, "convert", input, "--auto", "-o", "-"}, options);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(Count(ReadFile(output), "<EOR>\r\n"), 5u);
}

}  // namespace
}  // namespace faults

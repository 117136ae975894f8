// input_fault_test.cpp: inputs that are not what they seem: not a file at
// all, empty, cut short at any byte, or changed between the moment the
// table was listed and the moment it is converted.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

#include "convert/adif_header.h"
#include "convert/convert_file.h"
#include "dbf/table_file.h"
#include "fault_support.h"
#include "mapping/mapping_options.h"
#include "mapping/texts.h"
#include "sample_tables.h"

namespace faults {
namespace {

const std::string kBin = LOGWEAVE_BIN;

// ---------------------------------------------------------------------------
// Inputs that are no table, through the command line.

struct BadInputCase {
  const char* name;
  // Makes the input at the given path.
  std::function<void(const std::string&)> make;
  const char* cause;  // part of the error line
};

void PrintTo(const BadInputCase& c, std::ostream* os) { *os << c.name; }

class BadInput : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(BadInput, IsRefusedByEveryCommandWithoutWaiting) {
  const BadInputCase& c = GetParam();
  TempDir dir;
  std::string input = dir / "log.dbf";
  c.make(input);
  std::string before = Listing(dir.str());
  for (const char* command : {"fields", "convert"}) {
    for (const char* language : {"en", "es"}) {
      SCOPED_TRACE(std::string(command) + " --lang " + language);
      std::vector<std::string> args = {kBin, command, input, "--lang",
                                       language};
      if (std::string(command) == "convert") args.push_back("--auto");
      RunResult run = RunProgram(args);
      ASSERT_FALSE(run.timed_out) << "the program waited on the input";
      EXPECT_EQ(run.exit_code, 1) << run.err;
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(Count(run.err, "\n"), 1u) << run.err;
      EXPECT_NE(run.err.find(input), std::string::npos) << run.err;
      if (std::string(language) == "en") {
        EXPECT_NE(run.err.find(c.cause), std::string::npos) << run.err;
      }
      EXPECT_EQ(Listing(dir.str()), before) << "an output was created";
    }
  }
}

void Symlink(const std::string& target, const std::string& path) {
  ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0) << std::strerror(errno);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInput,
    ::testing::Values(
        BadInputCase{"Missing", [](const std::string&) {},
                     std::strerror(ENOENT)},
        BadInputCase{"Folder",
                     [](const std::string& p) { mkdir(p.c_str(), 0777); },
                     "not a regular file"},
        BadInputCase{"Fifo",
                     [](const std::string& p) { mkfifo(p.c_str(), 0666); },
                     "not a regular file"},
        BadInputCase{"DevZero",
                     [](const std::string& p) { Symlink("/dev/zero", p); },
                     "not a regular file"},
        BadInputCase{"SymlinkToAFolder",
                     [](const std::string& p) { Symlink("/", p); },
                     "not a regular file"},
        BadInputCase{"SymlinkLoop", [](const std::string& p) { Symlink(p, p); },
                     std::strerror(ELOOP)},
        BadInputCase{"Empty", [](const std::string& p) { WriteFile(p, ""); },
                     "is not a readable DBF table: the file is shorter than "
                     "the 32-byte header"},
        BadInputCase{"ThirtyOneBytes",
                     [](const std::string& p) {
                       WriteFile(p, BuildTable(SampleLog(3)).substr(0, 31));
                     },
                     "shorter than the 32-byte header"},
        BadInputCase{"EndsInsideTheDescriptors",
                     [](const std::string& p) {
                       WriteFile(p, BuildTable(SampleLog(3)).substr(0, 100));
                     },
                     "ends inside the column descriptions"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The input changes between listing and converting. The window program lists
// a table when it is opened and converts it later from what it listed; the
// core is driven the same way here.

struct Listed {
  DbfLayout layout;
  std::vector<std::string> entries;
};

Listed List(const std::string& path) {
  Listed listed;
  TableError table_error;
  EXPECT_TRUE(
      ReadTableFile(SystemFileSystem(), path, &listed.layout, &table_error))
      << TableErrorText(path, table_error, kEnglish);
  std::string error;
  MappingChoices choices;
  choices.by_keyword_names = true;
  EXPECT_TRUE(
      BuildEntries(listed.layout, kEnglish, choices, &listed.entries, &error))
      << error;
  return listed;
}

ConvertOutcome ConvertListed(const std::string& input, const Listed& listed,
                             const std::string& output) {
  TableJob table;
  table.path = input;
  table.layout = listed.layout;
  table.plan = PlanColumns(listed.entries, kEnglish);
  OutputJob to;
  to.path = output;
  RunJob run;
  run.language = kEnglish;
  return ConvertFile(table, to, run);
}

// The record lines of a complete conversion of \a table, one string each.
std::vector<std::string> RecordLines(const BuilderTable& table) {
  TempDir dir;
  std::string input = dir / "full.dbf";
  WriteFile(input, BuildTable(table));
  ConvertOutcome outcome = ConvertListed(input, List(input), dir / "full.adi");
  EXPECT_TRUE(outcome.ok()) << outcome.message;
  std::string text = ReadFile(dir / "full.adi");
  std::string header = AdifHeaderText(kEnglish);
  EXPECT_EQ(text.compare(0, header.size(), header), 0);
  std::vector<std::string> lines;
  for (std::size_t at = header.size(); at < text.size();) {
    std::size_t end = text.find("<EOR>\r\n", at) + 7;
    lines.push_back(text.substr(at, end - at));
    at = end;
  }
  EXPECT_EQ(lines.size(), table.rows.size());
  return lines;
}

std::string FirstLines(const std::vector<std::string>& lines, std::size_t k) {
  std::string text = AdifHeaderText(kEnglish);
  for (std::size_t i = 0; i < k; ++i) text += lines[i];
  return text;
}

class ChangedInput : public ::testing::Test {
 protected:
  void SetUp() override {
    table_ = SampleLog(10);
    ASSERT_TRUE(WriteFile(input_, BuildTable(table_)));
    listed_ = List(input_);
    lines_ = RecordLines(table_);
  }
  TempDir dir_;
  std::string input_ = dir_ / "log.dbf";
  std::string output_ = dir_ / "log.adi";
  BuilderTable table_;
  Listed listed_;
  std::vector<std::string> lines_;
};

TEST_F(ChangedInput, RemovedIsReportedAndNothingIsWritten) {
  ASSERT_EQ(std::remove(input_.c_str()), 0);
  ConvertOutcome outcome = ConvertListed(input_, listed_, output_);
  EXPECT_EQ(outcome.status, ConvertStatus::kCannotOpenInput);
  EXPECT_EQ(outcome.message,
            "Cannot open " + input_ + ": " + std::strerror(ENOENT));
  EXPECT_EQ(Listing(dir_.str()), "");
}

TEST_F(ChangedInput, ReplacedByAFolderIsReported) {
  ASSERT_EQ(std::remove(input_.c_str()), 0);
  ASSERT_EQ(mkdir(input_.c_str(), 0777), 0);
  ConvertOutcome outcome = ConvertListed(input_, listed_, output_);
  EXPECT_EQ(outcome.status, ConvertStatus::kCannotOpenInput);
  EXPECT_NE(outcome.message.find("not a regular file"), std::string::npos);
  EXPECT_EQ(Listing(dir_.str()), "log.dbf");
}

TEST_F(ChangedInput, ReplacedByAFifoIsReportedWithoutWaiting) {
  ASSERT_EQ(std::remove(input_.c_str()), 0);
  ASSERT_EQ(mkfifo(input_.c_str(), 0666), 0);
  // Converted in a child process, so that a conversion that opened the FIFO
  // and waited for a writer would be seen as a hang rather than block the
  // tests.
  pid_t child = fork();
  if (child == 0) {
    ConvertOutcome outcome = ConvertListed(input_, listed_, output_);
    _exit(outcome.status == ConvertStatus::kCannotOpenInput &&
                  outcome.message.find("not a regular file") !=
                      std::string::npos
              ? 0
              : 1);
  }
  int status = 0;
  for (int tenths = 0; tenths < 300; ++tenths) {
    if (waitpid(child, &status, WNOHANG) == child) break;
    usleep(100000);
    if (tenths == 299) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      FAIL() << "the conversion waited on a FIFO";
    }
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(Listing(dir_.str()), "log.dbf");
}

TEST_F(ChangedInput, ShortenedKeepsTheCompleteRecordsAndSaysSo) {
  BuilderTable shorter = table_;
  shorter.rows.resize(4);
  ASSERT_TRUE(WriteFile(input_, BuildTable(shorter)));
  ConvertOutcome outcome = ConvertListed(input_, listed_, output_);
  EXPECT_EQ(outcome.status, ConvertStatus::kTruncated);
  EXPECT_EQ(outcome.stats.records_read, 4u);
  EXPECT_EQ(outcome.message,
            input_ +
                " ends after record 4 of 10; the 4 complete records "
                "were converted to " +
                output_);
  EXPECT_EQ(ReadFile(output_), FirstLines(lines_, 4));
  EXPECT_EQ(Listing(dir_.str()), "log.adi log.dbf");
}

TEST_F(ChangedInput, EmptiedKeepsNoRecordAndSaysSo) {
  ASSERT_TRUE(WriteFile(input_, ""));
  ConvertOutcome outcome = ConvertListed(input_, listed_, output_);
  EXPECT_EQ(outcome.status, ConvertStatus::kTruncated);
  EXPECT_NE(outcome.message.find("ends after record 0 of 10"),
            std::string::npos);
  EXPECT_EQ(ReadFile(output_), FirstLines(lines_, 0));
}

TEST_F(ChangedInput, LengthenedConvertsTheRecordsThatWereListed) {
  BuilderTable longer = SampleLog(25);
  ASSERT_TRUE(WriteFile(input_, BuildTable(longer)));
  ConvertOutcome outcome = ConvertListed(input_, listed_, output_);
  EXPECT_TRUE(outcome.ok()) << outcome.message;
  EXPECT_EQ(outcome.stats.records_read, 10u);
  EXPECT_EQ(ReadFile(output_), FirstLines(lines_, 10));
}

TEST_F(ChangedInput, ReplacedByAnotherLayoutStaysWithinItsBytes) {
  // Another table with more columns and a longer header: the conversion
  // goes by what was listed, reads bytes that mean something else, and must
  // still end cleanly with well-formed lines and nothing it did not read.
  std::string other = BuildTable(SampleLog(3, Flavour::kVisualFoxPro));
  ASSERT_EQ(other.find('\xFF'), std::string::npos);
  ASSERT_TRUE(WriteFile(input_, other));
  ConvertOutcome outcome = ConvertListed(input_, listed_, output_);
  EXPECT_TRUE(outcome.status == ConvertStatus::kDone ||
              outcome.status == ConvertStatus::kTruncated)
      << outcome.message;
  std::string text = ReadFile(output_);
  EXPECT_EQ(text.find('\xFF'), std::string::npos);
  EXPECT_EQ(Count(text, "<EOR>\r\n"), outcome.stats.records_written);
  EXPECT_EQ(Listing(dir_.str()), "log.adi log.dbf");
}

// ---------------------------------------------------------------------------
// Truncation at every byte offset.

class EveryCut : public ::testing::TestWithParam<Flavour> {};

TEST_P(EveryCut, KeepsTheCompleteRecordsAndReportsTheShortfall) {
  BuilderTable table = SampleLog(6, GetParam());
  const std::string full = BuildTable(table);
  ASSERT_EQ(full.find('\xFF'), std::string::npos);
  const std::vector<std::string> lines = RecordLines(table);
  const std::uint32_t count = static_cast<std::uint32_t>(table.rows.size());
  const std::size_t header_length = TableHeader(table, count).size();
  const std::size_t record_size = RecordSize(table);
  const std::size_t columns = table.columns.size();
  // Where reading the layout stops: after the last descriptor, or after the
  // terminator when the header length announces more descriptors than there
  // are (the Visual FoxPro trailer).
  const std::size_t layout_end =
      32 + 32 * columns +
      (static_cast<std::size_t>(ColumnCount(header_length)) > columns ? 1 : 0);

  TempDir dir;
  std::string full_path = dir / "full.dbf";
  ASSERT_TRUE(WriteFile(full_path, full));
  const Listed listed_whole = List(full_path);
  std::string input = dir / "cut.dbf";
  std::string output = dir / "cut.adi";

  for (std::size_t cut = 0; cut <= full.size(); ++cut) {
    SCOPED_TRACE("cut at byte " + std::to_string(cut) + " of " +
                 std::to_string(full.size()));
    ASSERT_TRUE(WriteFile(input, full.substr(0, cut)));
    const std::size_t complete =
        cut > header_length
            ? std::min<std::size_t>(count, (cut - header_length) / record_size)
            : 0;

    // Listed whole, cut before the conversion (the header is kept), and
    // listed after the cut.
    for (bool listed_after : {false, true}) {
      SCOPED_TRACE(listed_after ? "listed after the cut" : "listed whole");
      Listed listed;
      if (listed_after) {
        TableError table_error;
        bool readable = ReadTableFile(SystemFileSystem(), input, &listed.layout,
                                      &table_error);
        std::string message = TableErrorText(input, table_error, kEnglish);
        ASSERT_EQ(readable, cut >= layout_end) << message;
        if (!readable) {
          EXPECT_NE(message.find(cut < 32 ? "shorter than the 32-byte header"
                                          : "ends inside the column "
                                            "descriptions"),
                    std::string::npos)
              << message;
          EXPECT_TRUE(listed.layout.columns.empty());
          continue;
        }
        std::string error;
        MappingChoices choices;
        choices.by_keyword_names = true;
        ASSERT_TRUE(BuildEntries(listed.layout, kEnglish, choices,
                                 &listed.entries, &error));
        ASSERT_EQ(listed.entries, listed_whole.entries);
      } else {
        listed = listed_whole;
      }
      // No earlier output: the complete records are written.
      std::remove(output.c_str());
      ConvertOutcome outcome = ConvertListed(input, listed, output);
      EXPECT_EQ(outcome.stats.records_read, complete);
      if (complete == count) {
        EXPECT_TRUE(outcome.ok()) << outcome.message;
      } else {
        EXPECT_EQ(outcome.status, ConvertStatus::kTruncated);
        EXPECT_NE(outcome.message.find(" ends after record " +
                                       std::to_string(complete) + " of " +
                                       std::to_string(count) + ";"),
                  std::string::npos)
            << outcome.message;
      }
      std::string text = ReadFile(output);
      EXPECT_EQ(text, FirstLines(lines, complete));
      EXPECT_EQ(text.find('\xFF'), std::string::npos);
      EXPECT_EQ(Listing(dir.str()), "cut.adi cut.dbf full.dbf");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Flavours, EveryCut,
                         ::testing::Values(Flavour::kDbase3,
                                           Flavour::kFoxProMemo,
                                           Flavour::kVisualFoxPro),
                         [](const auto& info) {
                           return std::string(FlavourName(info.param));
                         });

TEST(EveryCutThroughTheCommandLine, ExitCodesMessagesAndKeptRecords) {
  // The same, once through the real program at every offset of a small
  // dBase III table.
  BuilderTable table = SampleLog(4);
  const std::string full = BuildTable(table);
  const std::vector<std::string> lines = RecordLines(table);
  const std::size_t header_length = TableHeader(table, 4).size();
  const std::size_t layout_end = 32 + 32 * table.columns.size();
  TempDir dir;
  std::string input = dir / "cut.dbf";
  std::string output = dir / "cut.adi";
  for (std::size_t cut = 0; cut <= full.size(); ++cut) {
    SCOPED_TRACE("cut at byte " + std::to_string(cut));
    ASSERT_TRUE(WriteFile(input, full.substr(0, cut)));
    std::remove(output.c_str());
    RunResult run =
        RunProgram({kBin, "convert", input, "--auto", "-o", output});
    ASSERT_EQ(run.signal, 0) << "the program crashed";
    ASSERT_FALSE(run.timed_out);
    const std::size_t complete =
        cut > header_length ? std::min<std::size_t>(
                                  4, (cut - header_length) / RecordSize(table))
                            : 0;
    if (cut < layout_end) {
      EXPECT_EQ(run.exit_code, 1);
      EXPECT_NE(run.err.find("is not a readable DBF table"), std::string::npos)
          << run.err;
      EXPECT_EQ(Listing(dir.str()), "cut.dbf");
    } else if (complete < 4) {
      EXPECT_EQ(run.exit_code, 1);
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(run.err, "logweave: " + input + " ends after record " +
                             std::to_string(complete) + " of 4; the " +
                             std::to_string(complete) +
                             " complete records were converted to " + output +
                             "\n");
      EXPECT_EQ(ReadFile(output), FirstLines(lines, complete));
    } else {
      EXPECT_EQ(run.exit_code, 0) << run.err;
      EXPECT_EQ(ReadFile(output), FirstLines(lines, 4));
    }
  }
  // With an earlier output of that name, the partial result does not
  // replace it, and the message says how to get the complete records.
  ASSERT_TRUE(WriteFile(input, full.substr(0, full.size() - 10)));
  ASSERT_TRUE(WriteFile(output, "earlier"));
  RunResult run = RunProgram({kBin, "convert", input, "--auto", "-o", output});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "logweave: " + input + " ends after record 3 of 4; " +
                         output +
                         " already existed and was left as it was, so the 3 "
                         "complete records were not written; to write them, "
                         "convert again with -o and another file name\n");
  EXPECT_EQ(ReadFile(output), "earlier");
  EXPECT_EQ(Listing(dir.str()), "cut.adi cut.dbf");
}

}  // namespace
}  // namespace faults

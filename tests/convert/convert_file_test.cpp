// Tests of the Convert command frame on real files: output naming, replacing,
// refusing, and reporting what went wrong.

#include "convert/convert_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "convert/adif_header.h"
#include "dbf/table_file.h"
#include "dbf_builder.h"
#include "mapping/field_list.h"
#include "mapping/texts.h"
#include "platform/fake_file_system.h"
#include "test_support.h"

namespace {

BuilderTable SmallLog() {
  BuilderTable t;
  t.columns = {{"CALL", 'C', 8, 0}, {"HORA", 'C', 5, 0}, {"QSL", 'C', 1, 0}};
  t.rows = {{"EA4ABC", "09:15", "S"},
            {"F6XYZ", "10:42", "N"},
            {"DL1MUE", "23:59", "T"}};
  return t;
}

const char kSmallLogLines[] =
    "<CALL:6>EA4ABC <TIME_ON:4>0915 <QSL_SENT:1>Y <EOR>\r\n"
    "<CALL:5>F6XYZ <TIME_ON:4>1042 <QSL_SENT:1>N <EOR>\r\n"
    "<CALL:6>DL1MUE <TIME_ON:4>2359 <QSL_SENT:1>Y <EOR>\r\n";

// A conversion's three parts, as the tests set them up.
struct Job {
  TableJob table;
  OutputJob output;
  RunJob run;
};

ConvertOutcome Convert(const Job& job) {
  return ConvertFile(job.table, job.output, job.run);
}

class ConvertFileTest : public ::testing::Test {
 protected:
  // Writes \a table as NAME in the temp folder and lists it as the window
  // program would, with CALL, TIME_ON, QSL_SENT assigned.
  Job ListTable(const std::string& name, const std::string& bytes,
                Language language = kEnglish) {
    Job job;
    job.table.path = dir_ / name;
    WriteFile(job.table.path, bytes);
    DbfLayout layout;
    TableError error;
    EXPECT_TRUE(
        ReadTableFile(SystemFileSystem(), job.table.path, &layout, &error));
    VectorTextList fields;
    ListColumns(layout, language, &fields);
    const char* keywords[] = {"CALL", "TIME_ON", "QSL_SENT"};
    for (int i = 0; i < fields.Count() && i < 3; ++i) {
      std::string entry = ReassignEntry(fields.Get(i), keywords[i]);
      fields.Delete(i);
      fields.Insert(i, entry);
    }
    job.table.plan = PlanColumns(fields.texts(), language);
    job.table.layout = layout;
    job.run.language = language;
    return job;
  }
  TempDir dir_;
};

TEST_F(ConvertFileTest, WritesHeaderAndRecordsBesideTheInput) {
  Job job = ListTable("log.dbf", BuildTable(SmallLog()));
  ConvertOutcome outcome = Convert(job);
  ASSERT_TRUE(outcome.ok()) << outcome.message;
  EXPECT_EQ(dir_ / "log.ADI", outcome.output_path);
  EXPECT_EQ(job.table.path + "\nconverted to\n" + outcome.output_path,
            outcome.message);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kSmallLogLines,
            ReadFile(outcome.output_path));
  EXPECT_EQ("log.ADI log.dbf ", dir_.Listing());
}

TEST_F(ConvertFileTest, ReplacesAnEarlierOutputAndRepeatsByteForByte) {
  Job job = ListTable("log.dbf", BuildTable(SmallLog()));
  WriteFile(dir_ / "log.ADI", std::string(100000, 'x'));
  ASSERT_TRUE(Convert(job).ok());
  std::string first = ReadFile(dir_ / "log.ADI");
  EXPECT_EQ(AdifHeaderText(kEnglish) + kSmallLogLines, first);
  ASSERT_TRUE(Convert(job).ok());
  EXPECT_EQ(first, ReadFile(dir_ / "log.ADI"));
}

TEST_F(ConvertFileTest, NoRecordsGiveTheHeaderAlone) {
  BuilderTable t = SmallLog();
  t.rows.clear();
  Job job = ListTable("empty.dbf", BuildTable(t), kSpanish);
  ConvertOutcome outcome = Convert(job);
  ASSERT_TRUE(outcome.ok());
  EXPECT_EQ(AdifHeaderText(kSpanish), ReadFile(outcome.output_path));
  EXPECT_NE(std::string::npos, outcome.message.find("\nconvertido en\n"));
}

TEST_F(ConvertFileTest, UsesTheHeaderReadWhenTheTableWasListed) {
  Job job = ListTable("log.dbf", BuildTable(SmallLog()));
  job.table.layout.header.record_count = 2;
  ASSERT_TRUE(Convert(job).ok());
  std::string lines = kSmallLogLines;
  EXPECT_EQ(AdifHeaderText(kEnglish) + lines.substr(0, lines.rfind("<CALL")),
            ReadFile(dir_ / "log.ADI"));
}

TEST_F(ConvertFileTest, ATruncatedTableKeepsItsCompleteRecordsAndSaysSo) {
  std::string bytes = BuildTable(SmallLog());
  bytes.resize(bytes.size() - 1 - 8);  // no end marker, record 3 cut short
  Job job = ListTable("cut.dbf", bytes);
  ConvertOutcome outcome = Convert(job);
  EXPECT_EQ(ConvertStatus::kTruncated, outcome.status);
  EXPECT_EQ(job.table.path +
                " ends after record 2 of 3; the 2 complete "
                "records were converted to " +
                outcome.output_path,
            outcome.message);
  std::string lines = kSmallLogLines;
  std::string written = ReadFile(outcome.output_path);
  EXPECT_EQ(AdifHeaderText(kEnglish) + lines.substr(0, lines.rfind("<CALL")),
            written);
  EXPECT_EQ(std::string::npos, written.find('\xFF'));
  std::filesystem::remove(outcome.output_path);
  job.run.language = kSpanish;
  EXPECT_EQ(job.table.path +
                " termina tras el registro 2 de 3; los 2 "
                "registros completos se han convertido en " +
                outcome.output_path,
            Convert(job).message);
  // In ADX the complete records make a whole document.
  job.output.format = OutputFormat::kAdx;
  ConvertOutcome adx = Convert(job);
  EXPECT_EQ(ConvertStatus::kTruncated, adx.status);
  EXPECT_EQ(dir_ / "cut.ADX", adx.output_path);
  written = ReadFile(adx.output_path);
  EXPECT_EQ(2u, Count(written, "</RECORD>"));
  EXPECT_EQ(written.size() - 20, written.rfind("</RECORDS>\r\n</ADX>\r\n"));
  std::filesystem::remove(adx.output_path);
  job.output.format = OutputFormat::kAdi;

  // An earlier file of that name is not replaced by a partial result.
  WriteFile(outcome.output_path, "earlier");
  const struct {
    Language language;
    const char* text;
    // clang-format off
  } kept[] = {
      {kEnglish, " ends after record 2 of 3; %s already existed and was left "
                 "as it was, so the 2 complete records were not written"},
      {kSpanish, " termina tras el registro 2 de 3; %s ya exist\xED""a y se ha "
                 "dejado como estaba, as\xED que los 2 registros completos no "
                 "se han escrito"},
  };
  // clang-format on
  for (const auto& c : kept) {
    job.run.language = c.language;
    outcome = Convert(job);
    EXPECT_EQ(ConvertStatus::kTruncatedEarlierKept, outcome.status);
    std::string text = c.text;
    text.replace(text.find("%s"), 2, outcome.output_path);
    EXPECT_EQ(job.table.path + text, outcome.message);
    EXPECT_EQ("earlier", ReadFile(outcome.output_path));
    EXPECT_EQ("cut.ADI cut.dbf ", dir_.Listing());
  }
}

TEST_F(ConvertFileTest, RefusesAnOutputThatIsTheInput) {
  std::string bytes = BuildTable(SmallLog());
  Job job = ListTable("LOG.ADI", bytes);
  ConvertOutcome outcome = Convert(job);
  EXPECT_EQ(ConvertStatus::kSameFile, outcome.status);
  EXPECT_EQ("The output " + job.table.path + " would replace the input " +
                job.table.path + "; nothing was written",
            outcome.message);
  EXPECT_EQ(bytes, ReadFile(job.table.path));

  // Another name for the same file.
  Job linked = ListTable("log.dbf", bytes);
  std::filesystem::create_hard_link(linked.table.path, dir_ / "other.adi");
  linked.output.path = dir_ / "other.adi";
  EXPECT_EQ(ConvertStatus::kSameFile, Convert(linked).status);
  EXPECT_EQ(bytes, ReadFile(linked.table.path));
  EXPECT_EQ("LOG.ADI log.dbf other.adi ", dir_.Listing());
}

TEST_F(ConvertFileTest, ReportsInputsThatCannotBeOpened) {
  Job job = ListTable("log.dbf", BuildTable(SmallLog()));
  std::filesystem::remove(job.table.path);
  ConvertOutcome outcome = Convert(job);
  EXPECT_EQ(ConvertStatus::kCannotOpenInput, outcome.status);
  EXPECT_EQ("Cannot open " + job.table.path + ": No such file or directory",
            outcome.message);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "log.ADI"));

  job.table.path = dir_.path().string();
  outcome = Convert(job);
  EXPECT_EQ(ConvertStatus::kCannotOpenInput, outcome.status);
  EXPECT_EQ("Cannot open " + job.table.path + ": not a regular file",
            outcome.message);
}

TEST_F(ConvertFileTest, ReportsOutputsThatCannotBeCreated) {
  Job job = ListTable("log.dbf", BuildTable(SmallLog()));
  job.output.path = dir_ / "missing-folder/log.adi";
  ConvertOutcome outcome = Convert(job);
  EXPECT_EQ(ConvertStatus::kCannotCreateOutput, outcome.status);
  EXPECT_EQ("Cannot create " + job.output.path + ": No such file or directory",
            outcome.message);

  std::filesystem::create_directory(dir_ / "log.ADI");
  job.output.path.clear();
  job.run.language = kSpanish;
  outcome = Convert(job);
  EXPECT_EQ(ConvertStatus::kCannotCreateOutput, outcome.status);
  EXPECT_EQ("No se puede crear " + outcome.output_path + ": es una carpeta",
            outcome.message);
}

TEST_F(ConvertFileTest, WritesToTheNullDevice) {
  Job job = ListTable("log.dbf", BuildTable(SmallLog()));
#ifdef _WIN32
  job.output.path = "NUL";
#else
  job.output.path = "/dev/null";
#endif
  ConvertOutcome outcome = Convert(job);
  ASSERT_TRUE(outcome.ok()) << outcome.message;
  EXPECT_EQ("log.dbf ", dir_.Listing());
}

TEST_F(ConvertFileTest, AFailedWriteLeavesNoFileBehind) {
  Job job = ListTable("log.dbf", BuildTable(SmallLog()));
  job.output.path = "/dev/full";
  ConvertOutcome outcome = Convert(job);
  EXPECT_EQ(ConvertStatus::kWriteFailed, outcome.status);
  EXPECT_EQ("Cannot write /dev/full: No space left on device; nothing was "
            "converted",
            outcome.message);
  EXPECT_EQ("log.dbf ", dir_.Listing());
}

#ifndef _WIN32
TEST_F(ConvertFileTest, AnOutputReachedThroughALinkIsReplacedWhereItPoints) {
  Job job = ListTable("log.dbf", BuildTable(SmallLog()));
  std::filesystem::create_directory(dir_ / "kept");
  WriteFile(dir_ / "kept/log.adi", "old");
  std::filesystem::create_symlink(dir_ / "kept/log.adi", dir_ / "log.ADI");
  ASSERT_TRUE(Convert(job).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "log.ADI"));
  EXPECT_EQ(AdifHeaderText(kEnglish) + kSmallLogLines,
            ReadFile(dir_ / "kept/log.adi"));
  EXPECT_EQ("kept log.ADI log.dbf ", dir_.Listing());
}
#endif

TEST_F(ConvertFileTest, LongPathsAreKeptWhole) {
  std::string folder(150, 'd');
  std::filesystem::create_directory(dir_ / folder);
  Job job = ListTable(folder + "/" + std::string(100, 'f') + ".dbf",
                      BuildTable(SmallLog()));
  ASSERT_GT(job.table.path.size(), 255u);
  ConvertOutcome outcome = Convert(job);
  ASSERT_TRUE(outcome.ok()) << outcome.message;
  EXPECT_EQ(DeriveOutputPath(job.table.path), outcome.output_path);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kSmallLogLines,
            ReadFile(outcome.output_path));
}

TEST_F(ConvertFileTest, WritesToStandardOutput) {
  Job job = ListTable("log.dbf", BuildTable(SmallLog()));
  FakeFileSystem files;
  files.Put(job.table.path, ReadFile(job.table.path));
  job.run.files = &files;
  job.output.to_standard_output = true;
  ConvertOutcome outcome = Convert(job);
  ASSERT_TRUE(outcome.ok());
  EXPECT_EQ(job.table.path + "\nconverted to\nstandard output",
            outcome.message);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kSmallLogLines, files.standard_output);
  EXPECT_EQ(job.table.path, files.Listing());
}

TEST(ReadTableFile, NamesTheFileAndTheCause) {
  TempDir dir;
  DbfLayout layout;
  TableError error;
  auto message = [&error](const std::string& path, Language language) {
    return TableErrorText(path, error, language);
  };
  FileSystem& files = SystemFileSystem();
  WriteFile(dir / "short.dbf", std::string(20, '\x03'));
  EXPECT_FALSE(ReadTableFile(files, dir / "short.dbf", &layout, &error));
  EXPECT_EQ(dir / "short.dbf" +
                " is not a readable DBF table: the file is shorter than the "
                "32-byte header",
            message(dir / "short.dbf", kEnglish));
  std::string bytes = BuildTable(SmallLog()).substr(0, 70);
  WriteFile(dir / "cut.dbf", bytes);
  EXPECT_FALSE(ReadTableFile(files, dir / "cut.dbf", &layout, &error));
  EXPECT_EQ(dir / "cut.dbf" +
                " no es una tabla DBF legible: el fichero termina dentro de "
                "la descripci\xF3n de los campos",
            message(dir / "cut.dbf", kSpanish));
  EXPECT_FALSE(ReadTableFile(files, dir / "none.dbf", &layout, &error));
  EXPECT_EQ("Cannot open " + (dir / "none.dbf") + ": No such file or directory",
            message(dir / "none.dbf", kEnglish));
}

// The same frame over the in-memory file system, where any read, write,
// close or rename can fail.
class ConvertFileFaults : public ::testing::Test {
 protected:
  // Puts \a table in logs/log.dbf, lists it with every column mapped to the
  // keyword of its name, and an earlier logs/log.ADI beside it.
  Job Listed(const BuilderTable& table) {
    files_.PutFolder("logs");
    files_.Put("logs/log.dbf", BuildTable(table));
    files_.Put("logs/log.ADI", "earlier", 0600);
    Job job;
    job.table.path = "logs/log.dbf";
    TableError error;
    EXPECT_TRUE(
        ReadTableFile(files_, job.table.path, &job.table.layout, &error));
    VectorTextList fields;
    ListColumns(job.table.layout, kEnglish, &fields);
    std::vector<std::string> entries;
    for (int i = 0; i < fields.Count(); ++i)
      entries.push_back(ReassignEntry(fields.Get(i), table.columns[i].name));
    job.table.plan = PlanColumns(entries, kEnglish);
    MarkMemoColumns(job.table.layout, &job.table.plan);
    job.run.language = kEnglish;
    job.run.files = &files_;
    files_.reads = 0;  // calls are counted from the conversion on
    return job;
  }
  FakeFileSystem files_;
};

BuilderTable ManyRecords() {
  // About 1.5 MB of table and more of ADIF: read and written in several
  // blocks.
  BuilderTable t;
  t.columns = {{"CALL", 'C', 10, 0}, {"NAME", 'C', 20, 0}};
  for (int r = 0; r < 50000; ++r)
    t.rows.push_back({"EA" + std::to_string(r), "Name " + std::to_string(r)});
  return t;
}

TEST_F(ConvertFileFaults, AFailureAnywhereKeepsTheEarlierOutputWhole) {
  const struct {
    const char* name;
    int FakeFileSystem::*fail_at;
    int call;
    ConvertStatus status;
    const char* message;
    // clang-format off
  } cases[] = {
      {"the header's write", &FakeFileSystem::fail_write_at, 1,
       ConvertStatus::kWriteFailed, "Cannot write logs/log.ADI: "},
      {"a record block's write", &FakeFileSystem::fail_write_at, 2,
       ConvertStatus::kWriteFailed, "Cannot write logs/log.ADI: "},
      {"the last write", &FakeFileSystem::fail_write_at, 3,
       ConvertStatus::kWriteFailed, "Cannot write logs/log.ADI: "},
      {"the close", &FakeFileSystem::fail_close_at, 1,
       ConvertStatus::kWriteFailed, "Cannot write logs/log.ADI: "},
      {"the rename", &FakeFileSystem::fail_rename_at, 1,
       ConvertStatus::kWriteFailed, "Cannot write logs/log.ADI: "},
      {"the first read", &FakeFileSystem::fail_read_at, 1,
       ConvertStatus::kReadFailed, "Cannot read logs/log.dbf: "},
      {"a later read", &FakeFileSystem::fail_read_at, 2,
       ConvertStatus::kReadFailed, "Cannot read logs/log.dbf: "},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    files_ = FakeFileSystem();
    Job job = Listed(ManyRecords());
    files_.*c.fail_at = c.call;
    ConvertOutcome outcome = Convert(job);
    EXPECT_EQ(c.status, outcome.status);
    EXPECT_EQ(0u, outcome.message.find(c.message)) << outcome.message;
    EXPECT_NE(std::string::npos, outcome.message.find("nothing was converted"));
    EXPECT_EQ("earlier", files_.Bytes("logs/log.ADI"));
    EXPECT_EQ(0600u, files_.entries["logs/log.ADI"].mode);
    EXPECT_EQ("logs logs/log.ADI logs/log.dbf", files_.Listing());
  }
  // Without a failure the earlier file is replaced, keeping its permissions.
  files_ = FakeFileSystem();
  Job job = Listed(ManyRecords());
  ASSERT_TRUE(Convert(job).ok());
  EXPECT_EQ(4, files_.writes);
  EXPECT_EQ(0600u, files_.entries["logs/log.ADI"].mode);
  EXPECT_EQ("logs logs/log.ADI logs/log.dbf", files_.Listing());
}

TEST_F(ConvertFileFaults, NoInputIsEverTheOutput) {
  BuilderTable table;
  table.version = 0xF5;
  table.columns = {{"CALL", 'C', 6, 0}, {"NOTES", 'M', 10, 0}};
  std::vector<std::uint32_t> blocks;
  std::string memo = BuildMemoFile(MemoLayout::kFoxPro, {"a note"}, &blocks);
  table.rows = {{"EA4ABC", MemoNumber(blocks[0])}};
  const struct {
    const char* output;
    bool read_memos;
    // clang-format off
  } cases[] = {
      {"logs/log.dbf", false},
      {"logs/log.FPT", true},
      {"logs/my.map", false},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    files_ = FakeFileSystem();
    Job job = Listed(table);
    files_.Put("logs/log.FPT", memo);
    files_.Put("logs/my.map", "CALL=CALL\n");
    job.output.path = c.output;
    job.table.read_memos = c.read_memos;
    job.run.other_inputs = {"logs/my.map"};
    const FakeFileSystem before = files_;
    ConvertOutcome outcome = Convert(job);
    EXPECT_EQ(ConvertStatus::kSameFile, outcome.status);
    EXPECT_EQ(std::string("The output ") + c.output +
                  " would replace the input " + c.output +
                  "; nothing was written",
              outcome.message);
    EXPECT_EQ(before.Listing(), files_.Listing());
    EXPECT_EQ(before.Bytes(c.output), files_.Bytes(c.output));
  }
}

TEST_F(ConvertFileFaults, AReadOnlyOutputIsRefusedBeforeAnythingIsWritten) {
  for (Language language : {kEnglish, kSpanish}) {
    files_ = FakeFileSystem();
    Job job = Listed(SmallLog());
    files_.entries["logs/log.ADI"].mode = 0444;
    job.run.language = language;
    ConvertOutcome outcome = Convert(job);
    EXPECT_EQ(ConvertStatus::kCannotCreateOutput, outcome.status);
    EXPECT_EQ(
        Choose(language, "No se puede crear logs/log.ADI: es de solo lectura",
               "Cannot create logs/log.ADI: it is read-only"),
        outcome.message);
    EXPECT_EQ(0, files_.writes);
    EXPECT_EQ("earlier", files_.Bytes("logs/log.ADI"));
    EXPECT_EQ(0444u, files_.entries["logs/log.ADI"].mode);
    EXPECT_EQ("logs logs/log.ADI logs/log.dbf", files_.Listing());
  }
}

TEST_F(ConvertFileFaults, AMemoErrorWritesNothingToAStream) {
  BuilderTable table;
  table.version = 0xF5;
  table.columns = {{"CALL", 'C', 6, 0}, {"NOTES", 'M', 10, 0}};
  std::vector<std::uint32_t> blocks;
  std::string memo = BuildMemoFile(MemoLayout::kFoxPro, {"a note"}, &blocks);
  for (int r = 0; r < 30000; ++r)
    table.rows.push_back({"EA" + std::to_string(r), MemoNumber(blocks[0])});
  table.rows.push_back({"F6XYZ", MemoNumber(9999)});  // past the memo file
  for (bool to_device : {false, true}) {
    files_ = FakeFileSystem();
    Job job = Listed(table);
    files_.Put("logs/log.FPT", memo);
    files_.PutDevice("dev/null");
    job.table.read_memos = true;
    job.output.to_standard_output = !to_device;
    job.output.path = to_device ? "dev/null" : "";
    ConvertOutcome outcome = Convert(job);
    EXPECT_EQ(ConvertStatus::kMemoFailed, outcome.status);
    EXPECT_EQ("logs/log.FPT: memo of record 30001 points to block 9999, "
              "beyond the end of the memo file; nothing was converted",
              outcome.message);
    EXPECT_EQ("", files_.standard_output);
    EXPECT_EQ("", files_.Bytes("dev/null"));
  }
}

}  // namespace

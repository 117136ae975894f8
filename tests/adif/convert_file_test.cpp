// Tests of the Convert command frame on real files: output naming, replacing,
// refusing, and reporting what went wrong.

#include "adif/convert_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "adif/adif_header.h"
#include "dbf/field_list.h"
#include "dbf/table_file.h"
#include "dbf_builder.h"
#include "test_support.h"

namespace {

BuilderTable SmallLog() {
  BuilderTable t;
  t.columns = {{"CALL", 'C', 8, 0}, {"HORA", 'C', 5, 0}, {"QSL", 'C', 1, 0}};
  t.rows = {{"EA4ABC", "09:15", "S"}, {"F6XYZ", "10:42", "N"},
            {"DL1MUE", "23:59", "T"}};
  return t;
}

const char kSmallLogLines[] =
    "<CALL:6>EA4ABC <TIME_ON:4>0915 <QSL_SENT:1>Y <EOR>\r\n"
    "<CALL:5>F6XYZ <TIME_ON:4>1042 <QSL_SENT:1>N <EOR>\r\n"
    "<CALL:6>DL1MUE <TIME_ON:4>2359 <QSL_SENT:1>Y <EOR>\r\n";

class ConvertFileTest : public ::testing::Test {
 protected:
  // Writes \a table as NAME in the temp folder and lists it as the window
  // program would, with CALL, TIME_ON, QSL_SENT assigned.
  ConvertJob ListTable(const std::string& name, const std::string& bytes,
                       Language language = kEnglish) {
    ConvertJob job;
    job.input_path = dir_ / name;
    WriteFile(job.input_path, bytes);
    DbfLayout layout;
    std::string message;
    EXPECT_TRUE(ReadTableFile(job.input_path, language, &layout, &message))
        << message;
    VectorTextList fields;
    ListColumns(layout, language, &fields);
    const char* keywords[] = {"CALL", "TIME_ON", "QSL_SENT"};
    for (int i = 0; i < fields.Count() && i < 3; ++i) {
      std::string entry = ReassignEntry(fields.Get(i), keywords[i]);
      fields.Delete(i);
      fields.Insert(i, entry);
    }
    job.entries = fields.texts();
    job.header = layout.header;
    job.language = language;
    return job;
  }
  TempDir dir_;
};

TEST_F(ConvertFileTest, WritesHeaderAndRecordsBesideTheInput) {
  ConvertJob job = ListTable("log.dbf", BuildTable(SmallLog()));
  ConvertOutcome outcome = ConvertFile(job);
  ASSERT_TRUE(outcome.ok()) << outcome.message;
  EXPECT_EQ(dir_ / "log.ADI", outcome.output_path);
  EXPECT_EQ(job.input_path + "\nconverted to\n" + outcome.output_path,
            outcome.message);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kSmallLogLines,
            ReadFile(outcome.output_path));
  EXPECT_EQ("log.ADI log.dbf ", dir_.Listing());
}

TEST_F(ConvertFileTest, ReplacesAnEarlierOutputAndRepeatsByteForByte) {
  ConvertJob job = ListTable("log.dbf", BuildTable(SmallLog()));
  WriteFile(dir_ / "log.ADI", std::string(100000, 'x'));
  ASSERT_TRUE(ConvertFile(job).ok());
  std::string first = ReadFile(dir_ / "log.ADI");
  EXPECT_EQ(AdifHeaderText(kEnglish) + kSmallLogLines, first);
  ASSERT_TRUE(ConvertFile(job).ok());
  EXPECT_EQ(first, ReadFile(dir_ / "log.ADI"));
}

TEST_F(ConvertFileTest, NoRecordsGiveTheHeaderAlone) {
  BuilderTable t = SmallLog();
  t.rows.clear();
  ConvertJob job = ListTable("empty.dbf", BuildTable(t), kSpanish);
  ConvertOutcome outcome = ConvertFile(job);
  ASSERT_TRUE(outcome.ok());
  EXPECT_EQ(AdifHeaderText(kSpanish), ReadFile(outcome.output_path));
  EXPECT_NE(std::string::npos, outcome.message.find("\nconvertido en\n"));
}

TEST_F(ConvertFileTest, UsesTheHeaderReadWhenTheTableWasListed) {
  ConvertJob job = ListTable("log.dbf", BuildTable(SmallLog()));
  job.header.record_count = 2;
  ASSERT_TRUE(ConvertFile(job).ok());
  std::string lines = kSmallLogLines;
  EXPECT_EQ(AdifHeaderText(kEnglish) + lines.substr(0, lines.rfind("<CALL")),
            ReadFile(dir_ / "log.ADI"));
}

TEST_F(ConvertFileTest, ATruncatedTableKeepsItsCompleteRecordsAndSaysSo) {
  std::string bytes = BuildTable(SmallLog());
  bytes.resize(bytes.size() - 1 - 8);  // no end marker, record 3 cut short
  ConvertJob job = ListTable("cut.dbf", bytes);
  ConvertOutcome outcome = ConvertFile(job);
  EXPECT_EQ(ConvertStatus::kTruncated, outcome.status);
  EXPECT_EQ(job.input_path + " ends after record 2 of 3; the 2 complete "
                             "records were converted to " +
                outcome.output_path,
            outcome.message);
  std::string lines = kSmallLogLines;
  std::string written = ReadFile(outcome.output_path);
  EXPECT_EQ(AdifHeaderText(kEnglish) + lines.substr(0, lines.rfind("<CALL")),
            written);
  EXPECT_EQ(std::string::npos, written.find('\xFF'));
  job.language = kSpanish;
  EXPECT_EQ(job.input_path + " termina tras el registro 2 de 3; los 2 "
                             "registros completos se han convertido en " +
                outcome.output_path,
            ConvertFile(job).message);
}

TEST_F(ConvertFileTest, RefusesAnOutputThatIsTheInput) {
  std::string bytes = BuildTable(SmallLog());
  ConvertJob job = ListTable("LOG.ADI", bytes);
  ConvertOutcome outcome = ConvertFile(job);
  EXPECT_EQ(ConvertStatus::kSameFile, outcome.status);
  EXPECT_EQ("The output " + job.input_path + " would replace the input " +
                job.input_path + "; nothing was written",
            outcome.message);
  EXPECT_EQ(bytes, ReadFile(job.input_path));

  // Another name for the same file.
  ConvertJob linked = ListTable("log.dbf", bytes);
  std::filesystem::create_hard_link(linked.input_path, dir_ / "other.adi");
  linked.output_path = dir_ / "other.adi";
  EXPECT_EQ(ConvertStatus::kSameFile, ConvertFile(linked).status);
  EXPECT_EQ(bytes, ReadFile(linked.input_path));
  EXPECT_EQ("LOG.ADI log.dbf other.adi ", dir_.Listing());
}

TEST_F(ConvertFileTest, ReportsInputsThatCannotBeOpened) {
  ConvertJob job = ListTable("log.dbf", BuildTable(SmallLog()));
  std::filesystem::remove(job.input_path);
  ConvertOutcome outcome = ConvertFile(job);
  EXPECT_EQ(ConvertStatus::kCannotOpenInput, outcome.status);
  EXPECT_EQ("Cannot open " + job.input_path + ": No such file or directory",
            outcome.message);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "log.ADI"));

  job.input_path = dir_.path().string();
  outcome = ConvertFile(job);
  EXPECT_EQ(ConvertStatus::kCannotOpenInput, outcome.status);
  EXPECT_EQ("Cannot open " + job.input_path + ": not a regular file",
            outcome.message);
}

TEST_F(ConvertFileTest, ReportsOutputsThatCannotBeCreated) {
  ConvertJob job = ListTable("log.dbf", BuildTable(SmallLog()));
  job.output_path = dir_ / "missing-folder/log.adi";
  ConvertOutcome outcome = ConvertFile(job);
  EXPECT_EQ(ConvertStatus::kCannotCreateOutput, outcome.status);
  EXPECT_EQ("Cannot create " + job.output_path + ": No such file or directory",
            outcome.message);

  std::filesystem::create_directory(dir_ / "log.ADI");
  job.output_path.clear();
  job.language = kSpanish;
  outcome = ConvertFile(job);
  EXPECT_EQ(ConvertStatus::kCannotCreateOutput, outcome.status);
  EXPECT_EQ("No se puede crear " + outcome.output_path + ": es una carpeta",
            outcome.message);
}

TEST_F(ConvertFileTest, AFailedWriteLeavesNoFileBehind) {
  ConvertJob job = ListTable("log.dbf", BuildTable(SmallLog()));
  job.output_path = "/dev/full";
  ConvertOutcome outcome = ConvertFile(job);
  EXPECT_EQ(ConvertStatus::kWriteFailed, outcome.status);
  EXPECT_EQ("Cannot write /dev/full: No space left on device; nothing was "
            "converted",
            outcome.message);
  EXPECT_EQ("log.dbf ", dir_.Listing());
}

#ifndef _WIN32
TEST_F(ConvertFileTest, AnOutputReachedThroughALinkIsReplacedWhereItPoints) {
  ConvertJob job = ListTable("log.dbf", BuildTable(SmallLog()));
  std::filesystem::create_directory(dir_ / "kept");
  WriteFile(dir_ / "kept/log.adi", "old");
  std::filesystem::create_symlink(dir_ / "kept/log.adi", dir_ / "log.ADI");
  ASSERT_TRUE(ConvertFile(job).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "log.ADI"));
  EXPECT_EQ(AdifHeaderText(kEnglish) + kSmallLogLines,
            ReadFile(dir_ / "kept/log.adi"));
  EXPECT_EQ("kept log.ADI log.dbf ", dir_.Listing());
}
#endif

TEST_F(ConvertFileTest, LongPathsAreKeptWhole) {
  std::string folder(150, 'd');
  std::filesystem::create_directory(dir_ / folder);
  ConvertJob job = ListTable(folder + "/" + std::string(100, 'f') + ".dbf",
                             BuildTable(SmallLog()));
  ASSERT_GT(job.input_path.size(), 255u);
  ConvertOutcome outcome = ConvertFile(job);
  ASSERT_TRUE(outcome.ok()) << outcome.message;
  EXPECT_EQ(DeriveOutputPath(job.input_path), outcome.output_path);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kSmallLogLines,
            ReadFile(outcome.output_path));
}

TEST_F(ConvertFileTest, WritesToAnOpenStream) {
  ConvertJob job = ListTable("log.dbf", BuildTable(SmallLog()));
  std::FILE* stream = std::tmpfile();
  job.output_stream = stream;
  ConvertOutcome outcome = ConvertFile(job);
  ASSERT_TRUE(outcome.ok());
  EXPECT_EQ(job.input_path + "\nconverted to\nstandard output", outcome.message);
  std::rewind(stream);
  char buffer[4096];
  std::size_t got = std::fread(buffer, 1, sizeof buffer, stream);
  std::fclose(stream);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kSmallLogLines, std::string(buffer, got));
  EXPECT_EQ("log.dbf ", dir_.Listing());
}

TEST(ReadTableFile, NamesTheFileAndTheCause) {
  TempDir dir;
  DbfLayout layout;
  std::string message;
  WriteFile(dir / "short.dbf", std::string(20, '\x03'));
  EXPECT_FALSE(ReadTableFile(dir / "short.dbf", kEnglish, &layout, &message));
  EXPECT_EQ(dir / "short.dbf" +
                " is not a readable DBF table: the file is shorter than the "
                "32-byte header",
            message);
  std::string bytes = BuildTable(SmallLog()).substr(0, 70);
  WriteFile(dir / "cut.dbf", bytes);
  EXPECT_FALSE(ReadTableFile(dir / "cut.dbf", kSpanish, &layout, &message));
  EXPECT_EQ(dir / "cut.dbf" +
                " no es una tabla DBF legible: el fichero termina dentro de "
                "la descripci\xF3n de los campos",
            message);
  EXPECT_FALSE(ReadTableFile(dir / "none.dbf", kEnglish, &layout, &message));
  EXPECT_EQ("Cannot open " + (dir / "none.dbf") + ": No such file or directory",
            message);
}

}  // namespace

// Runs the logweave command line as a real process: its output, its files
// and its exit codes.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "convert/adif_header.h"
#include "dbf_builder.h"
#include "test_support.h"

namespace {

struct ProcessResult {
  int code = -1;
  std::string out, err;
};

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs logweave with \a args; standard output and error are captured.
ProcessResult Logweave(const std::vector<std::string>& args, const TempDir& dir) {
  std::string command = Quote(LOGWEAVE_BIN);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " >" + Quote(dir / ".out") + " 2>" + Quote(dir / ".err") +
             " </dev/null";
  ProcessResult run;
  int status = std::system(command.c_str());
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadFile(dir / ".out");
  run.err = ReadFile(dir / ".err");
  std::filesystem::remove(dir / ".out");
  std::filesystem::remove(dir / ".err");
  return run;
}

BuilderTable Log() {
  BuilderTable t;
  t.columns = {{"CALL", 'C', 8, 0}, {"FECHA", 'D', 8, 0}, {"HORA", 'C', 5, 0},
               {"NOMBRE", 'C', 12, 0}, {"QSL_SENT", 'C', 1, 0}};
  t.rows = {{"EA4ABC", "20050102", "09:15", "Jos\xE9", "S"},
            {"F6XYZ", "20050103", "10:42", "Fran\xE7ois", "N"},
            {"OLD1", "20050104", "11:00", "Borrado", "N"}};
  t.deleted = {false, false, true};
  return t;
}

const char kLines[] =
    "<CALL:6>EA4ABC <QSO_DATE:8>20050102 <TIME_ON:4>0915 <NAME:4>Jos\xE9 "
    "<QSL_SENT:1>Y <EOR>\r\n"
    "<CALL:5>F6XYZ <QSO_DATE:8>20050103 <TIME_ON:4>1042 <NAME:8>Fran\xE7ois "
    "<QSL_SENT:1>N <EOR>\r\n";
const char kDeletedLine[] =
    "<CALL:4>OLD1 <QSO_DATE:8>20050104 <TIME_ON:4>1100 <NAME:7>Borrado "
    "<QSL_SENT:1>N <EOR>\r\n";

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table_ = dir_ / "log.dbf";
    WriteFile(table_, BuildTable(Log()));
  }
  std::vector<std::string> Mapped(std::vector<std::string> extra) {
    std::vector<std::string> args = {"convert", table_, "--auto", "--map",
                                     "fecha=qso_date,#3=time_on", "--map",
                                     "NOMBRE=name"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  TempDir dir_;
  std::string table_;
};

TEST_F(CliTest, FieldsPrintsTheSummaryAndOneEntryPerColumn) {
  ProcessResult run = Logweave({"fields", table_}, dir_);
  EXPECT_EQ(0, run.code) << run.err;
  EXPECT_EQ(
      "Created in: 14-06-105 with 3 Qso's\n"
      "CALL          C          8          0 Skip\n"
      "FECHA         D          8          0 Skip\n"
      "HORA          C          5          0 Skip\n"
      "NOMBRE        C         12          0 Skip\n"
      "QSL_SENT      C          1          0 Skip\n",
      run.out);
  run = Logweave({"fields", table_, "--lang", "es"}, dir_);
  EXPECT_EQ(0u, run.out.find("Creado el: 14-06-105 con 3 Qso's\nCALL  "));
  EXPECT_NE(std::string::npos, run.out.find(" 0 Omitir\n"));
}

TEST_F(CliTest, CatalogueListsTheRowsOfTheLanguage) {
  ProcessResult run = Logweave({"catalogue", "--lang", "es"}, dir_);
  EXPECT_EQ(0, run.code);
  EXPECT_EQ(0u, run.out.find("Omitir \xA0 Ignorar el campo\nADDRESS M Direcci\xF3n"));
  EXPECT_EQ(43, std::count(run.out.begin(), run.out.end(), '\n'));
  run = Logweave({"catalogue"}, dir_);
  EXPECT_EQ(0u, run.out.find("Skip \xA0 Ignore the field\n"));
}

TEST_F(CliTest, ConvertWritesBesideTheInputAndSaysWhere) {
  ProcessResult run = Logweave(Mapped({}), dir_);
  EXPECT_EQ(0, run.code) << run.err;
  std::string output = dir_ / "log.ADI";
  EXPECT_EQ(table_ + "\nconverted to\n" + output + "\n", run.out);
  EXPECT_EQ("", run.err);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kLines + kDeletedLine, ReadFile(output));
}

TEST_F(CliTest, StandardOutputGetsTheSameBytes) {
  ProcessResult run = Logweave(Mapped({"-o", "-", "--lang", "es", "--skip-deleted"}), dir_);
  EXPECT_EQ(0, run.code) << run.err;
  EXPECT_EQ(AdifHeaderText(kSpanish) + kLines, run.out);
  EXPECT_EQ(table_ + "\nconvertido en\nla salida est\xE1ndar\n", run.err);
  EXPECT_EQ("log.dbf ", dir_.Listing());
}

TEST_F(CliTest, NamedOutputAndWarningWithoutCall) {
  std::string output = dir_ / "out.adi";
  ProcessResult run = Logweave({"convert", table_, "-o", output}, dir_);
  EXPECT_EQ(0, run.code);
  EXPECT_NE(std::string::npos, run.err.find("warning: no column is mapped to CALL"));
  EXPECT_EQ(AdifHeaderText(kEnglish) + "<EOR>\r\n<EOR>\r\n<EOR>\r\n",
            ReadFile(output));
}

TEST_F(CliTest, ExitCodesAndMessages) {
  WriteFile(dir_ / "short.dbf", "abc");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string error;  // expected at the start of standard error
  } cases[] = {
      {{"convert", table_, "--map", "BANDA=BAND"}, 2,
       "logweave: unknown column 'BANDA' in " + table_},
      {{"convert", table_, "--map", "CALL=CA LL"}, 2,
       "logweave: malformed keyword 'CA LL'"},
      {{"convert", table_, "--map", "CALL"}, 2, "logweave: malformed mapping"},
      {{"convert", table_, "--bogus"}, 2, ""},
      {{"convert", table_, "--lang", "fr"}, 2, ""},
      {{"frobnicate"}, 2, ""},
      {{}, 2, ""},
      {{"convert", dir_ / "none.dbf", "--auto"}, 1,
       "logweave: Cannot open " + (dir_ / "none.dbf") +
           ": No such file or directory"},
      {{"fields", dir_ / "short.dbf"}, 1,
       "logweave: " + (dir_ / "short.dbf") +
           " is not a readable DBF table: the file is shorter than the "
           "32-byte header"},
      {{"convert", table_, "--auto", "-o", "/dev/full"}, 1,
       "logweave: Cannot write /dev/full: No space left on device"},
      {{"convert", table_, "--auto", "-o", table_}, 1,
       "logweave: The output " + table_ + " would replace the input"},
  };
  for (const auto& c : cases) {
    ProcessResult run = Logweave(c.args, dir_);
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    EXPECT_EQ(c.code, run.code) << shown << run.err;
    EXPECT_EQ(0u, run.err.find(c.error)) << shown << run.err;
    EXPECT_EQ("", run.out) << shown;
    EXPECT_FALSE(run.err.empty()) << shown;
  }
  EXPECT_EQ(BuildTable(Log()), ReadFile(table_));
  EXPECT_EQ("log.dbf short.dbf ", dir_.Listing());
}

TEST_F(CliTest, HelpAndVersion) {
  ProcessResult run = Logweave({"--help"}, dir_);
  EXPECT_EQ(0, run.code);
  EXPECT_NE(std::string::npos, run.out.find("convert"));
  run = Logweave({"convert", "--help"}, dir_);
  EXPECT_EQ(0, run.code);
  EXPECT_NE(std::string::npos, run.out.find("--skip-deleted"));
  run = Logweave({"--version"}, dir_);
  EXPECT_EQ(0, run.code);
  EXPECT_EQ(0u, run.out.find("logweave "));
}

TEST_F(CliTest, TruncatedTableIsAnErrorThatKeepsTheCompleteRecords) {
  std::string bytes = BuildTable(Log());
  bytes.resize(bytes.size() - 10);
  WriteFile(table_, bytes);
  ProcessResult run = Logweave(Mapped({}), dir_);
  EXPECT_EQ(1, run.code);
  EXPECT_EQ("logweave: " + table_ + " ends after record 2 of 3; the 2 complete "
            "records were converted to " + (dir_ / "log.ADI") + "\n",
            run.err);
  EXPECT_EQ("", run.out);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kLines, ReadFile(dir_ / "log.ADI"));
}

TEST_F(CliTest, MappingFileRoundTripsAndErrorsNameTheLine) {
  // The generated file maps what --auto maps; filled in, it maps the rest.
  ProcessResult run = Logweave({"fields", table_, "--mapping"}, dir_);
  EXPECT_EQ(0, run.code);
  EXPECT_NE(std::string::npos, run.out.find("\nCALL=CALL\n"));
  EXPECT_NE(std::string::npos, run.out.find("\n# FECHA=            (D, 8)\n"));
  std::string text = run.out + "FECHA=qso_date\n\n  # a comment\r\n#3=TIME_ON\r\n"
                               "NOMBRE = name\n";
  WriteFile(dir_ / "log.map", text);
  run = Logweave({"convert", table_, "--map-file", dir_ / "log.map"}, dir_);
  EXPECT_EQ(0, run.code) << run.err;
  EXPECT_EQ(AdifHeaderText(kEnglish) + kLines + kDeletedLine,
            ReadFile(dir_ / "log.ADI"));

  // --map comes after the file and wins.
  run = Logweave({"convert", table_, "--map-file", dir_ / "log.map", "--map",
                  "NOMBRE=skip", "-o", "-"},
                 dir_);
  EXPECT_EQ(std::string::npos, run.out.find("<NAME:"));

  const struct {
    std::string line;
    int code;
    std::string error;
  } cases[] = {
      {"CALL=CALL\nBANDA=BAND\n", 2,
       "logweave: " + (dir_ / "bad.map") + ":2: unknown column 'BANDA' in " +
           table_},
      {"# header\n\nCALL CALL\n", 2,
       "logweave: " + (dir_ / "bad.map") +
           ":3: malformed mapping 'CALL CALL': expected COLUMN=KEYWORD"},
      {"CALL=CA-LL\n", 2,
       "logweave: " + (dir_ / "bad.map") + ":1: malformed keyword 'CA-LL'"},
  };
  for (const auto& c : cases) {
    WriteFile(dir_ / "bad.map", c.line);
    run = Logweave({"convert", table_, "--map-file", dir_ / "bad.map"}, dir_);
    EXPECT_EQ(c.code, run.code);
    EXPECT_EQ(0u, run.err.find(c.error)) << run.err;
  }
  run = Logweave({"convert", table_, "--map-file", dir_ / "none.map"}, dir_);
  EXPECT_EQ(1, run.code);
  EXPECT_EQ(0u, run.err.find("logweave: Cannot open " + (dir_ / "none.map")));
}

TEST_F(CliTest, CharsetsAndCodePages) {
  ProcessResult run =
      Logweave(Mapped({"--charset", "ascii", "-o", "-", "--skip-deleted"}), dir_);
  EXPECT_EQ(0, run.code) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("<NAME:4>Jose <"));
  EXPECT_NE(std::string::npos, run.out.find("<NAME:8>Francois <"));
  EXPECT_NE(std::string::npos,
            run.err.find("note: 2 values held characters outside ASCII"));
  run = Logweave(Mapped({"--charset", "utf-8", "-o", "-"}), dir_);
  EXPECT_NE(std::string::npos, run.out.find("<NAME:5>Jos\xC3\xA9 <"));
  // Read as DOS code page 850, byte 0xE9 is an accented U.
  run = Logweave(Mapped({"--charset", "utf-8", "--codepage", "850", "-o", "-"}),
                 dir_);
  EXPECT_NE(std::string::npos, run.out.find("<NAME:5>Jos\xC3\x9A <"));
  // Without the options the bytes stay as they are.
  run = Logweave(Mapped({"--codepage", "850", "-o", "-"}), dir_);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kLines + kDeletedLine, run.out);
  run = Logweave(Mapped({"--charset", "latin1"}), dir_);
  EXPECT_EQ(2, run.code);
}

TEST_F(CliTest, MemoColumnsAreReadWithMemo) {
  BuilderTable t;
  t.version = 0x83;
  t.columns = {{"CALL", 'C', 8, 0}, {"NOTES", 'M', 10, 0}};
  std::vector<std::uint32_t> blocks;
  WriteFile(dir_ / "memo.DBT",
            BuildMemoFile(MemoLayout::kDbase3, {"Worked on 20m\r\nQSL via bureau"},
                          &blocks));
  t.rows = {{"EA4ABC", MemoNumber(blocks[0])}, {"F6XYZ", MemoNumber(0)}};
  WriteFile(dir_ / "memo.dbf", BuildTable(t));
  std::vector<std::string> args = {"convert", dir_ / "memo.dbf", "--auto",
                                   "--map", "NOTES=COMMENT", "-o", "-"};
  ProcessResult run = Logweave(args, dir_);
  EXPECT_EQ(0, run.code) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("<COMMENT:10>         1 <EOR>"));
  args.push_back("--memo");
  run = Logweave(args, dir_);
  EXPECT_EQ(0, run.code) << run.err;
  EXPECT_NE(std::string::npos,
            run.out.find("<CALL:6>EA4ABC <COMMENT:29>Worked on 20m\r\nQSL via "
                         "bureau <EOR>\r\n<CALL:5>F6XYZ <EOR>\r\n"));
  std::filesystem::remove(dir_ / "memo.DBT");
  run = Logweave(args, dir_);
  EXPECT_EQ(1, run.code);
  EXPECT_EQ(0u, run.err.find("logweave: no memo file")) << run.err;
}

TEST_F(CliTest, CheckReportsWhatItFindsAndConvertCanCheckItsOutput) {
  ProcessResult run = Logweave(Mapped({"--check", "--charset", "ascii"}), dir_);
  EXPECT_EQ(1, run.code) << run.err;  // no MODE and no BAND or FREQ
  EXPECT_EQ(0u, run.out.find(table_ + "\nconverted to\n" + (dir_ / "log.ADI") +
                             "\nrecord 1: "))
      << run.out;
  std::string written = ReadFile(dir_ / "log.ADI");

  ProcessResult check = Logweave({"check", dir_ / "log.ADI"}, dir_);
  EXPECT_EQ(1, check.code);
  EXPECT_EQ(run.out.substr(run.out.find("record 1: ")), check.out);
  EXPECT_EQ(written, ReadFile(dir_ / "log.ADI"));  // only read

  WriteFile(dir_ / "clean.adi",
            "<CALL:6>EA4ABC <QSO_DATE:8>20050102 <TIME_ON:4>0915 <BAND:3>40M "
            "<MODE:3>SSB <EOR>\n");
  check = Logweave({"check", dir_ / "clean.adi"}, dir_);
  EXPECT_EQ(0, check.code) << check.out;

  run = Logweave(Mapped({"--check", "-o", "-"}), dir_);
  EXPECT_EQ(2, run.code);
  check = Logweave({"check", dir_ / "none.adi"}, dir_);
  EXPECT_EQ(1, check.code);
  EXPECT_NE(std::string::npos, check.err.find(dir_ / "none.adi"));
  EXPECT_EQ(2, Logweave({"check"}, dir_).code);
}

}  // namespace

// Runs the logweave command line as a real process: its output, its files
// and its exit codes.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "adif_support.h"
#include "cli_case.h"
#include "convert/adif_header.h"
#include "dbf_builder.h"
#include "fixtures.h"
#include "test_support.h"

namespace {

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table_ = dir_ / "log.dbf";
    WriteFile(table_, BuildTable(StandardLog()));
  }
  std::vector<std::string> Mapped(std::vector<std::string> extra) {
    std::vector<std::string> args = {"convert", table_};
    for (const std::string& arg : StandardMapping()) args.push_back(arg);
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  RunResult Logweave(const std::vector<std::string>& args) {
    return RunLogweave(args, dir_.str());
  }
  TempDir dir_;
  std::string table_;
};

TEST_F(CliTest, FieldsPrintsTheSummaryAndOneEntryPerColumn) {
  RunResult run = Logweave({"fields", table_});
  EXPECT_EQ(0, run.exit_code) << run.err;
  EXPECT_EQ(
      "Created in: 14-06-105 with 3 Qso's\n"
      "CALL          C          8          0 Skip\n"
      "FECHA         D          8          0 Skip\n"
      "HORA          C          5          0 Skip\n"
      "NOMBRE        C         12          0 Skip\n"
      "QSL_SENT      C          1          0 Skip\n",
      run.out);
  run = Logweave({"fields", table_, "--lang", "es"});
  EXPECT_EQ(0u, run.out.find("Creado el: 14-06-105 con 3 Qso's\nCALL  "));
  EXPECT_NE(std::string::npos, run.out.find(" 0 Omitir\n"));
}

TEST_F(CliTest, CatalogueListsTheRowsOfTheLanguage) {
  RunResult run = Logweave({"catalogue", "--lang", "es"});
  EXPECT_EQ(0, run.exit_code);
  EXPECT_EQ(0u, run.out.find("Omitir \xA0 Ignorar el campo\nADDRESS M Direcci\xF3n"));
  EXPECT_EQ(43, std::count(run.out.begin(), run.out.end(), '\n'));
  run = Logweave({"catalogue"});
  EXPECT_EQ(0u, run.out.find("Skip \xA0 Ignore the field\n"));
}

TEST_F(CliTest, ConvertWritesBesideTheInputAndSaysWhere) {
  RunResult run = Logweave(Mapped({}));
  EXPECT_EQ(0, run.exit_code) << run.err;
  std::string output = dir_ / "log.ADI";
  EXPECT_EQ(table_ + "\nconverted to\n" + output + "\n", run.out);
  EXPECT_EQ("", run.err);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kStandardLines + kStandardDeletedLine, ReadFile(output));
}

TEST_F(CliTest, StandardOutputGetsTheSameBytes) {
  RunResult run = Logweave(Mapped({"-o", "-", "--lang", "es", "--skip-deleted"}));
  EXPECT_EQ(0, run.exit_code) << run.err;
  EXPECT_EQ(AdifHeaderText(kSpanish) + kStandardLines, run.out);
  EXPECT_EQ(table_ + "\nconvertido en\nla salida est\xE1ndar\n", run.err);
  EXPECT_EQ("log.dbf ", dir_.Listing());
}

TEST_F(CliTest, NamedOutputAndWarningWithoutCall) {
  std::string output = dir_ / "out.adi";
  RunResult run = Logweave({"convert", table_, "-o", output});
  EXPECT_EQ(0, run.exit_code);
  EXPECT_NE(std::string::npos, run.err.find("warning: no column is mapped to CALL"));
  EXPECT_EQ(AdifHeaderText(kEnglish) + "<EOR>\r\n<EOR>\r\n<EOR>\r\n",
            ReadFile(output));
}

TEST_F(CliTest, ExitCodesAndMessages) {
  WriteFile(dir_ / "short.dbf", "abc");
  WriteFile(dir_ / "log.map", "CALL=CALL\n");
  WriteFile(dir_ / "big.map", std::string((1 << 20) + 1, '#'));
  std::filesystem::create_directory(dir_ / "folder.map");
  ASSERT_EQ(0, mkfifo((dir_ / "fifo.map").c_str(), 0600));
  const std::string t = table_;
  const CliCase cases[] = {
      {"unknown column", {"convert", t, "--map", "BANDA=BAND"}, 2, "",
       "logweave: unknown column 'BANDA' in " + t},
      {"bad keyword", {"convert", t, "--map", "CALL=CA LL"}, 2, "",
       "logweave: malformed keyword 'CA LL'"},
      {"bad mapping", {"convert", t, "--map", "CALL"}, 2, "",
       "logweave: malformed mapping"},
      {"unknown option", {"convert", t, "--bogus"}, 2},
      {"unknown language", {"convert", t, "--lang", "fr"}, 2},
      {"unknown command", {"frobnicate"}, 2},
      {"no command", {}, 2},
      {"missing table", {"convert", "{dir}/none.dbf", "--auto"}, 1, "",
       "logweave: Cannot open " + (dir_ / "none.dbf") +
           ": No such file or directory"},
      {"short table", {"fields", "{dir}/short.dbf"}, 1, "",
       "logweave: " + (dir_ / "short.dbf") +
           " is not a readable DBF table: the file is shorter than the "
           "32-byte header"},
      {"full device", {"convert", t, "--auto", "-o", "/dev/full"}, 1, "",
       "logweave: Cannot write /dev/full: No space left on device"},
      {"output is the table", {"convert", t, "--auto", "-o", t}, 1, "",
       "logweave: The output " + t + " would replace the input"},
      {"output is the mapping file",
       {"convert", t, "--map-file", "{dir}/log.map", "-o", "{dir}/log.map"},
       1, "",
       "logweave: The output " + (dir_ / "log.map") +
           " would replace the input " + (dir_ / "log.map")},
      {"mapping file is a folder",
       {"convert", t, "--map-file", "{dir}/folder.map"}, 1, "",
       "logweave: Cannot open " + (dir_ / "folder.map") +
           ": not a regular file"},
      {"mapping file is a pipe", {"convert", t, "--map-file", "{dir}/fifo.map"},
       1, "",
       "logweave: Cannot open " + (dir_ / "fifo.map") + ": not a regular file"},
      {"mapping file is a device", {"convert", t, "--map-file", "/dev/zero"},
       1, "", "logweave: Cannot open /dev/zero: not a regular file"},
      {"mapping file too large", {"convert", t, "--map-file", "{dir}/big.map"},
       1, "",
       "logweave: Cannot open " + (dir_ / "big.map") + ": it is too large"},
  };
  for (const CliCase& c : cases) {
    RunResult run = ExpectCliCase(c, dir_.str());
    EXPECT_EQ(0u, run.err.find(c.err_has)) << c.name << ": " << run.err;
    EXPECT_EQ("", run.out) << c.name;
    EXPECT_FALSE(run.err.empty()) << c.name;
  }
  EXPECT_EQ(BuildTable(StandardLog()), ReadFile(table_));
  EXPECT_EQ("CALL=CALL\n", ReadFile(dir_ / "log.map"));
  EXPECT_EQ("big.map fifo.map folder.map log.dbf log.map short.dbf ",
            dir_.Listing());
}

TEST_F(CliTest, HelpAndVersion) {
  RunResult run = Logweave({"--help"});
  EXPECT_EQ(0, run.exit_code);
  EXPECT_NE(std::string::npos, run.out.find("convert"));
  run = Logweave({"convert", "--help"});
  EXPECT_EQ(0, run.exit_code);
  EXPECT_NE(std::string::npos, run.out.find("--skip-deleted"));
  run = Logweave({"--version"});
  EXPECT_EQ(0, run.exit_code);
  EXPECT_EQ(0u, run.out.find("logweave "));
}

TEST_F(CliTest, TruncatedTableIsAnErrorThatKeepsTheCompleteRecords) {
  std::string bytes = BuildTable(StandardLog());
  bytes.resize(bytes.size() - 10);
  WriteFile(table_, bytes);
  RunResult run = Logweave(Mapped({}));
  EXPECT_EQ(1, run.exit_code);
  EXPECT_EQ("logweave: " + table_ + " ends after record 2 of 3; the 2 complete "
            "records were converted to " + (dir_ / "log.ADI") + "\n",
            run.err);
  EXPECT_EQ("", run.out);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kStandardLines, ReadFile(dir_ / "log.ADI"));
}

TEST_F(CliTest, MappingFileRoundTripsAndErrorsNameTheLine) {
  // The generated file maps what --auto maps; filled in, it maps the rest.
  RunResult run = Logweave({"fields", table_, "--mapping"});
  EXPECT_EQ(0, run.exit_code);
  EXPECT_NE(std::string::npos, run.out.find("\nCALL=CALL\n"));
  EXPECT_NE(std::string::npos, run.out.find("\n# FECHA=            (D, 8)\n"));
  std::string text = run.out + "FECHA=qso_date\n\n  # a comment\r\n#3=TIME_ON\r\n"
                               "NOMBRE = name\n";
  WriteFile(dir_ / "log.map", text);
  run = Logweave({"convert", table_, "--map-file", dir_ / "log.map"});
  EXPECT_EQ(0, run.exit_code) << run.err;
  EXPECT_EQ(AdifHeaderText(kEnglish) + kStandardLines + kStandardDeletedLine,
            ReadFile(dir_ / "log.ADI"));

  // --map comes after the file and wins.
  run = Logweave({"convert", table_, "--map-file", dir_ / "log.map", "--map",
                  "NOMBRE=skip", "-o", "-"});
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
    run = Logweave({"convert", table_, "--map-file", dir_ / "bad.map"});
    EXPECT_EQ(c.code, run.exit_code);
    EXPECT_EQ(0u, run.err.find(c.error)) << run.err;
  }
  run = Logweave({"convert", table_, "--map-file", dir_ / "none.map"});
  EXPECT_EQ(1, run.exit_code);
  EXPECT_EQ(0u, run.err.find("logweave: Cannot open " + (dir_ / "none.map")));
}

TEST_F(CliTest, CharsetsAndCodePages) {
  RunResult run =
      Logweave(Mapped({"--charset", "ascii", "-o", "-", "--skip-deleted"}));
  EXPECT_EQ(0, run.exit_code) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("<NAME:4>Jose <"));
  EXPECT_NE(std::string::npos, run.out.find("<NAME:8>Francois <"));
  EXPECT_NE(std::string::npos,
            run.err.find("note: 2 values held characters outside ASCII"));
  run = Logweave(Mapped({"--charset", "utf-8", "-o", "-"}));
  EXPECT_NE(std::string::npos, run.out.find("<NAME:5>Jos\xC3\xA9 <"));
  // Read as DOS code page 850, byte 0xE9 is an accented U.
  run = Logweave(Mapped({"--charset", "utf-8", "--codepage", "850", "-o", "-"}));
  EXPECT_NE(std::string::npos, run.out.find("<NAME:5>Jos\xC3\x9A <"));
  // Without the options the bytes stay as they are.
  run = Logweave(Mapped({"--codepage", "850", "-o", "-"}));
  EXPECT_EQ(AdifHeaderText(kEnglish) + kStandardLines + kStandardDeletedLine, run.out);
  run = Logweave(Mapped({"--charset", "latin1"}));
  EXPECT_EQ(2, run.exit_code);
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
  RunResult run = Logweave(args);
  EXPECT_EQ(0, run.exit_code) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("<COMMENT:10>         1 <EOR>"));
  args.push_back("--memo");
  run = Logweave(args);
  EXPECT_EQ(0, run.exit_code) << run.err;
  EXPECT_NE(std::string::npos,
            run.out.find("<CALL:6>EA4ABC <COMMENT:29>Worked on 20m\r\nQSL via "
                         "bureau <EOR>\r\n<CALL:5>F6XYZ <EOR>\r\n"));
  // The memo file is an input too: never the output.
  std::vector<std::string> onto_memo = args;
  onto_memo[onto_memo.size() - 2] = dir_ / "memo.DBT";
  run = Logweave(onto_memo);
  EXPECT_EQ(1, run.exit_code);
  EXPECT_NE(std::string::npos, run.err.find("would replace the input " +
                                            (dir_ / "memo.DBT")))
      << run.err;
  std::filesystem::remove(dir_ / "memo.DBT");
  run = Logweave(args);
  EXPECT_EQ(1, run.exit_code);
  EXPECT_EQ(0u, run.err.find("logweave: no memo file")) << run.err;
}

TEST_F(CliTest, CheckReportsWhatItFindsAndConvertCanCheckItsOutput) {
  RunResult run = Logweave(Mapped({"--check", "--charset", "ascii"}));
  EXPECT_EQ(1, run.exit_code) << run.err;  // no MODE and no BAND or FREQ
  EXPECT_EQ(0u, run.out.find(table_ + "\nconverted to\n" + (dir_ / "log.ADI") +
                             "\nrecord 1: "))
      << run.out;
  std::string written = ReadFile(dir_ / "log.ADI");

  RunResult check = Logweave({"check", dir_ / "log.ADI"});
  EXPECT_EQ(1, check.exit_code);
  EXPECT_EQ(run.out.substr(run.out.find("record 1: ")), check.out);
  EXPECT_EQ(written, ReadFile(dir_ / "log.ADI"));  // only read

  WriteFile(dir_ / "clean.adi",
            "<CALL:6>EA4ABC <QSO_DATE:8>20050102 <TIME_ON:4>0915 <BAND:3>40M "
            "<MODE:3>SSB <EOR>\n");
  check = Logweave({"check", dir_ / "clean.adi"});
  EXPECT_EQ(0, check.exit_code) << check.out;

  run = Logweave(Mapped({"--check", "-o", "-"}));
  EXPECT_EQ(2, run.exit_code);
  check = Logweave({"check", dir_ / "none.adi"});
  EXPECT_EQ(1, check.exit_code);
  EXPECT_NE(std::string::npos, check.err.find(dir_ / "none.adi"));
  EXPECT_EQ(2, Logweave({"check"}).exit_code);
}

TEST_F(CliTest, AnOldLogInOneCommandOrARefusal) {
  BuilderTable old;
  old.code_page = 0x02;  // DOS 850
  old.columns = {{"INDICATIV", 'C', 8, 0}, {"FECHA", 'C', 10, 0},
                 {"HORA", 'C', 6, 0},      {"FREC", 'C', 8, 0},
                 {"MODO", 'C', 5, 0},      {"QSL_E", 'C', 2, 0},
                 {"NOMBRE", 'C', 10, 0}};
  old.rows = {{"ea4abc", "14/06/98", "9:15", "7085", "LSB", "SI", "Jos\x82"},
              {"F 6XYZ", "2/7/03", "1405", "14,195", "ft4", "NO", ""},
              {"", "3/7/03", "14.31z", "14025", "CW", "X", ""}};
  WriteFile(dir_ / "old.dbf", BuildTable(old));
  old.rows[0][1] = "04/06/98";  // every date now fits d/m and m/d
  WriteFile(dir_ / "odd.dbf", BuildTable(old));
  const CliCase cases[] = {
      {"the one command",
       {"convert", "{dir}/old.dbf", "--guess", "--fix", "--charset", "ascii",
        "--check"},
       0, "no findings in 2 records", "--guess: INDICATIV -> CALL (name)"},
      {"dates that leave their order open",
       {"convert", "{dir}/odd.dbf", "--guess", "--fix"}, 2, "",
       "logweave: FECHA: its dates do not tell the day from the month "
       "(04/06/98, 2/7/03): give --date-order dmy, mdy or ymd; nothing was "
       "written"},
  };
  for (const CliCase& c : cases) ExpectCliCase(c, dir_.str());
  std::vector<ReadBackRecord> records =
      ReadBackAdif(ReadFile(dir_ / "old.ADI"));
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ("EA4ABC", records[0].Get("CALL"));
  EXPECT_EQ("19980614", records[0].Get("QSO_DATE"));
  EXPECT_EQ("0915", records[0].Get("TIME_ON"));
  EXPECT_EQ("7.085", records[0].Get("FREQ"));
  EXPECT_EQ("40m", records[0].Get("BAND"));
  EXPECT_EQ("SSB", records[0].Get("MODE"));
  EXPECT_EQ("LSB", records[0].Get("SUBMODE"));
  EXPECT_EQ("Y", records[0].Get("QSL_SENT"));
  EXPECT_EQ("Jose", records[0].Get("NAME"));
  EXPECT_EQ("F6XYZ", records[1].Get("CALL"));
  EXPECT_EQ("20030702", records[1].Get("QSO_DATE"));
  EXPECT_EQ("14.195", records[1].Get("FREQ"));
  EXPECT_EQ("MFSK", records[1].Get("MODE"));
  EXPECT_EQ("FT4", records[1].Get("SUBMODE"));
  EXPECT_EQ("log.dbf odd.dbf old.ADI old.dbf ", dir_.Listing());
}

}  // namespace

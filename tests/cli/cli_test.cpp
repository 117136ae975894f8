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
#include "iconv_support.h"
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
  EXPECT_EQ("Created in: 14-06-105 with 3 Qso's\n"
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
  EXPECT_EQ(
      0u, run.out.find("Omitir \xA0 Ignorar el campo\nADDRESS M Direcci\xF3n"));
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
  EXPECT_EQ(AdifHeaderText(kEnglish) + kStandardLines + kStandardDeletedLine,
            ReadFile(output));
}

TEST_F(CliTest, StandardOutputGetsTheSameBytes) {
  RunResult run =
      Logweave(Mapped({"-o", "-", "--lang", "es", "--skip-deleted"}));
  EXPECT_EQ(0, run.exit_code) << run.err;
  EXPECT_EQ(AdifHeaderText(kSpanish) + kStandardLines, run.out);
  EXPECT_EQ(table_ + "\nconvertido en\nla salida est\xE1ndar\n", run.err);
  EXPECT_EQ("log.dbf ", dir_.Listing());
}

TEST_F(CliTest, NamedOutputAndWarningWithoutCall) {
  std::string output = dir_ / "out.adi";
  RunResult run = Logweave({"convert", table_, "-o", output});
  EXPECT_EQ(0, run.exit_code);
  EXPECT_NE(std::string::npos,
            run.err.find("warning: no column is mapped to CALL"));
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
  // clang-format off
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
      {"output is the table", {"convert", t, "--auto", "-o", t}, 2, "",
       "logweave: The output " + t + " would replace the input"},
      {"output is the mapping file",
       {"convert", t, "--map-file", "{dir}/log.map", "-o", "{dir}/log.map"},
       2, "",
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
      {"end marker as a keyword", {"convert", t, "--map", "CALL=CALL,NOMBRE=eor"},
       2, "", "logweave: EOR marks the end of a record or of the header"},
      {"empty output name", {"convert", t, "--auto", "-o", ""}, 2, "",
       "logweave: -o needs a file name (or - for standard output)"},
      {"checking a device", {"convert", t, "--auto", "--check", "-o",
                             "/dev/null"}, 2, "",
       "logweave: /dev/null is not a regular file: --check cannot read it "
       "back"},
      // The same kinds of message in Spanish.
      {"columna desconocida", {"convert", t, "--map", "BANDA=BAND", "--lang",
                               "es"}, 2, "",
       "logweave: campo desconocido 'BANDA' en " + t},
      {"clave mal escrita", {"convert", t, "--map", "CALL=CA LL", "--lang",
                             "es"}, 2, "", "logweave: clave mal escrita 'CA LL'"},
      {"marca de fin", {"convert", t, "--map", "CALL=EOH", "--lang", "es"}, 2,
       "", "logweave: EOH marca el final de un registro o de la cabecera"},
      {"fichero inexistente", {"convert", "{dir}/none.dbf", "--lang", "es"}, 1,
       "", "logweave: No se puede abrir " + (dir_ / "none.dbf") +
               ": No existe el fichero o la carpeta"},
      {"salida sin nombre", {"convert", t, "-o", "", "--lang", "es"}, 2, "",
       "logweave: -o necesita un nombre de fichero"},
      // What the option parser refuses, in our own words.
      {"unknown option", {"convert", t, "--bogus"}, 2, "",
       "logweave: unknown option or argument: --bogus"},
      {"opci\xF3n desconocida", {"convert", t, "--bogus", "--lang", "es"}, 2,
       "", "logweave: opci\xF3n o argumento desconocido: --bogus"},
      {"valor que no cabe", {"convert", t, "--charset", "latin1", "--lang",
                             "es"}, 2, "",
       "logweave: --charset: latin1 no es ninguno de keep, ascii, utf-8"},
      {"falta el fichero", {"convert", "--lang", "es"}, 2, "",
       "logweave: falta el fichero"},
      {"opci\xF3n que necesita otra", {"convert", t, "--date-order", "dmy",
                                      "--lang", "es"}, 2, "",
       "logweave: --date-order solo vale con --fix"},
  };
  // clang-format on
  for (const CliCase& c : cases) {
    RunResult run = ExpectCliCase(c, dir_.str());
    EXPECT_EQ(0u, run.err.find(c.err_has)) << c.name << ": " << run.err;
    EXPECT_EQ("", run.out) << c.name;
    EXPECT_FALSE(run.err.empty()) << c.name;
  }
  RunOptions closed;
  closed.close_stdout = true;
  RunResult run = ExpectCliCase(
      {"standard output closed",
       {"convert", t, "--auto", "-o", "-"},
       1,
       "",
       "logweave: standard output is closed; nothing was written"},
      dir_.str(), closed);
  EXPECT_EQ(BuildTable(StandardLog()), ReadFile(table_));
  EXPECT_EQ("CALL=CALL\n", ReadFile(dir_ / "log.map"));
  EXPECT_EQ("big.map fifo.map folder.map log.dbf log.map short.dbf ",
            dir_.Listing());
}

TEST_F(CliTest, SeveralTablesEachToItsOwnFileOrMergedIntoOne) {
  BuilderTable year;
  year.columns = {{"CALL", 'C', 8, 0},
                  {"QSO_DATE", 'D', 8, 0},
                  {"TIME_ON", 'C', 4, 0},
                  {"BAND", 'C', 4, 0},
                  {"MODE", 'C', 4, 0}};
  year.rows = {{"EA4ABC", "20050102", "0915", "40M", "SSB"},
               {"F6XYZ", "20050103", "1042", "20M", "CW"}};
  WriteFile(dir_ / "y1.dbf", BuildTable(year));
  year.rows[0][2] = "0916";  // the same contact, logged again a minute off
  year.rows[1][0] = "DL1MUE";
  WriteFile(dir_ / "y2.dbf", BuildTable(year));
  WriteFile(dir_ / "keep.adi", "earlier");
  const std::string y1 = dir_ / "y1.dbf", y2 = dir_ / "y2.dbf";
  const std::string all = dir_ / "all.adi", none = dir_ / "none.dbf";
  // clang-format off
  const CliCase cases[] = {
      {"each its own", {"convert", y1, y2, "--auto"}, 0,
       y2 + "\nconverted to\n" + (dir_ / "y2.ADI") + "\n2 of 2 tables converted\n"},
      {"one fails, the others are converted",
       {"convert", y1, none, y2, "--auto", "--lang", "es"}, 1,
       y2 + "\nconvertido en\n",
       "logweave: 2 de 3 tablas convertidas; sin convertir: " + none + "\n"},
      {"-o without --merge", {"convert", y1, y2, "--auto", "-o", all}, 2, "",
       "logweave: -o names one output and each table gets its own: add --merge"},
      {"--merge without -o", {"convert", y1, y2, "--merge", "-o", "-"}, 2, "",
       "logweave: --merge needs an output file: -o FILE"},
      {"--drop-duplicates without --merge",
       {"convert", y1, "--drop-duplicates", "--lang", "es"}, 2, "",
       "logweave: --drop-duplicates solo vale con --merge"},
      {"a table that cannot be read", {"convert", y1, none, "--auto",
        "--merge", "-o", "{dir}/keep.adi"}, 1, "",
       "logweave: Cannot open " + none},
      {"merged, duplicates reported",
       {"convert", y1, y2, "--auto", "--merge", "-o", all}, 0,
       y1 + "\n" + y2 + "\nconverted to\n" + all + "\n",
       "logweave: duplicate: " + y2 + " record 1 repeats " + y1 +
           " record 1: EA4ABC 20050102 0916 40M SSB\nlogweave: duplicate "
           "contacts: 1 (--drop-duplicates"},
      {"merged, duplicates left out",
       {"convert", y1, y2, "--auto", "--merge", "-o", all, "--drop-duplicates",
        "--lang", "es"}, 0, "",
       "logweave: duplicado: " + y2 + " registro 1 repite " + y1 +
           " registro 1: EA4ABC 20050102 0916 40M SSB\nlogweave: contactos "
           "duplicados omitidos: 1\n"},
  };
  // clang-format on
  for (const CliCase& c : cases) ExpectCliCase(c, dir_.str());
  EXPECT_EQ("earlier", ReadFile(dir_ / "keep.adi"));
  // The merged file is the first table's file and the second's new line.
  std::string second = ReadFile(dir_ / "y2.ADI");
  EXPECT_EQ(ReadFile(dir_ / "y1.ADI") +
                second.substr(second.find("<EOR>\r\n<CALL") + 7),
            ReadFile(all));
}

TEST_F(CliTest, NothingIsLostAcrossTables) {
  const std::string table = BuildTable(StandardLog());
  for (const char* name :
       {"A.dbf", "A.DBF", "b.dbf", "c.dbf", "x.dbf", "x.ADI"})
    WriteFile(dir_ / name, table);
  std::string cut = table;
  cut.resize(cut.size() - 10);
  WriteFile(dir_ / "cut.dbf", cut);
  WriteFile(dir_ / "log.FPT", "the table's memo file");
  std::filesystem::create_symlink(dir_ / "c.dbf", dir_ / "b.ADI");
  auto contents = [this] {
    std::string all;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
      all += entry.path().filename().string() + "=" +
             ReadFile(entry.path().string()) + "\n";
    return all;
  };
  const std::string before = contents();
  const std::string t = table_;
  // clang-format off
  const CliCase cases[] = {
      {"the memo file without --memo",
       {"convert", t, "--auto", "-o", "{dir}/log.FPT"}, 2, "",
       "logweave: The output " + (dir_ / "log.FPT") +
           " would replace the input " + (dir_ / "log.FPT") +
           "; nothing was written\n"},
      {"the memo file, merging",
       {"convert", "{dir}/b.dbf", t, "--auto", "--merge", "-o",
        "{dir}/log.FPT", "--lang", "es"},
       2, "",
       "logweave: La salida " + (dir_ / "log.FPT") +
           " sustituir\xED""a a la entrada " + (dir_ / "log.FPT") +
           "; no se ha escrito nada\n"},
      {"two tables, one output", {"convert", "{dir}/A.dbf", "{dir}/A.DBF",
                                  "--auto"},
       2, "",
       "logweave: " + (dir_ / "A.dbf") + " and " + (dir_ / "A.DBF") +
           " would both be converted to " + (dir_ / "A.ADI") +
           "; nothing was written\n"},
      {"an output that links to another table",
       {"convert", "{dir}/b.dbf", "{dir}/c.dbf", "--auto"}, 2, "",
       "logweave: The output " + (dir_ / "b.ADI") +
           " would replace the input " + (dir_ / "c.dbf")},
      {"a table named like another's output",
       {"convert", "{dir}/x.dbf", "{dir}/x.ADI", "--auto"}, 2, "",
       "logweave: The output " + (dir_ / "x.ADI") +
           " would replace the input " + (dir_ / "x.ADI")},
      {"a merge into a pipe, a table cut short",
       {"convert", "{dir}/b.dbf", "{dir}/cut.dbf", "--auto", "--merge", "-o",
        "/dev/stdout"},
       1, "",
       "logweave: " + (dir_ / "cut.dbf") + " ends after record 2 of 3; "
       "/dev/stdout was not written\nlogweave: /dev/stdout was not written; "
       "not converted: " + (dir_ / "cut.dbf") + "\n"},
  };
  // clang-format on
  for (const CliCase& c : cases) {
    RunResult run = ExpectCliCase(c, dir_.str());
    EXPECT_EQ("", run.out) << c.name;
    EXPECT_EQ(before, contents()) << c.name;
  }
}

TEST_F(CliTest, AResultThatCannotBeWrittenIsAnError) {
  RunOptions full;
  full.stdout_path = "/dev/full";
  const std::string message =
      "logweave: Cannot write standard output: No space left on device\n";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--version"},
        {"--help"},
        {"convert", table_, "--auto", "-o", "{dir}/out.adi"},
        {"convert", table_, table_, "--auto", "--merge", "-o",
         "{dir}/all.adi"}}) {
    RunResult run = RunLogweave(args, dir_.str(), full);
    EXPECT_EQ(1, run.exit_code) << args[0];
    EXPECT_EQ(message, run.err.substr(run.err.find("logweave: Cannot")))
        << args[0];
  }
  EXPECT_NE("", ReadFile(dir_ / "out.adi"));
}

TEST_F(CliTest, HelpAndVersion) {
  RunResult ayuda = Logweave({"convert", "--help", "--lang", "es"});
  EXPECT_EQ(0, ayuda.exit_code);
  EXPECT_NE(std::string::npos, ayuda.out.find("Uso: logweave convert"));
  EXPECT_NE(std::string::npos,
            ayuda.out.find("Deja fuera los registros borrados"));
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
  EXPECT_EQ("logweave: " + table_ +
                " ends after record 2 of 3; the 2 complete "
                "records were converted to " +
                (dir_ / "log.ADI") + "\n",
            run.err);
  EXPECT_EQ("", run.out);
  EXPECT_EQ(AdifHeaderText(kEnglish) + kStandardLines,
            ReadFile(dir_ / "log.ADI"));
}

TEST_F(CliTest, MappingFileRoundTripsAndErrorsNameTheLine) {
  // The generated file maps what --auto maps; filled in, it maps the rest.
  RunResult run = Logweave({"fields", table_, "--mapping"});
  EXPECT_EQ(0, run.exit_code);
  EXPECT_NE(std::string::npos, run.out.find("\nCALL=CALL\n"));
  EXPECT_NE(std::string::npos, run.out.find("\n# FECHA=            (D, 8)\n"));
  std::string text = run.out +
                     "FECHA=qso_date\n\n  # a comment\r\n#3=TIME_ON\r\n"
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
    // clang-format off
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
  // clang-format on
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
  run =
      Logweave(Mapped({"--charset", "utf-8", "--codepage", "850", "-o", "-"}));
  EXPECT_NE(std::string::npos, run.out.find("<NAME:5>Jos\xC3\x9A <"));
  // Without the options the bytes stay as they are.
  run = Logweave(Mapped({"--codepage", "850", "-o", "-"}));
  EXPECT_EQ(AdifHeaderText(kEnglish) + kStandardLines + kStandardDeletedLine,
            run.out);
  run = Logweave(Mapped({"--charset", "latin1"}));
  EXPECT_EQ(2, run.exit_code);
}

TEST_F(CliTest, CodePagesNamedByTheTableAndAdx) {
  // A Polish log: code page 852, named by its language driver byte.
  BuilderTable t;
  t.code_page = 0x64;
  t.columns = {{"CALL", 'C', 8, 0}, {"NAME", 'C', 12, 0}};
  t.rows = {{"SP5ABC", "\x9Dukasz"}};
  WriteFile(dir_ / "pl.dbf", BuildTable(t));
  t.code_page = 0x7B;  // Japanese: not read
  WriteFile(dir_ / "jp.dbf", BuildTable(t));
  const std::string pl = dir_ / "pl.dbf";
  // clang-format off
  const CliCase cases[] = {
      {"852 by the driver byte", {"convert", pl, "--auto", "--map",
       "NAME=NAME", "--charset", "utf-8", "-o", "-"}, 0,
       "<NAME:7>\xC5\x81ukasz <EOR>", "", "warning"},
      {"932 is still unknown", {"convert", "{dir}/jp.dbf", "--auto",
       "--charset", "ascii", "-o", "-"}, 0, "", "code page 932"},
      {"adx beside the table", {"convert", pl, "--auto", "--map",
       "NAME=NAME", "--format", "adx", "--lang", "es"}, 0,
       "convertido en\n" + (dir_ / "pl.ADX"), "1 valores"},
      {"adx checked as written", {"convert", pl, "--auto", "--format", "adx",
       "--check"}, 1, "record 1: QSO_DATE: error: "},
      {"adx checked for LoTW", {"convert", pl, "--auto", "--format", "adx",
       "--check", "--for", "lotw"}, 1,
       "file: -: error: LoTW's client reads no .ADX files"},
      {"--for without --check", {"convert", pl, "--auto", "--for", "lotw"}, 2,
       "", "--for"},
      {"unknown code page", {"convert", pl, "--auto", "--codepage", "932"}, 2,
       "", "auto or one of 437, 620, 737"},
  };
  // clang-format on
  for (const CliCase& c : cases) ExpectCliCase(c, dir_.str());
  EXPECT_NE(std::string::npos,
            ReadFile(dir_ / "pl.ADX")
                .find("<RECORD><CALL>SP5ABC</CALL><NAME>Lukasz</NAME>"
                      "<NAME_INTL>\xC5\x81ukasz</NAME_INTL></RECORD>"));
}

TEST_F(CliTest, MemoColumnsAreReadWithMemo) {
  BuilderTable t;
  t.version = 0x83;
  t.columns = {{"CALL", 'C', 8, 0}, {"NOTES", 'M', 10, 0}};
  std::vector<std::uint32_t> blocks;
  WriteFile(dir_ / "memo.DBT",
            BuildMemoFile(MemoLayout::kDbase3,
                          {"Worked on 20m\r\nQSL via bureau"}, &blocks));
  t.rows = {{"EA4ABC", MemoNumber(blocks[0])}, {"F6XYZ", MemoNumber(0)}};
  WriteFile(dir_ / "memo.dbf", BuildTable(t));
  std::vector<std::string> args = {"convert", dir_ / "memo.dbf", "--auto",
                                   "--map",   "NOTES=COMMENT",   "-o",
                                   "-"};
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
  EXPECT_EQ(2, run.exit_code);
  EXPECT_NE(std::string::npos,
            run.err.find("would replace the input " + (dir_ / "memo.DBT")))
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

TEST_F(CliTest, TextsReachAUtf8TerminalInUtf8) {
  RunOptions utf8;
  utf8.environment = {"LC_ALL=C.UTF-8"};
  // The catalogue's Windows-1252 texts, as iconv spells them.
  RunResult raw = Logweave({"catalogue", "--lang", "es"});
  RunResult shown =
      RunLogweave({"catalogue", "--lang", "es"}, dir_.str(), utf8);
  EXPECT_NE(std::string::npos, raw.out.find("Direcci\xF3n"));
  EXPECT_EQ(Iconv(raw.out, "WINDOWS-1252"), shown.out);

  // Column names in the table's code page (850 here, named in the header).
  BuilderTable dos;
  dos.code_page = 0x02;
  dos.columns = {{"A\xA5O", 'C', 4, 0}, {"CALL", 'C', 6, 0}};
  dos.rows = {{"2005", "EA4ABC"}};
  WriteFile(dir_ / "dos.dbf", BuildTable(dos));
  raw = Logweave({"fields", dir_ / "dos.dbf"});
  shown = RunLogweave({"fields", dir_ / "dos.dbf"}, dir_.str(), utf8);
  EXPECT_EQ(Iconv(raw.out, "CP850"), shown.out);
  // The same name typed in UTF-8 finds the column.
  RunResult mapped = RunLogweave({"convert", dir_ / "dos.dbf", "--map",
                                  "a\xC3\xB1o=QSO_DATE,call=CALL", "-o", "-"},
                                 dir_.str(), utf8);
  EXPECT_EQ(0, mapped.exit_code) << mapped.err;
  EXPECT_NE(std::string::npos, mapped.out.find("<QSO_DATE:4>2005"));

  // A path in UTF-8 stays as it is, the message around it becomes UTF-8,
  // and control characters never reach the terminal.
  const std::string path = dir_ / "a\xC3\xB1o\x1B[31m.dbf";
  WriteFile(path, "abc");
  shown = RunLogweave({"fields", path, "--lang", "es"}, dir_.str(), utf8);
  EXPECT_EQ("logweave: " + dir_ / "a\xC3\xB1o?[31m.dbf" +
                " no es una tabla DBF legible: el fichero es m\xC3\xA1s corto "
                "que la cabecera de 32 bytes\n",
            shown.err);
}

}  // namespace

namespace {

// check's options: the levels, --strict, --all, --lang and the XML form.
TEST(CheckCli, OptionsAndForms) {
  TempDir dir;
  const std::string record =
      "<CALL:4>W1AW <QSO_DATE:8>20240101 <TIME_ON:4>1200 <BAND:3>20m "
      "<MODE:2>CW ";
  WriteFile(dir / "warned.adi", record + "<MY_OWN:1>x <EOR>\n");
  WriteFile(dir / "w1.adi", "<CALL:2>W1 <QSO_DATE:8>20240101 <TIME_ON:4>1200 "
                            "<BAND:3>20m <MODE:2>CW <EOR>\n");
  std::string flood;
  for (int i = 0; i < 150; ++i) flood += "<A";
  WriteFile(dir / "flood.adi", flood);
  // Over a megabyte: read in two halves at once; the numbers of the
  // second half's records still count from the start.
  std::string big;
  for (int i = 0; i < 20000; ++i) big += record + "<EOR>\n";
  WriteFile(dir / "big.adi", big + record + "<CQZ:2>41 <EOR>\n");
  WriteFile(dir / "log.adx",
            "<?xml version=\"1.0\"?><ADX><RECORDS><RECORD><CALL>W1AW</CALL>"
            "<CQZ>41</CQZ></RECORD></RECORDS></ADX>");
  // clang-format off
  const CliCase cases[] = {
      {"a warning passes", {"check", "{dir}/warned.adi"}, 0,
       "record 1: MY_OWN: warning: MY_OWN is not a field"},
      {"--strict fails on it", {"check", "--strict", "{dir}/warned.adi"}, 1,
       "0 errors, 1 warning\n"},
      {"Spanish", {"check", "--lang", "es", "{dir}/warned.adi"}, 0,
       "registro 1: MY_OWN: aviso: "},
      {"a flood is cut", {"check", "{dir}/flood.adi"}, 1,
       "... and 50 more bad-tag findings\n"},
      {"--all shows it whole", {"check", "--all", "{dir}/flood.adi"}, 1,
       "151 findings in 1 of 1 record: 150 bad-tag, 1 missing-eor\n"},
      {"a large file", {"check", "{dir}/big.adi"}, 1,
       "record 20001: CQZ: error: \"41\" is above 40, the largest CQZ\n"
       "1 finding in 1 of 20001 records: 1 bad-number\n"},
      {"the XML form", {"check", "{dir}/log.adx"}, 1,
       "record 1: CQZ: error: \"41\" is above 40, the largest CQZ\n"},
      {"for LoTW", {"check", "--for", "lotw", "{dir}/warned.adi"}, 0,
       "1 finding in 1 of 1 record: 1 unknown-field\n"},
      {"for LoTW, what it refuses", {"check", "--for", "lotw", "{dir}/w1.adi"},
       1, "record 1: CALL: error: LoTW refuses the record: \"W1\" is not an "
          "amateur call sign\n"},
      {"for an unknown service", {"check", "--for", "eqsl", "{dir}/w1.adi"}, 2,
       "", "unknown service 'eqsl': one of lotw"},
  };
  // clang-format on
  for (const CliCase& c : cases) {
    RunResult run = ExpectCliCase(c, dir.str());
    if (std::string(c.name) == "--all shows it whole") {
      EXPECT_EQ(std::string::npos, run.out.find("more bad-tag")) << run.out;
    }
  }
  // A terminal whose locale is not UTF-8 takes 0x80-0x9F for controls:
  // none reaches it.
  RunOptions plain;
  plain.environment = {"LC_ALL=C"};
  RunResult run =
      RunLogweave({"check", dir / "a\x85\x9B[2J.adi"}, dir.str(), plain);
  EXPECT_EQ(1, run.exit_code);
  EXPECT_EQ("logweave: Cannot open " + dir / "a??[2J.adi" +
                ": No such file or directory\n",
            run.err);
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
  // Most records without a call sign: left out, loudly.
  BuilderTable calls = old;
  calls.rows = {old.rows[1], old.rows[2], old.rows[2],
                old.rows[2], old.rows[2], old.rows[2]};
  calls.rows[0][0] = "EA4ABC";
  WriteFile(dir_ / "few.dbf", BuildTable(calls));
  // clang-format off
  const CliCase cases[] = {
      {"the one command",
       {"convert", "{dir}/old.dbf", "--guess", "--fix", "--charset", "ascii",
        "--check"},
       0, "no findings in 2 records", "--guess: INDICATIV -> CALL (name)"},
      {"dates that leave their order open",
       {"convert", "{dir}/odd.dbf", "--guess", "--fix"}, 2, "",
       "logweave: --fix: FECHA: its dates do not tell the day, month and year "
       "apart (04/06/98, 2/7/03): give --date-order dmy|mdy|ymd or --read-as "
       "FECHA=dmy|mdy|ymd; nothing was written"},
      {"the same order given", {"convert", "{dir}/odd.dbf", "--guess", "--fix",
                                "--date-order", "dmy", "-o", "-"},
       0, "<QSO_DATE:8>19980604"},
      {"constants for every record",
       {"convert", "{dir}/old.dbf", "--guess", "--fix", "--set",
        "my_gridsquare=IN80", "--set", "NAME=Op", "-o", "-"},
       0, "<CALL:5>F6XYZ <QSO_DATE:8>20030702"},
      {"a constant that is an end marker",
       {"convert", "{dir}/old.dbf", "--set", "EOR=1"}, 2, "",
       "EOR marks the end of a record"},
      {"a constant without a value", {"convert", "{dir}/old.dbf", "--set",
                                      "MY_GRIDSQUARE"}, 2, "",
       "--set: malformed constant 'MY_GRIDSQUARE': expected FIELD=VALUE"},
      {"guesses written as a mapping file",
       {"fields", "{dir}/old.dbf", "--mapping", "--guess"}, 0,
       "INDICATIV=CALL"},
      {"the plan seen before converting", {"fields", "{dir}/old.dbf", "--guess"},
       0, "FECHA -> QSO_DATE (name)\n    14/06/98 -> 19980614; 2/7/03 -> "
          "20030702; 3/7/03 -> 20030703\n"},
      {"no column for CALL: nothing written",
       {"convert", "{dir}/old.dbf", "--guess", "--fix", "--map",
        "INDICATIV=Skip", "-o", "{dir}/none.adi"},
       2, "",
       "--fix: no column is mapped to CALL, so the file would hold no contact; "
       "nothing was written. INDICATIV holds call signs: add --map "
       "INDICATIV=CALL"},
      {"a column's form settles its dates",
       {"convert", "{dir}/odd.dbf", "--guess", "--fix", "--read-as",
        "fecha=mdy", "-o", "-"},
       0, "<QSO_DATE:8>19980406"},
      {"a form without --fix", {"convert", "{dir}/old.dbf", "--map",
                                "FECHA=QSO_DATE:dmy"},
       2, "", "FECHA=QSO_DATE:dmy: the form says how --fix reads the column; "
              "add --fix"},
      {"a form that does not fit the column",
       {"convert", "{dir}/old.dbf", "--guess", "--fix", "--read-as",
        "HORA=khz"},
       2, "", "HORA: the form 'khz' does not fit TIME_ON; it takes: hhmm, "
              "hhmmss"},
      {"--set wins over what --fix derives, and MODE=USB is SSB and USB",
       {"convert", "{dir}/old.dbf", "--guess", "--fix", "--map", "MODO=Skip",
        "--set", "MODE=usb", "--set", "BAND=20m", "-o", "-"},
       0, "<CALL:5>F6XYZ <QSO_DATE:8>20030702 <TIME_ON:4>1405 <FREQ:6>14.195 "
          "<QSL_SENT:1>N <BAND:3>20m <MODE:3>SSB <SUBMODE:3>USB <EOR>"},
      {"a field name mistyped in --set",
       {"convert", "{dir}/old.dbf", "--set", "BNAD=20m", "-o", "-"}, 0, "",
       "--set: BNAD is not an ADIF field; did you mean BAND?"},
      {"most records left out: said loudly, and an error with --check",
       {"convert", "{dir}/few.dbf", "--guess", "--fix", "--check"}, 1,
       "no findings in 1 record",
       "warning: --fix left out 5 of 6 records, which have no CALL"},
  };
  // clang-format on
  for (const CliCase& c : cases) {
    RunResult run = ExpectCliCase(c, dir_.str());
    if (std::string(c.name) == "constants for every record") {
      // The column mapped to NAME wins where it has a value.
      std::vector<ReadBackRecord> set = ReadBackAdif(run.out);
      ASSERT_EQ(2u, set.size());
      EXPECT_EQ("IN80", set[0].Get("MY_GRIDSQUARE"));
      EXPECT_EQ("IN80", set[1].Get("MY_GRIDSQUARE"));
      EXPECT_EQ("Jos\x82", set[0].Get("NAME"));
      EXPECT_EQ("Op", set[1].Get("NAME"));
    }
  }
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
  EXPECT_EQ("few.ADI few.dbf log.dbf odd.dbf old.ADI old.dbf ", dir_.Listing());
}

}  // namespace

// Tests of the convert command without a process: over the in-memory file
// system, its two streams captured. Several tables: every table reported,
// in order, named; the counts; the highest exit code.

#include <gtest/gtest.h>

#include "captured_streams.h"
#include "cli/commands.h"
#include "convert/adif_header.h"
#include "dbf_builder.h"
#include "platform/fake_file_system.h"

namespace {

BuilderTable Log() {
  BuilderTable t;
  t.columns = {{"CALL", 'C', 8, 0}, {"BANDA", 'C', 4, 0}};
  t.rows = {{"EA4ABC", "40M"}, {"F6XYZ", "20M"}};
  return t;
}

class ConvertCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.Put("a.dbf", BuildTable(Log()));
    BuilderTable no_call = Log();
    no_call.columns[0].name = "NOMBRE";
    files_.Put("nocall.dbf", BuildTable(no_call));
    BuilderTable other = Log();
    other.columns[1].name = "BAND";
    files_.Put("other.dbf", BuildTable(other));
    std::string cut = BuildTable(Log());
    cut.resize(cut.size() - 4);
    files_.Put("cut.dbf", cut);
    files_.Put("cut2.dbf", cut);
    files_.Put("all.adi", "earlier");
  }
  int Run(std::vector<std::string> tables, Language language = kEnglish,
          bool merge = false) {
    options_.inputs = std::move(tables);
    options_.automatic = true;
    options_.language = language;
    options_.merge = merge;
    if (merge) options_.output = "all.adi";
    return RunConvert(options_, files_, streams_.streams());
  }
  FakeFileSystem files_;
  ConvertCommandLine options_;
  CapturedStreams streams_;
};

TEST_F(ConvertCommand, EachTableIsReportedInOrderNamedAndCounted) {
  EXPECT_EQ(1, Run({"nocall.dbf", "none.dbf", "cut.dbf", "a.dbf"}));
  EXPECT_EQ("nocall.dbf\nconverted to\nnocall.ADI\n"
            "a.dbf\nconverted to\na.ADI\n",
            streams_.Out());
  EXPECT_EQ("logweave: warning: nocall.dbf: no column is mapped to CALL, so "
            "every record will be written as an empty <EOR>\n"
            "logweave: Cannot open none.dbf: No such file or directory\n"
            "logweave: cut.dbf ends after record 1 of 2; the 1 complete "
            "records were converted to cut.ADI\n"
            "logweave: 2 of 4 tables converted; converted in part: cut.dbf; "
            "not converted: none.dbf\n",
            streams_.Err());
  EXPECT_EQ(AdifHeaderText(kEnglish) + "<CALL:6>EA4ABC <EOR>\r\n",
            files_.Bytes("cut.ADI"));
}

TEST_F(ConvertCommand, EachTableIsReportedInSpanish) {
  EXPECT_EQ(1, Run({"cut.dbf", "none.dbf", "a.dbf"}, kSpanish));
  EXPECT_EQ("logweave: cut.dbf termina tras el registro 1 de 2; los 1 "
            "registros completos se han convertido en cut.ADI\n"
            "logweave: No se puede abrir none.dbf: No existe el fichero o la "
            "carpeta\n"
            "logweave: 1 de 3 tablas convertidas; convertidas en parte: "
            "cut.dbf; sin convertir: none.dbf\n",
            streams_.Err());
}

TEST_F(ConvertCommand, ACutTableOverAnEarlierFileIsToldHowToWriteItAlone) {
  files_.Put("cut.ADI", "earlier");
  EXPECT_EQ(1, Run({"cut.dbf", "a.dbf"}));
  EXPECT_EQ("logweave: cut.dbf ends after record 1 of 2; cut.ADI already "
            "existed and was left as it was, so the 1 complete records were "
            "not written; to write them, convert that table again on its own "
            "with -o and another file name\n"
            "logweave: 1 of 2 tables converted; not converted: cut.dbf\n",
            streams_.Err());
  EXPECT_EQ("earlier", files_.Bytes("cut.ADI"));
}

TEST_F(ConvertCommand, AMergeReportsEveryTableAndGivesTheHighestCode) {
  const struct {
    const char* name;
    std::vector<std::string> tables;
    std::vector<std::string> maps;
    Language language;
    int exit_code;
    std::string err;
    // clang-format off
  } cases[] = {
      {"two tables end early", {"a.dbf", "cut.dbf", "cut2.dbf"}, {},
       kEnglish, 1,
       "logweave: cut.dbf ends after record 1 of 2; all.adi was not written\n"
       "logweave: cut2.dbf ends after record 1 of 2; all.adi was not written\n"
       "logweave: all.adi was not written; not converted: cut.dbf, "
       "cut2.dbf\n"},
      {"a usage error and a missing table",
       {"a.dbf", "other.dbf", "none.dbf"}, {"BANDA=BAND"}, kEnglish, 2,
       "logweave: unknown column 'BANDA' in other.dbf\n"
       "logweave: Cannot open none.dbf: No such file or directory\n"
       "logweave: all.adi was not written; not converted: other.dbf, "
       "none.dbf\n"},
      {"in Spanish", {"cut.dbf", "a.dbf"}, {}, kSpanish, 1,
       "logweave: cut.dbf termina tras el registro 1 de 2; no se ha escrito "
       "all.adi\n"
       "logweave: no se ha escrito all.adi; sin convertir: cut.dbf\n"},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CapturedStreams streams;
    ConvertCommandLine options;
    options.inputs = c.tables;
    options.maps = c.maps;
    options.automatic = true;
    options.merge = true;
    options.output = "all.adi";
    options.language = c.language;
    const std::string listing = files_.Listing();
    EXPECT_EQ(c.exit_code, RunConvert(options, files_, streams.streams()));
    EXPECT_EQ(c.err, streams.Err());
    EXPECT_EQ("", streams.Out());
    EXPECT_EQ("earlier", files_.Bytes("all.adi"));
    EXPECT_EQ(listing, files_.Listing());
  }
}

TEST_F(ConvertCommand, GuessesAreNamedByTable) {
  BuilderTable old;
  old.columns = {{"INDICATIVO", 'C', 8, 0}};
  old.rows = {{"EA4ABC"}, {"F6XYZ"}};
  files_.Put("old.dbf", BuildTable(old));
  files_.Put("old2.dbf", BuildTable(old));
  options_.guess = true;
  EXPECT_EQ(0, Run({"old.dbf", "old2.dbf"}));
  EXPECT_EQ("logweave: --guess: old.dbf: INDICATIVO -> CALL (name)\n"
            "logweave: --guess: old2.dbf: INDICATIVO -> CALL (name)\n",
            streams_.Err());
  EXPECT_EQ("old.dbf\nconverted to\nold.ADI\nold2.dbf\nconverted to\n"
            "old2.ADI\n2 of 2 tables converted\n",
            streams_.Out());
}

}  // namespace

// Tests of the frame that writes several tables into one output, over the
// in-memory file system: order, duplicates, progress, one table open at a
// time, failures that must leave the earlier output whole and report every
// table, and a stream that cannot be taken back.

#include "convert/merge_files.h"

#include <gtest/gtest.h>

#include "convert/adif_header.h"
#include "dbf/table_file.h"
#include "dbf_builder.h"
#include "mapping/field_list.h"
#include "platform/fake_file_system.h"

namespace {

BuilderTable Log(std::vector<std::vector<std::string>> rows) {
  BuilderTable t;
  t.columns = {{"CALL", 'C', 8, 0},
               {"QSO_DATE", 'D', 8, 0},
               {"TIME_ON", 'C', 4, 0},
               {"BAND", 'C', 4, 0},
               {"MODE", 'C', 4, 0}};
  t.rows = std::move(rows);
  return t;
}

class MergeFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Put("a.dbf", Log({{"EA4ABC", "20050102", "0915", "40M", "SSB"},
                      {"F6XYZ", "20050102", "0942", "40M", "CW"}}));
    Put("b.dbf", Log({{"DL1MUE", "20060101", "1000", "20M", "SSB"},
                      {"ea4abc", "20050102", "0917", "40m", "ssb"}}));
    Put("c.dbf", Log({{"G3ABC", "20070101", "1200", "20M", "CW"}}));
    files_.Put("all.adi", "earlier");
    files_.PutDevice("pipe");
    output_.path = "all.adi";
    run_.language = kEnglish;
    run_.files = &files_;
  }
  void Put(const std::string& path, const BuilderTable& table) {
    files_.Put(path, BuildTable(table));
  }
  // The tables, every column mapped to the keyword of its name.
  std::vector<TableJob> Tables(std::vector<const char*> paths = {"a.dbf",
                                                                 "b.dbf"}) {
    std::vector<TableJob> tables;
    for (const char* path : paths) {
      TableJob table;
      table.path = path;
      TableError error;
      EXPECT_TRUE(ReadTableFile(files_, path, &table.layout, &error));
      VectorTextList fields;
      ListColumns(table.layout, kEnglish, &fields);
      std::vector<std::string> entries;
      for (int i = 0; i < fields.Count(); ++i)
        entries.push_back(
            ReassignEntry(fields.Get(i), table.layout.columns[i].name));
      table.plan = PlanColumns(entries, kEnglish);
      tables.push_back(table);
    }
    files_.reads = 0;  // calls are counted from the conversion on
    return tables;
  }
  FakeFileSystem files_;
  OutputJob output_;
  RunJob run_;
};

const char* const kLines[] = {
    "<CALL:6>EA4ABC <QSO_DATE:8>20050102 <TIME_ON:4>0915 <BAND:3>40M "
    "<MODE:3>SSB <EOR>\r\n",
    "<CALL:5>F6XYZ <QSO_DATE:8>20050102 <TIME_ON:4>0942 <BAND:3>40M "
    "<MODE:2>CW <EOR>\r\n",
    "<CALL:6>DL1MUE <QSO_DATE:8>20060101 <TIME_ON:4>1000 <BAND:3>20M "
    "<MODE:3>SSB <EOR>\r\n",
    "<CALL:6>ea4abc <QSO_DATE:8>20050102 <TIME_ON:4>0917 <BAND:3>40m "
    "<MODE:3>ssb <EOR>\r\n"};

TEST_F(MergeFilesTest,
       WritesTheTablesInOrderOneOpenAtATimeAndFindsTheDuplicates) {
  for (bool drop : {false, true}) {
    files_.most_open_inputs = 0;
    std::vector<TableJob> tables = Tables();
    std::vector<std::uint32_t> told;
    run_.progress = [&](std::uint32_t r, std::uint32_t n) {
      EXPECT_EQ(4u, n);
      told.push_back(r);
    };
    std::vector<std::string> reported;
    DuplicateChoice duplicates;
    duplicates.drop = drop;
    duplicates.report = [&](const DuplicateContact& found) {
      reported.push_back(DuplicateText(tables, found, kEnglish));
    };
    MergeOutcome outcome = MergeFiles(tables, output_, run_, duplicates);
    ASSERT_TRUE(outcome.ok()) << outcome.message;
    EXPECT_EQ("a.dbf\nb.dbf\nconverted to\nall.adi", outcome.message);
    EXPECT_EQ(AdifHeaderText(kEnglish) + kLines[0] + kLines[1] + kLines[2] +
                  (drop ? "" : kLines[3]),
              files_.Bytes("all.adi"));
    EXPECT_EQ(drop ? 3u : 4u, outcome.stats.records_written);
    EXPECT_EQ((std::vector<std::uint32_t>{1, 2, 3, 4}), told);
    EXPECT_EQ(1u, outcome.duplicates);
    EXPECT_EQ(std::vector<std::string>{"b.dbf record 2 repeats a.dbf record 1: "
                                       "ea4abc 20050102 0917 40m ssb"},
              reported);
    EXPECT_EQ(1, files_.most_open_inputs);
  }
  DuplicateContact found;
  found.contact = ContactOfLine(kLines[3]);
  found.origin = {1, 2};
  found.earlier = {0, 1};
  EXPECT_EQ("b.dbf registro 2 repite a.dbf registro 1: ea4abc 20050102 0917 "
            "40m ssb",
            DuplicateText(Tables(), found, kSpanish));
}

TEST_F(MergeFilesTest, EveryFailingTableIsReportedAndTheEarlierOutputKept) {
  std::string cut = files_.Bytes("b.dbf");
  cut.resize(cut.size() - 4);
  const struct {
    const char* name;
    std::function<void()> arrange;
    std::vector<std::string> failures;  // each line's start
    const char* message;
    // clang-format off
  } cases[] = {
      {"a table ends early", [&] { files_.Put("b.dbf", cut); },
       {"b.dbf ends after record 1 of 2; all.adi was not written"},
       "all.adi was not written; not converted: b.dbf"},
      {"two tables are gone",
       [&] {
         files_.entries.erase("a.dbf");
         files_.entries.erase("c.dbf");
       },
       {"Cannot open a.dbf: No such file or directory; nothing was converted",
        "Cannot open c.dbf: "},
       "all.adi was not written; not converted: a.dbf, c.dbf"},
      {"a later read fails", [&] { files_.fail_read_at = 2; },
       {"Cannot read b.dbf: Input/output error; nothing was converted"},
       "all.adi was not written; not converted: b.dbf"},
      {"a write fails", [&] { files_.fail_write_at = 2; }, {},
       "Cannot write all.adi: "},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    files_ = FakeFileSystem();
    SetUp();
    std::vector<TableJob> tables = Tables({"a.dbf", "b.dbf", "c.dbf"});
    c.arrange();
    const std::string listing = files_.Listing();
    MergeOutcome outcome = MergeFiles(tables, output_, run_, {});
    EXPECT_FALSE(outcome.ok());
    ASSERT_EQ(c.failures.size(), outcome.failures.size());
    for (std::size_t i = 0; i < c.failures.size(); ++i)
      EXPECT_EQ(0u, outcome.failures[i].message.find(c.failures[i]))
          << outcome.failures[i].message;
    EXPECT_EQ(0u, outcome.message.find(c.message)) << outcome.message;
    EXPECT_EQ("earlier", files_.Bytes("all.adi"));
    EXPECT_EQ(listing, files_.Listing());
  }
  // The output named as a table, or as a mapping file.
  for (const char* output : {"b.dbf", "my.map"}) {
    run_.other_inputs = {"my.map"};
    output_.path = output;
    MergeOutcome outcome = MergeFiles(Tables(), output_, run_, {});
    EXPECT_EQ(ConvertStatus::kSameFile, outcome.status);
    EXPECT_EQ(std::string("The output ") + output +
                  " would replace the input " + output +
                  "; nothing was written",
              outcome.message);
  }
}

TEST_F(MergeFilesTest, AStreamGetsNothingUnlessEveryTableReadsThrough) {
  output_.path = "pipe";
  std::string cut = files_.Bytes("b.dbf");
  cut.resize(cut.size() - 4);
  files_.Put("b.dbf", cut);
  std::vector<TableJob> tables = Tables();
  MergeOutcome outcome = MergeFiles(tables, output_, run_, {});
  EXPECT_FALSE(outcome.ok());
  ASSERT_EQ(1u, outcome.failures.size());
  EXPECT_EQ("b.dbf ends after record 1 of 2; pipe was not written",
            outcome.failures[0].message);
  EXPECT_EQ("pipe was not written; not converted: b.dbf", outcome.message);
  EXPECT_EQ("", files_.Bytes("pipe"));

  // A table that fails only once the stream has received records (it
  // changed after it was read through) is said as what happened.
  SetUp();
  tables = Tables();
  output_.path = "pipe";
  run_.language = kSpanish;
  ASSERT_TRUE(MergeFiles(tables, output_, run_, {}).ok());
  files_.fail_read_at = files_.reads;  // the last: b.dbf, once writing
  files_.reads = 0;
  files_.entries["pipe"].bytes.clear();
  outcome = MergeFiles(tables, output_, run_, {});
  EXPECT_FALSE(outcome.ok());
  ASSERT_EQ(1u, outcome.failures.size());
  EXPECT_EQ("No se puede leer b.dbf: Error de entrada/salida; pipe solo ha "
            "recibido los 2 primeros registros",
            outcome.failures[0].message);
  EXPECT_EQ("", outcome.message);
  EXPECT_EQ(AdifHeaderText(kSpanish) + kLines[0] + kLines[1],
            files_.Bytes("pipe"));

  // The stream itself fails once it has been handed records.
  files_ = FakeFileSystem();
  SetUp();
  tables = Tables();
  output_.path = "pipe";
  files_.fail_write_at = 1;
  outcome = MergeFiles(tables, output_, run_, {});
  EXPECT_EQ(ConvertStatus::kWriteFailed, outcome.status);
  EXPECT_TRUE(outcome.failures.empty());
  EXPECT_EQ("Cannot write pipe: Input/output error; pipe received only part "
            "of the records",
            outcome.message);
}

}  // namespace

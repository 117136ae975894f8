// Tests of the frame that writes several tables into one output, over the
// in-memory file system: order, duplicates, progress, and failures that
// must leave the earlier output whole.

#include "convert/merge_files.h"

#include <gtest/gtest.h>

#include "convert/adif_header.h"
#include "dbf/table_file.h"
#include "mapping/field_list.h"
#include "platform/fake_file_system.h"
#include "dbf_builder.h"

namespace {

BuilderTable Log(std::vector<std::vector<std::string>> rows) {
  BuilderTable t;
  t.columns = {{"CALL", 'C', 8, 0}, {"QSO_DATE", 'D', 8, 0},
               {"TIME_ON", 'C', 4, 0}, {"BAND", 'C', 4, 0}, {"MODE", 'C', 4, 0}};
  t.rows = std::move(rows);
  return t;
}

class MergeFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Put("a.dbf", Log({{"EA4ABC", "20050102", "0915", "40M", "SSB"},
                      {"F6XYZ", "20050102", "0942", "40M", "CW"}}));
    Put("b.dbf", Log({{"DL1MUE", "20060101", "1000", "20M", "SSB"},
                      {"ea4abc", "20050102", "0917", "40M", "SSB"}}));
    files_.Put("all.adi", "earlier");
  }
  void Put(const std::string& path, const BuilderTable& table) {
    files_.Put(path, BuildTable(table));
  }
  // Both tables, every column mapped to the keyword of its name.
  MergeJob Job() {
    MergeJob job;
    for (const char* path : {"a.dbf", "b.dbf"}) {
      ConvertJob table;
      table.input_path = path;
      TableError error;
      EXPECT_TRUE(ReadTableFile(files_, path, &table.table, &error));
      VectorTextList fields;
      ListColumns(table.table, kEnglish, &fields);
      for (int i = 0; i < fields.Count(); ++i)
        table.entries.push_back(ReassignEntry(
            fields.Get(i), table.table.columns[i].name));
      job.tables.push_back(table);
    }
    job.output_path = "all.adi";
    job.files = &files_;
    files_.reads = 0;  // calls are counted from the conversion on
    return job;
  }
  FakeFileSystem files_;
};

const char* const kLines[] = {
    "<CALL:6>EA4ABC <QSO_DATE:8>20050102 <TIME_ON:4>0915 <BAND:3>40M "
    "<MODE:3>SSB <EOR>\r\n",
    "<CALL:5>F6XYZ <QSO_DATE:8>20050102 <TIME_ON:4>0942 <BAND:3>40M "
    "<MODE:2>CW <EOR>\r\n",
    "<CALL:6>DL1MUE <QSO_DATE:8>20060101 <TIME_ON:4>1000 <BAND:3>20M "
    "<MODE:3>SSB <EOR>\r\n",
    "<CALL:6>ea4abc <QSO_DATE:8>20050102 <TIME_ON:4>0917 <BAND:3>40M "
    "<MODE:3>SSB <EOR>\r\n"};

TEST_F(MergeFilesTest, WritesTheTablesInOrderAndFindsTheDuplicates) {
  for (bool drop : {false, true}) {
    MergeJob job = Job();
    job.drop_duplicates = drop;
    std::vector<std::uint32_t> told;
    job.progress = [&](std::uint32_t r, std::uint32_t n) {
      EXPECT_EQ(4u, n);
      told.push_back(r);
    };
    MergeOutcome outcome = MergeFiles(job);
    ASSERT_TRUE(outcome.ok()) << outcome.message;
    EXPECT_EQ("a.dbf\nb.dbf\nconverted to\nall.adi", outcome.message);
    EXPECT_EQ(AdifHeaderText(kEnglish) + kLines[0] + kLines[1] + kLines[2] +
                  (drop ? "" : kLines[3]),
              files_.Bytes("all.adi"));
    EXPECT_EQ(drop ? 3u : 4u, outcome.stats.records_written);
    EXPECT_EQ((std::vector<std::uint32_t>{1, 2, 3, 4}), told);
    ASSERT_EQ(1u, outcome.duplicates.size());
    EXPECT_EQ("b.dbf record 2 repeats a.dbf record 1",
              DuplicateText(job, outcome.duplicates[0]));
  }
}

TEST_F(MergeFilesTest, AFailureInAnyTableLeavesTheEarlierOutputWhole) {
  std::string cut = files_.Bytes("b.dbf");
  cut.resize(cut.size() - 4);
  const struct {
    const char* name;
    std::function<void(MergeJob*)> arrange;
    const char* message;
  } cases[] = {
      {"a table ends early", [&](MergeJob*) { files_.Put("b.dbf", cut); },
       "b.dbf ends after record 1 of 2; all.adi was not written"},
      {"a table is gone", [&](MergeJob*) { files_.entries.erase("b.dbf"); },
       "Cannot open b.dbf: "},
      {"a later read fails", [&](MergeJob*) { files_.fail_read_at = 2; },
       "Cannot read b.dbf: "},
      {"a write fails", [&](MergeJob*) { files_.fail_write_at = 2; },
       "Cannot write all.adi: "},
      {"the output is the second table",
       [&](MergeJob* job) { job->output_path = "b.dbf"; },
       "The output b.dbf would replace the input b.dbf; nothing was written"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    files_ = FakeFileSystem();
    SetUp();
    MergeJob job = Job();
    c.arrange(&job);
    const std::string listing = files_.Listing();
    MergeOutcome outcome = MergeFiles(job);
    EXPECT_FALSE(outcome.ok());
    EXPECT_EQ(0u, outcome.message.find(c.message)) << outcome.message;
    EXPECT_EQ("earlier", files_.Bytes("all.adi"));
    EXPECT_EQ(listing, files_.Listing());
  }
}

}  // namespace

// Tests of the command line's additions to a conversion: memo text and
// re-encoded values.

#include <gtest/gtest.h>

#include "convert/convert_records.h"
#include "dbf_builder.h"
#include "mapping/column_plan.h"
#include "mapping/field_list.h"
#include "test_support.h"

namespace {

struct Col {
  const char* keyword;
  int size;
  bool memo;
};

ConvertStats ConvertWith(const std::vector<Col>& columns,
                         const std::string& bytes, std::uint32_t count,
                         ConvertOptions options, std::string* text) {
  std::vector<std::string> entries;
  for (const Col& c : columns)
    entries.push_back(ComposeFieldListEntry("F", 'M', c.size, 0, c.keyword));
  ColumnPlan plan = PlanColumns(entries, kEnglish);
  for (std::size_t i = 0; i < columns.size(); ++i)
    plan.columns[i].memo = columns[i].memo;
  MemorySource in(bytes.data(), bytes.size());
  StringSink out;
  ConvertStats stats = ConvertRecords(&in, &out, count, plan, options);
  *text = out.text;
  return stats;
}

class MemoConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::uint32_t> blocks;
    WriteFile(dir_ / "log.fpt", BuildMemoFile(MemoLayout::kFoxPro,
                                              {"Nice QSO  ", "12:34", "EA4ABC",
                                               "Sent", std::string(300, 'm')},
                                              &blocks));
    for (std::uint32_t b : blocks) numbers_.push_back(MemoNumber(b));
    MemoError error;
    ASSERT_TRUE(memo_.Open(SystemFileSystem(), dir_ / "log.dbf", 0xF5, &error));
    options_.memo = &memo_;
  }
  TempDir dir_;
  MemoFile memo_;
  ConvertOptions options_;
  std::vector<std::string> numbers_;
};

TEST_F(MemoConvertTest, MemoTextFollowsTheValueRules) {
  std::string out;
  // COMMENT, TIME_ON, CALL and QSL_RCVD all come from the memo file; the
  // CALL memo leads the line.
  std::string record = " " + numbers_[0] + numbers_[1] + numbers_[2] +
                       numbers_[3] + numbers_[4] + "AB";
  ConvertStats stats = ConvertWith({{"COMMENT", 10, true},
                                    {"TIME_ON", 10, true},
                                    {"CALL", 10, true},
                                    {"QSL_RCVD", 10, true},
                                    {"NOTES", 10, true},
                                    {"QTH", 2, false}},
                                   record, 1, options_, &out);
  EXPECT_EQ(RunEnd::kDone, stats.end) << stats.memo_error.kind;
  EXPECT_EQ("<CALL:6>EA4ABC <TIME_ON:4>1234 <COMMENT:8>Nice QSO "
            "<QSL_RCVD:4>YenY <NOTES:300>" +
                std::string(300, 'm') + " <QTH:2>AB <EOR>\r\n",
            out);
}

TEST_F(MemoConvertTest, BlankBlockNumbersGiveNoFieldAndSkippedMemosAreNotRead) {
  std::string out;
  std::string record = " " + std::string(10, ' ') + "  99999999" + "K";
  ConvertStats stats = ConvertWith(
      {{"COMMENT", 10, true}, {"Skip", 10, true}, {"CALL", 1, false}}, record,
      1, options_, &out);
  EXPECT_EQ(RunEnd::kDone, stats.end) << stats.memo_error.kind;
  EXPECT_EQ("<CALL:1>K <EOR>\r\n", out);
}

TEST_F(MemoConvertTest, AMemoBeyondTheFileStopsTheRun) {
  std::string out;
  std::string record = " " + numbers_[0] + "A" + " " + MemoNumber(5000) + "B";
  ConvertStats stats = ConvertWith({{"COMMENT", 10, true}, {"CALL", 1, false}},
                                   record, 2, options_, &out);
  EXPECT_EQ(RunEnd::kMemoFailed, stats.end);
  EXPECT_EQ(MemoError::kBlockBeyondEnd, stats.memo_error.kind);
  EXPECT_EQ(dir_ / "log.fpt", stats.memo_error.path);
  EXPECT_EQ(2u, stats.memo_error.record);
  EXPECT_EQ(5000u, stats.memo_error.number);
  EXPECT_EQ(1u, stats.records_written);
}

TEST(MemoConvert, MemosOfOneRecordAreBoundedTogether) {
  // Five memos of 15 MiB each: each is allowed, together they are not.
  TempDir dir;
  std::vector<std::uint32_t> blocks;
  WriteFile(dir / "big.fpt",
            BuildMemoFile(MemoLayout::kFoxPro, {std::string(15u << 20, 'x')},
                          &blocks));
  MemoFile memo;
  MemoError error;
  std::string out;
  ASSERT_TRUE(memo.Open(SystemFileSystem(), dir / "big.dbf", 0xF5, &error));
  ConvertOptions options;
  options.memo = &memo;
  std::string record = " ";
  std::vector<Col> columns;
  for (int i = 0; i < 5; ++i) {
    record += MemoNumber(blocks[0]);
    columns.push_back({"NOTES", 10, true});
  }
  ConvertStats stats = ConvertWith(columns, record, 1, options, &out);
  EXPECT_EQ(RunEnd::kMemoFailed, stats.end);
  EXPECT_EQ(MemoError::kTooLargeTogether, stats.memo_error.kind);
  EXPECT_EQ(memo.path(), stats.memo_error.path);
  EXPECT_EQ(1u, stats.memo_error.record);
  EXPECT_EQ("", out);
}

TEST(EncodedConvert, LengthsCountTheWrittenBytes) {
  ValueEncoder utf8(1252, Charset::kUtf8), ascii(850, Charset::kAscii);
  ConvertOptions options;
  std::string out;
  options.encoder = &utf8;
  ConvertStats stats = ConvertWith({{"CALL", 3, false}, {"NAME", 8, false}},
                                   " EA4Jos\xE9 \x80  ", 1, options, &out);
  EXPECT_EQ("<CALL:3>EA4 <NAME:9>Jos\xC3\xA9 \xE2\x82\xAC <EOR>\r\n", out);
  EXPECT_EQ(1u, stats.values_changed);
  options.encoder = &ascii;
  stats = ConvertWith({{"CALL", 3, false}, {"NAME", 8, false}},
                      " EA4Stra\xE1"
                      "e  ",
                      1, options, &out);
  EXPECT_EQ("<CALL:3>EA4 <NAME:7>Strasse <EOR>\r\n", out);
  EXPECT_EQ(1u, stats.values_changed);
}

TEST(EncodedConvert, ValuesOfARecordWithoutCallAreNotCountedAsChanged) {
  // The first record has no call sign: its line is "<EOR>" alone, so its
  // accented name was never written.
  ValueEncoder ascii(1252, Charset::kAscii);
  ConvertOptions options;
  options.encoder = &ascii;
  std::string out;
  ConvertStats stats = ConvertWith({{"NAME", 4, false}, {"CALL", 3, false}},
                                   " A\xF1o    "
                                   " Jos\xE9"
                                   "EA4",
                                   2, options, &out);
  EXPECT_EQ("<EOR>\r\n<CALL:3>EA4 <NAME:4>Jose <EOR>\r\n", out);
  EXPECT_EQ(1u, stats.values_changed);
}

}  // namespace

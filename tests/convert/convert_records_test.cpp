// Tests of the record conversion: value rules, field order, progress and
// inputs that end early.

#include "convert/convert_records.h"

#include <gtest/gtest.h>

#include "mapping/column_plan.h"
#include "mapping/field_list.h"

namespace {

struct Col {
  const char* keyword;
  int size;
};

ColumnPlan Plan(const std::vector<Col>& columns, Language language = kEnglish) {
  std::vector<std::string> entries;
  for (const Col& c : columns)
    entries.push_back(ComposeFieldListEntry("F", 'C', c.size, 0, c.keyword));
  return PlanColumns(entries, language);
}

// Converts \a records (each a deletion flag and its column bytes) and returns
// the record lines written.
std::string Convert(const std::vector<Col>& columns, const std::string& bytes,
                    std::uint32_t count, Language language = kEnglish,
                    ConvertStats* stats = nullptr, bool skip_deleted = false) {
  MemorySource in(bytes.data(), bytes.size());
  StringSink out;
  ConvertOptions options;
  options.skip_deleted = skip_deleted;
  ConvertStats s =
      ConvertRecords(&in, &out, count, Plan(columns, language), options);
  if (stats) *stats = s;
  return out.text;
}

const std::string kWorkedBytes = std::string(" ") + "20040915" + "12:34" +
                                 "N0CALL  " + "20M " + "0123456789";

TEST(ConvertRecords, WorkedRecordInEveryCallPosition) {
  const struct {
    std::vector<Col> columns;
    std::string bytes;
    const char* line;
    // clang-format off
  } cases[] = {
      {{{"QSO_DATE", 8}, {"TIME_ON", 5}, {"CALL", 8}, {"BAND", 4}, {"Skip", 10}},
       kWorkedBytes,
       "<CALL:6>N0CALL <TIME_ON:4>1234 <QSO_DATE:8>20040915 <BAND:3>20M "
       "<EOR>\r\n"},
      {{{"CALL", 8}, {"QSO_DATE", 8}, {"TIME_ON", 5}, {"BAND", 4}, {"Skip", 10}},
       std::string(" N0CALL  2004091512:3420M 0123456789"),
       "<CALL:6>N0CALL <QSO_DATE:8>20040915 <TIME_ON:4>1234 <BAND:3>20M "
       "<EOR>\r\n"},
      {{{"QSO_DATE", 8}, {"TIME_ON", 5}, {"BAND", 4}, {"Skip", 10}, {"CALL", 8}},
       std::string(" 2004091512:3420M 0123456789N0CALL  "),
       "<CALL:6>N0CALL <BAND:3>20M <TIME_ON:4>1234 <QSO_DATE:8>20040915 "
       "<EOR>\r\n"},
      // A CALL of blanks only: nothing is written.
      {{{"QSO_DATE", 8}, {"CALL", 4}}, std::string(" 20040915    "), "<EOR>\r\n"},
      // No CALL column at all.
      {{{"QSO_DATE", 8}, {"NAME", 4}}, std::string(" 20040915Jose"), "<EOR>\r\n"},
      // Two CALL columns with values: the first leads, the second stays.
      {{{"NAME", 4}, {"CALL", 3}, {"QTH", 3}, {"CALL", 3}},
       std::string(" JoseAAAMadBBB"),
       "<CALL:3>AAA <NAME:4>Jose <QTH:3>Mad <CALL:3>BBB <EOR>\r\n"},
      // The first CALL blank: the second leads, held fields reversed.
      {{{"NAME", 4}, {"CALL", 3}, {"QTH", 3}, {"CALL", 3}},
       std::string(" Jose   MadBBB"),
       "<CALL:3>BBB <QTH:3>Mad <NAME:4>Jose <EOR>\r\n"},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(c.line, Convert(c.columns, c.bytes, 1)) << c.line;
}

TEST(ConvertRecords, ValueRules) {
  const struct {
    const char* keyword;
    std::string value;
    std::string field;
    // clang-format off
  } cases[] = {
      {"TIME_ON", "12:34", "<TIME_ON:4>1234 "},
      {"TIME_OFF", "12:34:56", "<TIME_OFF:6>123456 "},
      {"TIMEX", "1:2", "<TIMEX:2>12 "},
      {"TIM", "1:2", "<TIM:3>1:2 "},
      {"time_on", "1:2", "<time_on:3>1:2 "},
      {"COMMENT", "a:b", "<COMMENT:3>a:b "},
      {"QSL_SENT", "S", "<QSL_SENT:1>Y "},
      {"QSL_SENT", "s", "<QSL_SENT:1>Y "},
      {"QSL_SENT", "T", "<QSL_SENT:1>Y "},
      {"QSL_RCVD", "t", "<QSL_RCVD:1>Y "},
      {"QSL_RCVD", "N", "<QSL_RCVD:1>N "},
      {"QSL_RCVD", "R", "<QSL_RCVD:1>R "},
      {"QSL_RCVD", "y", "<QSL_RCVD:1>y "},
      {"QSL_RCVD", "F", "<QSL_RCVD:1>F "},
      {"QSL_RCVD", "Sent", "<QSL_RCVD:4>YenY "},
      {"QSL_VIA", "Sent", "<QSL_VIA:4>Sent "},
      {"FREQ", "  14.195", "<FREQ:8>  14.195 "},
      {"NAME", "Jose\t", "<NAME:5>Jose\t "},
      {"NAME", "Jos\xE9  ", "<NAME:4>Jos\xE9 "},
      {"NAME", "     ", ""},
      {"NAME", std::string("AB\0CD", 5), "<NAME:2>AB "},
      {"NAME", std::string("AB \0CD", 6), "<NAME:3>AB  "},
      {"NAME", std::string("\0AB", 3), "<NAME:0> "},
      {"NAME", std::string("AB\0  ", 5), "<NAME:2>AB "},
      {"Skip", "anything", ""},
      {"Omitir", "anything", "<Omitir:8>anything "},  // not the English skip word
      {"TIME_ON", "::::", ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::vector<Col> columns = {{"CALL", 1},
                                {c.keyword, static_cast<int>(c.value.size())}};
    std::string bytes = " K" + c.value;
    EXPECT_EQ("<CALL:1>K " + c.field + "<EOR>\r\n", Convert(columns, bytes, 1))
        << c.keyword << " [" << c.value << "]";
  }
}

TEST(ConvertRecords, SkipWordFollowsTheLanguage) {
  std::vector<Col> columns = {{"CALL", 1}, {"Omitir", 3}, {"Skip", 3}};
  EXPECT_EQ("<CALL:1>K <Skip:3>abc <EOR>\r\n",
            Convert(columns, " Kxyzabc", 1, kSpanish));
  EXPECT_EQ("<CALL:1>K <Omitir:3>xyz <EOR>\r\n",
            Convert(columns, " Kxyzabc", 1, kEnglish));
}

TEST(ConvertRecords, ColumnsOfSizeZeroAnd255) {
  std::string long_value(255, 'x');
  long_value[0] = 'a';
  // Held before the CALL, and written after it.
  std::vector<Col> columns = {
      {"NOTES", 255}, {"EMPTY", 0}, {"CALL", 1}, {"COMMENT", 255}};
  std::string line = Convert(columns, " " + long_value + "K" + long_value, 1);
  EXPECT_EQ("<CALL:1>K <NOTES:255>" + long_value + " <COMMENT:255>" +
                long_value + " <EOR>\r\n",
            line);
}

TEST(ConvertRecords, EveryRecordGivesOneLineDeletedOrNot) {
  std::vector<Col> columns = {{"CALL", 3}};
  std::string bytes = " AAA*BBB CCC";
  EXPECT_EQ("<CALL:3>AAA <EOR>\r\n<CALL:3>BBB <EOR>\r\n<CALL:3>CCC <EOR>\r\n",
            Convert(columns, bytes, 3));
  ConvertStats stats;
  EXPECT_EQ("<CALL:3>AAA <EOR>\r\n<CALL:3>CCC <EOR>\r\n",
            Convert(columns, bytes, 3, kEnglish, &stats, true));
  EXPECT_EQ(3u, stats.records_read);
  EXPECT_EQ(2u, stats.records_written);
}

TEST(ConvertRecords, NoColumnsReadOneByteARecord) {
  EXPECT_EQ("<EOR>\r\n<EOR>\r\n", Convert({}, "ab", 2));
  EXPECT_EQ("", Convert({{"CALL", 3}}, " AAA", 0));
}

TEST(ConvertRecords, ReadsOnlyTheRecordsTheHeaderCounts) {
  std::vector<Col> columns = {{"CALL", 3}};
  ConvertStats stats;
  EXPECT_EQ("<CALL:3>AAA <EOR>\r\n",
            Convert(columns, " AAA BBB\x1A", 1, kEnglish, &stats));
  EXPECT_EQ(RunEnd::kDone, stats.end);
}

TEST(ConvertRecords, ProgressCountsEveryRecord) {
  std::vector<std::string> seen;
  MemorySource in(" AAA BBB CCC", 12);
  StringSink out;
  ConvertOptions options;
  options.progress = [&seen](std::uint32_t r, std::uint32_t n) {
    seen.push_back(ProgressText(r, n));
  };
  ConvertRecords(&in, &out, 3, Plan({{"CALL", 3}}), options);
  EXPECT_EQ((std::vector<std::string>{"1/3", "2/3", "3/3"}), seen);
  EXPECT_EQ("4294967295/4294967295", ProgressText(4294967295u, 4294967295u));
}

TEST(ConvertRecords, AnInputThatEndsEarlyKeepsTheCompleteRecords) {
  std::vector<Col> columns = {{"CALL", 3}, {"NAME", 4}};
  std::string table = " AAAJose BBBAnne CCC\xFF\xFF\xFFZ";
  const std::string complete[] = {"", "<CALL:3>AAA <NAME:4>Jose <EOR>\r\n",
                                  "<CALL:3>BBB <NAME:4>Anne <EOR>\r\n"};
  for (std::size_t cut = 0; cut <= 16; ++cut) {
    ConvertStats stats;
    std::string out =
        Convert(columns, table.substr(0, cut), 3, kEnglish, &stats);
    std::uint32_t whole = static_cast<std::uint32_t>(cut / 8);
    EXPECT_EQ(RunEnd::kTruncated, stats.end) << cut;
    EXPECT_EQ(whole, stats.records_read) << cut;
    std::string expected;
    for (std::uint32_t r = 1; r <= whole; ++r) expected += complete[r];
    EXPECT_EQ(expected, out) << cut;
  }
}

TEST(ConvertRecords, AHugeRecordCountOnASmallFileEndsAtOnce) {
  ConvertStats stats;
  EXPECT_EQ("<CALL:3>AAA <EOR>\r\n",
            Convert({{"CALL", 3}}, " AAA", 4294967295u, kEnglish, &stats));
  EXPECT_EQ(RunEnd::kTruncated, stats.end);
  EXPECT_EQ(1u, stats.records_read);
}

TEST(ConvertRecords, AFailedWriteStopsTheRun) {
  struct FailingSink : ByteSink {
    bool Write(const char*, std::size_t) override { return false; }
    SystemError Error() const override { return ErrnoError(28); }
  } sink;
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += " AAA";
  MemorySource in(bytes.data(), bytes.size());
  ConvertStats stats = ConvertRecords(&in, &sink, 200000, Plan({{"CALL", 3}}));
  EXPECT_EQ(RunEnd::kWriteFailed, stats.end);
  EXPECT_EQ(28, stats.error.code);
  EXPECT_LT(stats.records_read, 200000u);
}

TEST(ConvertRecords, RecordsAcrossReadBlocksMatchOneByOne) {
  // Records of 1 + 300 bytes do not divide the reader's block size, so some
  // straddle two blocks.
  std::vector<Col> columns = {{"CALL", 45}, {"NOTES", 255}};
  std::string bytes, expected;
  const int count = 5000;
  for (int r = 0; r < count; ++r) {
    std::string call = "EA" + std::to_string(r);
    std::string note = "note " + std::to_string(r * 7);
    bytes += " " + call + std::string(45 - call.size(), ' ') + note +
             std::string(255 - note.size(), ' ');
    expected += "<CALL:" + std::to_string(call.size()) + ">" + call +
                " <NOTES:" + std::to_string(note.size()) + ">" + note +
                " <EOR>\r\n";
  }
  EXPECT_EQ(expected, Convert(columns, bytes, count));
}

}  // namespace

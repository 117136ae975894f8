// memo_fault_test.cpp: memo files that are missing, not files, damaged or
// cut short, read through the command line with --memo. A memo that cannot
// be read ends the conversion with exit code 1 and one error line naming the
// memo file, with no output written: an earlier output stays as it was and
// no temporary file is left.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fault_support.h"
#include "sample_tables.h"

namespace faults {
namespace {

const std::string kBin = LOGWEAVE_BIN;
const std::string kEarlier = "an earlier conversion, to be kept\r\n";
const std::string kMemoText = "worked him on 20M; QSL via the bureau";
// The sample FoxPro log's memo column points records 1 and 5 to block 17.
constexpr std::size_t kBlockSize = 64, kTextBlock = 17;

void PutBig(std::string* out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    (*out)[at + i] = static_cast<char>((value >> (8 * (3 - i))) & 0xFF);
}

// A FoxPro memo file: a 512-byte header with a block size of 64, and the
// text in block 17.
std::string MemoFile(std::uint32_t type = 1, std::uint32_t length = 0) {
  std::string memo(kBlockSize * kTextBlock, '\0');
  PutBig(&memo, 0, kTextBlock + 1);  // the next free block
  memo[6] = 0;
  memo[7] = static_cast<char>(kBlockSize);
  std::string block(8, '\0');
  PutBig(&block, 0, type);
  PutBig(&block, 4,
         length ? length : static_cast<std::uint32_t>(kMemoText.size()));
  memo += block + kMemoText;
  memo.resize((memo.size() + kBlockSize - 1) / kBlockSize * kBlockSize, '\0');
  return memo;
}

struct MemoCase {
  const char* name;
  // Puts the memo file beside the table at \a stem + ".FPT".
  std::function<void(const std::string& stem)> make;
  const char* message;  // part of the error line; "" for success
};

void PrintTo(const MemoCase& c, std::ostream* os) { *os << c.name; }

class Memo : public ::testing::TestWithParam<MemoCase> {};

TEST_P(Memo, FailsCleanlyOrConverts) {
  const MemoCase& c = GetParam();
  TempDir dir;
  std::string stem = dir / "log";
  std::string output = dir / "log.adi";
  ASSERT_TRUE(
      WriteFile(stem + ".dbf", BuildTable(SampleLog(6, Flavour::kFoxProMemo))));
  c.make(stem);
  ASSERT_TRUE(WriteFile(output, kEarlier));
  std::string before = Listing(dir.str());

  RunResult run = RunProgram(
      {kBin, "convert", stem + ".dbf", "--auto", "--memo", "-o", output});
  ASSERT_FALSE(run.timed_out) << "the program waited on the memo file";
  ASSERT_EQ(run.signal, 0);
  if (!*c.message) {
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(
        Count(ReadFile(output), "<NOTES:" + std::to_string(kMemoText.size()) +
                                    ">" + kMemoText + " "),
        2u);
    return;
  }
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(stem), std::string::npos) << run.err;
  EXPECT_EQ(Count(run.err, "\n"), 1u) << run.err;
  EXPECT_EQ(ReadFile(output), kEarlier);
  EXPECT_EQ(Listing(dir.str()), before) << "a temporary file was left";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Memo,
    ::testing::Values(
        MemoCase{
            "Sound",
            [](const std::string& s) { WriteFile(s + ".FPT", MemoFile()); },
            ""},
        MemoCase{"Missing", [](const std::string&) {}, "no memo file"},
        MemoCase{
            "AFolder",
            [](const std::string& s) { mkdir((s + ".FPT").c_str(), 0777); },
            "no memo file"},
        MemoCase{
            "AFifo",
            [](const std::string& s) { mkfifo((s + ".FPT").c_str(), 0666); },
            "no memo file"},
        MemoCase{"ShorterThanItsHeader",
                 [](const std::string& s) {
                   WriteFile(s + ".FPT", MemoFile().substr(0, 20));
                 },
                 "shorter than its header"},
        MemoCase{"BlockSizeZero",
                 [](const std::string& s) {
                   std::string memo = MemoFile();
                   memo[7] = 0;
                   WriteFile(s + ".FPT", memo);
                 },
                 "block size is 0"},
        MemoCase{"CutBeforeTheText",
                 [](const std::string& s) {
                   WriteFile(s + ".FPT", MemoFile().substr(0, 600));
                 },
                 "memo of record 1 points to block 17"},
        MemoCase{"CutInsideTheText",
                 [](const std::string& s) {
                   WriteFile(s + ".FPT", MemoFile().substr(
                                             0, kBlockSize * kTextBlock + 20));
                 },
                 "memo of record 1 runs past the end"},
        MemoCase{
            "NotText",
            [](const std::string& s) { WriteFile(s + ".FPT", MemoFile(0)); },
            "memo of record 1 is not text"},
        MemoCase{"LengthPastTheEnd",
                 [](const std::string& s) {
                   WriteFile(s + ".FPT", MemoFile(1, 0xFFFFFFF0u));
                 },
                 "memo of record 1 runs past the end"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MemoEveryCut, NeverCrashesAndNeverLeavesAHalfOutput) {
  TempDir dir;
  std::string stem = dir / "log";
  std::string output = dir / "log.adi";
  ASSERT_TRUE(
      WriteFile(stem + ".dbf", BuildTable(SampleLog(6, Flavour::kFoxProMemo))));
  const std::string memo = MemoFile();
  // Every byte of the header's start and of the text block, every 7th byte
  // of the empty blocks between them.
  const std::size_t text_start = kBlockSize * kTextBlock;
  for (std::size_t cut = 0; cut <= memo.size();
       cut += cut < 40 || cut + 8 >= text_start ? 1 : 7) {
    SCOPED_TRACE("memo cut at byte " + std::to_string(cut));
    ASSERT_TRUE(WriteFile(stem + ".FPT", memo.substr(0, cut)));
    ASSERT_TRUE(WriteFile(output, kEarlier));
    RunResult run = RunProgram(
        {kBin, "convert", stem + ".dbf", "--auto", "--memo", "-o", output});
    ASSERT_EQ(run.signal, 0);
    ASSERT_FALSE(run.timed_out);
    // Whole text blocks are all the memo needs.
    bool complete = cut >= text_start + 8 + kMemoText.size();
    EXPECT_EQ(run.exit_code, complete ? 0 : 1) << run.err;
    if (complete) {
      EXPECT_NE(ReadFile(output).find(kMemoText), std::string::npos);
    } else {
      EXPECT_EQ(ReadFile(output), kEarlier);
      EXPECT_NE(run.err.find(stem + ".FPT"), std::string::npos) << run.err;
    }
    EXPECT_EQ(Listing(dir.str()), "log.FPT log.adi log.dbf");
  }
}

}  // namespace
}  // namespace faults

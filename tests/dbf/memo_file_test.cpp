// Tests of reading memo texts from .DBT and .FPT files.

#include "dbf/memo_file.h"

#include <gtest/gtest.h>

#include "dbf_builder.h"
#include "test_support.h"

namespace {

FileSystem& files = SystemFileSystem();

const std::vector<std::string> kTexts = {
    "Short", std::string(700, 'x') + "end",  // spans two 512-byte blocks
    "Line one\r\nLine two", ""};

struct LayoutCase {
  MemoLayout layout;
  const char* extension;
  std::uint8_t version;
};

// clang-format off
const LayoutCase kLayouts[] = {
    {MemoLayout::kDbase3, "DBT", 0x83},
    {MemoLayout::kDbase4, "dbt", 0x8B},
    {MemoLayout::kFoxPro, "FPT", 0xF5},
    {MemoLayout::kFoxPro, "fpt", 0x30},
};
// clang-format on

TEST(MemoFile, ReadsEveryLayoutByBlockNumber) {
  for (const LayoutCase& c : kLayouts) {
    TempDir dir;
    std::vector<std::uint32_t> blocks;
    WriteFile(dir / (std::string("log.") + c.extension),
              BuildMemoFile(c.layout, kTexts, &blocks));
    MemoFile memo;
    MemoError error;
    std::string text;
    ASSERT_TRUE(memo.Open(files, dir / "log.dbf", c.version, &error));
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
      std::string field;
      if (c.version == 0x30) {
        field = std::string(4, '\0');
        PutLittle(&field, 0, blocks[i], 4);
      } else {
        field = MemoNumber(blocks[i]);
      }
      ASSERT_TRUE(memo.Read(field.data(), field.size(), 1, &text, &error))
          << c.extension << " " << error.kind;
      EXPECT_EQ(kTexts[i], text) << c.extension << " " << i;
    }
    // No block number: an empty text.
    ASSERT_TRUE(memo.Read("          ", 10, 1, &text, &error));
    EXPECT_EQ("", text);
  }
}

TEST(MemoFile, FindsTheFileInAnyLetterCase) {
  TempDir dir;
  std::vector<std::uint32_t> blocks;
  WriteFile(dir / "Log.dBt",
            BuildMemoFile(MemoLayout::kDbase3, {"A"}, &blocks));
  MemoFile memo;
  MemoError error;
  ASSERT_TRUE(memo.Open(files, dir / "Log.DBF", 0x83, &error));
  EXPECT_EQ(dir / "Log.dBt", memo.path());
  // A FoxPro table looks for .FPT first but takes a .DBT too.
  MemoFile fox;
  EXPECT_TRUE(fox.Open(files, dir / "Log.DBF", 0xF5, &error));
}

TEST(MemoFile, ErrorsNameTheFileAndTheRecord) {
  TempDir dir;
  MemoFile missing;
  MemoError error;
  std::string text;
  EXPECT_FALSE(missing.Open(files, dir / "log.dbf", 0x83, &error));
  EXPECT_EQ(MemoError::kNoMemoFile, error.kind);
  EXPECT_EQ(dir / "log", error.stem);

  std::vector<std::uint32_t> blocks;
  std::string fpt = BuildMemoFile(MemoLayout::kFoxPro, {"abc", "def"}, &blocks);
  std::string path = dir / "log.fpt";
  WriteFile(path, fpt);
  MemoFile memo;
  ASSERT_TRUE(memo.Open(files, dir / "log.dbf", 0xF5, &error));
  const struct {
    std::string field;
    MemoError::Kind kind;
    std::uint64_t number;
    // clang-format off
  } cases[] = {
      {MemoNumber(99999), MemoError::kBlockBeyondEnd, 99999},
      {"  12x45   ", MemoError::kDamagedNumber, 0},
      {"99999999999", MemoError::kNumberOutOfRange, 0},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_FALSE(memo.Read(c.field.data(), c.field.size(), 7, &text, &error));
    EXPECT_EQ(c.kind, error.kind) << c.field;
    EXPECT_EQ(path, error.path);
    EXPECT_EQ(7u, error.record);
    EXPECT_EQ(c.number, error.number);
  }

  // A block whose length runs past the end, and one that is a picture.
  std::string damaged = fpt;
  damaged[blocks[1] * 64 + 7] = '\x7F';
  WriteFile(path, damaged);
  MemoFile again;
  ASSERT_TRUE(again.Open(files, dir / "log.dbf", 0xF5, &error));
  std::string field = MemoNumber(blocks[1]);
  EXPECT_FALSE(again.Read(field.data(), 10, 3, &text, &error));
  EXPECT_EQ(MemoError::kRunsPastEnd, error.kind);
  EXPECT_EQ(3u, error.record);
  damaged = fpt;
  damaged[blocks[0] * 64 + 3] = '\0';  // type 0: a picture
  WriteFile(path, damaged);
  MemoFile picture;
  ASSERT_TRUE(picture.Open(files, dir / "log.dbf", 0xF5, &error));
  field = MemoNumber(blocks[0]);
  EXPECT_FALSE(picture.Read(field.data(), 10, 2, &text, &error));
  EXPECT_EQ(MemoError::kNotText, error.kind);
  EXPECT_EQ(0u, error.number);

  WriteFile(path, "short");
  MemoFile tiny;
  EXPECT_FALSE(tiny.Open(files, dir / "log.dbf", 0xF5, &error));
  EXPECT_EQ(MemoError::kShortHeader, error.kind);
}

TEST(MemoFile, DbaseIiiTextStopsAtTheEndMark) {
  TempDir dir;
  std::string dbt(512, '\0');
  dbt += "first\x1A junk after a single end mark";
  dbt.resize(1024, '\0');
  dbt += "no end mark at all";
  WriteFile(dir / "t.dbt", dbt);
  MemoFile memo;
  MemoError error;
  std::string text;
  ASSERT_TRUE(memo.Open(files, dir / "t.dbf", 0x83, &error));
  ASSERT_TRUE(memo.Read("         1", 10, 1, &text, &error));
  EXPECT_EQ("first", text);
  ASSERT_TRUE(memo.Read("         2", 10, 1, &text, &error));
  EXPECT_EQ("no end mark at all", text);
}

}  // namespace

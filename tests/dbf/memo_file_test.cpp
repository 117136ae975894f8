// Tests of reading memo texts from .DBT and .FPT files.

#include "dbf/memo_file.h"

#include <gtest/gtest.h>

#include "dbf_builder.h"
#include "test_support.h"

namespace {

const std::vector<std::string> kTexts = {
    "Short", std::string(700, 'x') + "end",  // spans two 512-byte blocks
    "Line one\r\nLine two", ""};

struct LayoutCase {
  MemoLayout layout;
  const char* extension;
  std::uint8_t version;
};

const LayoutCase kLayouts[] = {
    {MemoLayout::kDbase3, "DBT", 0x83},
    {MemoLayout::kDbase4, "dbt", 0x8B},
    {MemoLayout::kFoxPro, "FPT", 0xF5},
    {MemoLayout::kFoxPro, "fpt", 0x30},
};

TEST(MemoFile, ReadsEveryLayoutByBlockNumber) {
  for (const LayoutCase& c : kLayouts) {
    TempDir dir;
    std::vector<std::uint32_t> blocks;
    WriteFile(dir / (std::string("log.") + c.extension),
              BuildMemoFile(c.layout, kTexts, &blocks));
    MemoFile memo;
    std::string error, text;
    ASSERT_TRUE(memo.Open(dir / "log.dbf", c.version, &error)) << error;
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
      std::string field;
      if (c.version == 0x30) {
        field = std::string(4, '\0');
        PutLittle(&field, 0, blocks[i], 4);
      } else {
        field = MemoNumber(blocks[i]);
      }
      ASSERT_TRUE(memo.Read(field.data(), field.size(), 1, &text, &error))
          << c.extension << " " << error;
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
  WriteFile(dir / "Log.dBt", BuildMemoFile(MemoLayout::kDbase3, {"A"}, &blocks));
  MemoFile memo;
  std::string error;
  ASSERT_TRUE(memo.Open(dir / "Log.DBF", 0x83, &error)) << error;
  EXPECT_EQ(dir / "Log.dBt", memo.path());
  // A FoxPro table looks for .FPT first but takes a .DBT too.
  MemoFile fox;
  EXPECT_TRUE(fox.Open(dir / "Log.DBF", 0xF5, &error));
}

TEST(MemoFile, ErrorsNameTheFileAndTheRecord) {
  TempDir dir;
  MemoFile missing;
  std::string error, text;
  EXPECT_FALSE(missing.Open(dir / "log.dbf", 0x83, &error));
  EXPECT_NE(std::string::npos, error.find("no memo file")) << error;

  std::vector<std::uint32_t> blocks;
  std::string fpt = BuildMemoFile(MemoLayout::kFoxPro, {"abc", "def"}, &blocks);
  std::string path = dir / "log.fpt";
  WriteFile(path, fpt);
  MemoFile memo;
  ASSERT_TRUE(memo.Open(dir / "log.dbf", 0xF5, &error));
  const struct {
    std::string field;
    const char* cause;
  } cases[] = {
      {MemoNumber(99999), "points to block 99999, beyond the end of the memo file"},
      {"  12x45   ", "has a damaged block number"},
      {"99999999999", "has a block number out of range"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(memo.Read(c.field.data(), c.field.size(), 7, &text, &error));
    EXPECT_EQ(path + ": memo of record 7 " + c.cause, error);
  }

  // A block whose length runs past the end, and one that is a picture.
  std::string damaged = fpt;
  damaged[blocks[1] * 64 + 7] = '\x7F';
  WriteFile(path, damaged);
  MemoFile again;
  ASSERT_TRUE(again.Open(dir / "log.dbf", 0xF5, &error));
  std::string field = MemoNumber(blocks[1]);
  EXPECT_FALSE(again.Read(field.data(), 10, 3, &text, &error));
  EXPECT_EQ(path + ": memo of record 3 runs past the end of the memo file",
            error);
  damaged = fpt;
  damaged[blocks[0] * 64 + 3] = '\0';  // type 0: a picture
  WriteFile(path, damaged);
  MemoFile picture;
  ASSERT_TRUE(picture.Open(dir / "log.dbf", 0xF5, &error));
  field = MemoNumber(blocks[0]);
  EXPECT_FALSE(picture.Read(field.data(), 10, 2, &text, &error));
  EXPECT_EQ(path + ": memo of record 2 is not text (memo type 0)", error);

  WriteFile(path, "short");
  MemoFile tiny;
  EXPECT_FALSE(tiny.Open(dir / "log.dbf", 0xF5, &error));
  EXPECT_NE(std::string::npos, error.find("damaged")) << error;
}

TEST(MemoFile, DbaseIiiTextStopsAtTheEndMark) {
  TempDir dir;
  std::string dbt(512, '\0');
  dbt += "first\x1A junk after a single end mark";
  dbt.resize(1024, '\0');
  dbt += "no end mark at all";
  WriteFile(dir / "t.dbt", dbt);
  MemoFile memo;
  std::string error, text;
  ASSERT_TRUE(memo.Open(dir / "t.dbf", 0x83, &error));
  ASSERT_TRUE(memo.Read("         1", 10, 1, &text, &error));
  EXPECT_EQ("first", text);
  ASSERT_TRUE(memo.Read("         2", 10, 1, &text, &error));
  EXPECT_EQ("no end mark at all", text);
}

}  // namespace

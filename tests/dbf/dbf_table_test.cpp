// Tests of header and descriptor decoding and reading a table's layout.

#include "dbf/dbf_table.h"

#include <gtest/gtest.h>

#include "dbf_builder.h"
#include "platform/file_system.h"
#include "test_support.h"

namespace {

std::string Header(unsigned year, unsigned month, unsigned day,
                   std::uint32_t count, std::uint16_t length) {
  std::string h(32, '\0');
  h[0] = 3;
  h[1] = static_cast<char>(year);
  h[2] = static_cast<char>(month);
  h[3] = static_cast<char>(day);
  PutLittle(&h, 4, count, 4);
  PutLittle(&h, 8, length, 2);
  return h;
}

DbfHeader Decode(const std::string& bytes) {
  return DecodeHeader(reinterpret_cast<const unsigned char*>(bytes.data()));
}

LayoutError ReadLayout(const std::string& bytes, DbfLayout* layout) {
  return ReadDbfLayout(reinterpret_cast<const unsigned char*>(bytes.data()),
                       bytes.size(), layout);
}

TEST(DbfHeader, DecodesDateCountAndLength) {
  DbfHeader h = Decode(Header(105, 6, 14, 0xB2D05E00u, 0x1234));
  EXPECT_EQ(105, h.year);
  EXPECT_EQ(6, h.month);
  EXPECT_EQ(14, h.day);
  EXPECT_EQ(3000000000u, h.record_count);
  EXPECT_EQ(0x1234, h.header_length);
}

TEST(DbfHeader, ColumnCountFollowsHeaderLength) {
  const struct {
    int length, columns;
  } cases[] = {{193, 5},     {64, 1}, {63, 0},
               {32, 0},      {0, 0},  {32 * 6 + 264, 5 + 8},
               {65535, 2046}};
  for (const auto& c : cases)
    EXPECT_EQ(c.columns, ColumnCount(static_cast<std::uint16_t>(c.length)))
        << c.length;
}

TEST(DbfDescriptor, DecodesNameTypeLengthDecimals) {
  std::string d(32, '\0');
  d.replace(0, 4, "CALL");
  d[11] = 'C';
  d[16] = static_cast<char>(200);
  d[17] = static_cast<char>(200);
  DbfFieldDescriptor c =
      DecodeDescriptor(reinterpret_cast<const unsigned char*>(d.data()));
  EXPECT_EQ("CALL", c.name);
  EXPECT_EQ('C', c.type);
  EXPECT_EQ(200, c.length);
  EXPECT_EQ(200, c.decimals);

  // A name filling all 11 bytes stops before the type letter.
  d.replace(0, 11, "ABCDEFGHIJK");
  d[16] = static_cast<char>(255);
  c = DecodeDescriptor(reinterpret_cast<const unsigned char*>(d.data()));
  EXPECT_EQ("ABCDEFGHIJK", c.name);
  EXPECT_EQ(255, c.length);
}

BuilderTable ThreeColumns() {
  BuilderTable t;
  t.columns = {
      {"CALL", 'C', 10, 0}, {"QSO_DATE", 'D', 8, 0}, {"FREQ", 'N', 10, 4}};
  t.rows = {{"EA4ABC", "20050102", "7.085"}};
  return t;
}

TEST(DbfLayout, ReadsEveryColumnOfAWellFormedTable) {
  DbfLayout layout;
  ASSERT_EQ(LayoutError::kNone,
            ReadLayout(BuildTable(ThreeColumns()), &layout));
  ASSERT_EQ(3u, layout.columns.size());
  EXPECT_EQ("QSO_DATE", layout.columns[1].name);
  EXPECT_EQ('N', layout.columns[2].type);
  EXPECT_EQ(4, layout.columns[2].decimals);
  EXPECT_EQ(1u, layout.header.record_count);
  EXPECT_EQ(32 * 4 + 1, layout.header.header_length);
}

TEST(DbfLayout, StopsAtTheTerminatorBeforeAFoxProTrailer) {
  BuilderTable t = ThreeColumns();
  t.version = 0x30;
  t.foxpro_trailer = true;
  std::string bytes = BuildTable(t);
  DbfLayout layout;
  ASSERT_EQ(LayoutError::kNone, ReadLayout(bytes, &layout));
  EXPECT_EQ(3u, layout.columns.size());
  EXPECT_EQ(3 + 8, ColumnCount(layout.header.header_length));
}

TEST(DbfLayout, RefusesShortFilesWithoutUsingUnreadBytes) {
  std::string table = BuildTable(ThreeColumns());
  DbfLayout layout;
  EXPECT_EQ(LayoutError::kShortHeader, ReadLayout(table.substr(0, 0), &layout));
  EXPECT_EQ(LayoutError::kShortHeader,
            ReadLayout(table.substr(0, 31), &layout));
  EXPECT_TRUE(layout.columns.empty());
  for (std::size_t cut : {32u, 33u, 63u, 64u + 31u, 32u + 96u - 1u}) {
    EXPECT_EQ(LayoutError::kShortDescriptors,
              ReadLayout(table.substr(0, cut), &layout))
        << cut;
    EXPECT_TRUE(layout.columns.empty());
  }
  // Complete descriptors without the terminator are still a table.
  EXPECT_EQ(LayoutError::kNone, ReadLayout(table.substr(0, 32 + 96), &layout));
  EXPECT_EQ(3u, layout.columns.size());
}

TEST(DbfLayout, FileReaderAgreesWithBufferReader) {
  BuilderTable t = ThreeColumns();
  t.foxpro_trailer = true;
  std::string table = BuildTable(t);
  TempDir dir;
  for (std::size_t cut : {0u, 31u, 32u, 100u, 32u + 96u, 32u + 97u, 400u}) {
    std::string bytes = table.substr(0, cut);
    WriteFile(dir / "t.dbf", bytes);
    OpenError error;
    std::unique_ptr<InputFile> file =
        SystemFileSystem().OpenForReading(dir / "t.dbf", &error);
    ASSERT_TRUE(file);
    DbfLayout from_file, from_buffer;
    LayoutError a = ReadDbfLayout(file.get(), &from_file);
    LayoutError b = ReadLayout(bytes, &from_buffer);
    EXPECT_EQ(b, a) << cut;
    EXPECT_EQ(from_buffer.columns.size(), from_file.columns.size()) << cut;
  }
}

}  // namespace

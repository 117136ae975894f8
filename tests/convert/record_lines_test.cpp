// Tests of the reader of record lines: every kind of part, and every cut.

#include "convert/record_lines.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordLines, EachPartIsReadOrSaidToBeIncompleteOrMalformed) {
  const struct {
    const char* text;
    LinePart part;
    std::size_t next;  // where the reading goes on
    const char* name;
    const char* value;
    // clang-format off
  } cases[] = {
      {"<CALL:6>EA4ABC <EOR>\r\n", LinePart::kField, 15, "CALL", "EA4ABC"},
      {"<NAME:0> <EOR>\r\n", LinePart::kField, 9, "NAME", ""},
      {"<COMMENT:5>a<b>c <EOR>\r\n", LinePart::kField, 17, "COMMENT", "a<b>c"},
      {"<EOR>\r\n<CALL:1>X ", LinePart::kEndOfRecord, 7, "", ""},
      {"<EOR>\r", LinePart::kIncomplete, 0, "", ""},
      {"<CALL:6>EA4ABC", LinePart::kIncomplete, 0, "", ""},
      {"<CALL:", LinePart::kIncomplete, 0, "", ""},
      {"", LinePart::kIncomplete, 0, "", ""},
      {"CALL:6>EA4ABC ", LinePart::kMalformed, 0, "", ""},
      {"<CALL>EA4ABC ", LinePart::kMalformed, 0, "", ""},
      {"<CALL:6x>EA4ABC ", LinePart::kMalformed, 0, "", ""},
      {"<CALL:99999999999999999999999>", LinePart::kMalformed, 0, "", ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::size_t at = 0;
    LinePartRead read = ReadLinePart(c.text, &at);
    EXPECT_EQ(c.part, read.part) << c.text;
    EXPECT_EQ(c.next, at) << c.text;
    EXPECT_EQ(c.name, read.name) << c.text;
    EXPECT_EQ(c.value, read.value) << c.text;
    EXPECT_EQ(c.part == LinePart::kMalformed, *read.malformed != '\0')
        << c.text;
  }
  // A line cut anywhere is incomplete until its part is whole.
  const std::string line = "<CALL:6>EA4ABC ";
  for (std::size_t cut = 0; cut < line.size(); ++cut) {
    std::size_t at = 0;
    EXPECT_EQ(LinePart::kIncomplete,
              ReadLinePart(line.substr(0, cut), &at).part)
        << cut;
  }
}

}  // namespace

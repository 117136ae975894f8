// text_test.cpp: the shared text rules: UTF-8 as RFC 3629 draws its edges,
// the three kinds of blanks, and tokens made safe to show.

#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

TEST(Utf8, WellFormedSequencesAreReadAndEveryOtherIsRefused) {
  // The edges of RFC 3629's table of well-formed byte sequences.
  const struct {
    const char* bytes;
    std::uint32_t code_point;  // 0: refused
    // clang-format off
  } cases[] = {
      {"\xC2\x80", 0x80},          {"\xDF\xBF", 0x7FF},
      {"\xE0\xA0\x80", 0x800},     {"\xEF\xBF\xBF", 0xFFFF},
      {"\xED\x9F\xBF", 0xD7FF},    {"\xEE\x80\x80", 0xE000},
      {"\xF0\x90\x80\x80", 0x10000}, {"\xF4\x8F\xBF\xBF", 0x10FFFF},
      {"\xC0\xAF", 0},             {"\xC1\xBF", 0},  // overlong
      {"\xE0\x9F\xBF", 0},         {"\xF0\x8F\xBF\xBF", 0},  // overlong
      {"\xED\xA0\x80", 0},         {"\xED\xBF\xBF", 0},  // surrogates
      {"\xF4\x90\x80\x80", 0},     {"\xF5\x80\x80\x80", 0},  // past U+10FFFF
      {"\x80", 0},                 {"\xC3\x28", 0},  // no lead, bad follower
      {"\xE2\x82", 0},                                // cut
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
    std::uint32_t read = 0;
    const std::size_t length = Utf8SequenceAt(c.bytes, 0, &read);
    EXPECT_EQ(c.code_point != 0 ? std::string(c.bytes).size() : 0, length);
    if (length != 0) {
      EXPECT_EQ(c.code_point, read);
      EXPECT_EQ(c.bytes, Utf8(read));
    }
    EXPECT_EQ(c.code_point != 0, IsUtf8(c.bytes));
  }
  EXPECT_TRUE(IsUtf8("plain ASCII"));
  // A text held in part may end inside a sequence, but only inside one.
  EXPECT_FALSE(IsUtf8("Jos\xC3"));
  EXPECT_TRUE(IsUtf8("Jos\xC3", true));
  EXPECT_TRUE(IsUtf8("\xE2\x82", true));
  EXPECT_FALSE(IsUtf8("\xE2\x41", true));
  EXPECT_FALSE(IsUtf8("\xC0", true));
}

TEST(Blanks, EachKindTrimsOnlyItsOwn) {
  const struct {
    const char* text;
    const char* spaces;
    const char* spaces_and_tabs;
    const char* white_space;
    // clang-format off
  } cases[] = {
      {"  EA4ABC  ", "EA4ABC", "EA4ABC", "EA4ABC"},
      {"\t40M \t", "\t40M \t", "40M", "40M"},
      {"\r\n20050614\r\n", "\r\n20050614\r\n", "\r\n20050614\r\n", "20050614"},
      {"\v1\f", "\v1\f", "\v1\f", "\v1\f"},
      {"   ", "", "", ""},
      {"a b", "a b", "a b", "a b"},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(c.spaces, TrimSpaces(c.text));
    EXPECT_EQ(c.spaces_and_tabs, TrimSpacesAndTabs(c.text));
    EXPECT_EQ(c.white_space, TrimWhiteSpace(c.text));
  }
  EXPECT_TRUE(IsCWhiteSpace('\v'));
  EXPECT_FALSE(IsCWhiteSpace(0xA0));
}

TEST(Digits, AnEmptyTextHoldsNoDigits) {
  EXPECT_TRUE(AllDigits("0123456789"));
  EXPECT_FALSE(AllDigits(""));
  EXPECT_FALSE(AllDigits("12a"));
  EXPECT_EQ(20050614, DigitsValue("20050614"));
}

// Digits tested a word at a time agree with the test of each byte, for every
// byte at every place of a word of eight and of four.
TEST(Digits, AWordOfDigitsIsToldAsByteByByte) {
  for (std::size_t at = 0; at < 8; ++at) {
    for (int byte = 0; byte < 256; ++byte) {
      char bytes[8] = {'2', '0', '2', '4', '0', '9', '3', '0'};
      bytes[at] = static_cast<char>(byte);
      const bool digits = AllDigits(std::string_view(bytes, 8));
      std::uint64_t word;
      std::memcpy(&word, bytes, 8);
      EXPECT_EQ(digits, AllDigitBytes(word)) << at << " " << byte;
      std::uint32_t half;
      std::memcpy(&half, bytes + at / 4 * 4, 4);
      EXPECT_EQ(digits, AllDigitBytes(half)) << at << " " << byte;
    }
  }
}

TEST(Tokens, ControlsNeverReachAMessageAndLongTokensAreCut) {
  EXPECT_EQ("A?[31mB?", ShownToken("A\x1B[31mB\x07"));
  EXPECT_EQ(std::string(40, 'x') + "...", ShownToken(std::string(500, 'x')));
  EXPECT_EQ("Jos\xE9", ShownToken("Jos\xE9"));
  EXPECT_EQ("Jos\xC3\xA9", ShownToken("Jos\xC3\xA9"));
  // C1 controls written as UTF-8 (NEL, CSI) are controls too.
  EXPECT_EQ("a?b?", ShownToken("a\xC2\x85"
                               "b\xC2\x9B"));
  EXPECT_EQ("abc...", EscapedToken("abcdef", 3));
  EXPECT_EQ("Jos\\xC3\\xA9\\x0A", EscapedToken("Jos\xC3\xA9\n"));
}

TEST(LetterCase, OnlyAsciiLettersHaveACase) {
  EXPECT_EQ("EA4ABC/P \xE9", AsciiUpperText("ea4abc/p \xE9"));
  EXPECT_TRUE(EqualIgnoringCase("qso_date", "QSO_DATE"));
  EXPECT_FALSE(EqualIgnoringCase("\xE9", "\xC9"));
  EXPECT_TRUE(StartsWithIgnoringCase("app_lotw_eof", "APP_"));
  EXPECT_LT(CompareIgnoringCase("band", "CALL"), 0);
}

}  // namespace

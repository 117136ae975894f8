// Tests of the code page tables and the character sets of the output.

#include "dbf/code_page.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <iconv.h>
#endif

#include "convert/charset.h"
#include "test_support.h"
#ifndef _WIN32
#include "process.h"
#endif

namespace {

#ifndef _WIN32
// What the C library's iconv makes of one byte of \a code_page, in UTF-8;
// empty when it refuses the byte.
std::string IconvUtf8(const char* code_page, unsigned char byte) {
  iconv_t cd = iconv_open("UTF-8", code_page);
  if (cd == reinterpret_cast<iconv_t>(-1)) return "?";
  char in[1] = {static_cast<char>(byte)};
  char out[8];
  char* in_p = in;
  char* out_p = out;
  std::size_t in_left = 1, out_left = sizeof out;
  std::size_t done = iconv(cd, &in_p, &in_left, &out_p, &out_left);
  // Hebrew waits for a combining mark that may follow: flush it.
  if (done != static_cast<std::size_t>(-1))
    done = iconv(cd, nullptr, nullptr, &out_p, &out_left);
  iconv_close(cd);
  if (done == static_cast<std::size_t>(-1)) return std::string();
  return std::string(out, out_p - out);
}

// What konwert (Debian package konwert) makes of bytes 0x80-0xFF in its
// table \a table, one UTF-8 character per byte; empty when it cannot run.
std::vector<std::string> KonwertUpperHalf(const std::string& table) {
  TempDir dir;
  std::string bytes;
  for (int byte = 0x80; byte <= 0xFF; ++byte) bytes += static_cast<char>(byte);
  WriteFile(dir / "upper", bytes);
  RunResult run = RunProgram({"konwert", table + "-UTF8", dir / "upper"});
  std::vector<std::string> characters;
  for (unsigned char c : run.out)
    if ((c & 0xC0) != 0x80 || characters.empty())
      characters.emplace_back(1, static_cast<char>(c));
    else
      characters.back() += static_cast<char>(c);
  if (run.exit_code != 0 || characters.size() != 128) return {};
  return characters;
}

// Each upper half against an independent converter: the C library's iconv,
// or for the two pages it lacks, konwert's tables.
TEST(CodePage, UpperHalvesAgreeWithIndependentConverters) {
  for (int page :
       {437,  737,  850,  852,  857,  860,  861,  863,  865, 866, 874,
        1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 895, 620})
    EXPECT_TRUE(IsKnownCodePage(page)) << page;
  for (int t = 0; t < kCodePageTableCount; ++t) {
    const int page = kCodePageTables[t].number;
    std::vector<std::string> konwert;
    if (page == 620 || page == 895) {
      konwert = KonwertUpperHalf(page == 620 ? "mazovia" : "kamenicky");
      ASSERT_EQ(128u, konwert.size())
          << "konwert (Debian package konwert) did not run for " << page;
    }
    const std::string iconv_name = "CP" + std::to_string(page);
    ValueEncoder utf8(page, Charset::kUtf8);
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
      const unsigned char b = static_cast<unsigned char>(byte);
      std::string expected = konwert.empty() ? IconvUtf8(iconv_name.c_str(), b)
                                             : konwert[byte - 0x80];
      if (expected.empty()) {
        // Left undefined: read as the C1 control below 0xA0, as Windows
        // does, and as U+FFFD above.
        EXPECT_EQ(byte < 0xA0 ? static_cast<std::uint32_t>(byte) : 0xFFFDu,
                  CodePoint(page, b))
            << page << " byte " << byte;
        continue;
      }
      EXPECT_EQ(expected, utf8.Of(b)) << page << " byte " << byte;
    }
  }
}
#endif

TEST(CodePage, DriverBytesNameTheirCodePages) {
  EXPECT_EQ(437, CodePageOfDriver(0x01));
  EXPECT_EQ(850, CodePageOfDriver(0x02));
  EXPECT_EQ(1252, CodePageOfDriver(0x03));
  EXPECT_EQ(1252, CodePageOfDriver(0x57));
  EXPECT_EQ(850, CodePageOfDriver(0x14));  // Spanish MS-DOS
  EXPECT_EQ(866, CodePageOfDriver(0x65));
  EXPECT_EQ(895, CodePageOfDriver(0x68));  // Kamenicky
  EXPECT_EQ(620, CodePageOfDriver(0x69));  // Mazovia
  EXPECT_EQ(737, CodePageOfDriver(0x6A));
  EXPECT_EQ(1257, CodePageOfDriver(0xCC));
  EXPECT_EQ(0, CodePageOfDriver(0x00));
  EXPECT_EQ(932, CodePageOfDriver(0x7B));
  EXPECT_FALSE(IsKnownCodePage(932));
}

TEST(Charset, AsciiSpellsLettersAndMarksTheRest) {
  // Latin letters by their base letters; Cyrillic by ICAO Doc 9303, Greek by
  // ELOT 743, as passports spell names.
  const struct {
    int page;
    std::string in, out;
    bool changed;
    // clang-format off
  } cases[] = {
      {1252, "EA4ABC", "EA4ABC", false},
      {1252, "Jos\xE9 Mar\xED" "a", "Jose Maria", true},
      {1252, "Bego\xF1" "a M\xFCller", "Begona Muller", true},
      {1252, "Stra\xDF" "e", "Strasse", true},
      {1252, "\xC6\xF8\xE5", "AEoa", true},
      {1252, "5\x80 \xB0" "C", "5? ?C", true},
      {1252, "a\xA0" "b", "a b", true},
      {852, "\x9Dukasz \xBD\xA2\x88\x86", "Lukasz Zolc", true},
      {1250, "Dvo\xF8\xE1k Erd\xF5s", "Dvorak Erdos", true},
      {1254, "\xDE\xFCkr\xFC \xD0 \xFD", "Sukru G i", true},
      {1257, "\xC0\xFEuolas", "Azuolas", true},
      {857, "\x98stanbul", "Istanbul", true},
      {620, "\x9C\xA2" "d\xA6", "Lodz", true},
      {895, "\x9E\xA1ha", "Riha", true},
      {866, "\x9E\xAB\xA8\xEF \x99\xA5\xA3\xAB\xAE\xA2\xA0",
       "Iuliia Shcheglova", true},
      {866, "\x8E\xAB\xEC\xA3\xA0", "Olga", true},  // soft sign unwritten
      {1251, "\xC6\xD3\xCA\xCE\xC2 \xC6\xF3\xEA\xEE\xE2 "
             "\x80\xEE\xEA\xEE\xE2\xE8\x9E",
       "ZHUKOV Zhukov Dokovic", true},
      {1253, "\xC8\xE5\xF3\xF3\xE1\xEB\xEF\xED\xDF\xEA\xE7 "
             "\xCA\xEF\xF5\xF4\xF3\xEF\xFD\xEA\xEF\xF2",
       "Thessaloniki Koutsoukos", true},
      {737, "\x96\x80\x90\x80\x91", "PSARAS", true},
      {1255, "\xF9\xEC\xE5\xED", "????", true},
  };
  // clang-format on
  for (const auto& c : cases) {
    ValueEncoder ascii(c.page, Charset::kAscii);
    std::string out;
    EXPECT_EQ(c.changed, ascii.Encode(c.in.data(), c.in.size(), &out)) << c.out;
    EXPECT_EQ(c.out, out);
  }
  // Every byte of every code page gives plain printable ASCII.
  for (int t = 0; t < kCodePageTableCount; ++t) {
    const int page = kCodePageTables[t].number;
    ValueEncoder encoder(page, Charset::kAscii);
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
      const std::string& spelling =
          encoder.Of(static_cast<unsigned char>(byte));
      // The record engine makes room for four bytes a byte.
      EXPECT_LE(spelling.size(), 4u) << page << " " << byte;
      for (char c : spelling)
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << page << " " << byte;
    }
  }
  // The same letter in two code pages.
  std::string from_dos;
  ValueEncoder(850, Charset::kAscii).Encode("\xA4", 1, &from_dos);  // n tilde
  EXPECT_EQ("n", from_dos);
}

TEST(Charset, KeepChangesNothing) {
  ValueEncoder keep(850, Charset::kKeep);
  for (int byte = 0; byte < 256; ++byte)
    EXPECT_EQ(std::string(1, static_cast<char>(byte)),
              keep.Of(static_cast<unsigned char>(byte)));
}

// A column name in messages: in Windows-1252 where it has the letters, the
// text of messages; else in UTF-8; and spelled in plain ASCII for the
// guesses, which say whether it was Cyrillic.
TEST(ColumnNames, ShownAndSpelled) {
  const struct {
    const char* name;
    int code_page;
    const char* shown;
    const char* spelled;
    bool cyrillic;
    // clang-format off
  } cases[] = {
      {"A\xA5O", 850, "A\xD1O", "ANO", false},
      {"\x8F\x8E\x87", 866, "\xD0\x9F\xD0\x9E\xD0\x97", "POZ", true},
      {"QSL_\xC4\xC0", 1251, "QSL_\xD0\x94\xD0\x90", "QSL_DA", true},
      {"CALL", 437, "CALL", "CALL", false},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(c.shown, ShownName(c.name, c.code_page)) << c.name;
    bool cyrillic = false;
    EXPECT_EQ(c.spelled, AsciiSpelledText(c.name, c.code_page, &cyrillic));
    EXPECT_EQ(c.cyrillic, cyrillic) << c.name;
  }
}

}  // namespace

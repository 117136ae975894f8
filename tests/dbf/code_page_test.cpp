// Tests of the code page tables and the character sets of the output.

#include "dbf/code_page.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <iconv.h>
#endif

#include "convert/charset.h"

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
  iconv_close(cd);
  if (done == static_cast<std::size_t>(-1)) return std::string();
  return std::string(out, out_p - out);
}

TEST(CodePage, UpperHalvesAgreeWithIconv) {
  const struct {
    int page;
    const char* name;
  } pages[] = {{437, "CP437"}, {850, "CP850"}, {1252, "CP1252"}};
  for (const auto& p : pages) {
    ValueEncoder utf8(p.page, Charset::kUtf8);
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
      std::string expected = IconvUtf8(p.name, static_cast<unsigned char>(byte));
      if (expected.empty()) {
        // Left undefined by Windows-1252: read as the C1 control itself.
        EXPECT_EQ(1252, p.page);
        EXPECT_EQ(static_cast<std::uint32_t>(byte),
                  CodePoint(p.page, static_cast<unsigned char>(byte)));
        continue;
      }
      EXPECT_EQ(expected, utf8.Of(static_cast<unsigned char>(byte)))
          << p.page << " byte " << byte;
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
  EXPECT_EQ(0, CodePageOfDriver(0x00));
  EXPECT_FALSE(IsKnownCodePage(866));
}

TEST(Charset, AsciiSpellsLettersAndMarksTheRest) {
  ValueEncoder ascii(1252, Charset::kAscii);
  const struct {
    std::string in, out;
    bool changed;
  } cases[] = {
      {"EA4ABC", "EA4ABC", false},
      {"Jos\xE9 Mar\xED" "a", "Jose Maria", true},
      {"Bego\xF1" "a M\xFCller", "Begona Muller", true},
      {"Stra\xDF" "e", "Strasse", true},
      {"\xC6\xF8\xE5", "AEoa", true},
      {"5\x80 \xB0" "C", "5? ?C", true},
      {"a\xA0" "b", "a b", true},
  };
  for (const auto& c : cases) {
    std::string out;
    EXPECT_EQ(c.changed, ascii.Encode(c.in.data(), c.in.size(), &out)) << c.out;
    EXPECT_EQ(c.out, out);
  }
  // Every byte of every code page gives plain printable ASCII.
  for (int page : {437, 850, 1252}) {
    ValueEncoder encoder(page, Charset::kAscii);
    for (int byte = 0x80; byte <= 0xFF; ++byte)
      for (char c : encoder.Of(static_cast<unsigned char>(byte)))
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << page << " " << byte;
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

}  // namespace

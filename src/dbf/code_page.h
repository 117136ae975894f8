// code_page.h: the single-byte code pages a table's text may be written in
// (DOS 437 and 850, Windows 1252), read as Unicode code points, and the code
// page a table's header names in its language driver byte.

#ifndef LOGWEAVE_DBF_CODE_PAGE_H_
#define LOGWEAVE_DBF_CODE_PAGE_H_

#include <cstdint>
#include <string>

/// The code point of byte \a byte in code page \a code_page (437, 850 or
/// 1252). Bytes below 0x80 are ASCII in all three.
std::uint32_t CodePoint(int code_page, unsigned char byte);

/// True for the code pages CodePoint knows.
bool IsKnownCodePage(int code_page);

/// The code page that the language driver byte (byte 29 of the header)
/// names, or 0 when it names none; may name one CodePoint does not know.
int CodePageOfDriver(std::uint8_t driver);

/// The plain-ASCII spelling of a letter (e.g. "a" for U+00E1, "ss" for
/// U+00DF), or nullptr when \a code_point has none. ASCII itself is not in
/// the table.
const char* AsciiSpellingOf(std::uint32_t code_point);

struct AsciiSpelling {
  std::uint16_t code_point;
  const char* spelling;
};
extern const std::uint16_t kCodePage437[128];
extern const std::uint16_t kCodePage850[128];
extern const std::uint16_t kCodePage1252[128];
extern const AsciiSpelling kAsciiSpellings[];
extern const int kAsciiSpellingCount;

#endif  // LOGWEAVE_DBF_CODE_PAGE_H_

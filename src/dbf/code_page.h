// code_page.h: the single-byte code pages a table's text may be written in
// (every one a DBF language driver byte names: DOS 437 to 874, Windows 1250
// to 1257, Kamenicky 895 and Mazovia 620), read as Unicode code points; the
// code page a table's header names in its language driver byte; and the
// plain-ASCII spelling of the letters they hold.

#ifndef LOGWEAVE_DBF_CODE_PAGE_H_
#define LOGWEAVE_DBF_CODE_PAGE_H_

#include <cstdint>
#include <string>
#include <string_view>

/// The code point of byte \a byte in code page \a code_page. Bytes below
/// 0x80 are ASCII in all of them; a page CodePoint does not know is read as
/// 1252.
std::uint32_t CodePoint(int code_page, unsigned char byte);

/// True for the code pages CodePoint knows.
bool IsKnownCodePage(int code_page);

/// The numbers of the code pages CodePoint knows, in ascending order,
/// separated by ", ".
std::string KnownCodePages();

/// The code page that the language driver byte (byte 29 of the header)
/// names, or 0 when it names none; may name one CodePoint does not know
/// (the double-byte Asian pages, the Macintosh ones).
int CodePageOfDriver(std::uint8_t driver);

/// The code page a table's text is read in: \a chosen when it is not 0,
/// else the one the driver byte names when it is known, else 1252.
int TextCodePage(int chosen, std::uint8_t driver);

/// The plain-ASCII spelling of a letter (e.g. "a" for U+00E1, "ss" for
/// U+00DF, "Zh" for U+0416, "" for the Cyrillic soft sign), or nullptr when
/// \a code_point has none. ASCII itself is not in the table. A spelling of
/// two or more letters that begins with a capital is in title case.
const char* AsciiSpellingOf(std::uint32_t code_point);

/// The spelling of \a code_point right after \a previous where it differs
/// from AsciiSpellingOf (Greek upsilon after a vowel), or nullptr.
const char* AsciiSpellingAfter(std::uint32_t previous,
                               std::uint32_t code_point);

/// \a text with its bytes read in \a code_page and each letter outside
/// ASCII in its plain-ASCII spelling (one without a spelling is dropped).
/// \a cyrillic, when given, tells whether a Cyrillic letter was met.
std::string AsciiSpelledText(std::string_view text, int code_page,
                             bool* cyrillic = nullptr);

/// A column name of a table in code page \a code_page as messages show it:
/// its characters in Windows-1252, the text of messages, where that has
/// them, else in UTF-8 (which the console passes on as such).
std::string ShownName(std::string_view name, int code_page);

struct CodePageTable {
  int number;
  std::uint16_t upper_half[128];  ///< bytes 0x80-0xFF
};
struct AsciiSpelling {
  std::uint16_t code_point;
  const char* spelling;
};
struct AsciiAfterRule {
  std::uint16_t previous;
  std::uint16_t code_point;
  const char* spelling;
};
extern const CodePageTable kCodePageTables[];  ///< by number
extern const int kCodePageTableCount;
extern const AsciiSpelling kAsciiSpellings[];  ///< by code point
extern const int kAsciiSpellingCount;
extern const AsciiAfterRule kAsciiAfterRules[];  ///< by previous, code point
extern const int kAsciiAfterRuleCount;

#endif  // LOGWEAVE_DBF_CODE_PAGE_H_

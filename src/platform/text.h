// text.h: the small text rules every layer shares, each written once:
// letter case as ADIF names and values use it (ASCII letters only), digits,
// the three kinds of blanks the program meets, UTF-8, and how a token from
// a file or the command line is made safe to show.

#ifndef LOGWEAVE_PLATFORM_TEXT_H_
#define LOGWEAVE_PLATFORM_TEXT_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// ---- letters and digits (ASCII only: every other byte stands as is) ----

inline bool IsAsciiDigit(char c) {
  return static_cast<unsigned char>(c - '0') <= 9;
}
inline bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
inline bool IsAsciiLower(char c) { return c >= 'a' && c <= 'z'; }
inline bool IsAsciiLetter(char c) { return IsAsciiUpper(c) || IsAsciiLower(c); }
inline bool IsAsciiAlnum(char c) { return IsAsciiDigit(c) || IsAsciiLetter(c); }

inline char AsciiUpper(char c) {
  return IsAsciiLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}
inline char AsciiLower(char c) {
  return IsAsciiUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiUpperText(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

inline std::string AsciiLowerText(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

/// True when \a text starts with \a start, letter case aside.
inline bool StartsWithIgnoringCase(std::string_view text,
                                   std::string_view start) {
  return text.size() >= start.size() &&
         EqualIgnoringCase(text.substr(0, start.size()), start);
}

/// <0, 0 or >0 as \a a sorts before, with or after \a b, letter case aside.
inline int CompareIgnoringCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = AsciiUpper(a[i]), y = AsciiUpper(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

/// True when \a text is one digit or more and nothing else.
inline bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!IsAsciiDigit(c)) return false;
  return true;
}

/// The number the digits \a digits write (they are known to be digits and
/// few enough to fit).
inline int DigitsValue(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

/// A short value as loggers' readers compare it: \a text upper-cased,
/// without the spaces in it, in \a buffer; empty when it does not fit.
constexpr std::size_t kSqueezedBytes = 32;
std::string_view SqueezedUpper(std::string_view text,
                               char (&buffer)[kSqueezedBytes]);

// ---- blanks ----
//
// Three kinds, each where it belongs: the spaces a DBF pads its values with;
// the spaces and tabs a person types around words in a line; and white
// space as ADIF and XML readers take it (space, tab, CR, LF). The field
// list's entries are read the C library's way (IsCWhiteSpace).

/// The C library's white space in the "C" locale: blank, tab, line feed,
/// vertical tab, form feed, carriage return. The no-break space 0xA0 is
/// not white space.
inline bool IsCWhiteSpace(unsigned char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
/// Space, tab, CR and LF.
inline bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

/// A table of the 256 byte values, true where \a kIs holds: one look-up
/// where the test is asked of every byte of a file.
template <bool (*kIs)(unsigned char)>
struct ByteClass {
  bool is[256] = {};
  constexpr ByteClass() {
    for (int c = 0; c < 256; ++c) is[c] = kIs(static_cast<unsigned char>(c));
  }
  bool operator()(unsigned char c) const { return is[c]; }
};

template <typename IsBlank>
std::string_view TrimBlanksOf(std::string_view text, IsBlank is_blank) {
  std::size_t first = 0, last = text.size();
  while (first < last && is_blank(text[first])) ++first;
  while (last > first && is_blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

/// \a text without the spaces before and after it.
inline std::string_view TrimSpaces(std::string_view text) {
  return TrimBlanksOf(text, [](char c) { return c == ' '; });
}
/// \a text without the spaces and tabs before and after it.
inline std::string_view TrimSpacesAndTabs(std::string_view text) {
  return TrimBlanksOf(text, IsSpaceOrTab);
}
/// \a text without the white space (IsWhiteSpace) before and after it.
inline std::string_view TrimWhiteSpace(std::string_view text) {
  // Most values start and end with a printable byte.
  if (!text.empty() && static_cast<unsigned char>(text.front()) > ' ' &&
      static_cast<unsigned char>(text.back()) > ' ')
    return text;
  return TrimBlanksOf(text, IsWhiteSpace);
}

// ---- bytes read as words ----

/// A word whose first \a bytes bytes (up to 8) as they lie in memory are
/// ones and the rest zeros: ANDed with a word copied from a value's bytes,
/// it keeps that many of them, on a machine of either byte order.
inline std::uint64_t FirstBytesMask(std::size_t bytes) {
  unsigned char ones[8] = {};
  for (std::size_t i = 0; i < bytes && i < 8; ++i) ones[i] = 0xFF;
  std::uint64_t word;
  std::memcpy(&word, ones, 8);
  return word;
}

/// True when every byte of \a word (eight or four bytes) is an ASCII
/// digit: none lies below "0" and none above "9", all tested at once, on a
/// machine of either byte order.
template <typename Word>
inline bool AllDigitBytes(Word word) {
  constexpr Word kOnes = static_cast<Word>(0x0101010101010101ULL);
  // A byte below "0" borrows and one above "9" carries into its top bit;
  // a borrow or carry into the byte above comes only from a byte that
  // already failed.
  return (((word - 0x30 * kOnes) | (word + 0x46 * kOnes)) & (0x80 * kOnes)) ==
         0;
}

// ---- UTF-8 ----

/// Appends the UTF-8 of \a code_point to \a out.
void AppendUtf8(std::uint32_t code_point, std::string* out);
/// The UTF-8 of \a code_point.
std::string Utf8(std::uint32_t code_point);

/// The length of the well-formed UTF-8 sequence of two bytes or more at
/// \a text[at] (no overlong form, no surrogate, nothing above U+10FFFF),
/// with its code point in \a code_point; 0 when there is none there (an
/// ASCII byte included).
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at,
                           std::uint32_t* code_point);

/// True when \a text is well-formed UTF-8. With \a may_end_cut, a sequence
/// cut by the end of \a text is taken as whole (for a text held in part).
bool IsUtf8(std::string_view text, bool may_end_cut = false);

/// Where the last \a count characters of the well-formed UTF-8 \a text
/// begin; npos when it holds fewer.
std::size_t LastUtf8CharactersAt(std::string_view text, std::size_t count);

// ---- tokens shown in messages ----

/// \a bytes from a file or the command line, safe to show in a message and
/// still readable as characters: control bytes (C0, DEL, and C1 controls
/// written as UTF-8) as "?", cut to \a longest characters with "..." after.
/// Other bytes stay as they are, for the terminal to show in its character
/// set.
std::string ShownToken(std::string_view bytes, std::size_t longest = 40);

/// \a bytes in printable ASCII for a report that stays ASCII whatever it
/// quotes: bytes outside 0x20-0x7E written as \xNN, cut to \a longest
/// characters with "..." after.
std::string EscapedToken(std::string_view bytes, std::size_t longest = 40);

#endif  // LOGWEAVE_PLATFORM_TEXT_H_

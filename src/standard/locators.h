// locators.h: places. The standard's rules for Maidenhead locators
// (GridSquare and its extension) and for latitudes and longitudes
// (Location), and, beside them, the recognition of locators in old logs.

#ifndef LOGWEAVE_STANDARD_LOCATORS_H_
#define LOGWEAVE_STANDARD_LOCATORS_H_

#include <string_view>

#include "platform/text.h"

namespace locator_detail {
// An ASCII letter from A to \a last in either case.
inline bool IsLetterUpTo(char c, char last) {
  const char u = AsciiUpper(c);
  return u >= 'A' && u <= last;
}
}  // namespace locator_detail

/// A Maidenhead locator of 2, 4, 6 or 8 characters: a field (two letters A
/// to R), then pairs of digits, letters A to X and digits; any letter case.
inline bool IsGridSquare(std::string_view s) {
  using locator_detail::IsLetterUpTo;
  const std::size_t n = s.size();
  if (n != 2 && n != 4 && n != 6 && n != 8) return false;
  if (!IsLetterUpTo(s[0], 'R') || !IsLetterUpTo(s[1], 'R')) return false;
  if (n >= 4 && (!IsAsciiDigit(s[2]) || !IsAsciiDigit(s[3]))) return false;
  if (n >= 6 && (!IsLetterUpTo(s[4], 'X') || !IsLetterUpTo(s[5], 'X')))
    return false;
  return n < 8 || (IsAsciiDigit(s[6]) && IsAsciiDigit(s[7]));
}

/// Characters 9 and 10 (or 9 to 12) of a locator: two letters A to X, then
/// perhaps two digits.
bool IsGridSquareExt(std::string_view s);

/// A Location: XDDD MM.MMM with X one of N and S for a latitude (degrees up
/// to 90), E and W for a longitude (up to 180).
bool IsLocation(std::string_view s, bool latitude);

// ---- the forms of old logs ----

/// True for a locator of 4, 6 or 8 characters written with blanks in it or
/// not, any case (AA00, AA00aa, AA00aa00): what a column of locators holds.
bool LooksLikeLocator(std::string_view text);

#endif  // LOGWEAVE_STANDARD_LOCATORS_H_

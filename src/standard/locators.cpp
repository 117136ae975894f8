// locators.cpp: locators and locations.

#include "standard/locators.h"

bool IsGridSquareExt(std::string_view s) {
  using locator_detail::IsLetterUpTo;
  return (s.size() == 2 || s.size() == 4) && IsLetterUpTo(s[0], 'X') &&
         IsLetterUpTo(s[1], 'X') && (s.size() == 2 || AllDigits(s.substr(2)));
}

bool IsLocation(std::string_view s, bool latitude) {
  const std::string_view directions = latitude ? "NS" : "EW";
  const int most_degrees = latitude ? 90 : 180;
  if (s.size() != 11 ||
      directions.find(AsciiUpper(s[0])) == std::string_view::npos)
    return false;
  return AllDigits(s.substr(1, 3)) && s[4] == ' ' &&
         AllDigits(s.substr(5, 2)) && s[7] == '.' &&
         AllDigits(s.substr(8, 3)) &&
         DigitsValue(s.substr(1, 3)) <= most_degrees &&
         DigitsValue(s.substr(5, 2)) <= 59;
}

bool LooksLikeLocator(std::string_view text) {
  char buffer[kSqueezedBytes];
  const std::string_view s = SqueezedUpper(text, buffer);
  return (s.size() == 4 || s.size() == 6 || s.size() == 8) && IsGridSquare(s);
}

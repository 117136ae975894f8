// ascii_case.h: letter case as ADIF names, keywords and enumeration values
// use it: only the ASCII letters have a case; every other byte stands as is.

#ifndef LOGWEAVE_MAPPING_ASCII_CASE_H_
#define LOGWEAVE_MAPPING_ASCII_CASE_H_

#include <algorithm>
#include <string>
#include <string_view>

inline char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string AsciiUpperText(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
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

#endif  // LOGWEAVE_MAPPING_ASCII_CASE_H_

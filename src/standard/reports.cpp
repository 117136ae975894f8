// reports.cpp: signal reports.

#include "standard/reports.h"

#include "platform/text.h"

bool LooksLikeReport(std::string_view text) {
  char buffer[kSqueezedBytes];
  std::string_view s = SqueezedUpper(text, buffer);
  if (s.empty()) return false;
  if (s[0] == '+' || s[0] == '-')
    return s.size() >= 2 && s.size() <= 3 && AllDigits(s.substr(1));
  if (s.size() > 3 || s[0] < '1' || s[0] > '5') return false;
  for (char c : s.substr(1))
    if (!IsAsciiDigit(c) && c != 'N') return false;
  return true;
}

bool MendReport(std::string_view text, std::string* report) {
  report->clear();
  for (char c : TrimSpaces(text))
    if (c != ' ') *report += c;
  return report->size() <= 3 && LooksLikeReport(*report);
}

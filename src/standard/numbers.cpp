// numbers.cpp: the rule of ADIF numbers and the reading of old forms.

#include "standard/numbers.h"

#include "platform/text.h"

bool IsAdifNumber(std::string_view text, bool integer, bool sign) {
  if (sign && !text.empty() && text[0] == '-') text.remove_prefix(1);
  bool digits = false, point = false;
  for (char c : text) {
    if (IsAsciiDigit(c)) {
      digits = true;
    } else if (c == '.' && !point && !integer) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

// ---- the forms of old logs ----

double DecimalText::Value() const {
  // All the digits as one number, divided once by a power of ten.
  double digits = 0;
  for (char c : whole) digits = digits * 10 + (c - '0');
  double scale = 1;
  for (char c : fraction) {
    digits = digits * 10 + (c - '0');
    scale *= 10;
  }
  return digits / scale;
}

bool ReadDecimal(std::string_view text, bool with_unit, DecimalText* number) {
  text = TrimSpaces(text);
  DecimalText read;
  if (with_unit && text.size() > 3) {
    std::string_view unit = text.substr(text.size() - 3);
    if (EqualIgnoringCase(unit, "KHZ")) read.unit = DecimalText::kKilohertz;
    if (EqualIgnoringCase(unit, "MHZ")) read.unit = DecimalText::kMegahertz;
    if (read.unit != DecimalText::kNoUnit)
      text = TrimSpaces(text.substr(0, text.size() - 3));
  }
  std::size_t i = 0;
  while (i < text.size() && IsAsciiDigit(text[i])) ++i;
  read.whole = text.substr(0, i);
  if (i < text.size()) {
    if (text[i] != '.' && text[i] != ',') return false;
    read.separator = text[i];
    read.fraction = text.substr(i + 1);
    if (!read.fraction.empty() && !AllDigits(read.fraction)) return false;
  }
  if (read.whole.empty() && read.fraction.empty()) return false;
  *number = read;
  return true;
}

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

namespace {

// True when the digits between thousands separators \a separator in
// \a whole come in groups of three, the first of one to three.
bool GroupsOfThree(std::string_view whole, char separator) {
  std::size_t start = 0, groups = 0;
  for (std::size_t i = 0; i <= whole.size(); ++i) {
    if (i < whole.size() && whole[i] != separator) continue;
    const std::size_t size = i - start;
    if (groups == 0 ? size < 1 || size > 3 : size != 3) return false;
    ++groups;
    start = i + 1;
  }
  return groups >= 2;
}

}  // namespace

unsigned SeparatorsOf(std::string_view text) {
  std::size_t points = 0, commas = 0;
  for (char c : text) {
    if (c == '.')
      ++points;
    else if (c == ',')
      ++commas;
    else if (!IsAsciiDigit(c))
      return kNotANumber;
  }
  if (text.empty() || points + commas == text.size()) return kNotANumber;
  if (points + commas == 0) return 0;
  const std::size_t last = text.find_last_of(".,");
  const char decimal = text[last];
  const char other = decimal == '.' ? ',' : '.';
  const std::string_view whole = text.substr(0, last);
  const std::string_view fraction = text.substr(last + 1);
  const std::size_t same = decimal == '.' ? points : commas;
  if (same >= 2) {  // the only kind, more than once: thousands
    if ((decimal == '.' ? commas : points) != 0 ||
        !GroupsOfThree(text, decimal))
      return kNotANumber;
    return decimal == '.' ? kPointGroups : kCommaGroups;
  }
  const std::size_t others = decimal == '.' ? commas : points;
  if (others > 0) {  // "1.234,5": the last one is the decimal point
    if (!GroupsOfThree(whole, other)) return kNotANumber;
    return decimal == '.' ? (kPointIsDecimal | kCommaGroups)
                          : (kCommaIsDecimal | kPointGroups);
  }
  if (fraction.size() == 3 && !whole.empty() && whole.size() <= 3 &&
      whole[0] != '0')
    return decimal == '.' ? kPointOpen : kCommaOpen;
  return decimal == '.' ? kPointIsDecimal : kCommaIsDecimal;
}

bool NumberWithSeparators(std::string_view text, char thousands,
                          std::string* plain) {
  plain->clear();
  bool point = false;
  for (char c : text) {
    if (IsAsciiDigit(c)) {
      *plain += c;
    } else if (c == thousands) {
      continue;
    } else if ((c == '.' || c == ',') && !point) {
      point = true;
      *plain += '.';
    } else {
      return false;
    }
  }
  if (thousands != 0 && text.find(thousands) != std::string_view::npos) {
    // The groups must be of three, before any decimal point.
    const std::size_t decimal = text.find(thousands == '.' ? ',' : '.');
    if (!GroupsOfThree(text.substr(0, decimal), thousands)) return false;
  }
  return IsAdifNumber(*plain, false, false);
}

// times.cpp: the rule of ADIF times and the readings of old forms.

#include "standard/times.h"

std::string AdifTimeText(const TimeOfDay& time) {
  char text[7];
  const int parts[3] = {time.hour, time.minute, time.second};
  const int count = time.has_seconds ? 3 : 2;
  for (int p = 0; p < count; ++p) {
    text[2 * p] = static_cast<char>('0' + parts[p] / 10 % 10);
    text[2 * p + 1] = static_cast<char>('0' + parts[p] % 10);
  }
  return std::string(text, 2 * count);
}

// ---- the forms of old logs ----

bool ReadTime(std::string_view text, TimeDigits digits, TimeOfDay* time) {
  bool numeric = digits != TimeDigits::kWritten;
  text = TrimSpaces(text);
  // The zone after the time: Z, UTC or GMT.
  static constexpr std::string_view kZones[] = {"UTC", "GMT", "Z"};
  for (std::string_view zone : kZones) {
    if (text.size() > zone.size() &&
        EqualIgnoringCase(text.substr(text.size() - zone.size()), zone)) {
      text = TrimSpaces(text.substr(0, text.size() - zone.size()));
      break;
    }
  }
  if (text.empty()) return false;
  TimeOfDay read;
  if (AllDigits(text)) {
    std::size_t n = text.size();
    // A zero in front was never lost: the digits are as written.
    if (text[0] == '0' && n > 1) {
      digits = TimeDigits::kWritten;
      numeric = false;
    }
    if (n > 6 || (!numeric && n != 3 && n != 4 && n != 6)) return false;
    int value = DigitsValue(text);
    if (n == 5 || n == 6 || digits == TimeDigits::kNumericHhmmss) {
      read.second = value % 100;
      read.has_seconds = true;
      value /= 100;
    }
    read.hour = value / 100;
    read.minute = value % 100;
  } else {
    // H or HH, a separator, MM, and optionally the same separator and SS.
    std::size_t i = 0;
    while (i < text.size() && IsAsciiDigit(text[i])) ++i;
    if (i < 1 || i > 2 || i == text.size()) return false;
    char separator = text[i];
    if (separator != ':' && separator != '.' && separator != 'h' &&
        separator != 'H')
      return false;
    read.hour = DigitsValue(text.substr(0, i));
    std::string_view rest = text.substr(i + 1);
    if (rest.size() < 2 || !AllDigits(rest.substr(0, 2))) return false;
    read.minute = DigitsValue(rest.substr(0, 2));
    rest = rest.substr(2);
    if (!rest.empty()) {
      if (rest.size() != 3 || rest[0] != separator || separator == 'h' ||
          separator == 'H' || !AllDigits(rest.substr(1)))
        return false;
      read.second = DigitsValue(rest.substr(1));
      read.has_seconds = true;
    }
  }
  if (read.hour > 23 || read.minute > 59 || read.second > 59) return false;
  *time = read;
  return true;
}

bool TimeHasSeparator(std::string_view text) {
  text = TrimSpaces(text);
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    char c = text[i];
    if ((c == ':' || c == 'h' || c == 'H') && IsAsciiDigit(text[i - 1]) &&
        IsAsciiDigit(text[i + 1]))
      return true;
  }
  return false;
}

// times.h: times of the day. The standard's rule (a Time is HHMM or
// HHMMSS) and, beside it, the readings of the forms old logs wrote times
// in.

#ifndef LOGWEAVE_STANDARD_TIMES_H_
#define LOGWEAVE_STANDARD_TIMES_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/text.h"

/// True when \a value is a good ADIF Time: HHMM or HHMMSS of a day.
inline bool IsAdifTime(std::string_view value) {
  const std::size_t n = value.size();
  if (n != 4 && n != 6) return false;
  const char* p = value.data();
  std::uint32_t first, last;  // which overlap when there are four digits
  std::memcpy(&first, p, 4);
  std::memcpy(&last, p + n - 4, 4);
  if (!AllDigitBytes(first) || !AllDigitBytes(last)) return false;
  // Hours below 24, minutes and seconds below 60.
  return (p[0] - '0') * 10 + (p[1] - '0') <= 23 && p[2] <= '5' &&
         (n == 4 || p[4] <= '5');
}

/// Reads \a value when it is HH:MM of a day, two digits each, the form
/// most logs write, and puts HHMM in \a hhmm (four bytes). The same as
/// ReadTime for that form, without its look at other forms.
inline bool ReadHhColonMm(std::string_view value, char* hhmm) {
  if (value.size() != 5 || value[2] != ':' || !IsAsciiDigit(value[0]) ||
      !IsAsciiDigit(value[1]) || !IsAsciiDigit(value[3]) ||
      !IsAsciiDigit(value[4]) || value[0] > '2' ||
      (value[0] == '2' && value[1] > '3') || value[3] > '5')
    return false;
  hhmm[0] = value[0];
  hhmm[1] = value[1];
  hhmm[2] = value[3];
  hhmm[3] = value[4];
  return true;
}

struct TimeOfDay {
  int hour = 0, minute = 0, second = 0;
  bool has_seconds = false;
};

/// "HHMM", or "HHMMSS" when \a time has seconds.
std::string AdifTimeText(const TimeOfDay& time);

// ---- the forms of old logs ----

/// How a column writes times as digits alone.
enum class TimeDigits : unsigned char {
  kWritten,       ///< text: HMM, HHMM or HHMMSS as written
  kNumericHhmm,   ///< a number that lost its leading zeros: HHMM (15 is 0015)
  kNumericHhmmss  ///< the same, HHMMSS (2210 is 002210)
};

/// Reads H:MM, HH:MM, HH:MM:SS, H.MM, HH.MM, 9h15, HMM, HHMM and HHMMSS,
/// each with an optional Z, UTC or GMT after it; digits alone as \a digits
/// says (a numeric column read as kNumericHhmm also takes 5 digits as
/// HMMSS). False unless it is a time of the day.
bool ReadTime(std::string_view text, TimeDigits digits, TimeOfDay* time);

/// True when \a text writes its hours and minutes apart (":", "." or "h"),
/// which tells a time from a plain number.
bool TimeHasSeparator(std::string_view text);

#endif  // LOGWEAVE_STANDARD_TIMES_H_

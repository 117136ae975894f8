// times.h: times of the day. The standard's rule (a Time is HHMM or
// HHMMSS) and, beside it, the readings of the forms old logs wrote times
// in.

#ifndef LOGWEAVE_STANDARD_TIMES_H_
#define LOGWEAVE_STANDARD_TIMES_H_

#include <string>
#include <string_view>

#include "platform/text.h"

/// True when \a value is a good ADIF Time: HHMM or HHMMSS of a day.
inline bool IsAdifTime(std::string_view value) {
  const std::size_t n = value.size();
  if (n != 4 && n != 6) return false;
  const char* p = value.data();
  for (std::size_t i = 0; i < n; ++i)
    if (!IsAsciiDigit(p[i])) return false;
  // Hours below 24, minutes and seconds below 60.
  return (p[0] - '0') * 10 + (p[1] - '0') <= 23 && p[2] <= '5' &&
         (n == 4 || p[4] <= '5');
}

struct TimeOfDay {
  int hour = 0, minute = 0, second = 0;
  bool has_seconds = false;
};

/// "HHMM", or "HHMMSS" when \a time has seconds.
std::string AdifTimeText(const TimeOfDay& time);

// ---- the forms of old logs ----

/// Reads H:MM, HH:MM, HH:MM:SS, H.MM, HH.MM, 9h15, HMM, HHMM and HHMMSS,
/// each with an optional Z, UTC or GMT after it. When \a numeric (a numeric
/// column, which keeps no leading zeros), 0 to 59 are minutes past midnight
/// and 5 digits are HMMSS. False unless it is a time of the day.
bool ReadTime(std::string_view text, bool numeric, TimeOfDay* time);

/// True when \a text writes its hours and minutes apart (":", "." or "h"),
/// which tells a time from a plain number.
bool TimeHasSeparator(std::string_view text);

#endif  // LOGWEAVE_STANDARD_TIMES_H_

// dates.h: dates. The standard's rule (a Date is YYYYMMDD, a day of the
// calendar, from 1930 on) and, beside it, the readings of the forms old logs
// wrote dates in: numbers in the writer's order, with a two- or four-digit
// year, a month name, or eight digits in a row. A reading never gives a date
// the rule would refuse: what falls outside it is no date.

#ifndef LOGWEAVE_STANDARD_DATES_H_
#define LOGWEAVE_STANDARD_DATES_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/text.h"

/// The earliest year of an ADIF Date.
constexpr int kEarliestAdifYear = 1930;

inline bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

/// The days of \a month (1 to 12) of \a year.
inline int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30,
                                    31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

/// What is wrong with an ADIF Date.
enum class DateFault {
  kNone,
  kNotEightDigits,   ///< not written YYYYMMDD
  kNotACalendarDay,  ///< month or day out of range
  kBeforeEarliest,   ///< before kEarliestAdifYear
};

/// The standard's rule for a Date.
DateFault AdifDateFault(std::string_view value);

/// True when \a value is a good ADIF Date (no blanks around it).
inline bool IsAdifDate(std::string_view value) {
  if (value.size() != 8) return false;
  // Eight digits, tested and read as numbers at once: checked for every
  // date of a file.
  const char* p = value.data();
  std::uint64_t word;
  std::memcpy(&word, p, 8);
  if (!AllDigitBytes(word)) return false;
  const int year = (p[0] - '0') * 1000 + (p[1] - '0') * 100 +
                   (p[2] - '0') * 10 + (p[3] - '0');
  const int month = (p[4] - '0') * 10 + (p[5] - '0');
  const int day = (p[6] - '0') * 10 + (p[7] - '0');
  return year >= kEarliestAdifYear && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

struct CalendarDate {
  int year = 0, month = 0, day = 0;
};

/// "YYYYMMDD" for \a date.
std::string AdifDateText(const CalendarDate& date);

/// The days from 1 January 1970 to \a date (negative before it).
long DayNumber(const CalendarDate& date);

// ---- the forms of old logs ----

/// The orders a date may be written in, as bits of a set.
enum DateOrder : unsigned {
  kDayMonthYear = 1,
  kMonthDayYear = 2,
  kYearMonthDay = 4,
};
constexpr unsigned kAnyDateOrder = 7;

/// "dmy", "mdy" or "ymd" for one order.
const char* DateOrderName(DateOrder order);

/// A date as written: three parts, each 1 to 4 digits or a month name, or
/// six or eight digits in a row.
struct DateText {
  int value[3] = {0, 0, 0};   ///< each part's number; a month name's month
  int digits[3] = {0, 0, 0};  ///< each part's digits; 0 for a month name
  bool compact = false;       ///< six or eight digits in a row
  int compact_size = 0;       ///< 6 or 8
  char compact_digits[8] = {};
  /// Whether the order is fixed by the form itself: a month name, or a
  /// year of four digits in front.
  bool ordered_by_form() const;
};

/// Reads \a text as a date: three parts separated by "/", "-", "." or
/// blanks (or a month name written against its numbers, "14JUN05"), each
/// 1 or 2 digits, a year of 2 or 4 digits, or a month name in Spanish or
/// English (any letter case, also cut to three letters); or six or eight
/// digits in a row. When \a numeric (a numeric column, which keeps no
/// leading zeros), five and seven digits are six and eight with a zero in
/// front. Says nothing yet of the order.
bool ReadDateText(std::string_view text, DateText* date, bool numeric = false);

/// The date \a date stands for when written in \a order: a year of four
/// or two digits first or last (a two-digit year: 30 to 99 are 19xx, 00 to
/// 29 20xx); six digits in a row are YYMMDD, DDMMYY or MMDDYY; a day of the
/// calendar that the standard's rule takes, up to 2099. False otherwise.
bool DateUnder(const DateText& date, DateOrder order, CalendarDate* out);

/// The set of orders under which \a date is such a date.
unsigned DateOrdersOf(const DateText& date);

#endif  // LOGWEAVE_STANDARD_DATES_H_

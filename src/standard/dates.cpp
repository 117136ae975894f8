// dates.cpp: the rule of ADIF dates and the readings of old forms.

#include "standard/dates.h"

#include <cstring>

DateFault AdifDateFault(std::string_view value) {
  if (value.size() != 8 || !AllDigits(value)) return DateFault::kNotEightDigits;
  const int year = DigitsValue(value.substr(0, 4));
  const int month = DigitsValue(value.substr(4, 2));
  const int day = DigitsValue(value.substr(6, 2));
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return DateFault::kNotACalendarDay;
  if (year < kEarliestAdifYear) return DateFault::kBeforeEarliest;
  return DateFault::kNone;
}

std::string AdifDateText(const CalendarDate& date) {
  char text[8];
  int year = date.year;
  for (int i = 3; i >= 0; --i, year /= 10)
    text[i] = static_cast<char>('0' + year % 10);
  text[4] = static_cast<char>('0' + date.month / 10 % 10);
  text[5] = static_cast<char>('0' + date.month % 10);
  text[6] = static_cast<char>('0' + date.day / 10 % 10);
  text[7] = static_cast<char>('0' + date.day % 10);
  return std::string(text, 8);
}

long DayNumber(const CalendarDate& date) {
  // Days from the civil calendar, counted from March so that the leap day
  // comes last in a year.
  const int y = date.year - (date.month <= 2 ? 1 : 0);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long year_of_era = y - era * 400;
  const long day_of_year =
      (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
  const long day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// ---- the forms of old logs ----

namespace {

// Month names in English and Spanish; a name may be cut to three letters or
// more ("JUN", "SEPT", "AGO").
struct MonthName {
  std::string_view name;
  int month;
};
// clang-format off
constexpr MonthName kMonthNames[] = {
    {"JANUARY", 1},    {"FEBRUARY", 2},  {"MARCH", 3},     {"APRIL", 4},
    {"MAY", 5},        {"JUNE", 6},      {"JULY", 7},      {"AUGUST", 8},
    {"SEPTEMBER", 9},  {"OCTOBER", 10},  {"NOVEMBER", 11}, {"DECEMBER", 12},
    {"ENERO", 1},      {"FEBRERO", 2},   {"MARZO", 3},     {"ABRIL", 4},
    {"MAYO", 5},       {"JUNIO", 6},     {"JULIO", 7},     {"AGOSTO", 8},
    {"SEPTIEMBRE", 9}, {"SETIEMBRE", 9}, {"OCTUBRE", 10},  {"NOVIEMBRE", 11},
    {"DICIEMBRE", 12},
};
// clang-format on

int MonthOfName(std::string_view letters) {
  // No month's name is longer than ten letters.
  if (letters.size() < 3 || letters.size() > 10) return 0;
  char upper[10];
  for (std::size_t i = 0; i < letters.size(); ++i)
    upper[i] = AsciiUpper(letters[i]);
  const std::string_view start(upper, letters.size());
  int found = 0;
  for (const MonthName& name : kMonthNames) {
    if (name.name[0] != upper[0] || start.size() > name.name.size() ||
        name.name.substr(0, start.size()) != start)
      continue;
    if (found != 0 && found != name.month) return 0;
    found = name.month;
  }
  return found;
}

// A day the standard's rule takes, in the years old logs can mean.
bool IsReadableDay(int year, int month, int day) {
  if (year < kEarliestAdifYear || year > 2099 || month < 1 || month > 12 ||
      day < 1)
    return false;
  return day <= DaysInMonth(year, month);
}

}  // namespace

const char* DateOrderName(DateOrder order) {
  switch (order) {
    case kDayMonthYear:
      return "dmy";
    case kMonthDayYear:
      return "mdy";
    case kYearMonthDay:
      return "ymd";
  }
  return "";
}

bool DateText::ordered_by_form() const {
  if (compact) return false;
  return digits[0] == 4 || digits[0] == 0 || digits[1] == 0;
}

bool ReadDateText(std::string_view text, DateText* date, bool numeric) {
  text = TrimSpaces(text);
  *date = DateText();
  if (AllDigits(text) && !text.empty()) {
    std::size_t size = text.size();
    const bool lost_zero = numeric && (size == 5 || size == 7);
    if (lost_zero) ++size;
    if (size != 6 && size != 8) return false;
    date->compact = true;
    date->compact_size = static_cast<int>(size);
    date->compact_digits[0] = '0';
    std::memcpy(date->compact_digits + (lost_zero ? 1 : 0), text.data(),
                text.size());
    return true;
  }
  int parts = 0;
  int names = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (parts == 3) return false;
    std::size_t start = i;
    if (IsAsciiDigit(text[i])) {
      while (i < text.size() && IsAsciiDigit(text[i])) ++i;
      if (i - start > 4) return false;
      date->digits[parts] = static_cast<int>(i - start);
      date->value[parts] = DigitsValue(text.substr(start, i - start));
    } else if (IsAsciiLetter(text[i])) {
      while (i < text.size() && IsAsciiLetter(text[i])) ++i;
      int month = MonthOfName(text.substr(start, i - start));
      if (month == 0 || ++names > 1) return false;
      date->value[parts] = month;
      date->digits[parts] = 0;
    } else {
      return false;
    }
    ++parts;
    // Between two parts: blanks and at most one separator; a month name may
    // also stand right against a number.
    bool separator = false;
    while (i < text.size() && !IsAsciiDigit(text[i]) &&
           !IsAsciiLetter(text[i])) {
      char c = text[i++];
      if (c == ' ') continue;
      if (separator || (c != '/' && c != '-' && c != '.' && c != ','))
        return false;
      separator = true;
    }
    if (i == text.size() && separator && text.back() != '.') return false;
  }
  if (parts != 3 || date->digits[2] == 0) return false;
  return true;
}

bool DateUnder(const DateText& date, DateOrder order, CalendarDate* out) {
  int year = 0, month = 0, day = 0;
  if (date.compact) {
    const std::size_t year_digits = date.compact_size == 6 ? 2 : 4;
    std::string_view d(date.compact_digits, date.compact_size);
    if (order == kYearMonthDay) {
      year = DigitsValue(d.substr(0, year_digits));
      month = DigitsValue(d.substr(year_digits, 2));
      day = DigitsValue(d.substr(year_digits + 2, 2));
    } else {
      int first = DigitsValue(d.substr(0, 2)),
          second = DigitsValue(d.substr(2, 2));
      year = DigitsValue(d.substr(4, year_digits));
      day = order == kDayMonthYear ? first : second;
      month = order == kDayMonthYear ? second : first;
    }
    if (year_digits == 2) year += year >= 30 ? 1900 : 2000;
  } else {
    int y = 0, m = 0, d = 0;  // which part is which
    switch (order) {
      case kDayMonthYear:
        y = 2, m = 1, d = 0;
        break;
      case kMonthDayYear:
        y = 2, m = 0, d = 1;
        break;
      case kYearMonthDay:
        y = 0, m = 1, d = 2;
        break;
    }
    int year_digits = date.digits[y];
    if (year_digits != 2 && year_digits != 4) return false;
    // "14-JUN-05" is a day first: a year of two digits goes first only
    // between numbers.
    if (year_digits == 2 && y == 0 && date.digits[1] == 0) return false;
    if (date.digits[d] < 1 || date.digits[d] > 2 || date.digits[m] > 2)
      return false;
    year = date.value[y];
    if (year_digits == 2) year += year >= 30 ? 1900 : 2000;
    month = date.value[m];
    day = date.value[d];
  }
  if (!IsReadableDay(year, month, day)) return false;
  out->year = year;
  out->month = month;
  out->day = day;
  return true;
}

unsigned DateOrdersOf(const DateText& date) {
  unsigned orders = 0;
  CalendarDate ignored;
  for (DateOrder order : {kDayMonthYear, kMonthDayYear, kYearMonthDay})
    if (DateUnder(date, order, &ignored)) orders |= order;
  return orders;
}

// value_forms.h: reading the values old logs hold: dates in the writer's
// order, times, numbers with a decimal comma, bands, modes, call signs, QSL
// flags, reports and locators, and column names. Nothing here rewrites a
// value: it says what a value can be read as. The column survey and the
// guesses use it to recognise columns; the value fixes use it to write ADIF.
//
// Values are bytes in the table's code page; blanks around a value are
// passed over.

#ifndef LOGWEAVE_MAPPING_VALUE_FORMS_H_
#define LOGWEAVE_MAPPING_VALUE_FORMS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "standard/adif_standard.h"

// ---- dates ----

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
/// eight digits in a row.
struct DateText {
  int value[3] = {0, 0, 0};   ///< each part's number; a month name's month
  int digits[3] = {0, 0, 0};  ///< each part's digits; 0 for a month name
  bool compact = false;       ///< eight digits in a row
  char compact_digits[8] = {};
  /// Whether the order is fixed by the form itself: a month name, or a
  /// year of four digits in front.
  bool ordered_by_form() const;
};

struct CalendarDate {
  int year = 0, month = 0, day = 0;
};

/// Reads \a text as a date: three parts separated by "/", "-", "." or
/// blanks (or a month name written against its numbers, "14JUN05"), each
/// 1 or 2 digits, a year of 2 or 4 digits, or a month name in Spanish or
/// English (any letter case, also cut to three letters); or eight digits.
/// Says nothing yet of the order.
bool ReadDateText(std::string_view text, DateText* date);

/// The date \a date stands for when written in \a order: a year of four
/// digits (1900 to 2099) first or last, or of two digits last (30 to 99
/// are 19xx, 00 to 29 20xx); a real day of the calendar. False otherwise.
bool DateUnder(const DateText& date, DateOrder order, CalendarDate* out);

/// The set of orders under which \a date is a date of the calendar.
unsigned DateOrdersOf(const DateText& date);

/// True for eight digits that are a date of the calendar as YYYYMMDD: a
/// date already in ADIF form.
bool IsAdifDate(std::string_view text);

// ---- times ----

struct TimeOfDay {
  int hour = 0, minute = 0, second = 0;
  bool has_seconds = false;
};

/// Reads H:MM, HH:MM, HH:MM:SS, H.MM, HH.MM, 9h15, HMM, HHMM and HHMMSS,
/// each with an optional Z, UTC or GMT after it. When \a numeric (a numeric
/// column, which keeps no leading zeros), 0 to 59 are minutes past midnight
/// and 5 digits are HMMSS. False unless it is a time of the day.
bool ReadTime(std::string_view text, bool numeric, TimeOfDay* time);

/// True when \a text writes its hours and minutes apart (":", "." or "h"),
/// which tells a time from a plain number.
bool TimeHasSeparator(std::string_view text);

// ---- numbers and frequencies ----

/// A decimal number as written: digits, at most one decimal point or comma,
/// and for frequencies an optional unit after it ("kHz", "MHz").
struct DecimalText {
  std::string_view whole;     ///< the digits before the separator
  std::string_view fraction;  ///< the digits after it
  char separator = 0;         ///< '.', ',' or 0
  enum Unit { kNoUnit, kKilohertz, kMegahertz } unit = kNoUnit;
  double Value() const;
};

/// Reads a plain decimal number (no sign, no exponent); a unit is read only
/// when \a with_unit.
bool ReadDecimal(std::string_view text, bool with_unit, DecimalText* number);

/// Which readings of a frequency lie in an ADIF band: as megahertz, as
/// kilohertz (up to the 23 cm band); when \a band is given, only in that
/// band.
enum FrequencyReading : unsigned { kAsMegahertz = 1, kAsKilohertz = 2 };
unsigned FrequencyReadings(const DecimalText& number, const AdifBand* band);
/// The same for the number \a value written with \a unit.
unsigned FrequencyReadings(double value, DecimalText::Unit unit,
                           const AdifBand* band);

// ---- bands, modes, calls, flags ----

/// The band \a text names: "40m", "40M", "40 m", "40MTS", "70CM", a bare
/// number of metres of a band ("40", "2"), or else a number of megahertz
/// that lies in a band ("14", "3.5"). nullptr for anything else.
const AdifBand* ReadBand(std::string_view text);

/// A mode of the ADIF standard: MODE and, for a submode, SUBMODE.
struct ModeReading {
  const char* mode = nullptr;     ///< as the standard writes it
  const char* submode = nullptr;  ///< nullptr when \a text was a mode
};

/// Reads \a text as a mode or a submode of the standard in any letter case,
/// also written with blanks or hyphens left in or out ("FT-8", "PSK 31");
/// a submode is given with the mode it belongs to (USB: SSB, FT4: MFSK).
/// Import-only modes that are submodes now are read as those submodes.
bool ReadMode(std::string_view text, ModeReading* mode);

/// True for the fields that hold a call sign: CALL, STATION_CALLSIGN,
/// OPERATOR, OWNER_CALLSIGN, CONTACTED_OP, EQ_CALL.
bool IsCallSignField(std::string_view keyword);

/// True when \a text, without its blanks and in upper case, has the shape of
/// a call sign: parts of letters and digits between "/", the longest with a
/// letter and a digit, 3 to 15 characters in all.
bool LooksLikeCall(std::string_view text);

/// True for a Maidenhead locator: AA00, AA00aa or AA00aa00, any case.
bool LooksLikeLocator(std::string_view text);

/// True for a signal report: 1 to 3 digits (59, 599), digits with N for
/// nine (5NN), or signed decibels (-12, +05); blanks inside allowed.
bool LooksLikeReport(std::string_view text);

/// The ADIF letter of a QSL flag: Y for S, SI, YES, X, T, 1; N for NO, 0
/// and, in a logical column, F; the ADIF letters Y N R Q I V themselves, in
/// any case. Accented letters are read in \a code_page. 0 when none.
char ReadQslFlag(std::string_view text, int code_page, bool logical);

// ---- names ----

/// \a name as the guesses compare it: read in \a code_page, accents dropped,
/// upper case, without blanks, underscores, hyphens and dots.
std::string NormalisedName(std::string_view name, int code_page);

#endif  // LOGWEAVE_MAPPING_VALUE_FORMS_H_

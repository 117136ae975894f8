// numbers.h: numbers. The standard's rule for Number, Integer and
// PositiveInteger text, and, beside it, the reading of the numbers old logs
// wrote: a decimal comma, blanks around, a unit after a frequency.

#ifndef LOGWEAVE_STANDARD_NUMBERS_H_
#define LOGWEAVE_STANDARD_NUMBERS_H_

#include <string_view>

/// The standard's form of a number: digits with at most one decimal point
/// and at least one digit; no point when \a integer; a minus in front only
/// when \a sign. Ranges are the field's own (see the field's minimum and
/// maximum in adif_standard.h).
bool IsAdifNumber(std::string_view text, bool integer, bool sign);

// ---- the forms of old logs ----

/// A decimal number as written: digits, at most one decimal point or comma,
/// and for frequencies an optional unit after it ("kHz", "MHz").
struct DecimalText {
  std::string_view whole;     ///< the digits before the separator
  std::string_view fraction;  ///< the digits after it
  char separator = 0;         ///< '.', ',' or 0
  enum Unit { kNoUnit, kKilohertz, kMegahertz } unit = kNoUnit;
  /// The number, for statistics (not for deciding a band: see bands.h).
  double Value() const;
};

/// Reads a plain decimal number (no sign, no exponent), without the spaces
/// around it; a unit is read only when \a with_unit.
bool ReadDecimal(std::string_view text, bool with_unit, DecimalText* number);

/// What the separators of one written number prove, as bits.
enum SeparatorEvidence : unsigned {
  kPointIsDecimal = 1,  ///< "7.05", "1,234.5"
  kCommaIsDecimal = 2,  ///< "7,05", "1.234,5"
  kPointGroups = 4,     ///< "14.074.000", "1.234,5": point between thousands
  kCommaGroups = 8,     ///< "14,074,000", "1,234.5"
  kPointOpen = 16,      ///< "1.500": a point before three digits, either
  kCommaOpen = 32,      ///< "1,500": the same with a comma
  kNotANumber = 64,
};

/// The evidence of \a text (without the blanks around it): digits with
/// points and commas, groups of three digits between thousands separators.
unsigned SeparatorsOf(std::string_view text);

/// \a text with \a thousands (',' or '.', 0 for none) dropped and the
/// other separator written as a point: the number in the standard's form.
/// False when the separators do not fit that reading.
bool NumberWithSeparators(std::string_view text, char thousands,
                          std::string* plain);

#endif  // LOGWEAVE_STANDARD_NUMBERS_H_

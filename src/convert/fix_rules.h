// fix_rules.h: --fix, the rules that mend one value into ADIF form, per
// field, by what was decided for its column.
//
// Every value is read without the blanks around it. Then, by keyword:
// call signs in upper case without blanks, a slashed zero as 0; dates as
// YYYYMMDD, in the order decided for their column; times as HHMM or
// HHMMSS; FREQ and FREQ_RX in megahertz with a decimal point, from the
// unit decided for the column; bands as ADIF band names, in the notation
// decided; MODE as a mode of the standard, with SUBMODE for a submode; QSL
// flags as ADIF letters; RST without blanks; other numbers with a decimal
// point and no thousands separator; memo text with its soft line breaks as
// blanks and its lone line feeds as CR LF (and any line break as a blank
// where the field holds one line). A value that cannot be read stays as the
// table has it (the blanks around it aside), and is counted; nothing is
// made up. The readings themselves are the standard's (src/standard/).

#ifndef LOGWEAVE_CONVERT_FIX_RULES_H_
#define LOGWEAVE_CONVERT_FIX_RULES_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "standard/bands.h"
#include "standard/dates.h"
#include "standard/times.h"

/// The rule a keyword's values are mended by.
enum class FixRule : std::uint8_t {
  kText,  ///< blanks in front removed, nothing else
  kCall,
  kDate,
  kTime,
  kFrequency,
  kBand,
  kMode,
  kQsl,
  kReport,
  kNumber,
};

/// The rule for the values of \a keyword.
FixRule FixRuleOf(std::string_view keyword);

/// How the values of one column are mended: its rule, what the column is,
/// and what was decided for it from all its values (fix_plan.h).
struct ColumnFix {
  FixRule rule = FixRule::kText;
  /// kDate: the order of the dates whose form leaves it open; 0 when the
  /// column has none.
  unsigned date_order = 0;
  /// kFrequency: the unit of the column (a FrequencyReading); 0 when its
  /// values mix units and each is read in the unit that puts it on the
  /// likeliest band.
  unsigned frequency_unit = 0;
  /// The unit was chosen by the user: a value not in a band in it stays.
  bool unit_chosen = false;
  TimeDigits time_digits = TimeDigits::kWritten;       ///< kTime
  BandNotation band_notation = BandNotation::kEither;  ///< kBand
  char thousands = 0;      ///< kNumber: the thousands separator, or 0
  bool memo = false;       ///< the text of a memo
  bool multiline = false;  ///< the field may hold line breaks
  bool logical = false;    ///< a logical (L) column
  bool numeric = false;    ///< a numeric (N, F) column
  /// The plain conversion drops its colons: a rule kept for the keywords
  /// no fix reads (TIME... not of the standard).
  bool time_colons = false;
  int code_page = 1252;
};

/// The fix of the column \a keyword of a column of \a type, before any
/// decision.
ColumnFix ColumnFixOf(std::string_view keyword, unsigned char type,
                      bool memo_text, int code_page);

/// What mending did to one value.
enum class FixOutcome : std::uint8_t {
  kUnchanged,   ///< already in ADIF form (the blanks around it aside)
  kFixed,       ///< rewritten
  kUnreadable,  ///< not read: it stays as the table has it
  kDropped,     ///< stands for no value (a logical column's "?")
};

/// What was done to a value, for the summary.
enum class FixKind : std::uint8_t {
  kBlanks,    ///< blanks in front removed, nothing else
  kCallCase,  ///< upper case, blanks removed
  kDateForm,
  kTimeForm,
  kKilohertz,     ///< kHz to MHz
  kHertz,         ///< Hz to MHz
  kDecimalComma,  ///< decimal comma to point
  kThousands,     ///< thousands separators dropped
  kUnit,          ///< "MHz" after the number dropped
  kBandName,
  kModeCase,     ///< a mode spelled otherwise
  kModeSubmode,  ///< a submode to MODE and SUBMODE
  kQslWord,
  kReportBlanks,
  kSoftBreaks,      ///< memo soft line breaks to blanks
  kLineFeeds,       ///< lone line feeds to CR LF
  kOneLine,         ///< line breaks to blanks
  kUnknownLogical,  ///< a logical "?" left out
  kBandAdded,       ///< BAND added from the frequency
  kFrequencyAdded,  ///< FREQ added from a band column's frequency
};

/// One value mended.
struct FixedValue {
  FixOutcome outcome = FixOutcome::kUnchanged;
  FixKind kind = FixKind::kBlanks;
  std::uint64_t shape = 0;         ///< for dates and times: the written form
  std::string text;                ///< holds the value when it was rewritten
  const char* submode = nullptr;   ///< kMode: the SUBMODE that goes with it
  const AdifBand* band = nullptr;  ///< kFrequency: the band it lies in
  bool used_record_band = false;   ///< the record's band settled it
  /// kBand: the value was a frequency; its megahertz, for a FREQ field.
  std::string frequency;
};

/// The band the record gives, read only when a frequency needs it.
struct RecordBand {
  std::string_view value;  ///< the record's BAND value
  bool read = false;
  const AdifBand* band = nullptr;
  const AdifBand* Get();
};

/// Mends \a value by \a fix. \a band, when not null, settles a frequency
/// that lies in a band in more than one unit. Returns the value to write:
/// \a value itself or a part of it, or out->text; empty gives no field.
std::string_view FixValue(const ColumnFix& fix, std::string_view value,
                          RecordBand* band, FixedValue* out);

/// The form of a value with its digits taken as one, and its letters:
/// "9:15" and "8:40" are one form, "09:15" another, "14-JUN-05" and
/// "02-DEC-99" one.
std::uint64_t ValueShape(std::string_view value);

/// "D/M/YY" for a date written as \a example in a column mended by \a fix.
std::string DateFormText(std::string_view example, const ColumnFix& fix);

/// "H:MM" for a time written as \a example.
std::string TimeFormText(std::string_view example);

#endif  // LOGWEAVE_CONVERT_FIX_RULES_H_

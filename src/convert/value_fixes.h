// value_fixes.h: --fix, values mended into ADIF form per keyword, and
// --set, fields added to every record.
//
// Every value is read without the blanks around it. Then, by keyword:
// call signs in upper case without blanks; dates as YYYYMMDD, in the order
// decided for their column; times as HHMM or HHMMSS; FREQ and FREQ_RX in
// megahertz with a decimal point; bands as ADIF band names; MODE as a mode
// of the standard, with SUBMODE for a submode; QSL flags as ADIF letters;
// RST without blanks; other numbers with a decimal point; memo text with
// its soft line breaks as blanks and its lone line feeds as CR LF (and any
// line break as a blank where the field holds one line). A value that
// cannot be read is written as the plain conversion writes it, and
// counted; nothing is made up.
//
// The record engine asks a RecordFixer for each value of the columns it
// fixes, and at the end of a record for the fields to add: BAND from FREQ
// and SUBMODE from MODE where the record has none, and the constants of
// --set where the record has no value of its own. Under --fix a record
// without a call sign is left out instead of being written as a bare <EOR>.

#ifndef LOGWEAVE_CONVERT_VALUE_FIXES_H_
#define LOGWEAVE_CONVERT_VALUE_FIXES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/dbf_table.h"
#include "mapping/column_plan.h"
#include "mapping/column_survey.h"
#include "mapping/language.h"
#include "mapping/value_forms.h"

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
/// and what was decided for it from all its values.
struct ColumnFix {
  FixRule rule = FixRule::kText;
  /// kDate: the order of the dates whose form leaves it open; 0 when the
  /// column has none.
  unsigned date_order = 0;
  /// kFrequency: the unit of a value that lies in a band in both units.
  unsigned ambiguous_unit = kAsMegahertz;
  bool memo = false;        ///< the text of a memo
  bool multiline = false;   ///< the field may hold line breaks
  bool logical = false;     ///< a logical (L) column
  bool numeric = false;     ///< a numeric (N, F) column
  bool time_colons = false;  ///< the plain conversion drops its colons
  bool qsl_letters = false;  ///< the plain conversion makes S and T a Y
  int code_page = 1252;
};

/// The fix of the column \a keyword of a column of \a type.
ColumnFix ColumnFixOf(std::string_view keyword, unsigned char type,
                      bool memo_text, int code_page);

/// What mending did to one value.
enum class FixOutcome : std::uint8_t {
  kUnchanged,   ///< already in ADIF form (the blanks around it aside)
  kFixed,       ///< rewritten
  kUnreadable,  ///< not read: written as the plain conversion writes it
  kDropped,     ///< stands for no value (a logical column's "?")
};

/// What was done to a value, for the summary.
enum class FixKind : std::uint8_t {
  kBlanks,        ///< blanks in front removed, nothing else
  kCallCase,      ///< upper case, blanks removed
  kDateForm,
  kTimeForm,
  kKilohertz,     ///< kHz to MHz
  kDecimalComma,  ///< decimal comma to point
  kUnit,          ///< "MHz" after the number dropped
  kBandName,
  kModeCase,      ///< a mode spelled otherwise
  kModeSubmode,   ///< a submode to MODE and SUBMODE
  kQslWord,
  kReportBlanks,
  kSoftBreaks,    ///< memo soft line breaks to blanks
  kLineFeeds,     ///< lone line feeds to CR LF
  kOneLine,       ///< line breaks to blanks
  kUnknownLogical,  ///< a logical "?" left out
  kBandAdded,     ///< BAND added from the frequency
};

/// One value mended.
struct FixedValue {
  FixOutcome outcome = FixOutcome::kUnchanged;
  FixKind kind = FixKind::kBlanks;
  std::uint64_t shape = 0;  ///< for dates and times: the written form
  std::string text;         ///< holds the value when it was rewritten
  const char* submode = nullptr;   ///< kMode: the SUBMODE that goes with it
  const AdifBand* band = nullptr;  ///< kFrequency: the band it lies in
};

/// The band the record gives, read only when a frequency needs it.
struct RecordBand {
  std::string_view value;  ///< the record's BAND value
  bool read = false;
  const AdifBand* band = nullptr;
  const AdifBand* Get();
};

/// Mends \a value by \a fix. \a band, when not null, settles a frequency
/// that lies in a band in both units. Returns the value to write: \a value
/// itself or a part of it, or out->text; empty gives no field.
std::string_view FixValue(const ColumnFix& fix, std::string_view value,
                          RecordBand* band, FixedValue* out);

/// The survey --fix needs: the dates of text date columns and the
/// frequencies of FREQ and FREQ_RX (with their BAND and BAND_RX), every
/// record. Looks at nothing when no column needs a decision.
SurveyRequest FixSurveyRequest(const ColumnPlan& plan, const DbfLayout& layout,
                               int code_page, bool skip_deleted);

/// True when \a request looks at some column.
bool SurveyNeeded(const SurveyRequest& request);

/// The fixes of every column of \a plan, with the decisions \a profiles
/// (from FixSurveyRequest; empty when none was needed) allow. \a date_order
/// is --date-order (0 when not given). When a column's dates leave their
/// order open and \a date_order is not given, returns false and sets
/// \a error: the column, two of its values and what to do. \a notes gets a
/// line for each decision --date-order made.
bool DecideFixes(const ColumnPlan& plan, const DbfLayout& layout,
                 const std::vector<ColumnProfile>& profiles,
                 unsigned date_order, bool memo_text, int code_page,
                 Language language, std::vector<ColumnFix>* fixes,
                 std::vector<std::string>* notes, std::string* error);

/// A field every record gets (--set).
struct ConstantField {
  std::string keyword;
  std::string value;
};

/// Mends values and adds fields, record by record, for the record engine;
/// counts what it did for the summary.
class RecordFixer {
 public:
  /// \a fixes: one per column of \a plan to mend values (--fix), or empty.
  /// \a constants: the fields of --set, each keyword once.
  RecordFixer(const ColumnPlan& plan, std::vector<ColumnFix> fixes,
              std::vector<ConstantField> constants);
  RecordFixer(const RecordFixer&) = delete;
  RecordFixer& operator=(const RecordFixer&) = delete;

  bool MendsValues() const { return !fixes_.empty(); }
  /// Whether the engine hands the values of \a column to Fix.
  bool FixesColumn(std::size_t column) const { return handled_[column]; }

  /// Before the columns of a record: \a record is its deletion flag and
  /// its bytes.
  void StartRecord(const char* record);
  /// Mends the value of \a column at *value, *length long (up to a NUL,
  /// without trailing blanks); both may change.
  void Fix(std::size_t column, const char** value, std::size_t* length);
  /// The most bytes PutAdditions writes.
  std::size_t LongestAdditions() const { return longest_additions_; }
  /// Writes the fields the record gets added at \a out; returns the end.
  char* PutAdditions(char* out);
  /// After the record: \a has_call says whether it has a CALL field.
  /// Returns false when the record is left out.
  bool EndRecord(bool has_call);

  /// The summary: a line per column that had values mended or not read,
  /// named by \a column_names, then the records left out.
  std::vector<std::string> Summary(const std::vector<std::string>& column_names,
                                   Language language) const;
  std::uint64_t records_left_out() const { return records_left_out_; }

 private:
  struct KindCount {
    FixKind kind;
    std::uint64_t shape;
    std::uint64_t count = 0;
    std::string from = {};  // the first example
    std::string to = {};
  };
  struct ColumnCounts {
    std::vector<KindCount> kinds;
    std::uint64_t unreadable = 0;
    std::string unreadable_example;
  };
  struct Pending {
    std::size_t column;
    int kind;  // index into kinds, or -1 for a value not read
    std::string from = {};  // only while the kind has no example yet
    std::string to = {};
  };
  // One value the cache remembers for a column of few different values.
  struct Cached {
    std::string raw;
    FixedValue fixed;
  };
  // A field the record may get added.
  struct Addition {
    std::string keyword;
    std::string constant;  // empty: derived from a value
  };

  void Note(std::size_t column, std::string_view from, const FixedValue& fixed,
            std::string_view to);
  char* PutField(char* out, const std::string& keyword, std::string_view value);

  std::vector<ColumnFix> fixes_;
  std::vector<bool> handled_;
  std::vector<int> addition_of_column_;
  std::vector<std::size_t> offsets_, sizes_;
  std::vector<Addition> additions_;
  std::size_t longest_additions_ = 0;
  int band_column_ = -1;
  int band_addition_ = -1, submode_addition_ = -1;
  int frequency_column_ = -1;  // the column BAND is taken from

  // The record being built.
  const char* record_ = nullptr;
  std::vector<bool> written_;
  const AdifBand* record_band_ = nullptr;
  std::string record_frequency_;  // while BAND added has no example
  std::string band_example_;
  const char* record_submode_ = nullptr;
  std::vector<Pending> pending_;

  std::vector<std::vector<Cached>> caches_;
  std::vector<std::size_t> cache_next_;
  FixedValue fixed_;
  std::vector<ColumnCounts> counts_;
  std::uint64_t records_left_out_ = 0;
};

#endif  // LOGWEAVE_CONVERT_VALUE_FIXES_H_

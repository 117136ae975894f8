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
// cannot be read stays as the table has it (the blanks around it aside),
// and is counted; nothing is made up.
//
// The record engine asks a RecordFixer for each value of the columns it
// fixes, and at the end of a record for the fields to add: BAND from FREQ
// and SUBMODE from MODE where the record has none, and the constants of
// --set where the record has no value of its own. Under --fix a record
// without a call sign is left out instead of being written as a bare <EOR>.

#ifndef LOGWEAVE_CONVERT_VALUE_FIXES_H_
#define LOGWEAVE_CONVERT_VALUE_FIXES_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/dbf_table.h"
#include "mapping/column_plan.h"
#include "mapping/column_survey.h"
#include "mapping/language.h"
#include "standard/bands.h"
#include "standard/dates.h"

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
  bool memo = false;       ///< the text of a memo
  bool multiline = false;  ///< the field may hold line breaks
  bool logical = false;    ///< a logical (L) column
  bool numeric = false;    ///< a numeric (N, F) column
  /// The plain conversion drops its colons: a rule kept for the keywords
  /// no fix reads (TIME... not of the standard).
  bool time_colons = false;
  int code_page = 1252;
};

/// The fix of the column \a keyword of a column of \a type.
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
  kDecimalComma,  ///< decimal comma to point
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

/// The records whose frequencies decide a column's unit when no date needs
/// every record read.
constexpr std::uint32_t kFrequencyRecords = 2000;

/// The survey --fix needs: the dates of text date columns, every record,
/// and the frequencies of FREQ and FREQ_RX (with their BAND and BAND_RX),
/// of the same records, or of the first kFrequencyRecords when no date
/// needs a survey. Looks at nothing when no column needs a decision.
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
  bool FixesColumn(std::size_t column) const {
    return work_[column].path != ColumnWork::kNone ||
           work_[column].addition >= 0;
  }
  /// Whether Fix changes the values of \a column only when they start with
  /// a blank, so that the engine may keep the others from it.
  bool FixesOnlyBlanks(std::size_t column) const {
    return work_[column].path == ColumnWork::kQuick &&
           work_[column].addition < 0;
  }

  /// Before the columns of a record: \a record is its deletion flag and
  /// its bytes.
  void StartRecord(const char* record) {
    record_ = record;
    ++record_number_;
    record_band_ = nullptr;
    record_submode_ = nullptr;
    // The record is written when a CALL column holds something before a
    // NUL byte: a call sign is never mended away. (A call sign kept in a
    // memo is taken to be there when its block number is.)
    record_written_ = !MendsValues();
    for (int c : call_columns_) {
      const char* bytes = record + offsets_[c];
      std::size_t i = 0;
      while (i < sizes_[c] && bytes[i] == ' ') ++i;
      if (i < sizes_[c] && bytes[i] != '\0') record_written_ = true;
    }
  }
  /// A value to write: \a padded says that 32 bytes may be read from
  /// \a value whatever its length.
  struct Span {
    const char* value;
    std::uint32_t length;
    bool padded;
  };
  /// Mends the value of \a column (up to a NUL, without trailing blanks).
  inline Span Fix(std::size_t column, Span span);
  /// The most bytes PutAdditions writes.
  std::size_t LongestAdditions() const { return longest_additions_; }
  /// Writes the fields the record gets added at \a out; returns the end.
  char* PutAdditions(char* out) {
    for (std::size_t a = 0; a < written_.size(); ++a) {
      if (written_[a] == record_number_) continue;
      const int addition = static_cast<int>(a);
      if ((addition == band_addition_ && !record_band_) ||
          (addition == submode_addition_ && !record_submode_))
        continue;  // nothing to take it from
      return PutMissingFields(out);
    }
    return out;
  }
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
  // A value mended before, remembered by its bytes (up to 16, zero-filled)
  // with what mending gave.
  struct Cached {
    std::uint64_t key[2] = {0, 0};
    std::uint8_t size = 0xFF;  // 0xFF: empty
    std::uint8_t text_size = 0;
    bool unchanged = true;
    std::int32_t count = -1;  // the kind it counts as; kNotRead; -1: none
    std::uint64_t hits = 0;   // counted here, not yet in the kind
    const char* submode = nullptr;
    const AdifBand* band = nullptr;
    // Last, and the cache keeps one more entry at its end, so that 32 bytes
    // may be read from it.
    char text[24];
  };
  static constexpr std::int32_t kNotRead = -2;
  // What the fixer does with the values of one column.
  struct ColumnWork {
    enum Path : std::uint8_t {
      kNone,    // nothing
      kQuick,   // only blanks in front to remove
      kCall,    // a call sign: mended when not upper case already
      kReport,  // a report: mended when it holds a blank
      kTime,    // HH:MM read at once, other times as kCached
      kCached,  // few different spellings: each mended once
      kSlow,    // every value mended
    } path = kNone;
    std::int32_t addition = -1;  // the addition its values stand for
    int cache_bits = 0;          // the cache holds 2^cache_bits values
    std::vector<Cached> cache;
    int band_column = -1;         // the column whose band settles it
    std::int32_t hhmm_kind = -1;  // kTime: the kind HH:MM counts as
    std::uint64_t hhmm_hits = 0;  // counted here, not yet in the kind
  };
  // A field the record may get added.
  struct Addition {
    std::string keyword;
    std::string constant;  // empty: derived from a value
  };

  bool FixFromCache(std::size_t column, const char** value, std::size_t* length,
                    bool* padded);
  bool FixHhMm(std::size_t column, const char** value, std::size_t* length,
               bool* padded);
  void FixSlowly(std::size_t column, const char** value, std::size_t* length,
                 bool* padded);
  std::int32_t Count(std::size_t column, std::string_view from,
                     FixOutcome outcome, FixKind kind, std::uint64_t shape,
                     std::string_view to);
  int KindIndex(std::size_t column, FixKind kind, std::uint64_t shape);
  void AddHits(ColumnCounts* counts, std::int32_t kind,
               std::uint64_t hits) const;
  void NoteFrequency(std::string_view frequency) {
    record_frequency_size_ =
        std::min(frequency.size(), sizeof record_frequency_);
    std::memcpy(record_frequency_, frequency.data(), record_frequency_size_);
  }
  static std::size_t CacheSlot(const std::uint64_t key[2], std::size_t size,
                               int bits) {
    std::uint64_t hash = (key[0] * 0x9E3779B97F4A7C15ull) ^
                         (key[1] * 0xC2B2AE3D27D4EB4Full) ^ size;
    return static_cast<std::size_t>(hash >> (64 - bits));
  }
  char* PutField(char* out, const std::string& keyword, std::string_view value);
  char* PutMissingFields(char* out);

  std::vector<ColumnFix> fixes_;
  std::vector<ColumnWork> work_;
  std::vector<std::size_t> offsets_, sizes_;
  std::vector<int> call_columns_;
  std::vector<Addition> additions_;
  std::size_t longest_additions_ = 0;
  int band_addition_ = -1, submode_addition_ = -1;
  int frequency_column_ = -1;  // the column BAND is taken from
  int mode_column_ = -1;       // the column SUBMODE is taken from

  // The record being built.
  const char* record_ = nullptr;
  bool record_written_ = false;  // it has a call sign, so it is written
  // Per addition, the number of the last record that wrote its field.
  std::vector<std::uint64_t> written_;
  std::uint64_t record_number_ = 0;
  const AdifBand* record_band_ = nullptr;
  // The record's frequency as written, for the example of a BAND added.
  char record_frequency_[32] = {};
  std::size_t record_frequency_size_ = 0;
  bool band_counted_ = false;
  const char* record_submode_ = nullptr;

  FixedValue fixed_;
  char time_text_[32] = {};  // an HH:MM time as HHMM, 32 bytes readable
  std::vector<ColumnCounts> counts_;
  std::vector<int> last_kind_;  // per column, the kind counted last
  std::uint64_t records_left_out_ = 0;
};

// The record engine calls this for every value of the columns it hands over,
// so the common cases are decided here, inline.
inline RecordFixer::Span RecordFixer::Fix(std::size_t column, Span span) {
  const char* value_at = span.value;
  std::size_t length_of = span.length;
  bool padded_is = span.padded;
  const char** value = &value_at;
  std::size_t* length = &length_of;
  bool* padded = &padded_is;
  const ColumnWork& work = work_[column];
  // A record left out is not mended. The paths are tried one by one, the
  // most common first: a chain of branches that the processor foresees
  // column after column.
  const ColumnWork::Path path = record_written_ ? work.path : ColumnWork::kNone;
  if (path == ColumnWork::kQuick) {
    if (**value == ' ') FixSlowly(column, value, length, padded);
  } else if (path == ColumnWork::kCached) {
    if (!FixFromCache(column, value, length, padded))
      FixSlowly(column, value, length, padded);
  } else if (path == ColumnWork::kTime) {
    if (!FixHhMm(column, value, length, padded) &&
        !FixFromCache(column, value, length, padded))
      FixSlowly(column, value, length, padded);
  } else if (path == ColumnWork::kCall) {
    for (std::size_t i = 0; i < *length; ++i) {
      const char c = (*value)[i];
      if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/')) {
        FixSlowly(column, value, length, padded);
        break;
      }
    }
  } else if (path == ColumnWork::kReport) {
    for (std::size_t i = 0; i < *length; ++i)
      if ((*value)[i] == ' ') {
        FixSlowly(column, value, length, padded);
        break;
      }
  } else if (path == ColumnWork::kSlow) {
    FixSlowly(column, value, length, padded);
  }
  if (work.addition >= 0 && *length != 0)
    written_[work.addition] = record_number_;
  return Span{value_at, static_cast<std::uint32_t>(length_of), padded_is};
}

#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline bool
RecordFixer::FixFromCache(std::size_t column, const char** value,
                          std::size_t* length, bool* padded) {
  const std::size_t size = *length;
  if (!*padded || size > 16) return false;
  // Two whole words, the bytes past the value masked off.
  std::uint64_t key[2];
  std::memcpy(key, *value, sizeof key);
  if (size < 8) {
    key[0] &= (std::uint64_t{1} << (8 * size)) - 1;
    key[1] = 0;
  } else if (size < 16) {
    key[1] &= (std::uint64_t{1} << (8 * (size - 8))) - 1;
  }
  ColumnWork& work = work_[column];
  Cached& entry = work.cache[CacheSlot(key, size, work.cache_bits)];
  if (entry.size != size || entry.key[0] != key[0] || entry.key[1] != key[1])
    return false;
  ++entry.hits;
  if (!entry.unchanged) {
    *value = entry.text;
    *length = entry.text_size;
  }
  if (static_cast<int>(column) == frequency_column_) {
    record_band_ = entry.band;
    if (!band_counted_) NoteFrequency(std::string_view(*value, *length));
  }
  if (static_cast<int>(column) == mode_column_) record_submode_ = entry.submode;
  return true;
}

#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline bool
RecordFixer::FixHhMm(std::size_t column, const char** value,
                     std::size_t* length, bool* padded) {
  const char* v = *value;
  ColumnWork& work = work_[column];
  if (*length != 5 || v[2] != ':' || work.hhmm_kind < 0) return false;
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!digit(v[0]) || !digit(v[1]) || !digit(v[3]) || !digit(v[4]) ||
      v[0] > '2' || (v[0] == '2' && v[1] > '3') || v[3] > '5')
    return false;
  time_text_[0] = v[0];
  time_text_[1] = v[1];
  time_text_[2] = v[3];
  time_text_[3] = v[4];
  ++work.hhmm_hits;
  *value = time_text_;
  *length = 4;
  *padded = true;
  return true;
}

#endif  // LOGWEAVE_CONVERT_VALUE_FIXES_H_

// record_fixer.h: --fix and --set record by record, for the record engine.
//
// The engine asks a RecordFixer for each value of the columns it fixes
// (record_fixer_inline.h holds that hot path, which only the engine
// includes), and at the end of a record for the fields to add: the
// constants of --set where no column gave the field a value; else BAND
// from FREQ, FREQ from a band column's frequency and SUBMODE from MODE
// where the record has none. Under --fix a record without a call sign is
// left out instead of being written as a bare <EOR>. The fixer counts what
// it did for the summary.

#ifndef LOGWEAVE_CONVERT_RECORD_FIXER_H_
#define LOGWEAVE_CONVERT_RECORD_FIXER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/fix_rules.h"
#include "mapping/column_plan.h"
#include "mapping/language.h"

/// A field every record gets (--set).
struct ConstantField {
  std::string keyword;
  std::string value;
  /// MODE: the SUBMODE that goes with the value (--set MODE=USB).
  std::string submode = {};
};

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
  /// Whether Fix changes the values of \a column only when they are not
  /// plain call signs (IsPlainCall), so that the engine may keep those from
  /// it.
  bool FixesOnlyOddCalls(std::size_t column) const {
    return work_[column].path == ColumnWork::kCall &&
           work_[column].addition < 0;
  }

  /// A value to write: \a padded says that 32 bytes may be read from
  /// \a value whatever its length.
  struct Span {
    const char* value;
    std::uint32_t length;
    bool padded;
  };
  // StartRecord, PutAdditions and EndRecord, with the kept fields below,
  // are the hot path, in record_fixer_inline.h. Fix is not: a value the
  // engine hands to it needs more than a look-up.
  /// Before the columns of a record: \a record is its deletion flag and
  /// its bytes.
  inline void StartRecord(const char* record);
  /// Mends the value of \a column (up to a NUL, without trailing blanks).
  Span Fix(std::size_t column, Span span);
  /// Writes the fields the record gets added at \a out; returns the end.
  inline char* PutAdditions(char* out);

  /// The most bytes PutAdditions writes.
  std::size_t LongestAdditions() const { return longest_additions_; }
  /// After the record: \a has_call says whether it has a CALL field.
  /// Returns false when the record is left out.
  bool EndRecord(bool has_call) {
    if (has_call || !MendsValues()) return true;
    ++records_left_out_;
    return false;
  }

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
  // and, for a frequency its record's band settles, the band's bytes (up
  // to 8), with what mending gave.
  struct CacheKey {
    std::uint64_t words[3];
    std::uint16_t sizes;  // the value's, and the band's times 256
  };
  struct alignas(64) Cached {
    std::uint64_t key[3] = {0, 0, 0};
    std::uint16_t sizes = 0xFFFF;  // 0xFFFF: empty
    std::uint8_t text_size = 0;
    std::uint8_t value_start = 0;  // of a kept field: where its value starts
    bool unchanged = true;
    std::int8_t count = -1;      // the kind it counts as; kNotRead; -1: none
    std::uint32_t hits = 0;      // counted here, not yet in the kind
    std::uint32_t last_use = 0;  // the record that last read it
    // The mended value, or a kept field whole: a short one lies in the
    // first cache line of the entry, with its key.
    char text[64];
    const char* submode = nullptr;
    const AdifBand* band = nullptr;
  };
  static constexpr std::size_t kShortText = 24;
  static_assert(offsetof(Cached, text) + kShortText == 64,
                "a short text ends with the first cache line");
  static constexpr std::int32_t kNotRead = -2;
  // What the fixer does with the values of one column.
  struct ColumnWork {
    enum Path : std::uint8_t {
      kNone,    // nothing
      kQuick,   // only blanks in front to remove
      kCall,    // a call sign: mended when not upper case already
      kTime,    // HH:MM read at once, other times as kCached
      kCached,  // few different spellings: each mended once
      kSlow,    // every value mended
      kKept,    // whole fields kept by the column's bytes (KeepFields)
    } path = kNone;
    std::int32_t addition = -1;  // the addition its values stand for
    // The cache holds 2^cache_bits values, two to a slot: a value is kept
    // in one of the two entries of the slot its key chooses.
    int cache_bits = 0;
    std::vector<Cached> cache;
    int band_column = -1;           // the column whose band settles it
    bool notes_record = false;      // FREQ or MODE: its values tell the record
    std::int32_t hhmm_kind = -1;    // kTime: the kind HH:MM counts as
    std::uint64_t hhmm_hits = 0;    // counted here, not yet in the kind
    std::int32_t blanks_kind = -1;  // kQuick: the kind blanks in front count as
    std::uint64_t blanks_hits = 0;
  };

 public:
  // Kept fields: after the cache they are kept in.

  /// How the engine finds the kept fields of one column.
  struct KeptColumn {
    std::size_t column = 0;
    // The column's bytes, and its band column's, in a key: the masks of
    // their bytes in three words, where the band's stand, their sizes.
    std::uint64_t mask[3] = {0, 0, 0};
    std::size_t band_offset = 0;  // 0: no band column
    std::uint16_t sizes = 0;
    Cached* cache = nullptr;  // the column's cache; nullptr: not kept
    int shift = 64;           // a key's hash shifted so far gives its slot
    int addition = -1;
    bool notes_record = false;
  };
  /// Lets the engine take whole fields from the fixer for the columns whose
  /// few different values it remembers: each field the engine writes for
  /// them is remembered by the column's bytes in the record (and by the
  /// record's band, which settles a frequency), and written again at once
  /// for the same bytes. Only for values written as they are mended (no
  /// re-encoding, no memo text).
  void KeepFields();
  /// The kept fields of \a column, or nullptr when its fields are not kept
  /// (after KeepFields).
  const KeptColumn* KeptFieldsOf(std::size_t column) const {
    return kept_[column].cache ? &kept_[column] : nullptr;
  }
  /// Writes at \a out the field kept for the bytes of a column at \a bytes
  /// (16 bytes may be read there), and returns its end; nullptr when there
  /// is none.
  inline char* PutKeptField(const KeptColumn& kept, const char* bytes,
                            char* out);
  /// Asks the processor to fetch the entries that the kept fields of the
  /// record at \a record (its deletion flag and its bytes, 16 readable past
  /// each column) will be looked up in, for the columns of many different
  /// values, whose entries are seldom in the cache: called a record ahead,
  /// so that the fetch overlaps the record before.
  inline void PrefetchKept(const char* record) const;
  /// After PutKeptField found none: the engine wrote \a field to \a end
  /// (nothing, when the value gave no field) for the bytes of the column at
  /// \a bytes, which the fixer remembers.
  void KeepField(const KeptColumn& kept, const char* bytes, const char* field,
                 const char* end);

 private:
  // A field the record may get added.
  struct Addition {
    std::string keyword;
    std::string constant;               // empty: derived from a value
    std::string constant_submode = {};  // MODE: the SUBMODE of the constant
  };

  Span FixOtherwise(std::size_t column, Span span);
#if defined(__GNUC__)
  __attribute__((noinline))
#endif
  Span
  FixOnPath(std::size_t column, Span span);
  bool FixFromCache(std::size_t column, const char** value, std::size_t* length,
                    bool* padded);
  // What a remembered value of the FREQ or MODE column tells of its record.
  inline void NoteRecord(std::size_t column, const Cached& entry, Span span) {
    if (static_cast<int>(column) == frequency_column_) {
      record_band_ = entry.band;
      if (!band_counted_)
        NoteFrequency(std::string_view(span.value, span.length));
    }
    if (static_cast<int>(column) == mode_column_)
      record_submode_ = entry.submode;
  }
  inline bool FixHhMm(std::size_t column, const char** value,
                      std::size_t* length, bool* padded);
  inline bool FixBlanksInFront(std::size_t column, const char** value,
                               std::size_t* length);
  void FixSlowly(std::size_t column, const char** value, std::size_t* length,
                 bool* padded);
  std::int32_t Count(std::size_t column, std::string_view from,
                     FixOutcome outcome, FixKind kind, std::uint64_t shape,
                     std::string_view to);
  int KindIndex(std::size_t column, FixKind kind, std::uint64_t shape);
  void AddHits(ColumnCounts* counts, std::int32_t kind,
               std::uint64_t hits) const;
  void NoteFrequency(std::string_view frequency);
  inline bool KeyOf(const ColumnWork& work, const char* value,
                    std::size_t length, bool padded, CacheKey* key) const;
  inline bool BandKey(int band_column, std::uint64_t* key,
                      std::size_t* size) const;
  static inline Cached* SlotOf(ColumnWork& work, const CacheKey& key);
  static inline Cached* SlotIn(Cached* cache, int shift, const CacheKey& key);
  // The entry of \a slot that takes \a key, its former value's hits
  // counted in \a counts.
  Cached& MakeRoom(Cached* slot, const CacheKey& key, ColumnCounts* counts);
  static inline void KeptKey(const KeptColumn& kept, const char* bytes,
                             const char* record, CacheKey* key);
  static bool Holds(const Cached& entry, const CacheKey& key) {
    return entry.sizes == key.sizes && entry.key[0] == key.words[0] &&
           entry.key[1] == key.words[1] && entry.key[2] == key.words[2];
  }
  char* PutField(char* out, const std::string& keyword, std::string_view value);
  // Writes the field of \a addition for \a value, a name of the standard's
  // tables (a band, a submode), formatted once.
  char* PutStandardField(char* out, std::size_t addition, const char* value);
  // The fields of the additions from \a first on that the record has not
  // written (\a first is the first of them).
  char* PutMissingFields(char* out, std::size_t first);

  std::vector<ColumnFix> fixes_;
  std::vector<ColumnWork> work_;
  std::vector<KeptColumn> kept_;
  std::vector<std::size_t> far_kept_;  // kept columns of large caches
  std::vector<std::size_t> offsets_, sizes_;
  std::vector<int> call_columns_;
  std::vector<Addition> additions_;
  std::size_t longest_additions_ = 0;
  int band_addition_ = -1, submode_addition_ = -1, frequency_addition_ = -1;
  int mode_addition_ = -1;
  int frequency_column_ = -1;  // the column BAND is taken from
  int mode_column_ = -1;       // the column SUBMODE is taken from
  int band_column_ = -1;       // the column FREQ may be taken from

  // The record being built.
  const char* record_ = nullptr;
  bool record_written_ = false;  // it has a call sign, so it is written
  // Per addition, the number of the last record that wrote its field.
  std::vector<std::uint64_t> written_;
  // Per addition, kAddedSlots fields formatted for names of the standard's
  // tables, by where the name stands.
  struct AddedField {
    const char* value = nullptr;
    std::size_t size = 0;
    char text[64];
  };
  static constexpr std::size_t kAddedSlots = 8;
  std::vector<AddedField> added_fields_;
  std::uint64_t record_number_ = 0;
  const AdifBand* record_band_ = nullptr;
  // The record's frequency as written, for the example of a BAND added.
  char record_frequency_[32] = {};
  std::size_t record_frequency_size_ = 0;
  bool band_counted_ = false;
  const char* record_submode_ = nullptr;
  std::string record_band_frequency_;  // a band column's frequency

  FixedValue fixed_;
  // The value of a kKept column mended last, for KeepField.
  int mended_column_ = -1;
  std::uint64_t mended_record_ = 0;
  std::int8_t mended_count_ = -1;
  bool mended_keepable_ = false;
  const char* mended_submode_ = nullptr;
  const AdifBand* mended_band_ = nullptr;
  char time_text_[32] = {};  // an HH:MM time as HHMM, 32 bytes readable
  std::vector<ColumnCounts> counts_;
  std::vector<int> last_kind_;  // per column, the kind counted last
  std::uint64_t records_left_out_ = 0;
};

#endif  // LOGWEAVE_CONVERT_RECORD_FIXER_H_

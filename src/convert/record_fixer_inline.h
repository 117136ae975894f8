// record_fixer_inline.h: the hot path of RecordFixer, inline, for the
// record engine alone (convert_records.cpp): it runs for every record and
// every value of the columns whose fields the fixer keeps.

#ifndef LOGWEAVE_CONVERT_RECORD_FIXER_INLINE_H_
#define LOGWEAVE_CONVERT_RECORD_FIXER_INLINE_H_

#include <cstring>

#include "convert/record_fixer.h"
#include "standard/calls.h"
#include "standard/times.h"

inline void RecordFixer::StartRecord(const char* record) {
  record_ = record;
  ++record_number_;
  record_band_ = nullptr;
  record_submode_ = nullptr;
  record_band_frequency_.clear();
  // The record is written when a CALL column holds something before a NUL
  // byte: a call sign is never mended away. (A call sign kept in a memo is
  // taken to be there when its block number is.)
  record_written_ = !MendsValues();
  for (int c : call_columns_) {
    const char* bytes = record + offsets_[c];
    std::size_t i = 0;
    while (i < sizes_[c] && bytes[i] == ' ') ++i;
    if (i < sizes_[c] && bytes[i] != '\0') record_written_ = true;
  }
}

inline char* RecordFixer::PutAdditions(char* out) {
  for (std::size_t a = 0; a < written_.size(); ++a)
    if (written_[a] != record_number_) return PutMissingFields(out, a);
  return out;
}

namespace record_fixer_detail {
// The bytes of a word below its first \a bytes (1 to 7), on a machine that
// keeps the first byte lowest.
inline std::uint64_t Low(std::size_t bytes) {
  return (std::uint64_t{1} << (8 * bytes)) - 1;
}
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLowFirst = true;
#else
constexpr bool kLowFirst = false;
#endif
}  // namespace record_fixer_detail

// The key a value is remembered by: its bytes, zero-filled to 16; for a
// frequency settled by the record's band, the band's bytes (up to 8,
// without the blanks after them) in a third word. False when the value is
// longer than 16 bytes or the band longer than 8. \a padded says that 16
// bytes may be read from \a value.
inline bool RecordFixer::KeyOf(const ColumnWork& work, const char* value,
                               std::size_t length, bool padded,
                               CacheKey* key) const {
  using record_fixer_detail::Low;
  if (length > 16) return false;
  if (padded && record_fixer_detail::kLowFirst) {
    std::memcpy(key->words, value, 16);
    if (length < 8) {
      key->words[0] &= Low(length);
      key->words[1] = 0;
    } else if (length < 16) {
      key->words[1] &= Low(length - 8);
    }
  } else {
    key->words[0] = key->words[1] = 0;
    std::memcpy(key->words, value, length);
  }
  key->words[2] = 0;
  std::size_t band_size = 0;
  if (work.band_column >= 0 &&
      !BandKey(work.band_column, &key->words[2], &band_size))
    return false;
  key->sizes = static_cast<std::uint16_t>(length | band_size << 8);
  return true;
}

inline bool RecordFixer::BandKey(int band_column, std::uint64_t* key,
                                 std::size_t* size) const {
  const char* band = record_ + offsets_[band_column];
  std::size_t length = sizes_[band_column];
  while (length > 0 && band[length - 1] == ' ') --length;
  if (length > 8) return false;
  *key = 0;
  std::memcpy(key, band, length);
  *size = length;
  return true;
}

// The two entries a key may be kept in.
inline RecordFixer::Cached* RecordFixer::SlotIn(Cached* cache, int shift,
                                                const CacheKey& key) {
  const std::uint64_t hash = (key.words[0] * 0x9E3779B97F4A7C15ull) ^
                             (key.words[1] * 0xC2B2AE3D27D4EB4Full) ^
                             (key.words[2] * 0x165667B19E3779F9ull) ^ key.sizes;
  return cache + (hash >> shift) * 2;
}

inline RecordFixer::Cached* RecordFixer::SlotOf(ColumnWork& work,
                                                const CacheKey& key) {
  return SlotIn(work.cache.data(), 65 - work.cache_bits, key);
}

// The key of a kept field: the column's bytes at \a bytes, and its band
// column's in \a record.
inline void RecordFixer::KeptKey(const KeptColumn& kept, const char* bytes,
                                 const char* record, CacheKey* key) {
  std::memcpy(key->words, bytes, 16);
  key->words[0] &= kept.mask[0];
  key->words[1] &= kept.mask[1];
  key->words[2] = 0;
  if (kept.band_offset != 0) {
    std::memcpy(&key->words[2], record + kept.band_offset, 8);
    key->words[2] &= kept.mask[2];
  }
  key->sizes = kept.sizes;
}

#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline char*
RecordFixer::PutKeptField(const KeptColumn& kept, const char* bytes,
                          char* out) {
  if (!record_written_) return nullptr;
  CacheKey key;
  KeptKey(kept, bytes, record_, &key);
  Cached* entry = SlotIn(kept.cache, kept.shift, key);
  if (!Holds(*entry, key) && !Holds(*++entry, key)) return nullptr;
  ++entry->hits;
  entry->last_use = static_cast<std::uint32_t>(record_number_);
  if (entry->text_size <= kShortText)
    std::memcpy(out, entry->text, kShortText);
  else
    std::memcpy(out, entry->text, sizeof entry->text);
  if (entry->text_size == 0) return out;
  if (kept.addition >= 0) written_[kept.addition] = record_number_;
  if (kept.notes_record)
    NoteRecord(kept.column, *entry,
               Span{entry->text + entry->value_start,
                    static_cast<std::uint32_t>(entry->text_size -
                                               entry->value_start - 1),
                    true});
  return out + entry->text_size;
}

inline void RecordFixer::PrefetchKept(const char* record) const {
#if defined(__GNUC__)
  for (std::size_t c : far_kept_) {
    const KeptColumn& kept = kept_[c];
    CacheKey key;
    KeptKey(kept, record + offsets_[c], record, &key);
    const Cached* entry = SlotIn(kept.cache, kept.shift, key);
    __builtin_prefetch(entry);
    __builtin_prefetch(entry + 1);
    // A loop of prefetches alone would be dropped as doing nothing.
    asm volatile("" : : "r"(entry));
  }
#else
  (void)record;
#endif
}

#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline bool
RecordFixer::FixHhMm(std::size_t column, const char** value,
                     std::size_t* length, bool* padded) {
  ColumnWork& work = work_[column];
  if (work.hhmm_kind < 0 ||
      !ReadHhColonMm(std::string_view(*value, *length), time_text_))
    return false;
  ++work.hhmm_hits;
  *value = time_text_;
  *length = 4;
  *padded = true;
  return true;
}

// Blanks in front of a value of a column that mends nothing else (numbers
// of a numeric column stand right-aligned): passed over at once once the
// first such value has been counted.
inline bool RecordFixer::FixBlanksInFront(std::size_t column,
                                          const char** value,
                                          std::size_t* length) {
  ColumnWork& work = work_[column];
  if (work.blanks_kind < 0) return false;
  std::size_t blanks = 0;
  while (blanks < *length && (*value)[blanks] == ' ') ++blanks;
  *value += blanks;
  *length -= blanks;
  ++work.blanks_hits;
  return true;  // still padded: the bytes after it are the record's
}

#endif  // LOGWEAVE_CONVERT_RECORD_FIXER_INLINE_H_

// record_fixer_inline.h: the hot path of RecordFixer, inline, for the
// record engine alone (convert_records.cpp): it runs for every value of
// every column the fixer reads, so the common cases are decided here.

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

inline RecordFixer::Span RecordFixer::Fix(std::size_t column, Span span) {
  const char* value = span.value;
  std::size_t length = span.length;
  bool padded = span.padded;
  const ColumnWork& work = work_[column];
  // A record left out is not mended. The paths are tried one by one, the
  // most common first: a chain of branches that the processor foresees
  // column after column.
  const ColumnWork::Path path = record_written_ ? work.path : ColumnWork::kNone;
  if (path == ColumnWork::kQuick) {
    if (*value == ' ' && !FixBlanksInFront(column, &value, &length))
      FixSlowly(column, &value, &length, &padded);
  } else if (path == ColumnWork::kCached) {
    if (!FixFromCache(column, &value, &length, &padded))
      FixSlowly(column, &value, &length, &padded);
  } else if (path == ColumnWork::kTime) {
    if (!FixHhMm(column, &value, &length, &padded) &&
        !FixFromCache(column, &value, &length, &padded))
      FixSlowly(column, &value, &length, &padded);
  } else if (path == ColumnWork::kCall) {
    if (!IsPlainCall(std::string_view(value, length)))
      FixSlowly(column, &value, &length, &padded);
  } else if (path == ColumnWork::kSlow) {
    FixSlowly(column, &value, &length, &padded);
  }
  if (work.addition >= 0 && length != 0)
    written_[work.addition] = record_number_;
  return Span{value, static_cast<std::uint32_t>(length), padded};
}

inline char* RecordFixer::PutAdditions(char* out) {
  for (std::size_t a = 0; a < written_.size(); ++a)
    if (written_[a] != record_number_) return PutMissingFields(out);
  return out;
}

// The key a value is remembered by: its bytes, zero-filled to 16; for a
// frequency settled by the record's band, the band's bytes after a 1 byte.
// False when the key would be longer than 16 bytes.
inline bool RecordFixer::CacheKey(std::size_t column, const char* value,
                                  std::size_t length, std::uint64_t key[2],
                                  std::size_t* size) const {
  const int band_column = work_[column].band_column;
  key[0] = key[1] = 0;
  if (band_column < 0) {
    if (length > 16) return false;
    std::memcpy(key, value, length);
    *size = length;
    return true;
  }
  const char* band = record_ + offsets_[band_column];
  std::size_t band_length = sizes_[band_column];
  while (band_length > 0 && band[band_length - 1] == ' ') --band_length;
  if (length + 1 + band_length > 16) return false;
  char bytes[16];
  std::memcpy(bytes, value, length);
  bytes[length] = '\x01';
  std::memcpy(bytes + length + 1, band, band_length);
  std::memcpy(key, bytes, length + 1 + band_length);
  *size = length + 1 + band_length;
  return true;
}

#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline bool
RecordFixer::FixFromCache(std::size_t column, const char** value,
                          std::size_t* length, bool* padded) {
  ColumnWork& work = work_[column];
  std::size_t size = *length;
  std::uint64_t key[2];
  if (work.band_column >= 0) {
    if (!CacheKey(column, *value, *length, key, &size)) return false;
  } else {
    if (!*padded || size > 16) return false;
    // Two whole words, the bytes past the value masked off.
    std::memcpy(key, *value, sizeof key);
    if (size < 8) {
      key[0] &= (std::uint64_t{1} << (8 * size)) - 1;
      key[1] = 0;
    } else if (size < 16) {
      key[1] &= (std::uint64_t{1} << (8 * (size - 8))) - 1;
    }
  }
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

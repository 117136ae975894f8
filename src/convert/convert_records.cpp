// convert_records.cpp: the record-by-record conversion.
//
// The records are read in large blocks and each record line is built in
// memory before it is written, with the same result as reading and writing a
// byte at a time.

#include "convert/convert_records.h"

#include <algorithm>
#include <cstring>

#include "convert/record_fixer_inline.h"
#include "dbf/dbf_table.h"
#include "standard/calls.h"

namespace {

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kWriteBlock = 1 << 20;
constexpr std::size_t kPaddedTag = 32;
// Short values are copied in one fixed-size move; every buffer a value is
// read from keeps this much room after its last byte.
constexpr std::size_t kShortValue = 32;
// All the memo texts of one record together; more is taken for damage, so a
// hostile table cannot make one record take unbounded memory.
constexpr std::size_t kLargestRecordMemos = 64u << 20;

enum class ValueRule { kSkip, kTime, kQsl, kPlain };

struct Column {
  std::size_t size = 0;
  ValueRule rule = ValueRule::kPlain;
  bool is_call = false;
  bool memo = false;        // its text is read from the memo file
  bool fix = false;         // its values go through the fixer ...
  bool fix_blanks = false;  // ... those that start with a blank only
  bool fix_calls = false;   // ... those that are no plain call sign only
  // Its fields kept by the fixer, or nullptr.
  const RecordFixer::KeptColumn* kept = nullptr;
  std::size_t index = 0;
  std::string open_tag;  // "<KEYWORD:"
  // The tag again, padded so that short tags are copied in one fixed-size
  // move (the line buffer keeps room for the padding).
  char padded_tag[kPaddedTag] = {};
};

std::vector<Column> ColumnsOf(const ColumnPlan& plan,
                              const ConvertOptions& options) {
  // Fields written as they are mended may be kept whole by the fixer.
  if (options.fixer && !options.memo && !options.encoder)
    options.fixer->KeepFields();
  std::vector<Column> columns;
  columns.reserve(plan.columns.size());
  for (const PlannedColumn& planned : plan.columns) {
    Column column;
    column.size = planned.size;
    const std::string& keyword = planned.keyword;
    if (planned.skipped)
      column.rule = ValueRule::kSkip;
    else if (keyword.compare(0, 4, "TIME") == 0 && keyword.size() >= 4)
      column.rule = ValueRule::kTime;
    else if (keyword == "QSL_SENT" || keyword == "QSL_RCVD")
      column.rule = ValueRule::kQsl;
    column.is_call = keyword == "CALL";
    column.memo = planned.memo && options.memo != nullptr;
    column.index = columns.size();
    column.fix = options.fixer && !planned.skipped &&
                 options.fixer->FixesColumn(column.index);
    column.fix_blanks =
        column.fix && options.fixer->FixesOnlyBlanks(column.index);
    column.fix_calls =
        column.fix && options.fixer->FixesOnlyOddCalls(column.index);
    if (column.fix) column.kept = options.fixer->KeptFieldsOf(column.index);
    // Mended values are read as the table holds them.
    if (column.fix && options.fixer->MendsValues())
      column.rule = ValueRule::kPlain;
    column.open_tag = "<" + keyword + ":";
    if (column.open_tag.size() <= kPaddedTag)
      std::memcpy(column.padded_tag, column.open_tag.data(),
                  column.open_tag.size());
    columns.push_back(std::move(column));
  }
  return columns;
}

// Hands out whole records from a buffered source.
class RecordReader {
 public:
  RecordReader(ByteSource* in, std::size_t record_size)
      : in_(in),
        capacity_(std::max(kReadBlock, 2 * record_size)),
        buffer_(capacity_ + kShortValue) {}

  // The next \a size bytes, or nullptr when the input ends first.
  const char* Next(std::size_t size) {
    if (end_ - position_ < size && !Fill(size)) return nullptr;
    const char* record = buffer_.data() + position_;
    position_ += size;
    return record;
  }
  /// The record after the one Next gave last, when the buffer holds it
  /// already; else nullptr.
  const char* Peek(std::size_t size) const {
    return end_ - position_ >= size ? buffer_.data() + position_ : nullptr;
  }

 private:
  bool Fill(std::size_t size) {
    std::memmove(buffer_.data(), buffer_.data() + position_, end_ - position_);
    end_ -= position_;
    position_ = 0;
    while (end_ < size && !ended_) {
      std::size_t want = capacity_ - end_;
      std::size_t got = in_->Read(buffer_.data() + end_, want);
      end_ += got;
      if (got < want) ended_ = true;
    }
    return end_ >= size;
  }

  ByteSource* in_;
  std::size_t capacity_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
};

// A buffer that record lines are written into with plain copies; the caller
// makes room for a whole line first.
class LineBuffer {
 public:
  void Reserve(std::size_t more) {
    if (data_.size() - used_ < more) data_.resize(used_ + more);
  }
  char* end() { return data_.data() + used_; }
  void Advance(char* new_end) { used_ = new_end - data_.data(); }
  void Append(const char* bytes, std::size_t size) {
    std::memcpy(end(), bytes, size);
    used_ += size;
  }
  std::size_t size() const { return used_; }
  /// Hands what the buffer holds to \a out, which may keep the storage.
  bool WriteTo(ByteSink* out) {
    bool written = out->WriteBlock(&data_, used_);
    used_ = 0;
    return written;
  }

 private:
  std::vector<char> data_;
  std::size_t used_ = 0;
};

// The room one record line can take at most.
std::size_t LongestLine(const std::vector<Column>& columns) {
  std::size_t longest = 8;  // "<EOR>\r\n"
  for (const Column& column : columns)
    longest +=
        column.open_tag.size() + 6 + column.size + 2 + kPaddedTag + kShortValue;
  return longest;
}

char* PutNumber(char* out, std::size_t number) {
  // Values are mostly shorter than a thousand bytes.
  if (number < 10) {
    *out = static_cast<char>('0' + number);
    return out + 1;
  }
  if (number < 100) {
    out[0] = static_cast<char>('0' + number / 10);
    out[1] = static_cast<char>('0' + number % 10);
    return out + 2;
  }
  if (number < 1000) {
    out[0] = static_cast<char>('0' + number / 100);
    out[1] = static_cast<char>('0' + number / 10 % 10);
    out[2] = static_cast<char>('0' + number % 10);
    return out + 3;
  }
  char digits[24];
  char* p = digits + sizeof digits;
  do {
    *--p = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number);
  std::size_t n = digits + sizeof digits - p;
  std::memcpy(out, p, n);
  return out + n;
}

// The length of \a value once trailing blanks are removed. Columns are
// padded with blanks, often more than half of them, so eight bytes are
// looked at a time: the last one that is not a blank is found from the
// highest set bit of the word XOR eight blanks. \a padded says that eight
// bytes may be read from the start of a shorter value.
std::size_t TrimmedLength(const char* value, std::size_t length, bool padded) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  constexpr std::uint64_t kBlanks = 0x2020202020202020ULL;
  auto last_non_blank = [](std::uint64_t word) {
    return static_cast<std::size_t>(63 - __builtin_clzll(word)) / 8 + 1;
  };
  while (length >= 8) {
    std::uint64_t word;
    std::memcpy(&word, value + length - 8, 8);
    word ^= kBlanks;
    if (word != 0) return length - 8 + last_non_blank(word);
    length -= 8;
  }
  if (padded) {
    if (length == 0) return 0;
    std::uint64_t word;
    std::memcpy(&word, value, 8);
    word = (word ^ kBlanks) & ((std::uint64_t{1} << (8 * length)) - 1);
    return word ? last_non_blank(word) : 0;
  }
#else
  static const char kBlanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  while (length >= 8 && std::memcmp(value + length - 8, kBlanks, 8) == 0)
    length -= 8;
  (void)padded;
#endif
  while (length > 0 && value[length - 1] == ' ') --length;
  return length;
}

// Where the values of one record come from and how they are re-encoded.
struct ValueSources {
  RecordFixer* fixer = nullptr;
  const ValueEncoder* encoder = nullptr;
  std::string* encoded = nullptr;
  std::uint64_t* values_changed = nullptr;
};

// Writes "<KEY:LEN>value " for one column at \a out and returns the new end,
// or returns \a out unchanged when the column gives no field. \a bytes holds
// \a size bytes; \a padded says that at least kShortValue bytes may be read
// after them. \a may_hold_nul is false when the record holds no NUL byte,
// which saves looking for one. With \a kPlain, there is no encoder and
// every value is padded (no memo columns), which the compiler then leaves
// out; so is the fixer without \a kFix.
template <bool kPlain, bool kFix>
inline char* PutField(const Column& column, const char* bytes, std::size_t size,
                      bool padded, bool may_hold_nul, char* scratch,
                      const ValueSources& sources, char* out);

// PutField for a field the fixer does not keep yet, which it then keeps:
// seldom, so out of the engine's loop, where PutField stays inline.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
char* PutFieldToKeep(const Column& column, const char* bytes, std::size_t size,
                     bool may_hold_nul, char* scratch,
                     const ValueSources& sources, char* out) {
  char* end = PutField<true, true>(column, bytes, size, true, may_hold_nul,
                                   scratch, sources, out);
  sources.fixer->KeepField(*column.kept, bytes, out, end);
  return end;
}

// PutField for a column whose fields the fixer keeps: written from the
// fixer's memory, or else as always and then kept.
inline char* PutKeptField(const Column& column, const char* bytes,
                          std::size_t size, bool may_hold_nul, char* scratch,
                          const ValueSources& sources, char* out) {
  if (char* end = sources.fixer->PutKeptField(*column.kept, bytes, out))
    return end;
  return PutFieldToKeep(column, bytes, size, may_hold_nul, scratch, sources,
                        out);
}

template <bool kPlain, bool kFix>
inline char* PutField(const Column& column, const char* bytes, std::size_t size,
                      bool padded, bool may_hold_nul, char* scratch,
                      const ValueSources& sources, char* out) {
  if (kPlain) padded = true;
  if (column.rule == ValueRule::kSkip || size == 0) return out;
  const char* value = bytes;
  std::size_t length = size;
  if (column.rule == ValueRule::kTime) {
    length = 0;
    for (std::size_t i = 0; i < size; ++i)
      if (bytes[i] != ':') scratch[length++] = bytes[i];
    value = scratch;
    padded = true;
  } else if (column.rule == ValueRule::kQsl) {
    for (std::size_t i = 0; i < length; ++i) {
      char c = bytes[i];
      scratch[i] = c == 'S' || c == 's' || c == 'T' || c == 't' ? 'Y' : c;
    }
    value = scratch;
    padded = true;
  }
  length = TrimmedLength(value, length, padded);
  if (length == 0) return out;
  // The value is written as a C string: a NUL byte ends it.
  if (may_hold_nul)
    if (const void* nul = std::memchr(value, 0, length))
      length = static_cast<const char*>(nul) - value;
  if (kFix && column.fix && (!column.fix_blanks || *value == ' ') &&
      (!column.fix_calls || !IsPlainCall(std::string_view(value, length)))) {
    RecordFixer::Span fixed = sources.fixer->Fix(
        column.index, {value, static_cast<std::uint32_t>(length), padded});
    value = fixed.value;
    length = fixed.length;
    padded = fixed.padded;
    if (length == 0) return out;
  }
  if (!kPlain && sources.encoder) {
    sources.encoded->clear();
    if (sources.encoder->Encode(value, length, sources.encoded))
      ++*sources.values_changed;
    value = sources.encoded->data();
    length = sources.encoded->size();
    padded = false;
  }
  const std::size_t tag = column.open_tag.size();
  if (tag <= kPaddedTag)
    std::memcpy(out, column.padded_tag, kPaddedTag);
  else
    std::memcpy(out, column.open_tag.data(), tag);
  out = PutNumber(out + tag, length);
  *out++ = '>';
  if (padded && length <= kShortValue)
    std::memcpy(out, value, kShortValue);
  else
    std::memcpy(out, value, length);
  out += length;
  *out++ = ' ';
  return out;
}

// Builds the line of one record, CALL first.
class RecordLine {
 public:
  RecordLine(const std::vector<Column>& columns, const ConvertOptions& options)
      : columns_(columns),
        options_(options),
        longest_line_(LongestLine(columns) +
                      (options.fixer ? options.fixer->LongestAdditions() : 0)),
        held_(longest_line_),
        scratch_(kLargestColumn + kShortValue),
        memo_texts_(columns.size()) {
    sources_.fixer = options.fixer;
    sources_.encoder = options.encoder;
    sources_.encoded = &encoded_;
    sources_.values_changed = &values_changed_;
  }

  /// Reads the memos of the record, when there are memo columns, and makes
  /// room in \a line and in the buffers for the longest line the record can
  /// give. False when a memo cannot be read.
  bool Prepare(const char* record, std::uint32_t number, LineBuffer* line,
               MemoError* error) {
    std::size_t room = longest_line_;
    if (options_.memo) {
      const char* bytes = record + 1;
      for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (columns_[c].memo && columns_[c].rule != ValueRule::kSkip) {
          if (!options_.memo->Read(bytes, columns_[c].size, number,
                                   &memo_texts_[c], error))
            return false;
          room += memo_texts_[c].size();
          if (room > kLargestRecordMemos) {
            *error = MemoError();
            error->kind = MemoError::kTooLargeTogether;
            error->path = options_.memo->path();
            error->record = number;
            return false;
          }
          if (scratch_.size() < memo_texts_[c].size() + kShortValue)
            scratch_.resize(memo_texts_[c].size() + kShortValue);
        }
        bytes += columns_[c].size;
      }
    }
    // A mended value takes at most twice the room of its column and field;
    // a byte may take up to four when re-encoded.
    if (options_.fixer) room *= 2;
    if (options_.encoder) room *= 4;
    if (held_.size() < room) held_.resize(room);
    line->Reserve(room);
    return true;
  }

  /// False when the record is left out. \a reader gave the record.
  bool Build(const char* record, std::size_t record_size,
             const RecordReader& reader, LineBuffer* line) {
    const bool plain = !options_.memo && !options_.encoder;
    if (options_.fixer)
      return plain ? BuildLine<true, true>(record, record_size, reader, line)
                   : BuildLine<false, true>(record, record_size, reader, line);
    return plain ? BuildLine<true, false>(record, record_size, reader, line)
                 : BuildLine<false, false>(record, record_size, reader, line);
  }

  std::uint64_t values_changed() const { return values_changed_; }
  /// Takes back the count of a line left out.
  void LeaveOut(std::uint64_t changed_before) {
    values_changed_ = changed_before;
  }

 private:
  template <bool kPlain, bool kFix>
  bool BuildLine(const char* record, std::size_t record_size,
                 const RecordReader& reader, LineBuffer* line) {
    if (kFix) {
      if (const char* next = reader.Peek(record_size))
        options_.fixer->PrefetchKept(next);
      options_.fixer->StartRecord(record);
    }
    const bool may_hold_nul = std::memchr(record, 0, record_size) != nullptr;
    const std::uint64_t changed_before = values_changed_;
    const Column* const first = columns_.data();
    const Column* const last = first + columns_.size();
    const char* bytes = record + 1;  // past the deletion flag
    char* out = line->end();
    // Until a CALL value is found, fields are held aside.
    held_ends_.clear();
    char* held_end = held_.data();
    const Column* next = first;
    bool call_written = false;
    for (; next != last && !call_written; ++next) {
      char* end =
          PutValue<kPlain, kFix>(next, first, may_hold_nul, &bytes, held_end);
      if (end == held_end) continue;
      held_end = end;
      held_ends_.push_back(held_end - held_.data());
      if (next->is_call) {
        // The CALL field is the latest held one; write the held fields from
        // the latest back to the earliest.
        for (std::size_t i = held_ends_.size(); i-- > 0;) {
          std::size_t from = i ? held_ends_[i - 1] : 0;
          std::size_t held_size = held_ends_[i] - from;
          std::memcpy(out, held_.data() + from, held_size);
          out += held_size;
        }
        call_written = true;
      }
    }
    // The rest go straight to the line.
    for (; next != last; ++next)
      out = PutValue<kPlain, kFix>(next, first, may_hold_nul, &bytes, out);
    // Without a call sign the held fields are dropped: none of them was
    // written, so none counts as changed.
    if (!call_written) values_changed_ = changed_before;
    if (kFix) {
      if (call_written) out = options_.fixer->PutAdditions(out);
      if (!options_.fixer->EndRecord(call_written)) return false;
    }
    std::memcpy(out, "<EOR>\r\n", 7);
    line->Advance(out + 7);
    return true;
  }

  // Puts the field of \a column, whose bytes stand at \a *bytes (moved past
  // them), at \a out; returns the new end.
  template <bool kPlain, bool kFix>
  char* PutValue(const Column* column, const Column* first, bool may_hold_nul,
                 const char** bytes, char* out) {
    const char* value = *bytes;
    std::size_t size = column->size;
    *bytes += column->size;
    if (!kPlain && column->memo) {
      const std::string& text = memo_texts_[column - first];
      return PutField<false, kFix>(*column, text.data(), text.size(), false,
                                   true, scratch_.data(), sources_, out);
    }
    if (kPlain && kFix && column->kept)
      return PutKeptField(*column, value, size, may_hold_nul, scratch_.data(),
                          sources_, out);
    // A value the fixer leaves as it is takes the way of the plain
    // conversion.
    if (kFix && (!column->fix || (column->fix_blanks && *value != ' ')))
      return PutField<kPlain, false>(*column, value, size, true, may_hold_nul,
                                     scratch_.data(), sources_, out);
    return PutField<kPlain, kFix>(*column, value, size, true, may_hold_nul,
                                  scratch_.data(), sources_, out);
  }

  const std::vector<Column>& columns_;
  const ConvertOptions& options_;
  const std::size_t longest_line_;
  std::vector<char> held_;
  std::vector<std::size_t> held_ends_;
  std::vector<char> scratch_;
  std::vector<std::string> memo_texts_;
  std::string encoded_;
  std::uint64_t values_changed_ = 0;
  ValueSources sources_;
};

}  // namespace

std::string ProgressText(std::uint32_t record, std::uint32_t count) {
  char text[32];
  std::snprintf(text, sizeof text, "%u/%u", static_cast<unsigned>(record),
                static_cast<unsigned>(count));
  return text;
}

ConvertStats ConvertRecords(ByteSource* in, ByteSink* out,
                            std::uint32_t record_count, const ColumnPlan& plan,
                            const ConvertOptions& options) {
  std::vector<Column> columns = ColumnsOf(plan, options);
  const std::size_t record_size = plan.RecordSize();

  ConvertStats stats;
  RecordReader reader(in, record_size);
  RecordLine builder(columns, options);
  LineBuffer pending;
  auto flush = [&]() {
    if (pending.size() == 0 || stats.end == RunEnd::kWriteFailed) return;
    if (!pending.WriteTo(out)) {
      stats.end = RunEnd::kWriteFailed;
      stats.error = out->Error();
    }
  };

  for (std::uint32_t r = 1; r <= record_count && r != 0; ++r) {
    if (options.progress) options.progress(r, record_count);
    const char* record = reader.Next(record_size);
    if (!record) {
      stats.end = in->Failed() ? RunEnd::kReadFailed : RunEnd::kTruncated;
      stats.error = in->Error();
      break;
    }
    ++stats.records_read;
    if (options.skip_deleted &&
        static_cast<unsigned char>(record[0]) == kDeletedFlag)
      continue;
    if (!builder.Prepare(record, r, &pending, &stats.memo_error)) {
      stats.end = RunEnd::kMemoFailed;
      break;
    }
    char* const line = pending.end();
    const std::uint64_t changed_before = builder.values_changed();
    // A record --fix leaves out (it has no call sign) gives no line.
    if (!builder.Build(record, record_size, reader, &pending)) continue;
    if (options.keep_line &&
        !options.keep_line(r, std::string_view(line, pending.end() - line))) {
      pending.Advance(line);
      builder.LeaveOut(changed_before);
      continue;
    }
    ++stats.records_written;
    if (pending.size() >= kWriteBlock) {
      flush();
      if (stats.end == RunEnd::kWriteFailed) break;
    }
  }
  if (stats.end != RunEnd::kMemoFailed) flush();
  stats.values_changed = builder.values_changed();
  return stats;
}

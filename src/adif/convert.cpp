// convert.cpp: the record-by-record conversion.
//
// The records are read in large blocks and each record line is built in
// memory before it is written, with the same result as reading and writing a
// byte at a time.

#include "adif/convert.h"

#include <algorithm>
#include <cstring>

#include "dbf/field_list.h"

namespace {

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kWriteBlock = 1 << 20;
// Entries composed from a table show sizes of 0 to 255; a hand-made entry
// may show more, which is kept within reason so a record always fits memory.
constexpr int kLargestColumn = 65535;

enum class ValueRule { kSkip, kTime, kQsl, kPlain };

struct Column {
  std::size_t size = 0;
  ValueRule rule = ValueRule::kPlain;
  bool is_call = false;
  std::string open_tag;  // "<KEYWORD:"
};

std::vector<Column> PlanColumns(const std::vector<std::string>& entries,
                                Language language) {
  const std::string skip = SkipWord(language);
  std::vector<Column> columns;
  columns.reserve(entries.size());
  for (const std::string& entry : entries) {
    EntryColumn read = ReadFieldListEntry(entry);
    Column column;
    column.size = static_cast<std::size_t>(
        std::clamp(read.size, 0, kLargestColumn));
    const std::string& keyword = read.keyword;
    if (keyword == skip)
      column.rule = ValueRule::kSkip;
    else if (keyword.compare(0, 4, "TIME") == 0 && keyword.size() >= 4)
      column.rule = ValueRule::kTime;
    else if (keyword == "QSL_SENT" || keyword == "QSL_RCVD")
      column.rule = ValueRule::kQsl;
    column.is_call = keyword == "CALL";
    column.open_tag = "<" + keyword + ":";
    columns.push_back(std::move(column));
  }
  return columns;
}

// Hands out whole records from a buffered source.
class RecordReader {
 public:
  RecordReader(ByteSource* in, std::size_t record_size)
      : in_(in), buffer_(std::max(kReadBlock, 2 * record_size)) {}

  // The next \a size bytes, or nullptr when the input ends first.
  const char* Next(std::size_t size) {
    if (end_ - position_ < size && !Fill(size)) return nullptr;
    const char* record = buffer_.data() + position_;
    position_ += size;
    return record;
  }

 private:
  bool Fill(std::size_t size) {
    std::memmove(buffer_.data(), buffer_.data() + position_, end_ - position_);
    end_ -= position_;
    position_ = 0;
    while (end_ < size && !ended_) {
      std::size_t want = buffer_.size() - end_;
      std::size_t got = in_->Read(buffer_.data() + end_, want);
      end_ += got;
      if (got < want) ended_ = true;
    }
    return end_ >= size;
  }

  ByteSource* in_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
};

void AppendNumber(std::string* text, std::size_t number) {
  char digits[24];
  char* p = digits + sizeof digits;
  do {
    *--p = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number);
  text->append(p, digits + sizeof digits - p);
}

// Appends "<KEY:LEN>value " for one column, or nothing when the column gives
// no field. Returns whether a field was appended.
bool AppendField(const Column& column, const char* bytes, std::string* scratch,
                 std::string* text) {
  if (column.rule == ValueRule::kSkip || column.size == 0) return false;
  const char* value = bytes;
  std::size_t length = column.size;
  if (column.rule == ValueRule::kTime) {
    scratch->clear();
    for (std::size_t i = 0; i < column.size; ++i)
      if (bytes[i] != ':') scratch->push_back(bytes[i]);
    value = scratch->data();
    length = scratch->size();
  } else if (column.rule == ValueRule::kQsl) {
    scratch->assign(bytes, column.size);
    for (char& c : *scratch)
      if (c == 'S' || c == 's' || c == 'T' || c == 't') c = 'Y';
    value = scratch->data();
  }
  while (length > 0 && value[length - 1] == ' ') --length;
  if (length == 0) return false;
  // The value is written as a C string: a NUL byte ends it.
  if (const void* nul = std::memchr(value, 0, length))
    length = static_cast<const char*>(nul) - value;
  *text += column.open_tag;
  AppendNumber(text, length);
  *text += '>';
  text->append(value, length);
  *text += ' ';
  return true;
}

// Builds the line of one record, CALL first.
class RecordLine {
 public:
  void Build(const std::vector<Column>& columns, const char* record,
             std::string* line) {
    held_.clear();
    held_ends_.clear();
    bool call_written = false;
    const char* bytes = record + 1;  // past the deletion flag
    for (const Column& column : columns) {
      const char* column_bytes = bytes;
      bytes += column.size;
      if (call_written) {
        AppendField(column, column_bytes, &scratch_, line);
        continue;
      }
      if (!AppendField(column, column_bytes, &scratch_, &held_)) continue;
      held_ends_.push_back(held_.size());
      if (column.is_call) {
        // The CALL field is the latest held one; write the held fields from
        // the latest back to the earliest.
        for (std::size_t i = held_ends_.size(); i-- > 0;) {
          std::size_t start = i ? held_ends_[i - 1] : 0;
          line->append(held_, start, held_ends_[i] - start);
        }
        call_written = true;
      }
    }
    *line += "<EOR>\r\n";
  }

 private:
  std::string held_;
  std::vector<std::size_t> held_ends_;
  std::string scratch_;
};

}  // namespace

std::string ProgressText(std::uint32_t record, std::uint32_t count) {
  char text[32];
  std::snprintf(text, sizeof text, "%u/%u", static_cast<unsigned>(record),
                static_cast<unsigned>(count));
  return text;
}

ConvertStats ConvertRecords(ByteSource* in, ByteSink* out,
                            std::uint32_t record_count,
                            const std::vector<std::string>& entries,
                            Language language, const ProgressFn& progress,
                            bool skip_deleted) {
  std::vector<Column> columns = PlanColumns(entries, language);
  std::size_t record_size = 1;
  for (const Column& column : columns) record_size += column.size;

  ConvertStats stats;
  RecordReader reader(in, record_size);
  RecordLine builder;
  std::string pending;
  pending.reserve(kWriteBlock + 4096);
  auto flush = [&]() {
    if (pending.empty() || stats.write_failed) return;
    if (!out->Write(pending.data(), pending.size())) {
      stats.write_failed = true;
      stats.error = out->Error();
    }
    pending.clear();
  };

  for (std::uint32_t r = 1; r <= record_count && r != 0; ++r) {
    if (progress) progress(r, record_count);
    const char* record = reader.Next(record_size);
    if (!record) {
      stats.truncated = true;
      stats.read_failed = in->Failed();
      stats.error = in->Error();
      break;
    }
    ++stats.records_read;
    if (skip_deleted && static_cast<unsigned char>(record[0]) == '*') continue;
    builder.Build(columns, record, &pending);
    ++stats.records_written;
    if (pending.size() >= kWriteBlock) {
      flush();
      if (stats.write_failed) break;
    }
  }
  flush();
  return stats;
}

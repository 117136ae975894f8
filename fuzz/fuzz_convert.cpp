// fuzz_convert.cpp: the whole conversion of an arbitrary table under an
// arbitrary mapping, in memory.
//
// Input: a flags byte (bit 0 English, bit 1 skip deleted records, bit 2 one
// hand-made entry, bit 3 a second run into an output that fails after a
// number of bytes, bit 4 one from an input that fails, bit 5 values
// re-encoded, bit 6 memo columns read from a memo file, bit 7 values mended
// as --fix mends them); a byte giving the
// number of mapping bytes and those bytes (column i takes the keyword chosen
// by mapping byte i modulo their number; none means every column is
// skipped); with bit 2 an index byte, a length byte and that many bytes of
// entry text; two bytes that limit a failing output and a failing input;
// with bit 5 a byte choosing the code page and the character set; with bit 6
// a byte choosing the memo layout, a byte marking further memo columns (bit
// i: every column i modulo 8; M columns always are), a two-byte length and
// that many bytes of memo file; then the table itself.
//
// Checked besides "no crash": the output equals that of a plain byte-at-a-
// time conversion written from the rules; every record line is made of
// "<KEY:LEN>" fields whose LEN is the number of bytes that follow, and ends
// in "<EOR>\r\n"; a line with fields starts with CALL; no 0xFF appears that
// the input did not hold; an input that ends early keeps exactly its
// complete records; no single write exceeds the output block plus one line;
// a failed write or read stops the run and is reported; a memo that cannot
// be read stops the run at its record; re-encoded output is plain ASCII or
// valid UTF-8 as chosen. With bit 7, plain values are mended as a survey
// of the table decides (or, where it decides nothing, by each field's
// rule): the fixer keeping whole fields gives the lines and the summary it
// gives without them (through an encoder that changes nothing).

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "convert/adx_writer.h"
#include "convert/charset.h"
#include "convert/convert_records.h"
#include "convert/fix_plan.h"
#include "convert/record_fixer.h"
#include "dbf/code_page.h"
#include "dbf/dbf_table.h"
#include "fuzz_support.h"
#include "mapping/catalogue.h"
#include "mapping/column_plan.h"
#include "mapping/field_list.h"
#include "platform/fake_file_system.h"
#include "reference_convert.h"

namespace {

// The program batches record lines into blocks of this size before writing.
constexpr std::size_t kOutputBlock = 1 << 20;

const char* const kOddKeywords[] = {
    "CALL", "TIME_ON", "TIME_OFF",  "QSL_SENT", "QSL_RCVD", "TIME",
    "TIM",  "TIMEX",   "QSL_SENTX", "call",     "Skip",     "Omitir",
    "SKIP", "COMMENT", "CALL2",     "T",        "QSL_RCV",  "TIME_"};

std::string ChooseKeyword(std::uint8_t selector, Language language) {
  if (selector < 172)
    return CatalogueKeyword(
        CatalogueEntry(selector % kCatalogueRows, language));
  return kOddKeywords[selector % (sizeof kOddKeywords / sizeof *kOddKeywords)];
}

std::size_t Digits(std::size_t n) {
  std::size_t digits = 1;
  while (n >= 10) {
    n /= 10;
    ++digits;
  }
  return digits;
}

// A sink that takes \a limit bytes and refuses everything after.
class FailingSink : public ByteSink {
 public:
  explicit FailingSink(std::size_t limit) : limit_(limit) {}
  bool Write(const char* data, std::size_t size) override {
    FUZZ_CHECK(!failed_, "a write after a failed write");
    if (taken_ + size > limit_) {
      failed_ = true;
      return false;
    }
    taken_ += size;
    text.append(data, size);
    return true;
  }
  SystemError Error() const override {
    return failed_ ? ErrnoError(28) : SystemError();
  }
  std::string text;

 private:
  std::size_t limit_;
  std::size_t taken_ = 0;
  bool failed_ = false;
};

// A source that gives \a limit bytes and then reports an I/O error.
class FailingSource : public ByteSource {
 public:
  FailingSource(const unsigned char* data, std::size_t size, std::size_t limit)
      : data_(data), size_(std::min(size, limit)), fails_(limit < size) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    std::size_t n = std::min(size, size_ - position_);
    std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    if (n < size && fails_) failed_ = true;
    return n;
  }
  bool Failed() const override { return failed_; }
  SystemError Error() const override {
    return failed_ ? ErrnoError(5) : SystemError();
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t position_ = 0;
  bool fails_;
  bool failed_ = false;
};

// Walks the output as ADIF: fields "<KEY:LEN>value " and "<EOR>\r\n".
// Returns the number of record lines.
std::uint32_t CheckStructure(const std::string& text,
                             const std::set<std::string>& keywords,
                             std::size_t largest_value) {
  std::uint32_t lines = 0;
  std::size_t p = 0;
  bool line_start = true;
  while (p < text.size()) {
    if (text.compare(p, 7, "<EOR>\r\n") == 0) {
      p += 7;
      ++lines;
      line_start = true;
      continue;
    }
    FUZZ_CHECK(text[p] == '<', "no '<' at byte %zu of the output", p);
    std::size_t colon = text.find(':', p);
    FUZZ_CHECK(colon != std::string::npos, "a field without ':'");
    std::string key = text.substr(p + 1, colon - p - 1);
    FUZZ_CHECK(keywords.count(key), "unexpected field name '%s'", key.c_str());
    FUZZ_CHECK(!line_start || key == "CALL",
               "a record line starts with %s, not CALL", key.c_str());
    std::size_t q = colon + 1;
    std::size_t length = 0;
    std::size_t digits = 0;
    while (q < text.size() && text[q] >= '0' && text[q] <= '9') {
      length = length * 10 + (text[q] - '0');
      ++q;
      ++digits;
      FUZZ_CHECK(digits <= 6, "a field length of more than 6 digits");
    }
    FUZZ_CHECK(digits > 0 && q < text.size() && text[q] == '>',
               "malformed length in field %s", key.c_str());
    FUZZ_CHECK(digits == 1 || text[colon + 1] != '0',
               "a length with a leading zero");
    FUZZ_CHECK(length <= largest_value, "field %s is %zu bytes long",
               key.c_str(), length);
    ++q;
    FUZZ_CHECK(text.size() - q > length && text[q + length] == ' ',
               "field %s: its length %zu is not the number of bytes before "
               "its blank",
               key.c_str(), length);
    FUZZ_CHECK(std::memchr(text.data() + q, '\0', length) == nullptr,
               "a NUL byte inside the value of %s", key.c_str());
    p = q + length + 1;
    line_start = false;
  }
  FUZZ_CHECK(line_start, "the output does not end with <EOR>\\r\\n");
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  fuzz::ByteReader reader(data, size);
  std::uint8_t flags = reader.Byte();
  const Language language = (flags & 1) ? kEnglish : kSpanish;
  const bool skip_deleted = (flags & 2) != 0;
  const bool hand_made = (flags & 4) != 0;
  const bool failing_output = (flags & 8) != 0;
  const bool failing_input = (flags & 16) != 0;
  std::string mapping = reader.Bytes(reader.Byte());
  std::uint8_t hand_index = 0;
  std::string hand_entry;
  if (hand_made) {
    hand_index = reader.Byte();
    hand_entry = reader.Bytes(reader.Byte());
    // List box texts end at a NUL; the reference reads C strings.
    std::replace(hand_entry.begin(), hand_entry.end(), '\0', 'x');
  }
  std::uint8_t write_limit = reader.Byte();
  std::uint8_t read_limit = reader.Byte();
  std::unique_ptr<ValueEncoder> encoder;
  Charset charset = Charset::kKeep;
  if (flags & 32) {
    std::uint8_t choice = reader.Byte();
    charset = (choice & 4) ? Charset::kUtf8 : Charset::kAscii;
    encoder = std::make_unique<ValueEncoder>(
        kCodePageTables[choice % kCodePageTableCount].number, charset);
  }
  bool with_memo = (flags & 64) != 0;
  std::uint8_t memo_layout = 0, memo_mask = 0;
  std::string memo_bytes;
  if (with_memo) {
    memo_layout = reader.Byte() & 3;
    memo_mask = reader.Byte();
    std::size_t length = reader.Byte();
    length |= static_cast<std::size_t>(reader.Byte()) << 8;
    memo_bytes = reader.Bytes(length);
  }
  const std::uint8_t* table = reader.rest();
  const std::size_t table_size = reader.rest_size();

  DbfLayout layout;
  if (ReadDbfLayout(table, table_size, &layout) != LayoutError::kNone) return 0;

  // The field list as the user would leave it: every column listed with the
  // skip word, then reassigned.
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < layout.columns.size(); ++i) {
    std::string entry = ColumnEntry(layout.columns[i], SkipWord(language));
    if (!mapping.empty()) {
      std::uint8_t selector = mapping[i % mapping.size()];
      entry = ReassignEntry(entry, ChooseKeyword(selector, language));
    }
    entries.push_back(entry);
  }
  if (hand_made) {
    std::size_t index = hand_index % (entries.size() + 1);
    if (index == entries.size())
      entries.push_back(hand_entry);
    else
      entries[index] = hand_entry;
  }

  // The input stands at the header length, possibly past the end of the
  // file.
  const std::size_t start =
      std::min<std::size_t>(layout.header.header_length, table_size);
  const unsigned char* records = table + start;
  const std::size_t records_size = table_size - start;
  const std::uint32_t count = layout.header.record_count;

  // Memo columns: the M columns and those the mask marks. Two readers of
  // the same file: one for the conversion, one for the reference.
  static const std::uint8_t kVersions[4] = {0x03, 0x8B, 0xF5, 0x30};
  FakeFileSystem files;  // outlives the memo readers, which use it
  MemoFile memo, reference_memo;
  ConvertOptions options;
  ColumnPlan plan = PlanColumns(entries, language);
  fuzz::ReferenceOptions reference;
  options.skip_deleted = reference.skip_deleted = skip_deleted;
  options.encoder = reference.encoder = encoder.get();
  if (with_memo) {
    files.Put("memo.fpt", memo_bytes);
    MemoError error;
    MemoFormat format =
        memo_layout >= 2 ? MemoFormat::kFoxPro : MemoFormat::kDbase;
    if (memo.OpenPath(files, "memo.fpt", format, kVersions[memo_layout],
                      &error) &&
        reference_memo.OpenPath(files, "memo.fpt", format,
                                kVersions[memo_layout], &error)) {
      options.memo = &memo;
      reference.memo = &reference_memo;
      for (std::size_t i = 0; i < entries.size(); ++i) {
        bool is_memo =
            (i < layout.columns.size() && layout.columns[i].type == 'M') ||
            (memo_mask >> (i % 8) & 1);
        plan.columns[i].memo = is_memo;
        reference.memo_columns.push_back(is_memo);
      }
    }
  }

  fuzz::ReferenceResult expected = fuzz::ReferenceConvert(
      records, records_size, count, entries, language, reference);

  MemorySource source(records, records_size);
  fuzz::WatchingSink sink;
  std::uint32_t last_progress = 0;
  options.progress = [&](std::uint32_t r, std::uint32_t n) {
    FUZZ_CHECK(n == count, "progress shows %u records, the table has %u", n,
               count);
    FUZZ_CHECK(r == last_progress + 1, "progress jumps from %u to %u",
               last_progress, r);
    last_progress = r;
  };
  ConvertStats stats = ConvertRecords(&source, &sink, count, plan, options);
  options.progress = nullptr;
  const bool memo_failed = stats.end == RunEnd::kMemoFailed;

  FUZZ_CHECK(memo_failed == expected.memo_failed,
             "memo_failed is %d, expected %d", memo_failed,
             expected.memo_failed);
  if (memo_failed) {
    // The run stops at the record whose memo failed; what it wrote before
    // is no more than the records before it.
    FUZZ_CHECK(stats.memo_error.kind != MemoError::kNone,
               "a memo failure without a cause");
    FUZZ_CHECK(expected.text.compare(0, sink.text.size(), sink.text) == 0,
               "the output before a memo failure differs");
  } else {
    FUZZ_CHECK(sink.text == expected.text,
               "the output differs from the plain conversion (%zu bytes, "
               "expected %zu)",
               sink.text.size(), expected.text.size());
    FUZZ_CHECK(stats.records_written == expected.records_written,
               "%u record lines, expected %u", stats.records_written,
               expected.records_written);
    FUZZ_CHECK(stats.values_changed == expected.values_changed,
               "%llu values changed, expected %llu",
               static_cast<unsigned long long>(stats.values_changed),
               static_cast<unsigned long long>(expected.values_changed));
  }
  FUZZ_CHECK(stats.records_read == expected.records_read,
             "%u records read, expected %u", stats.records_read,
             expected.records_read);
  const bool truncated = stats.end == RunEnd::kTruncated;
  FUZZ_CHECK(truncated == expected.truncated, "truncated is %d, expected %d",
             truncated, expected.truncated);
  FUZZ_CHECK(
      stats.end != RunEnd::kReadFailed && stats.end != RunEnd::kWriteFailed,
      "a failure reported on memory streams");
  FUZZ_CHECK(
      last_progress <= static_cast<std::uint64_t>(stats.records_read) + 1,
      "progress went to %u after %u records", last_progress,
      stats.records_read);

  // What one record line can hold, and the keywords it can name.
  const std::string skip = SkipWord(language);
  std::size_t line_bound = 7;
  std::size_t largest_value = 0;
  std::set<std::string> keywords;
  bool plain_names = true;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EntryColumn column = ReadFieldListEntry(entries[i]);
    if (column.keyword == skip) continue;
    std::size_t size = static_cast<std::size_t>(std::max(column.size, 0));
    if (options.memo && plan.columns[i].memo)
      size = std::max(size, memo_bytes.size());
    if (encoder) size *= 4;
    if (size == 0) continue;
    line_bound += column.keyword.size() + 3 + Digits(size) + size + 1;
    largest_value = std::max(largest_value, size);
    keywords.insert(column.keyword);
    for (unsigned char c : column.keyword)
      if (!fuzz::IsNameCharacter(c)) plain_names = false;
  }
  FUZZ_CHECK(sink.largest_write < kOutputBlock + line_bound,
             "one write of %zu bytes; records are handed on in blocks",
             sink.largest_write);
  if (plain_names) {
    std::uint32_t lines = CheckStructure(sink.text, keywords, largest_value);
    if (!memo_failed)
      FUZZ_CHECK(lines == stats.records_written,
                 "%u record lines found, %u reported", lines,
                 stats.records_written);
  }
  // The plain record lines (no encoder) read back as ADX, in pieces: one
  // record each, and no byte of a value taken for markup. Keywords as the
  // command line takes them: letters, digits and underscores.
  if (!encoder && !memo_failed && plain_names) {
    StringSink document;
    AdxWriter adx(&document, plan, 1252, false);
    const std::size_t piece = 1 + write_limit;
    bool written = true;
    for (std::size_t at = 0; at < sink.text.size(); at += piece)
      written &= adx.Write(sink.text.data() + at,
                           std::min(piece, sink.text.size() - at));
    FUZZ_CHECK(written && adx.Finish(), "ADX refused the record lines: %s",
               adx.Error().text.c_str());
    std::size_t records = 0;
    for (std::size_t at = document.text.find("<RECORD>");
         at != std::string::npos; at = document.text.find("<RECORD>", at + 1))
      ++records;
    FUZZ_CHECK(records == stats.records_written, "%zu ADX records, %u lines",
               records, stats.records_written);
  }

  // Keywords are written as they are: only plain ones say nothing of the
  // encoding.
  if (charset == Charset::kAscii && plain_names) {
    for (unsigned char c : sink.text)
      FUZZ_CHECK(c < 0x80, "byte 0x%02X in output spelled in ASCII", c);
  } else if (charset == Charset::kUtf8 && plain_names) {
    for (std::size_t p = 0; p < sink.text.size();) {
      unsigned char c = sink.text[p];
      std::size_t n = c < 0x80         ? 1
                      : (c >> 5) == 6  ? 2
                      : (c >> 4) == 14 ? 3
                      : (c >> 3) == 30 ? 4
                                       : 0;
      FUZZ_CHECK(n > 0 && p + n <= sink.text.size(),
                 "invalid UTF-8 at byte %zu", p);
      for (std::size_t k = 1; k < n; ++k)
        FUZZ_CHECK((static_cast<unsigned char>(sink.text[p + k]) >> 6) == 2,
                   "invalid UTF-8 at byte %zu", p + k);
      p += n;
    }
  } else if (charset == Charset::kKeep && !std::memchr(data, 0xFF, size)) {
    FUZZ_CHECK(sink.text.find('\xFF') == std::string::npos,
               "0xFF in the output of an input without it");
  }

  if ((flags & 128) && !options.memo && !encoder) {
    std::vector<ColumnProfile> profiles;
    MemorySource survey(records, records_size);
    SurveyRecords(&survey, count, layout,
                  FixSurveyRequest(plan, layout, 1252, skip_deleted),
                  &profiles);
    FixPlanInput input;
    input.plan = &plan;
    input.layout = &layout;
    input.profiles = &profiles;
    FixPlan decided;
    std::vector<ColumnFix> fixes;
    if (DecideFixes(input, &decided)) {
      fixes = decided.fixes;
    } else {
      for (std::size_t c = 0; c < plan.columns.size(); ++c)
        fixes.push_back(ColumnFixOf(
            plan.columns[c].keyword,
            c < layout.columns.size() ? layout.columns[c].type : 'C', false,
            1252));
    }
    const ValueEncoder unchanged(1252, Charset::kKeep);
    std::string lines[2];
    std::vector<std::string> summaries[2];
    ConvertStats runs[2];
    for (int kept = 0; kept < 2; ++kept) {
      RecordFixer fixer(plan, fixes, {});
      MemorySource in(records, records_size);
      StringSink out;
      ConvertOptions mending;
      mending.skip_deleted = skip_deleted;
      mending.fixer = &fixer;
      if (!kept) mending.encoder = &unchanged;
      runs[kept] = ConvertRecords(&in, &out, count, plan, mending);
      lines[kept] = out.text;
      summaries[kept] = fixer.Summary({}, kEnglish);
    }
    FUZZ_CHECK(lines[0] == lines[1],
               "fields kept whole differ from those mended (%zu bytes, %zu)",
               lines[1].size(), lines[0].size());
    FUZZ_CHECK(summaries[0] == summaries[1],
               "the summary differs with fields kept whole");
    FUZZ_CHECK(runs[0].records_written == runs[1].records_written,
               "%u record lines with fields kept whole, %u without",
               runs[1].records_written, runs[0].records_written);
  }

  // A failing output: the run stops at the refused write and says so.
  if (failing_output && !expected.memo_failed) {
    MemorySource again(records, records_size);
    FailingSink failing(write_limit * 16u);
    ConvertStats failed =
        ConvertRecords(&again, &failing, count, plan, options);
    bool should_fail = expected.text.size() > write_limit * 16u;
    bool write_failed = failed.end == RunEnd::kWriteFailed;
    FUZZ_CHECK(write_failed == should_fail,
               "write_failed is %d for %zu bytes of output and a limit of %u",
               write_failed, expected.text.size(), write_limit * 16u);
    FUZZ_CHECK(expected.text.compare(0, failing.text.size(), failing.text) == 0,
               "a failing output received other bytes");
    if (write_failed)
      FUZZ_CHECK(failed.error.failed(), "a failed write without its cause");
  }

  // A failing input: the records before the failure are kept, and the
  // failure is told apart from a plain early end.
  if (failing_input) {
    std::size_t limit = static_cast<std::size_t>(read_limit) * 8;
    FailingSource failing(records, records_size, limit);
    fuzz::WatchingSink out;
    ConvertStats failed = ConvertRecords(&failing, &out, count, plan, options);
    fuzz::ReferenceResult cut =
        fuzz::ReferenceConvert(records, std::min(records_size, limit), count,
                               entries, language, reference);
    FUZZ_CHECK(failed.records_read == cut.records_read,
               "%u records read before a read error, expected %u",
               failed.records_read, cut.records_read);
    if (!cut.memo_failed) {
      FUZZ_CHECK(out.text == cut.text,
                 "the records before a read error differ from the plain "
                 "conversion");
      if (failed.end == RunEnd::kReadFailed)
        FUZZ_CHECK(failed.error.failed(),
                   "a read error reported without its cause");
      if (cut.truncated && limit < records_size)
        FUZZ_CHECK(failed.end == RunEnd::kReadFailed,
                   "a read error taken for the end");
    }
  }
  return 0;
}

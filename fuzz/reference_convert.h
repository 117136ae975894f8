// reference_convert.h: a second, deliberately plain conversion of records,
// written straight from the rules and reading one byte at a time, for the
// fuzz targets to compare the real one against. It is slow and keeps the
// whole output in memory; it is never used by the program.

#ifndef LOGWEAVE_FUZZ_REFERENCE_CONVERT_H_
#define LOGWEAVE_FUZZ_REFERENCE_CONVERT_H_

#include <cstdint>
#include <cstdio>
#include <list>
#include <string>
#include <utility>
#include <vector>

#include "convert/charset.h"
#include "dbf/memo_file.h"
#include "mapping/language.h"

namespace fuzz {

// Hand-made entries may show sizes beyond any DBF column; the program reads
// at most this many bytes for one column.
constexpr long kReferenceLargestColumn = 65535;

struct ReferenceColumn {
  long size = 0;
  std::string keyword;
};

// Reads an entry the way the scan format "%*s %*s %s %*s %s " does. The
// entry must hold no NUL byte (no list box text can).
inline ReferenceColumn ReferenceReadEntry(const std::string& entry) {
  std::vector<char> size_token(entry.size() + 1, '\0');
  std::vector<char> keyword(entry.size() + 1, '\0');
  std::sscanf(entry.c_str(), "%*s %*s %s %*s %s ", size_token.data(),
              keyword.data());
  ReferenceColumn column;
  column.keyword = keyword.data();
  // atoi, without its undefined overflow.
  const char* p = size_token.data();
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > kReferenceLargestColumn) value = kReferenceLargestColumn;
  }
  column.size = negative ? 0 : static_cast<long>(value);
  return column;
}

struct ReferenceResult {
  std::string text;
  std::uint32_t records_read = 0;
  std::uint32_t records_written = 0;
  bool truncated = false;
  bool memo_failed = false;
  std::uint64_t values_changed = 0;
};

struct ReferenceOptions {
  bool skip_deleted = false;
  const ValueEncoder* encoder = nullptr;  // re-encodes every value written
  MemoFile* memo = nullptr;               // where memo columns' texts are read
  std::vector<bool> memo_columns;  // per column: holds a memo block number
};

// Converts \a count records from \a data (which starts on the deletion flag
// of the first record) under \a entries. Stops at the end of the data
// without writing the incomplete record, and at a memo that cannot be read.
inline ReferenceResult ReferenceConvert(const unsigned char* data,
                                        std::size_t size, std::uint32_t count,
                                        const std::vector<std::string>& entries,
                                        Language language,
                                        const ReferenceOptions& options) {
  std::vector<ReferenceColumn> columns;
  for (const std::string& entry : entries)
    columns.push_back(ReferenceReadEntry(entry));
  const std::string skip = SkipWord(language);

  ReferenceResult result;
  std::size_t position = 0;
  auto next = [&]() -> int { return position < size ? data[position++] : EOF; };
  for (std::uint64_t r = 1; r <= count; ++r) {
    int flag = next();
    if (flag == EOF) {
      result.truncated = true;
      break;
    }
    // Every byte of the record, column by column, before anything is made of
    // them: an incomplete record gives no line.
    std::vector<std::string> raw(columns.size());
    bool complete = true;
    for (std::size_t f = 0; f < columns.size() && complete; ++f) {
      for (long i = 0; i < columns[f].size; ++i) {
        int c = next();
        if (c == EOF) {
          complete = false;
          break;
        }
        raw[f] += static_cast<char>(c);
      }
    }
    if (!complete) {
      result.truncated = true;
      break;
    }
    ++result.records_read;
    if (options.skip_deleted && flag == '*') continue;
    // A memo column's value is the text its block number points to.
    if (options.memo) {
      for (std::size_t f = 0; f < columns.size() && !result.memo_failed; ++f) {
        if (f >= options.memo_columns.size() || !options.memo_columns[f] ||
            columns[f].keyword == skip)
          continue;
        std::string text;
        MemoError error;
        if (!options.memo->Read(raw[f].data(), raw[f].size(),
                                static_cast<std::uint32_t>(r), &text, &error))
          result.memo_failed = true;
        raw[f] = text;
      }
      if (result.memo_failed) break;
    }

    std::string line;
    bool call_written = false;
    // Held fields, each with whether re-encoding changed it; only fields
    // that are written count as changed.
    std::list<std::pair<std::string, bool>> pending;
    for (std::size_t f = 0; f < columns.size(); ++f) {
      const std::string& keyword = columns[f].keyword;
      std::string value;
      for (char byte : raw[f]) {
        if (byte == ':' && keyword.compare(0, 4, "TIME") == 0 &&
            keyword.size() >= 4)
          continue;
        if ((byte == 'S' || byte == 's' || byte == 'T' || byte == 't') &&
            (keyword == "QSL_SENT" || keyword == "QSL_RCVD"))
          byte = 'Y';
        if (keyword == skip) continue;
        value += byte;
      }
      while (!value.empty() && value.back() == ' ') value.pop_back();
      if (keyword == skip || value.empty()) continue;
      std::string written = value.substr(0, value.find('\0'));
      bool changed = false;
      if (options.encoder) {
        std::string encoded;
        // A value at a time: some spellings depend on the letters around.
        options.encoder->Encode(written.data(), written.size(), &encoded);
        changed = encoded != written;
        written = encoded;
      }
      std::string field = "<" + keyword + ":" + std::to_string(written.size()) +
                          ">" + written + " ";
      if (call_written) {
        line += field;
        result.values_changed += changed;
        continue;
      }
      pending.push_front({field, changed});
      if (keyword == "CALL") {
        for (const auto& held : pending) {
          line += held.first;
          result.values_changed += held.second;
        }
        pending.clear();
        call_written = true;
      }
    }
    line += "<EOR>\r\n";
    result.text += line;
    ++result.records_written;
  }
  return result;
}

}  // namespace fuzz

#endif  // LOGWEAVE_FUZZ_REFERENCE_CONVERT_H_

// record_lines.cpp: one part of record lines at a time.

#include "convert/record_lines.h"

#include <algorithm>
#include <limits>

#include "platform/text.h"

namespace {

constexpr std::string_view kEndOfRecord = "<EOR>\r\n";

LinePartRead Malformed(const char* what) {
  LinePartRead read;
  read.part = LinePart::kMalformed;
  read.malformed = what;
  return read;
}

}  // namespace

LinePartRead ReadLinePart(std::string_view text, std::size_t* at) {
  const std::size_t start = *at;
  const std::size_t size = text.size();
  LinePartRead read;
  if (start >= size) return read;
  // The end of the record, or what may yet become it.
  const std::size_t left = size - start;
  const std::size_t compared = std::min(left, kEndOfRecord.size());
  if (text.compare(start, compared, kEndOfRecord.substr(0, compared)) == 0) {
    if (compared < kEndOfRecord.size()) return read;
    *at = start + kEndOfRecord.size();
    read.part = LinePart::kEndOfRecord;
    return read;
  }
  if (text[start] != '<') return Malformed("a field does not begin with <");
  std::size_t colon = start + 1;
  while (colon < size && text[colon] != ':' && text[colon] != '>') ++colon;
  if (colon >= size) return read;
  if (text[colon] == '>') return Malformed("a field has no length");
  std::size_t close = colon + 1;
  std::size_t length = 0;
  constexpr std::size_t kMostBeforeDigit =
      (std::numeric_limits<std::size_t>::max() - 9) / 10;
  for (; close < size && text[close] != '>'; ++close) {
    if (!IsAsciiDigit(text[close]) || length > kMostBeforeDigit)
      return Malformed("a field's length is not a number");
    length = length * 10 + static_cast<std::size_t>(text[close] - '0');
  }
  // The value and the blank after it.
  if (close >= size || size - close - 1 < length + 1) return read;
  read.part = LinePart::kField;
  read.name = text.substr(start + 1, colon - start - 1);
  read.value = text.substr(close + 1, length);
  *at = close + 1 + length + 1;
  return read;
}

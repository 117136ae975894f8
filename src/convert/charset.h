// charset.h: what the ADIF file gets of a value's characters. "keep" writes
// the table's bytes as they are; "ascii" spells accented letters with their
// base letters (and "?" for anything else outside ASCII); "utf-8" writes
// UTF-8. The table's bytes are read in a given code page (437, 850, 1252).

#ifndef LOGWEAVE_CONVERT_CHARSET_H_
#define LOGWEAVE_CONVERT_CHARSET_H_

#include <cstddef>
#include <string>

enum class Charset { kKeep, kAscii, kUtf8 };

/// Re-encodes values byte by byte through a 256-entry table.
class ValueEncoder {
 public:
  ValueEncoder(int code_page, Charset charset);
  /// Appends the encoding of \a size bytes at \a value to \a out; returns
  /// whether it differs from the bytes themselves.
  bool Encode(const char* value, std::size_t size, std::string* out) const;
  /// The encoding of one byte.
  const std::string& Of(unsigned char byte) const { return table_[byte]; }

 private:
  std::string table_[256];
  bool changes_[256];
};

/// UTF-8 for one code point.
std::string Utf8(std::uint32_t code_point);

#endif  // LOGWEAVE_CONVERT_CHARSET_H_

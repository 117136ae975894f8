// charset.h: what the ADIF file gets of a value's characters. "keep" writes
// the table's bytes as they are; "ascii" spells letters in plain ASCII
// (Latin ones by their base letters, Cyrillic and Greek by their
// romanisation; "?" for anything else outside ASCII); "utf-8" writes UTF-8.
// The table's bytes are read in a given code page (see dbf/code_page.h).

#ifndef LOGWEAVE_CONVERT_CHARSET_H_
#define LOGWEAVE_CONVERT_CHARSET_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class Charset { kKeep, kAscii, kUtf8 };

/// Re-encodes values byte by byte through a 256-entry table. In ASCII, a
/// spelling of several letters for a capital ("Zh", "Shch") is written in
/// capitals when the letter stands between capitals ("ZHUKOV", "Zhukov"),
/// and a few letters are spelled otherwise after certain others (Greek
/// upsilon after a vowel).
class ValueEncoder {
 public:
  ValueEncoder(int code_page, Charset charset);
  /// Appends the encoding of \a size bytes at \a value to \a out; returns
  /// whether it differs from the bytes themselves.
  bool Encode(const char* value, std::size_t size, std::string* out) const;
  /// The encoding of one byte on its own.
  const std::string& Of(unsigned char byte) const { return table_[byte]; }

 private:
  struct After {
    unsigned char previous, byte;
    std::string spelling;
  };
  bool IsCapital(const char* value, std::size_t size, std::size_t i) const;

  std::string table_[256];
  std::string capitals_[256];  // table_ in capitals
  bool changes_[256];
  bool title_[256] = {};  // a spelling of several letters, in title case
  bool capital_[256] = {};
  bool letter_[256] = {};
  bool has_after_[256] = {};
  std::vector<After> after_;
};

#endif  // LOGWEAVE_CONVERT_CHARSET_H_

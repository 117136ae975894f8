// charset.cpp: the per-byte encoding tables.

#include "convert/charset.h"

#include <cstdint>

#include "dbf/code_page.h"

std::string Utf8(std::uint32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

ValueEncoder::ValueEncoder(int code_page, Charset charset) {
  for (int byte = 0; byte < 256; ++byte) {
    std::uint32_t point = CodePoint(code_page, static_cast<unsigned char>(byte));
    std::string& encoded = table_[byte];
    if (charset == Charset::kKeep || byte < 0x80) {
      encoded = std::string(1, static_cast<char>(byte));
    } else if (charset == Charset::kUtf8) {
      encoded = Utf8(point);
    } else {
      const char* spelling = AsciiSpellingOf(point);
      encoded = spelling ? spelling : "?";
    }
    changes_[byte] =
        encoded.size() != 1 || encoded[0] != static_cast<char>(byte);
  }
}

bool ValueEncoder::Encode(const char* value, std::size_t size,
                          std::string* out) const {
  bool changed = false;
  for (std::size_t i = 0; i < size; ++i) {
    unsigned char byte = static_cast<unsigned char>(value[i]);
    *out += table_[byte];
    changed |= changes_[byte];
  }
  return changed;
}

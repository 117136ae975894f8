// charset.cpp: the per-byte encoding tables.

#include "convert/charset.h"

#include "dbf/code_page.h"
#include "platform/text.h"

ValueEncoder::ValueEncoder(int code_page, Charset charset) {
  for (int byte = 0; byte < 256; ++byte) {
    std::uint32_t point =
        CodePoint(code_page, static_cast<unsigned char>(byte));
    std::string& encoded = table_[byte];
    if (charset == Charset::kKeep || byte < 0x80) {
      encoded = std::string(1, static_cast<char>(byte));
    } else if (charset == Charset::kUtf8) {
      encoded = Utf8(point);
    } else {
      const char* spelling = AsciiSpellingOf(point);
      encoded = spelling ? spelling : "?";
      title_[byte] = encoded.size() > 1 && IsAsciiUpper(encoded[0]) &&
                     IsAsciiLower(encoded[1]);
    }
    changes_[byte] =
        encoded.size() != 1 || encoded[0] != static_cast<char>(byte);
    capitals_[byte] = AsciiUpperText(encoded);
    // Whether the byte is a capital or a small letter, as its spelling
    // begins ("?" and "" are neither).
    if (!encoded.empty() && (byte < 0x80 || encoded != "?")) {
      capital_[byte] = IsAsciiUpper(encoded[0]);
      letter_[byte] = capital_[byte] || IsAsciiLower(encoded[0]);
    }
  }
  if (charset != Charset::kAscii) return;
  for (int i = 0; i < kAsciiAfterRuleCount; ++i) {
    const AsciiAfterRule& rule = kAsciiAfterRules[i];
    for (int previous = 0x80; previous < 256; ++previous) {
      if (CodePoint(code_page, static_cast<unsigned char>(previous)) !=
          rule.previous)
        continue;
      for (int byte = 0x80; byte < 256; ++byte) {
        if (CodePoint(code_page, static_cast<unsigned char>(byte)) !=
            rule.code_point)
          continue;
        after_.push_back({static_cast<unsigned char>(previous),
                          static_cast<unsigned char>(byte), rule.spelling});
        has_after_[byte] = true;
      }
    }
  }
}

bool ValueEncoder::IsCapital(const char* value, std::size_t size,
                             std::size_t i) const {
  return i < size && capital_[static_cast<unsigned char>(value[i])];
}

bool ValueEncoder::Encode(const char* value, std::size_t size,
                          std::string* out) const {
  bool changed = false;
  for (std::size_t i = 0; i < size; ++i) {
    unsigned char byte = static_cast<unsigned char>(value[i]);
    changed |= changes_[byte];
    if (has_after_[byte] && i > 0) {
      const std::string* spelling = nullptr;
      for (const After& after : after_)
        if (after.byte == byte &&
            after.previous == static_cast<unsigned char>(value[i - 1]))
          spelling = &after.spelling;
      if (spelling) {
        *out += *spelling;
        continue;
      }
    }
    if (title_[byte]) {
      // In capitals before a capital, or after one at the end of a word.
      bool next_is_letter =
          i + 1 < size && letter_[static_cast<unsigned char>(value[i + 1])];
      bool capitals =
          IsCapital(value, size, i + 1) ||
          (!next_is_letter && i > 0 && IsCapital(value, size, i - 1));
      *out += capitals ? capitals_[byte] : table_[byte];
      continue;
    }
    *out += table_[byte];
  }
  return changed;
}

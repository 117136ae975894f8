// text.cpp: blanks, UTF-8 and shown tokens.

#include "platform/text.h"

#include <cstdio>

std::string_view SqueezedUpper(std::string_view text,
                               char (&buffer)[kSqueezedBytes]) {
  std::size_t size = 0;
  for (char c : text) {
    if (c == ' ') continue;
    if (size == kSqueezedBytes) return {};
    buffer[size++] = AsciiUpper(c);
  }
  return std::string_view(buffer, size);
}

void AppendUtf8(std::uint32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Utf8(std::uint32_t code_point) {
  std::string out;
  AppendUtf8(code_point, &out);
  return out;
}

namespace {

// The bytes that follow a lead byte \a b, or -1 when \a b leads nothing.
int ContinuationsOf(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return 1;
  if (b >= 0xE0 && b <= 0xEF) return 2;
  if (b >= 0xF0 && b <= 0xF4) return 3;
  return -1;
}

}  // namespace

std::size_t Utf8SequenceAt(std::string_view text, std::size_t at,
                           std::uint32_t* code_point) {
  const int extra = ContinuationsOf(static_cast<unsigned char>(text[at]));
  if (extra < 0 || at + extra >= text.size()) return 0;
  std::uint32_t c = static_cast<unsigned char>(text[at]) & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    c = (c << 6) | (next & 0x3F);
  }
  const bool overlong =
      (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
  if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
  *code_point = c;
  return static_cast<std::size_t>(extra) + 1;
}

bool IsUtf8(std::string_view text, bool may_end_cut) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    std::uint32_t ignored;
    if (std::size_t n = Utf8SequenceAt(text, i, &ignored)) {
      i += n;
      continue;
    }
    // A sequence the end cuts: its bytes so far must be of one.
    const int extra = ContinuationsOf(static_cast<unsigned char>(text[i]));
    if (!may_end_cut || extra < 0 || i + extra < text.size()) return false;
    for (std::size_t k = i + 1; k < text.size(); ++k)
      if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) return false;
    return true;
  }
  return true;
}

std::size_t LastUtf8CharactersAt(std::string_view text, std::size_t count) {
  std::size_t at = text.size();
  for (; count > 0; --count) {
    if (at == 0) return std::string_view::npos;
    --at;
    while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
      --at;
  }
  return at;
}

std::string ShownToken(std::string_view bytes, std::size_t longest) {
  std::string shown;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (shown.size() >= longest) return shown + "...";
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    // A C1 control written as UTF-8 (C2 80 to C2 9F) is a control too.
    if (c == 0xC2 && i + 1 < bytes.size() &&
        static_cast<unsigned char>(bytes[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(bytes[i + 1]) <= 0x9F) {
      shown += '?';
      ++i;
      continue;
    }
    shown += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
  }
  return shown;
}

std::string EscapedToken(std::string_view bytes, std::size_t longest) {
  std::string printable;
  for (char c : bytes) {
    if (printable.size() >= longest) return printable + "...";
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      printable += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X",
                    static_cast<unsigned>(byte));
      printable += escaped;
    }
  }
  return printable;
}

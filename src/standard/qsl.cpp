// qsl.cpp: QSL flags.

#include "standard/qsl.h"

#include <cstring>

#include "dbf/code_page.h"
#include "platform/text.h"

char ReadQslFlag(std::string_view text, int code_page, bool logical) {
  // The flag in plain upper-case ASCII, at most three letters.
  char letters[4];
  std::size_t size = 0;
  for (char c : TrimSpaces(text)) {
    unsigned char byte = static_cast<unsigned char>(c);
    const char* plain = &c;
    std::size_t length = 1;
    if (byte >= 0x80) {
      plain = AsciiSpellingOf(CodePoint(code_page, byte));
      if (!plain) return 0;
      length = std::strlen(plain);
    }
    for (std::size_t i = 0; i < length; ++i) {
      if (size == 3) return 0;
      letters[size++] = AsciiUpper(plain[i]);
    }
  }
  static constexpr struct {
    std::string_view written;
    char flag;
  } kFlags[] = {
      {"S", 'Y'}, {"SI", 'Y'}, {"YES", 'Y'}, {"X", 'Y'}, {"T", 'Y'},
      {"1", 'Y'}, {"Y", 'Y'},  {"NO", 'N'},  {"0", 'N'}, {"N", 'N'},
      {"R", 'R'}, {"Q", 'Q'},  {"I", 'I'},   {"V", 'V'},
  };
  const std::string_view flag(letters, size);
  for (const auto& known : kFlags)
    if (known.written == flag) return known.flag;
  return logical && flag == "F" ? 'N' : 0;
}

// qsl.cpp: QSL flags.

#include "standard/qsl.h"

#include "dbf/code_page.h"
#include "platform/text.h"

namespace {

// The words old logs wrote for a QSL flag, in plain ASCII and upper case; a
// Cyrillic word by its ASCII spelling, read only when written in Cyrillic.
struct QslWord {
  std::string_view written;
  char flag;
  bool cyrillic = false;
};
// clang-format off
constexpr QslWord kQslWords[] = {
    // The standard's own letters.
    {"Y", 'Y'}, {"N", 'N'}, {"R", 'R'}, {"Q", 'Q'}, {"I", 'I'}, {"V", 'V'},
    // Yes: Spanish, English, marks; German (J, JA), French (O, OUI),
    // Portuguese (SIM), Italian and Spanish (SI, SÍ read as SI).
    {"S", 'Y'}, {"SI", 'Y'}, {"YES", 'Y'}, {"X", 'Y'}, {"T", 'Y'}, {"1", 'Y'},
    {"J", 'Y'}, {"JA", 'Y'}, {"O", 'Y'}, {"OUI", 'Y'}, {"SIM", 'Y'},
    {"TAK", 'Y'},
    // No: NO, 0, German NEIN, French NON, Portuguese NAO (NÃO), Polish NIE.
    {"NO", 'N'}, {"0", 'N'}, {"NEIN", 'N'}, {"NON", 'N'}, {"NAO", 'N'},
    {"NIE", 'N'},
    // Russian: Д, ДА (yes); Н, НЕТ (no).
    {"D", 'Y', true}, {"DA", 'Y', true}, {"N", 'N', true}, {"NET", 'N', true},
};
// clang-format on

}  // namespace

char ReadQslFlag(std::string_view text, int code_page, bool logical) {
  text = TrimSpaces(text);
  if (text.empty() || text.size() > 8) return 0;
  bool cyrillic = false;
  const std::string flag =
      AsciiUpperText(AsciiSpelledText(text, code_page, &cyrillic));
  for (const QslWord& known : kQslWords)
    if (known.written == flag && known.cyrillic == cyrillic) return known.flag;
  return logical && flag == "F" && !cyrillic ? 'N' : 0;
}

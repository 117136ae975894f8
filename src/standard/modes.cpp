// modes.cpp: the standard's modes and the mode names of old logs.

#include "standard/modes.h"

#include <cstring>
#include <string>
#include <unordered_map>

#include "dbf/code_page.h"
#include "platform/text.h"

const AdifEnumerationValue* FindAdifMode(std::string_view value) {
  return FindAdifEnumerationValue("Mode", value);
}

const AdifEnumerationValue* FindAdifSubmode(std::string_view value,
                                            std::string_view mode) {
  return FindAdifEnumerationValue("Submode", value, mode);
}

// ---- the forms of old logs ----

namespace {

// Modes old loggers wrote under names the standard does not use; a
// Cyrillic name by its ASCII spelling, read only when written in Cyrillic.
struct ModeAlias {
  const char* written;
  const char* standard;
  bool cyrillic = false;
};
// clang-format off
constexpr ModeAlias kModeAliases[] = {
    {"PACKET", "PKT"},    {"AMTOR", "TOR"},          {"PACTOR", "PAC"},
    {"BPSK31", "PSK31"},  {"BPSK63", "PSK63"},       {"BPSK125", "PSK125"},
    {"FELDHELL", "HELL"}, {"HELLSCHREIBER", "HELL"},
    // Single side band in French, Spanish, Italian, Portuguese.
    {"BLU", "SSB"},
    // ITU emission classes.
    {"A1A", "CW"}, {"A2A", "CW"}, {"J3E", "SSB"}, {"R3E", "SSB"},
    {"A3E", "AM"}, {"H3E", "AM"}, {"F3E", "FM"},  {"G3E", "FM"},
    {"F1B", "RTTY"}, {"J2B", "RTTY"}, {"F3F", "ATV"}, {"C3F", "ATV"},
    // Russian: telegraphy, telephony.
    {"TLG", "CW", true}, {"TLF", "SSB", true},
};
// clang-format on

// Every mode and submode of the standard by its name in upper case, and by
// that name without blanks and hyphens; a mode before a submode of the
// same name, which an import-only mode gives way to.
const std::unordered_map<std::string, ModeReading>& ModeNames() {
  static const std::unordered_map<std::string, ModeReading> names = [] {
    std::unordered_map<std::string, ModeReading> all;
    auto add = [&all](std::string name, ModeReading reading) {
      std::string squeezed;
      name = AsciiUpperText(name);
      for (char c : name)
        if (c != ' ' && c != '-') squeezed += c;
      all.emplace(name, reading);
      all.emplace(squeezed, reading);
    };
    for (int i = 0; i < kAdifEnumerationValueCount; ++i) {
      const AdifEnumerationValue& row = kAdifEnumerationValues[i];
      if (std::strcmp(row.enumeration, "Mode") == 0 && !row.import_only)
        add(row.value, ModeReading{row.value, nullptr});
    }
    for (int i = 0; i < kAdifEnumerationValueCount; ++i) {
      const AdifEnumerationValue& row = kAdifEnumerationValues[i];
      if (std::strcmp(row.enumeration, "Submode") == 0 &&
          row.qualifier[0] != '\0')
        add(row.value, ModeReading{row.qualifier, row.value});
    }
    for (const ModeAlias& alias : kModeAliases) {
      if (alias.cyrillic) continue;
      auto standard = all.find(alias.standard);
      if (standard != all.end()) all.emplace(alias.written, standard->second);
    }
    return all;
  }();
  return names;
}

}  // namespace

bool ReadMode(std::string_view text, ModeReading* mode, int code_page) {
  text = TrimSpaces(text);
  if (text.empty() || text.size() > 32) return false;
  bool cyrillic = false;
  const std::string name =
      AsciiUpperText(AsciiSpelledText(text, code_page, &cyrillic));
  const auto& names = ModeNames();
  if (cyrillic) {
    for (const ModeAlias& alias : kModeAliases) {
      if (!alias.cyrillic || name != alias.written) continue;
      auto standard = names.find(alias.standard);
      if (standard == names.end()) return false;
      *mode = standard->second;
      return true;
    }
    return false;
  }
  auto found = names.find(name);
  if (found == names.end()) {
    std::string squeezed;
    for (char c : name)
      if (c != ' ' && c != '-') squeezed += c;
    found = names.find(squeezed);
  }
  if (found == names.end()) return false;
  *mode = found->second;
  return true;
}

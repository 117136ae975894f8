// modes.cpp: the standard's modes and the mode names of old logs.

#include "standard/modes.h"

#include <cstring>
#include <string>
#include <unordered_map>

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

// Modes old loggers wrote under names the standard does not use.
struct ModeAlias {
  const char* written;
  const char* standard;
};
constexpr ModeAlias kModeAliases[] = {
    {"PACKET", "PKT"},    {"AMTOR", "TOR"},          {"PACTOR", "PAC"},
    {"BPSK31", "PSK31"},  {"BPSK63", "PSK63"},       {"BPSK125", "PSK125"},
    {"FELDHELL", "HELL"}, {"HELLSCHREIBER", "HELL"},
};

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
      auto standard = all.find(alias.standard);
      if (standard != all.end()) all.emplace(alias.written, standard->second);
    }
    return all;
  }();
  return names;
}

}  // namespace

bool ReadMode(std::string_view text, ModeReading* mode) {
  text = TrimSpaces(text);
  if (text.empty() || text.size() > 32) return false;
  const std::string name = AsciiUpperText(text);
  const auto& names = ModeNames();
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

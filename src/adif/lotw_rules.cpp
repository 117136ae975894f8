// lotw_rules.cpp: looking things up in the client's tables.

#include "adif/lotw_rules.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/text.h"

namespace {

// True when the sorted \a names hold \a value exactly.
bool Holds(const char* const* names, int count, std::string_view value) {
  return std::binary_search(
      names, names + count, value,
      [](std::string_view a, std::string_view b) { return a < b; });
}

// The mode \a key (in capitals) maps to, or nullptr.
const char* Mapped(const std::string& key) {
  const LotwModeMapping* end = kLotwModeMappings + kLotwModeMappingCount;
  const LotwModeMapping* found =
      std::lower_bound(kLotwModeMappings, end, key,
                       [](const LotwModeMapping& row, const std::string& k) {
                         return row.adif < k;
                       });
  return found != end && found->adif == key ? found->mode : nullptr;
}

}  // namespace

const LotwBand* FindLotwBand(std::string_view name) {
  for (int i = 0; i < kLotwBandCount; ++i)
    if (EqualIgnoringCase(kLotwBands[i].name, name)) return &kLotwBands[i];
  return nullptr;
}

const LotwBand* LotwBandOfHertz(std::uint64_t hz) {
  for (int i = 0; i < kLotwBandCount; ++i)
    if (hz >= kLotwBands[i].lower_hz && hz <= kLotwBands[i].upper_hz)
      return &kLotwBands[i];
  return nullptr;
}

const char* LotwModeOf(std::string_view mode, std::string_view submode) {
  const std::string upper_mode = AsciiUpperText(mode);
  const std::string upper_submode = AsciiUpperText(submode);
  const char* mapped = nullptr;
  if (!submode.empty()) {
    mapped = Mapped(upper_mode + "%" + upper_submode);
    if (!mapped) mapped = Mapped(upper_submode);
  }
  if (!mapped) mapped = Mapped(upper_mode);
  const std::string filed = mapped ? std::string(mapped) : upper_mode;
  const char* const* end = kLotwModes + kLotwModeCount;
  const char* const* found = std::lower_bound(
      kLotwModes, end, filed,
      [](const char* row, const std::string& m) { return row < m; });
  return found != end && *found == filed ? *found : nullptr;
}

bool IsLotwPropagationMode(std::string_view value) {
  return Holds(kLotwPropagationModes, kLotwPropagationModeCount, value);
}

bool IsLotwSatellite(std::string_view value) {
  return Holds(kLotwSatellites, kLotwSatelliteCount, value);
}

int LotwLongestValue(std::string_view field) {
  for (int i = 0; i < kLotwFieldLimitCount; ++i)
    if (field == kLotwFieldLimits[i].field) return kLotwFieldLimits[i].longest;
  return 0;
}

bool LotwTakesTypeIndicator(std::string_view type) {
  return type.size() == 1 &&
         std::strchr(kLotwTypeIndicators, AsciiUpper(type[0])) != nullptr &&
         type[0] != '\0';
}

bool IsLotwAmateurCall(std::string_view call) {
  bool letter = false, digit = false;
  for (char c : call) {
    if (IsAsciiUpper(c)) {
      letter = true;
    } else if (IsAsciiDigit(c)) {
      digit = true;
    } else if (c != '/') {
      return false;
    }
  }
  if (!letter || !digit || call.size() < 3) return false;
  if (call[0] == '0' || call[0] == 'Q') return false;
  if (call[0] == '1' && call[1] != 'A' && call[1] != 'M' && call[1] != 'S')
    return false;
  return call.front() != '/' && call.back() != '/' &&
         call.find("//") == std::string_view::npos;
}

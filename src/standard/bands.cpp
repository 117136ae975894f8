// bands.cpp: frequencies placed in bands, and the band and frequency forms
// of old logs.

#include "standard/bands.h"

#include <algorithm>
#include <unordered_map>

#include "platform/text.h"

const AdifBand* BandOfHertz(std::uint64_t hz) {
  // The bands are in order and apart: the only candidate is the last one
  // that starts at or below \a hz.
  const AdifBand* end = kAdifBands + kAdifBandCount;
  const AdifBand* after = std::upper_bound(
      kAdifBands, end, hz,
      [](std::uint64_t value, const AdifBand& band) {
        return value < band.lower_hz;
      });
  if (after == kAdifBands) return nullptr;
  const AdifBand* band = after - 1;
  return hz <= band->upper_hz ? band : nullptr;
}

std::uint64_t HertzOfDigits(std::string_view whole, std::string_view fraction,
                            int places) {
  std::uint64_t unit = 1;
  for (int i = 0; i < places; ++i) unit *= 10;
  std::uint64_t value = 0;
  for (char c : whole) {
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kHighestHertz / unit) return kHighestHertz;
  }
  std::uint64_t hz = value * unit;
  for (char c : fraction) {
    if (unit == 1) break;
    unit /= 10;
    hz += static_cast<std::uint64_t>(c - '0') * unit;
  }
  return std::min(hz, kHighestHertz);
}

bool ReadMegahertz(std::string_view text, std::uint64_t* hz) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n && IsAsciiDigit(text[i])) ++i;
  const std::string_view whole = text.substr(0, i);
  std::string_view fraction;
  if (i < n && text[i] == '.') {
    const std::size_t start = ++i;
    while (i < n && IsAsciiDigit(text[i])) ++i;
    fraction = text.substr(start, i - start);
  }
  if (i != n || (whole.empty() && fraction.empty())) return false;
  *hz = HertzOfDigits(whole, fraction, 6);
  return true;
}

std::string MegahertzText(std::uint64_t hz) {
  std::string fraction = std::to_string(hz % 1000000);
  fraction.insert(0, 6 - fraction.size(), '0');
  while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
  return std::to_string(hz / 1000000) + "." + fraction;
}

// ---- the forms of old logs ----

std::uint64_t HertzOf(const DecimalText& number, bool kilohertz) {
  return HertzOfDigits(number.whole, number.fraction, kilohertz ? 3 : 6);
}

std::string MegahertzDigits(const DecimalText& number, bool kilohertz) {
  std::string whole(number.whole), fraction(number.fraction);
  if (kilohertz) {
    if (whole.size() < 3) whole.insert(0, 3 - whole.size(), '0');
    fraction = whole.substr(whole.size() - 3) + fraction;
    whole.erase(whole.size() - 3);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  }
  if (whole.empty()) whole = "0";
  return fraction.empty() ? whole : whole + "." + fraction;
}

// Kilohertz are read up to the 23 cm band: above it nobody writes them,
// and a frequency so read could be read in both units again.
constexpr std::uint64_t kHighestKilohertzReading = 1300000000ULL;

unsigned FrequencyReadings(const DecimalText& number, const AdifBand* band) {
  auto fits = [band](std::uint64_t hz) {
    const AdifBand* found = BandOfHertz(hz);
    return found != nullptr && (band == nullptr || found == band);
  };
  unsigned readings = 0;
  if (number.unit != DecimalText::kKilohertz && fits(HertzOf(number, false)))
    readings |= kAsMegahertz;
  if (number.unit != DecimalText::kMegahertz) {
    const std::uint64_t hz = HertzOf(number, true);
    if (hz <= kHighestKilohertzReading && fits(hz)) readings |= kAsKilohertz;
  }
  return readings;
}

namespace {

// The band of the lower-case name \a name ("40m", "70cm"), or nullptr.
const AdifBand* BandNamed(const std::string& name) {
  static const std::unordered_map<std::string, const AdifBand*> bands = [] {
    std::unordered_map<std::string, const AdifBand*> all;
    for (int i = 0; i < kAdifBandCount; ++i)
      all.emplace(kAdifBands[i].name, &kAdifBands[i]);
    return all;
  }();
  auto found = bands.find(name);
  return found == bands.end() ? nullptr : found->second;
}

}  // namespace

const AdifBand* ReadBand(std::string_view text) {
  char buffer[kSqueezedBytes];
  std::string_view squeezed = SqueezedUpper(TrimSpaces(text), buffer);
  if (squeezed.empty() || !IsAsciiDigit(squeezed[0])) return nullptr;
  std::size_t i = 0;
  while (i < squeezed.size() && (IsAsciiDigit(squeezed[i]) ||
                                 squeezed[i] == '.' || squeezed[i] == ','))
    ++i;
  std::string_view number = squeezed.substr(0, i);
  std::string_view unit = squeezed.substr(i);
  DecimalText decimal;
  if (!ReadDecimal(number, false, &decimal) || decimal.whole.empty())
    return nullptr;
  // "40.0" names the band "40m".
  std::string_view fraction = decimal.fraction;
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  std::string name(decimal.whole);
  if (!fraction.empty()) name += "." + std::string(fraction);
  if (unit == "CM") return BandNamed(name + "cm");
  if (unit == "MM") return BandNamed(name + "mm");
  if (unit == "" || unit == "M" || unit == "MT" || unit == "MTS") {
    if (const AdifBand* band = BandNamed(name + "m")) return band;
    if (unit.empty()) return BandOfHertz(HertzOf(decimal, false));
  }
  return nullptr;
}

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
      kAdifBands, end, hz, [](std::uint64_t value, const AdifBand& band) {
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

bool ReadFrequencyText(std::string_view text, std::string* buffer,
                       DecimalText* number) {
  if (ReadDecimal(text, true, number)) return true;
  const unsigned evidence = SeparatorsOf(TrimSpaces(text));
  char thousands = 0;
  if (evidence & kPointGroups) thousands = '.';
  if (evidence & kCommaGroups) thousands = ',';
  if (evidence == kNotANumber || thousands == 0 ||
      !NumberWithSeparators(TrimSpaces(text), thousands, buffer))
    return false;
  return ReadDecimal(*buffer, false, number);
}

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

int BandLikelihood(const AdifBand* band) {
  if (!band) return 0;
  if ((band->lower_hz >= 1800000ULL && band->upper_hz <= 450000000ULL) ||
      std::string_view(band->name) == "23cm")
    return 2;
  return band->upper_hz < 30000000000ULL ? 1 : 0;
}

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
  if (number.unit == DecimalText::kNoUnit && number.fraction.empty() &&
      number.separator == 0 && fits(HertzAs(number, kAsHertz)))
    readings |= kAsHertz;
  return readings;
}

std::uint64_t HertzAs(const DecimalText& number, unsigned reading) {
  const int places = reading == kAsHertz ? 0 : reading == kAsKilohertz ? 3 : 6;
  return HertzOfDigits(number.whole, number.fraction, places);
}

std::string MegahertzDigitsAs(const DecimalText& number, unsigned reading) {
  if (reading != kAsHertz)
    return MegahertzDigits(number, reading == kAsKilohertz);
  return MegahertzText(HertzAs(number, kAsHertz));
}

const char* FrequencyUnitName(unsigned reading) {
  return reading == kAsHertz ? "Hz" : reading == kAsKilohertz ? "kHz" : "MHz";
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

namespace {

// The band a bare number names in metres: a metre band, else a centimetre
// band of that number ("70" is 70 cm); 75, the name of the 80 m band's
// telephony part, is 80 m.
const AdifBand* BandInMetres(const std::string& number) {
  if (number == "75") return BandNamed("80m");
  if (const AdifBand* band = BandNamed(number + "m")) return band;
  return BandNamed(number + "cm");
}

// A bare number of \a text, its decimals' trailing zeros dropped ("40.0" is
// "40"), with \a decimal its reading; false when \a text is no bare number.
bool BareNumber(std::string_view text, std::string* name,
                DecimalText* decimal) {
  text = TrimSpaces(text);
  if (text.empty() || !IsAsciiDigit(text[0])) return false;
  if (!ReadDecimal(text, false, decimal) || decimal->whole.empty())
    return false;
  std::string_view fraction = decimal->fraction;
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  *name = std::string(decimal->whole);
  if (!fraction.empty()) *name += "." + std::string(fraction);
  return true;
}

// The whole numbers of megahertz old logs named bands by, and the band
// each names ("10" is 30 m, from 10.1 MHz).
struct MegahertzName {
  std::string_view number;
  const char* band;
};
// clang-format off
constexpr MegahertzName kMegahertzNames[] = {
    {"1", "160m"},   {"2", "160m"},    {"4", "80m"},     {"5", "60m"},
    {"7", "40m"},    {"10", "30m"},    {"14", "20m"},    {"18", "17m"},
    {"21", "15m"},   {"24", "12m"},    {"28", "10m"},    {"29", "10m"},
    {"50", "6m"},    {"70", "4m"},     {"144", "2m"},    {"145", "2m"},
    {"220", "1.25m"}, {"222", "1.25m"}, {"430", "70cm"},  {"432", "70cm"},
    {"435", "70cm"}, {"1296", "23cm"}, {"2320", "13cm"}, {"2400", "13cm"},
    {"10368", "3cm"},
};
// clang-format on

// The band a number of megahertz names: one of kMegahertzNames when whole,
// else the band it lies in ("3.5", "7.05").
const AdifBand* BandOfMegahertzName(const DecimalText& decimal) {
  if (decimal.fraction.empty()) {
    for (const MegahertzName& name : kMegahertzNames)
      if (name.number == decimal.whole) return BandNamed(name.band);
    return nullptr;
  }
  return BandOfHertz(HertzOf(decimal, false));
}

}  // namespace

unsigned BareBandReadings(std::string_view text) {
  std::string name;
  DecimalText decimal;
  if (!BareNumber(text, &name, &decimal)) return 0;
  unsigned readings = 0;
  if (BandInMetres(name)) readings |= 1;
  if (BandOfMegahertzName(decimal)) readings |= 2;
  return readings;
}

bool BandTextIsFrequency(std::string_view text) {
  std::string name;
  DecimalText decimal;
  return BareNumber(text, &name, &decimal) && decimal.fraction.size() >= 2 &&
         BandOfHertz(HertzOf(decimal, false)) != nullptr;
}

const AdifBand* ReadBand(std::string_view text, BandNotation notation) {
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
  if (unit.empty() && notation == BandNotation::kMetres)
    return BandInMetres(name);
  if (unit.empty() && notation == BandNotation::kMegahertz)
    return BandOfMegahertzName(decimal);
  if (unit == "" || unit == "M" || unit == "MT" || unit == "MTS") {
    if (const AdifBand* band = BandNamed(name + "m")) return band;
    if (unit.empty()) return BandOfMegahertzName(decimal);
  }
  return nullptr;
}

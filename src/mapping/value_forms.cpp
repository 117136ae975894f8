// value_forms.cpp: reading dates, times, numbers, bands, modes, call signs,
// flags and names.

#include "mapping/value_forms.h"

#include <cstring>
#include <unordered_map>

#include "dbf/code_page.h"
#include "platform/text.h"

namespace {

// \a text upper-cased, without the blanks in it, in \a buffer; empty when
// it does not fit.
constexpr std::size_t kSqueezeBytes = 32;
std::string_view Squeeze(std::string_view text, char (&buffer)[kSqueezeBytes]) {
  std::size_t size = 0;
  for (char c : text) {
    if (c == ' ') continue;
    if (size == kSqueezeBytes) return {};
    buffer[size++] = AsciiUpper(c);
  }
  return std::string_view(buffer, size);
}

// Month names in English and Spanish; a name may be cut to three letters or
// more ("JUN", "SEPT", "AGO").
struct MonthName {
  std::string_view name;
  int month;
};
constexpr MonthName kMonthNames[] = {
    {"JANUARY", 1},    {"FEBRUARY", 2},  {"MARCH", 3},     {"APRIL", 4},
    {"MAY", 5},        {"JUNE", 6},      {"JULY", 7},      {"AUGUST", 8},
    {"SEPTEMBER", 9},  {"OCTOBER", 10},  {"NOVEMBER", 11}, {"DECEMBER", 12},
    {"ENERO", 1},      {"FEBRERO", 2},   {"MARZO", 3},     {"ABRIL", 4},
    {"MAYO", 5},       {"JUNIO", 6},     {"JULIO", 7},     {"AGOSTO", 8},
    {"SEPTIEMBRE", 9}, {"SETIEMBRE", 9}, {"OCTUBRE", 10},  {"NOVIEMBRE", 11},
    {"DICIEMBRE", 12},
};

int MonthOfName(std::string_view letters) {
  if (letters.size() < 3) return 0;
  int found = 0;
  for (const MonthName& name : kMonthNames) {
    std::string_view full = name.name;
    if (letters.size() > full.size()) continue;
    if (!EqualIgnoringCase(letters, full.substr(0, letters.size()))) continue;
    if (found != 0 && found != name.month) return 0;
    found = name.month;
  }
  return found;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsCalendarDate(int year, int month, int day) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1900 || year > 2099 || month < 1 || month > 12 || day < 1)
    return false;
  int days = kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
  return day <= days;
}

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
      for (char& c : name) c = AsciiUpper(c);
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

// ---- dates ----

const char* DateOrderName(DateOrder order) {
  switch (order) {
    case kDayMonthYear:
      return "dmy";
    case kMonthDayYear:
      return "mdy";
    case kYearMonthDay:
      return "ymd";
  }
  return "";
}

bool DateText::ordered_by_form() const {
  if (compact) return false;
  return digits[0] == 4 || digits[0] == 0 || digits[1] == 0;
}

bool ReadDateText(std::string_view text, DateText* date) {
  text = TrimSpaces(text);
  *date = DateText();
  if (text.size() == 8 && AllDigits(text)) {
    date->compact = true;
    std::memcpy(date->compact_digits, text.data(), 8);
    return true;
  }
  int parts = 0;
  int names = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (parts == 3) return false;
    std::size_t start = i;
    if (IsAsciiDigit(text[i])) {
      while (i < text.size() && IsAsciiDigit(text[i])) ++i;
      if (i - start > 4) return false;
      date->digits[parts] = static_cast<int>(i - start);
      date->value[parts] = DigitsValue(text.substr(start, i - start));
    } else if (IsAsciiLetter(text[i])) {
      while (i < text.size() && IsAsciiLetter(text[i])) ++i;
      int month = MonthOfName(text.substr(start, i - start));
      if (month == 0 || ++names > 1) return false;
      date->value[parts] = month;
      date->digits[parts] = 0;
    } else {
      return false;
    }
    ++parts;
    // Between two parts: blanks and at most one separator; a month name may
    // also stand right against a number.
    bool separator = false;
    while (i < text.size() && !IsAsciiDigit(text[i]) && !IsAsciiLetter(text[i])) {
      char c = text[i++];
      if (c == ' ') continue;
      if (separator || c == '\0' || std::strchr("/-.,", c) == nullptr)
        return false;
      separator = true;
    }
    if (i == text.size() && separator && text.back() != '.') return false;
  }
  if (parts != 3 || date->digits[2] == 0) return false;
  return true;
}

bool DateUnder(const DateText& date, DateOrder order, CalendarDate* out) {
  int year = 0, month = 0, day = 0;
  if (date.compact) {
    std::string_view d(date.compact_digits, 8);
    if (order == kYearMonthDay) {
      year = DigitsValue(d.substr(0, 4));
      month = DigitsValue(d.substr(4, 2));
      day = DigitsValue(d.substr(6, 2));
    } else {
      int first = DigitsValue(d.substr(0, 2)), second = DigitsValue(d.substr(2, 2));
      year = DigitsValue(d.substr(4, 4));
      day = order == kDayMonthYear ? first : second;
      month = order == kDayMonthYear ? second : first;
    }
  } else {
    int y = 0, m = 0, d = 0;  // which part is which
    switch (order) {
      case kDayMonthYear:
        y = 2, m = 1, d = 0;
        break;
      case kMonthDayYear:
        y = 2, m = 0, d = 1;
        break;
      case kYearMonthDay:
        y = 0, m = 1, d = 2;
        break;
    }
    int year_digits = date.digits[y];
    if (order == kYearMonthDay ? year_digits != 4
                               : year_digits != 2 && year_digits != 4)
      return false;
    if (date.digits[d] < 1 || date.digits[d] > 2 || date.digits[m] > 2)
      return false;
    year = date.value[y];
    if (year_digits == 2) year += year >= 30 ? 1900 : 2000;
    month = date.value[m];
    day = date.value[d];
  }
  if (!IsCalendarDate(year, month, day)) return false;
  out->year = year;
  out->month = month;
  out->day = day;
  return true;
}

unsigned DateOrdersOf(const DateText& date) {
  unsigned orders = 0;
  CalendarDate ignored;
  for (DateOrder order : {kDayMonthYear, kMonthDayYear, kYearMonthDay})
    if (DateUnder(date, order, &ignored)) orders |= order;
  return orders;
}

bool IsAdifDate(std::string_view text) {
  if (text.size() != 8 || !AllDigits(text)) return false;
  return IsCalendarDate(DigitsValue(text.substr(0, 4)), DigitsValue(text.substr(4, 2)),
                        DigitsValue(text.substr(6, 2)));
}

// ---- times ----

bool ReadTime(std::string_view text, bool numeric, TimeOfDay* time) {
  text = TrimSpaces(text);
  // The zone after the time: Z, UTC or GMT.
  static constexpr std::string_view kZones[] = {"UTC", "GMT", "Z"};
  for (std::string_view zone : kZones) {
    if (text.size() > zone.size() &&
        EqualIgnoringCase(text.substr(text.size() - zone.size()), zone)) {
      text = TrimSpaces(text.substr(0, text.size() - zone.size()));
      break;
    }
  }
  if (text.empty()) return false;
  TimeOfDay read;
  if (AllDigits(text)) {
    std::size_t n = text.size();
    if (n > 6 || (!numeric && n != 3 && n != 4 && n != 6)) return false;
    int value = DigitsValue(text);
    if (n == 5 || n == 6) {
      read.second = value % 100;
      read.has_seconds = true;
      value /= 100;
    }
    read.hour = value / 100;
    read.minute = value % 100;
  } else {
    // H or HH, a separator, MM, and optionally the same separator and SS.
    std::size_t i = 0;
    while (i < text.size() && IsAsciiDigit(text[i])) ++i;
    if (i < 1 || i > 2 || i == text.size()) return false;
    char separator = text[i];
    if (separator != ':' && separator != '.' && separator != 'h' &&
        separator != 'H')
      return false;
    read.hour = DigitsValue(text.substr(0, i));
    std::string_view rest = text.substr(i + 1);
    if (rest.size() < 2 || !AllDigits(rest.substr(0, 2))) return false;
    read.minute = DigitsValue(rest.substr(0, 2));
    rest = rest.substr(2);
    if (!rest.empty()) {
      if (rest.size() != 3 || rest[0] != separator || separator == 'h' ||
          separator == 'H' || !AllDigits(rest.substr(1)))
        return false;
      read.second = DigitsValue(rest.substr(1));
      read.has_seconds = true;
    }
  }
  if (read.hour > 23 || read.minute > 59 || read.second > 59) return false;
  *time = read;
  return true;
}

bool TimeHasSeparator(std::string_view text) {
  text = TrimSpaces(text);
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    char c = text[i];
    if ((c == ':' || c == 'h' || c == 'H') && IsAsciiDigit(text[i - 1]) &&
        IsAsciiDigit(text[i + 1]))
      return true;
  }
  return false;
}

// ---- numbers and frequencies ----

double DecimalText::Value() const {
  // All the digits as one number, divided once by a power of ten: 479 kHz
  // and 0.479 MHz give the very same double, which band edges need.
  double digits = 0;
  for (char c : whole) digits = digits * 10 + (c - '0');
  double scale = 1;
  for (char c : fraction) {
    digits = digits * 10 + (c - '0');
    scale *= 10;
  }
  return digits / scale;
}

bool ReadDecimal(std::string_view text, bool with_unit, DecimalText* number) {
  text = TrimSpaces(text);
  DecimalText read;
  if (with_unit && text.size() > 3) {
    std::string_view unit = text.substr(text.size() - 3);
    if (EqualIgnoringCase(unit, "KHZ")) read.unit = DecimalText::kKilohertz;
    if (EqualIgnoringCase(unit, "MHZ")) read.unit = DecimalText::kMegahertz;
    if (read.unit != DecimalText::kNoUnit)
      text = TrimSpaces(text.substr(0, text.size() - 3));
  }
  std::size_t i = 0;
  while (i < text.size() && IsAsciiDigit(text[i])) ++i;
  read.whole = text.substr(0, i);
  if (i < text.size()) {
    if (text[i] != '.' && text[i] != ',') return false;
    read.separator = text[i];
    read.fraction = text.substr(i + 1);
    if (!read.fraction.empty() && !AllDigits(read.fraction)) return false;
  }
  if (read.whole.empty() && read.fraction.empty()) return false;
  *number = read;
  return true;
}

unsigned FrequencyReadings(const DecimalText& number, const AdifBand* band) {
  return FrequencyReadings(number.Value(), number.unit, band);
}

unsigned FrequencyReadings(double value, DecimalText::Unit unit,
                           const AdifBand* band) {
  unsigned readings = 0;
  auto fits = [band](double mhz) {
    const AdifBand* found = AdifBandOfFrequency(mhz);
    return found != nullptr && (band == nullptr || found == band);
  };
  if (unit != DecimalText::kKilohertz && fits(value)) readings |= kAsMegahertz;
  // Kilohertz are read up to the 23 cm band: above it nobody writes them,
  // and a frequency so read could be read in both units again.
  if (unit != DecimalText::kMegahertz && value / 1000 <= 1300 &&
      fits(value / 1000))
    readings |= kAsKilohertz;
  return readings;
}

// ---- bands, modes, calls, flags ----

const AdifBand* ReadBand(std::string_view text) {
  char buffer[kSqueezeBytes];
  std::string_view squeezed = Squeeze(TrimSpaces(text), buffer);
  if (squeezed.empty() || !IsAsciiDigit(squeezed[0])) return nullptr;
  std::size_t i = 0;
  while (i < squeezed.size() &&
         (IsAsciiDigit(squeezed[i]) || squeezed[i] == '.' || squeezed[i] == ','))
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
    if (unit.empty()) return AdifBandOfFrequency(decimal.Value());
  }
  return nullptr;
}

bool ReadMode(std::string_view text, ModeReading* mode) {
  text = TrimSpaces(text);
  if (text.empty() || text.size() > 32) return false;
  std::string name(text);
  for (char& c : name) c = AsciiUpper(c);
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

bool IsCallSignField(std::string_view keyword) {
  for (std::string_view field : {"CALL", "STATION_CALLSIGN", "OPERATOR",
                                 "OWNER_CALLSIGN", "CONTACTED_OP", "EQ_CALL"})
    if (keyword == field) return true;
  return false;
}

bool LooksLikeCall(std::string_view text) {
  char buffer[kSqueezeBytes];
  std::string_view call = Squeeze(text, buffer);
  if (call.size() < 3 || call.size() > 15) return false;
  std::size_t longest_start = 0, longest = 0, start = 0;
  for (std::size_t i = 0; i <= call.size(); ++i) {
    if (i == call.size() || call[i] == '/') {
      if (i == start) return false;  // an empty part
      if (i - start > longest) longest = i - start, longest_start = start;
      start = i + 1;
    } else if (!IsAsciiDigit(call[i]) && !(call[i] >= 'A' && call[i] <= 'Z')) {
      return false;
    }
  }
  bool letter = false, digit = false;
  for (char c : call.substr(longest_start, longest))
    (IsAsciiDigit(c) ? digit : letter) = true;
  return letter && digit;
}

bool LooksLikeLocator(std::string_view text) {
  char buffer[kSqueezeBytes];
  std::string_view s = Squeeze(text, buffer);
  if (s.size() != 4 && s.size() != 6 && s.size() != 8) return false;
  auto in = [](char c, char low, char high) { return c >= low && c <= high; };
  if (!in(s[0], 'A', 'R') || !in(s[1], 'A', 'R') || !IsAsciiDigit(s[2]) ||
      !IsAsciiDigit(s[3]))
    return false;
  if (s.size() >= 6 && (!in(s[4], 'A', 'X') || !in(s[5], 'A', 'X')))
    return false;
  return s.size() < 8 || (IsAsciiDigit(s[6]) && IsAsciiDigit(s[7]));
}

bool LooksLikeReport(std::string_view text) {
  char buffer[kSqueezeBytes];
  std::string_view s = Squeeze(text, buffer);
  if (s.empty()) return false;
  if (s[0] == '+' || s[0] == '-')
    return s.size() >= 2 && s.size() <= 3 && AllDigits(s.substr(1));
  if (s.size() > 3 || s[0] < '1' || s[0] > '5') return false;
  for (char c : s.substr(1))
    if (!IsAsciiDigit(c) && c != 'N') return false;
  return true;
}

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

// ---- names ----

std::string NormalisedName(std::string_view name, int code_page) {
  std::string out;
  for (char c : name) {
    unsigned char byte = static_cast<unsigned char>(c);
    std::string_view spelled(&c, 1);
    const char* plain = nullptr;
    if (byte >= 0x80) {
      plain = AsciiSpellingOf(CodePoint(code_page, byte));
      if (!plain) continue;
      spelled = plain;
    }
    for (char s : spelled)
      if (s != ' ' && s != '_' && s != '-' && s != '.') out += AsciiUpper(s);
  }
  return out;
}

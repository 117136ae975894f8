// fuzz_fix.cpp: the value rules of --fix on any bytes.
//
// Input: a byte choosing the keyword (its quotient by the number of
// keywords chooses the band notation and the thousands separator), a flags
// byte (bits 0-1 the column's type C, N, L or M; bit 2 memo text, or for a
// numeric column times HHMMSS; bits 3-4 the column's date order none, dmy,
// mdy, ymd; bit 5 the column's frequencies in kilohertz, else each in its
// likeliest unit; bits 6-7 the code page 1252, 850, 437, 866), then the
// value; a NUL byte in it starts the record's band.
//
// Checked besides "no crash": a value --fix returns is stable, fixing it
// again changes nothing (again with the column's decisions, but that a
// mended frequency is read in megahertz, a mended number with a decimal
// point and a mended time as text, as a survey of mended values decides); a value not read is left as it was, the blanks
// around it aside; a value mended passes the standard's rule for its field,
// the rule the check judges it by (a date, a time, a band, a mode and
// submode, a QSL letter, a frequency in a band, a call sign of capitals,
// digits and "/"); only a logical "?" is dropped; nothing grows beyond
// twice the value and a few bytes.

#include <cstdint>
#include <cstring>
#include <string>

#include "convert/fix_rules.h"
#include "fuzz_support.h"
#include "platform/text.h"
#include "standard/bands.h"
#include "standard/calls.h"
#include "standard/dates.h"
#include "standard/modes.h"
#include "standard/numbers.h"
#include "standard/times.h"

namespace {

const char* const kKeywords[] = {
    "CALL",     "STATION_CALLSIGN", "QSO_DATE",
    "QSLRDATE", "TIME_ON",          "TIME_OFF",
    "FREQ",     "FREQ_RX",          "BAND",
    "MODE",     "QSL_SENT",         "QSL_RCVD",
    "RST_SENT", "TX_PWR",           "CQZ",
    "NOTES",    "COMMENT",          "NAME",
    "TIME_X",   "EQSL_QSL_RCVD",
};
constexpr std::size_t kKeywordCount = sizeof kKeywords / sizeof kKeywords[0];

// The standard's rule a mended value of \a rule must pass: the very rules
// the check judges fields by.
bool InAdifForm(FixRule rule, std::string_view out, const FixedValue& fixed) {
  switch (rule) {
    case FixRule::kCall:
      return !out.empty() && IsPlainCall(out);
    case FixRule::kDate:
      return IsAdifDate(out);
    case FixRule::kTime:
      return IsAdifTime(out);
    case FixRule::kBand: {
      const AdifBand* band = FindAdifBand(out);
      return band && out == band->name;
    }
    case FixRule::kMode: {
      const AdifEnumerationValue* mode = FindAdifMode(out);
      if (!mode || mode->import_only || out != mode->value) return false;
      return !fixed.submode || FindAdifSubmode(fixed.submode, out);
    }
    case FixRule::kQsl:
      return FindAdifEnumerationValue("QSL_Sent", out) ||
             FindAdifEnumerationValue("QSL_Rcvd", out);
    case FixRule::kFrequency: {
      std::uint64_t hz = 0;
      return ReadMegahertz(out, &hz) && fixed.band != nullptr &&
             BandOfHertz(hz) == fixed.band;
    }
    case FixRule::kReport:
      return out.find(' ') == std::string_view::npos;
    case FixRule::kNumber:
      return IsAdifNumber(out, false, true);
    default:
      return true;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  fuzz::ByteReader reader(data, size);
  const std::uint8_t choice = reader.Byte();
  const char* keyword = kKeywords[choice % kKeywordCount];
  const unsigned variant = choice / kKeywordCount;
  const std::uint8_t flags = reader.Byte();
  static const char kTypes[4] = {'C', 'N', 'L', 'M'};
  static const unsigned kOrders[4] = {0, kDayMonthYear, kMonthDayYear,
                                      kYearMonthDay};
  static const int kCodePages[4] = {1252, 850, 437, 866};
  const char type = kTypes[flags & 3];
  ColumnFix fix =
      ColumnFixOf(keyword, static_cast<unsigned char>(type),
                  type == 'M' && (flags & 4), kCodePages[flags >> 6]);
  fix.date_order = kOrders[(flags >> 3) & 3];
  fix.frequency_unit = (flags & 32) ? kAsKilohertz : 0;
  if (type == 'N' && (flags & 4)) fix.time_digits = TimeDigits::kNumericHhmmss;
  static const BandNotation kNotations[3] = {
      BandNotation::kEither, BandNotation::kMetres, BandNotation::kMegahertz};
  fix.band_notation = kNotations[variant % 3];
  fix.thousands = "\0,."[variant / 3 % 3];
  std::string value = reader.Bytes(reader.rest_size());
  RecordBand band;
  RecordBand* band_source = nullptr;
  std::string band_text;
  if (std::size_t nul = value.find('\0'); nul != std::string::npos) {
    band_text = value.substr(nul + 1);
    value.resize(nul);
    band.value = band_text;
    band_source = &band;
  }

  FixedValue fixed;
  const std::string out(FixValue(fix, value, band_source, &fixed));
  const std::string_view trimmed = TrimSpaces(value);
  FUZZ_CHECK(out.size() <= 2 * value.size() + 8, "%s: %zu bytes became %zu",
             keyword, value.size(), out.size());
  switch (fixed.outcome) {
    case FixOutcome::kUnreadable:
      FUZZ_CHECK(out == trimmed, "%s: a value not read was changed", keyword);
      break;
    case FixOutcome::kDropped:
      FUZZ_CHECK(out.empty() && fix.logical && trimmed == "?",
                 "%s: '%s' dropped", keyword, value.c_str());
      break;
    case FixOutcome::kUnchanged:
      FUZZ_CHECK(out == trimmed || fix.time_colons,
                 "%s: unchanged, yet '%s' became '%s'", keyword, value.c_str(),
                 out.c_str());
      break;
    case FixOutcome::kFixed:
      if (!fix.memo)
        FUZZ_CHECK(InAdifForm(fix.rule, out, fixed),
                   "%s: '%s' mended to '%s', not in ADIF form", keyword,
                   value.c_str(), out.c_str());
      break;
  }

  // Stable: what --fix returns, fixed again, changes nothing.
  // Mended frequencies are megahertz, as a survey of a column of them
  // decides; one not read stays in the column's unit, where it was not read
  // either.
  // Likewise a mended number has a decimal point, the ADIF form, and a
  // mended time is text that keeps its zeros.
  if (fixed.outcome != FixOutcome::kUnreadable) {
    fix.frequency_unit = kAsMegahertz;
    fix.thousands = ',';
    fix.time_digits = TimeDigits::kWritten;
  }
  RecordBand again_band;
  again_band.value = band_text;
  FixedValue again;
  const std::string twice(
      FixValue(fix, out, band_source ? &again_band : nullptr, &again));
  FUZZ_CHECK(twice == out && again.outcome != FixOutcome::kFixed,
             "%s: '%s' gave '%s', which gave '%s'", keyword, value.c_str(),
             out.c_str(), twice.c_str());
  return 0;
}

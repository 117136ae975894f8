// fix_rules.cpp: one value mended by the rule of its field.

#include "convert/fix_rules.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"
#include "standard/adif_standard.h"
#include "standard/calls.h"
#include "standard/modes.h"
#include "standard/numbers.h"
#include "standard/qsl.h"
#include "standard/reports.h"

FixRule FixRuleOf(std::string_view keyword) {
  if (IsCallSignField(keyword)) return FixRule::kCall;
  if (keyword == "FREQ" || keyword == "FREQ_RX") return FixRule::kFrequency;
  if (keyword == "MODE") return FixRule::kMode;
  if (keyword == "RST_SENT" || keyword == "RST_RCVD") return FixRule::kReport;
  const AdifFieldDefinition* field = FindAdifField(keyword);
  if (!field) return FixRule::kText;
  std::string_view enumeration = field->enumeration ? field->enumeration : "";
  switch (field->type) {
    case AdifType::kDate:
      return FixRule::kDate;
    case AdifType::kTime:
      return FixRule::kTime;
    case AdifType::kNumber:
    case AdifType::kInteger:
    case AdifType::kPositiveInteger:
      return FixRule::kNumber;
    default:
      break;
  }
  if (enumeration == "Band") return FixRule::kBand;
  if (enumeration == "QSL_Sent" || enumeration == "QSL_Rcvd")
    return FixRule::kQsl;
  return FixRule::kText;
}

ColumnFix ColumnFixOf(std::string_view keyword, unsigned char type,
                      bool memo_text, int code_page) {
  ColumnFix fix;
  fix.rule = FixRuleOf(keyword);
  // A date column (D) holds YYYYMMDD already.
  if (type == 'D' && fix.rule == FixRule::kDate) fix.rule = FixRule::kText;
  fix.memo = memo_text;
  const AdifFieldDefinition* field = FindAdifField(keyword);
  fix.multiline = field && (field->type == AdifType::kMultilineString ||
                            field->type == AdifType::kIntlMultilineString);
  fix.logical = type == 'L';
  fix.numeric = type == 'N' || type == 'F';
  if (fix.numeric) fix.time_digits = TimeDigits::kNumericHhmm;
  fix.time_colons = keyword.compare(0, 4, "TIME") == 0;
  fix.code_page = code_page;
  return fix;
}

const AdifBand* RecordBand::Get() {
  if (!read) {
    read = true;
    std::string_view bytes = value;
    if (const void* nul = std::memchr(bytes.data(), 0, bytes.size()))
      bytes = bytes.substr(0, static_cast<const char*>(nul) - bytes.data());
    band = ReadBand(bytes);
  }
  return band;
}

std::uint64_t ValueShape(std::string_view value) {
  std::uint64_t shape = value.size();
  for (char c : value) {
    const char kind = IsAsciiDigit(c) ? '9' : IsAsciiLetter(c) ? 'A' : c;
    shape = shape * 131 + static_cast<unsigned char>(kind);
  }
  return shape;
}

namespace {

// How one value came out; the rules below return one of these.
struct Mended {
  FixedValue* out;
  std::string_view value;  // without the blanks around it
  bool trimmed;            // blanks were around it

  std::string_view Unchanged() const {
    if (trimmed) out->outcome = FixOutcome::kFixed;
    return value;
  }
  std::string_view Fixed(FixKind kind) const {
    if (out->text == value) return Unchanged();
    out->outcome = FixOutcome::kFixed;
    out->kind = kind;
    return out->text;
  }
  // A value not read stays as the table has it, so that a check of the
  // output names it; the plain conversion's rules (colons dropped, S made
  // Y) could make it look right when it is not.
  std::string_view Unreadable() const {
    out->outcome = FixOutcome::kUnreadable;
    return value;
  }
};

std::string_view FixMemo(const ColumnFix& fix, const Mended& m) {
  std::string& text = m.out->text;
  const std::string_view value = m.value;
  FixKind kind = FixKind::kBlanks;
  bool changed = false;
  text.clear();
  auto note = [&](FixKind what) {
    if (!changed) kind = what;
    changed = true;
  };
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    char next = i + 1 < value.size() ? value[i + 1] : '\0';
    if (c == '\x8D' && next == '\n') {  // a dBase soft line break
      text += ' ';
      ++i;
      note(FixKind::kSoftBreaks);
    } else if (!fix.multiline && (c == '\r' || c == '\n')) {
      if (c == '\r' && next == '\n') ++i;
      text += ' ';
      note(FixKind::kOneLine);
    } else if (c == '\n' && (i == 0 || value[i - 1] != '\r')) {
      text += "\r\n";
      note(FixKind::kLineFeeds);
    } else {
      text += c;
    }
  }
  std::string_view fixed = TrimSpaces(text);
  text.assign(fixed.data(), fixed.size());
  return m.Fixed(kind);
}

std::string_view FixPlain(const ColumnFix& fix, const Mended& m) {
  if (!fix.time_colons) return m.Unchanged();
  // Written as the plain conversion writes it (nothing mended), without the
  // blanks its rule may have brought to the ends.
  std::string& text = m.out->text;
  text.clear();
  for (char c : m.value)
    if (c != ':') text += c;
  std::string_view plain = TrimSpaces(text);
  if (m.trimmed || plain.size() != text.size())
    m.out->outcome = FixOutcome::kFixed;
  return plain;
}

std::string_view FixCall(const ColumnFix& fix, const Mended& m) {
  if (IsPlainCall(m.value)) return m.Unchanged();
  if (!MendCall(m.value, fix.code_page, &m.out->text)) return m.Unreadable();
  return m.Fixed(FixKind::kCallCase);
}

std::string_view FixDate(const ColumnFix& fix, const Mended& m) {
  if (IsAdifDate(m.value)) return m.Unchanged();
  DateText date;
  if (!ReadDateText(m.value, &date, fix.numeric)) return m.Unreadable();
  // The one order its form fits, or the column's.
  const unsigned order =
      date.ordered_by_form() ? DateOrdersOf(date) : fix.date_order;
  CalendarDate day;
  if (order != kDayMonthYear && order != kMonthDayYear &&
      order != kYearMonthDay)
    return m.Unreadable();
  if (!DateUnder(date, static_cast<DateOrder>(order), &day))
    return m.Unreadable();
  m.out->text = AdifDateText(day);
  m.out->shape = ValueShape(m.value);
  return m.Fixed(FixKind::kDateForm);
}

std::string_view FixTime(const ColumnFix& fix, const Mended& m) {
  std::string& text = m.out->text;
  char hhmm[4];
  if (ReadHhColonMm(m.value, hhmm)) {
    static const std::uint64_t kShape = ValueShape("00:00");
    text.assign(hhmm, 4);
    m.out->shape = kShape;
    m.out->outcome = FixOutcome::kFixed;
    m.out->kind = FixKind::kTimeForm;
    return text;
  }
  TimeOfDay time;
  if (!ReadTime(m.value, fix.time_digits, &time)) return m.Unreadable();
  text = AdifTimeText(time);
  m.out->shape = ValueShape(m.value);
  return m.Fixed(FixKind::kTimeForm);
}

// The reading of a frequency: the record's band first, then the column's
// unit, then (in a column of mixed units) the one reading on the likeliest
// band. 0 when none.
unsigned FrequencyReading(const ColumnFix& fix, const DecimalText& number,
                          RecordBand* band, FixedValue* out) {
  unsigned readings = FrequencyReadings(number, nullptr);
  if (readings == 0) return 0;
  if (band && band->Get()) {
    // The record's band: a value no reading puts on it contradicts it, and
    // is left for the check to name.
    const unsigned in_band = FrequencyReadings(number, band->Get());
    out->used_record_band = true;
    if (in_band == 0) return 0;
    if ((in_band & (in_band - 1)) == 0 &&
        (!fix.unit_chosen || in_band == fix.frequency_unit))
      return in_band;
    readings = in_band;
  }
  // A unit written after the number says it for this value alone.
  if (number.unit != DecimalText::kNoUnit) return readings;
  if (fix.frequency_unit != 0) return readings & fix.frequency_unit;
  int best = -1;
  unsigned chosen = 0;
  for (unsigned reading : {kAsMegahertz, kAsKilohertz, kAsHertz}) {
    if (!(readings & reading)) continue;
    const int likelihood =
        BandLikelihood(BandOfHertz(HertzAs(number, reading)));
    if (likelihood > best) {
      best = likelihood;
      chosen = reading;
    } else if (likelihood == best) {
      chosen = 0;  // a tie nothing settles
    }
  }
  return chosen;
}

std::string_view FixFrequency(const ColumnFix& fix, const Mended& m,
                              RecordBand* band) {
  DecimalText number;
  std::string grouped;
  if (!ReadFrequencyText(m.value, &grouped, &number)) return m.Unreadable();
  const unsigned reading = FrequencyReading(fix, number, band, m.out);
  if (reading == 0) return m.Unreadable();
  m.out->text = MegahertzDigitsAs(number, reading);
  std::uint64_t hz = 0;
  if (!ReadMegahertz(m.out->text, &hz)) return m.Unreadable();
  m.out->band = BandOfHertz(hz);
  if (reading == kAsMegahertz && grouped.empty() && number.separator != ',' &&
      number.unit == DecimalText::kNoUnit)
    return m.Unchanged();
  return m.Fixed(reading == kAsKilohertz   ? FixKind::kKilohertz
                 : reading == kAsHertz     ? FixKind::kHertz
                 : !grouped.empty()        ? FixKind::kThousands
                 : number.separator == ',' ? FixKind::kDecimalComma
                                           : FixKind::kUnit);
}

std::string_view FixBand(const ColumnFix& fix, const Mended& m) {
  const AdifBand* read = ReadBand(m.value, fix.band_notation);
  if (!read) return m.Unreadable();
  if (BandTextIsFrequency(m.value)) {
    DecimalText number;
    if (ReadDecimal(m.value, false, &number))
      m.out->frequency = MegahertzDigits(number, false);
  }
  m.out->text = read->name;
  return m.Fixed(FixKind::kBandName);
}

std::string_view FixMode(const ColumnFix& fix, const Mended& m) {
  ModeReading mode;
  if (!ReadMode(m.value, &mode, fix.code_page)) return m.Unreadable();
  m.out->text = mode.mode;
  if (!mode.submode) return m.Fixed(FixKind::kModeCase);
  m.out->submode = mode.submode;
  m.out->outcome = FixOutcome::kFixed;
  m.out->kind = FixKind::kModeSubmode;
  return m.out->text;
}

std::string_view FixQsl(const ColumnFix& fix, const Mended& m) {
  if (fix.logical && m.value == "?") {
    m.out->outcome = FixOutcome::kDropped;
    m.out->kind = FixKind::kUnknownLogical;
    m.out->text.clear();
    return m.out->text;
  }
  const char flag = ReadQslFlag(m.value, fix.code_page, fix.logical);
  if (flag == 0) return m.Unreadable();
  m.out->text.assign(1, flag);
  return m.Fixed(FixKind::kQslWord);
}

std::string_view FixReport(const Mended& m) {
  if (m.value.find(' ') == std::string_view::npos) return m.Unchanged();
  if (!MendReport(m.value, &m.out->text)) return m.Unreadable();
  return m.Fixed(FixKind::kReportBlanks);
}

std::string_view FixNumber(const ColumnFix& fix, const Mended& m) {
  const unsigned evidence = SeparatorsOf(m.value);
  if (evidence == kNotANumber && !IsAdifNumber(m.value, false, true))
    return m.Unreadable();
  if (evidence == 0 || evidence == kNotANumber) return m.Unchanged();
  if (!NumberWithSeparators(m.value, fix.thousands, &m.out->text))
    return m.Unreadable();
  const bool grouped = fix.thousands != 0 &&
                       m.value.find(fix.thousands) != std::string_view::npos;
  return m.Fixed(grouped ? FixKind::kThousands : FixKind::kDecimalComma);
}

}  // namespace

std::string_view FixValue(const ColumnFix& fix, std::string_view raw,
                          RecordBand* band, FixedValue* out) {
  out->outcome = FixOutcome::kUnchanged;
  out->kind = FixKind::kBlanks;
  out->shape = 0;
  out->submode = nullptr;
  out->band = nullptr;
  out->used_record_band = false;
  out->frequency.clear();
  const std::string_view value = TrimSpaces(raw);
  if (value.empty()) return value;
  const Mended m{out, value, value.size() != raw.size()};
  if (fix.memo) return FixMemo(fix, m);
  switch (fix.rule) {
    case FixRule::kText:
      return FixPlain(fix, m);
    case FixRule::kCall:
      return FixCall(fix, m);
    case FixRule::kDate:
      return FixDate(fix, m);
    case FixRule::kTime:
      return FixTime(fix, m);
    case FixRule::kFrequency:
      return FixFrequency(fix, m, band);
    case FixRule::kBand:
      return FixBand(fix, m);
    case FixRule::kMode:
      return FixMode(fix, m);
    case FixRule::kQsl:
      return FixQsl(fix, m);
    case FixRule::kReport:
      return FixReport(m);
    case FixRule::kNumber:
      return FixNumber(fix, m);
  }
  return m.Unchanged();
}

std::string DateFormText(std::string_view example, const ColumnFix& fix) {
  DateText date;
  if (!ReadDateText(example, &date, fix.numeric)) return "?";
  unsigned orders = DateOrdersOf(date);
  unsigned order = date.ordered_by_form() ? orders : fix.date_order;
  const char* roles = order == kMonthDayYear   ? "MDY"
                      : order == kYearMonthDay ? "YMD"
                                               : "DMY";
  if (date.compact) {
    const bool short_year = date.compact_size == 6;
    return order == kYearMonthDay   ? (short_year ? "YYMMDD" : "YYYYMMDD")
           : order == kMonthDayYear ? (short_year ? "MMDDYY" : "MMDDYYYY")
                                    : (short_year ? "DDMMYY" : "DDMMYYYY");
  }
  std::string form;
  int part = -1;
  bool in_part = false;
  example = TrimSpaces(example);
  for (std::size_t i = 0; i < example.size(); ++i) {
    char c = example[i];
    bool alnum = IsAsciiDigit(c) || IsAsciiLetter(c);
    bool starts =
        alnum && (!in_part || IsAsciiDigit(c) != IsAsciiDigit(example[i - 1]));
    if (starts) ++part;
    in_part = alnum;
    if (!alnum) {
      form += c;
    } else if (IsAsciiDigit(c)) {
      form += roles[std::min(part, 2)];
    } else if (starts) {
      std::size_t end = i;
      while (end < example.size() && IsAsciiLetter(example[end])) ++end;
      form += end - i == 3 ? "MON" : "MONTH";
    }
  }
  return form;
}

std::string TimeFormText(std::string_view example) {
  example = TrimSpaces(example);
  std::size_t digits = 0;
  while (digits < example.size() && IsAsciiDigit(example[digits])) ++digits;
  std::string form;
  if (digits == example.size() || !IsAsciiDigit(example[0])) {
    static const char* const kForms[] = {"",     "M",     "MM",    "HMM",
                                         "HHMM", "HMMSS", "HHMMSS"};
    form = digits <= 6 ? kForms[digits] : "?";
    return form + std::string(example.substr(digits));
  }
  const char roles[] = "HMS";
  int run = -1;
  for (std::size_t i = 0; i < example.size(); ++i) {
    if (!IsAsciiDigit(example[i])) {
      form += example[i];
      continue;
    }
    if (i == 0 || !IsAsciiDigit(example[i - 1])) ++run;
    form += run < 3 ? roles[run] : '?';
  }
  return form;
}

// value_fixes.cpp: the rules that mend values, the per-column decisions,
// the fields added to a record, and the summary.

#include "convert/value_fixes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "mapping/column_guess.h"
#include "platform/text.h"
#include "standard/calls.h"
#include "standard/modes.h"
#include "standard/numbers.h"
#include "standard/qsl.h"
#include "standard/times.h"

namespace {

// Forms of a value counted apart per column.
constexpr std::size_t kMostKinds = 12;
// Mended values remembered per column: 2^kFewBits for columns of few
// different values (bands, modes, flags), 2^kManyBits for times and dates
// (about 300 kB each, for kMostManyCaches columns at most).
constexpr int kFewBits = 6;
constexpr int kManyBits = 12;
constexpr int kMostManyCaches = 8;
constexpr std::size_t kExampleBytes = 32;

bool SingleOrder(unsigned orders) {
  return orders == kDayMonthYear || orders == kMonthDayYear ||
         orders == kYearMonthDay;
}

// The form of a value, digits taken as one: "9:15" and "8:40" are one
// form, "09:15" another.
std::uint64_t Shape(std::string_view value) {
  std::uint64_t shape = value.size();
  for (char c : value)
    shape = shape * 131 + static_cast<unsigned char>(IsAsciiDigit(c) ? '9' : c);
  return shape;
}

// What the plain conversion writes of \a value.
void PlainText(const ColumnFix& fix, std::string_view value,
               std::string* text) {
  text->clear();
  for (char c : value) {
    if (fix.time_colons && c == ':') continue;
    *text += c;
  }
}

std::string_view FixMemo(const ColumnFix& fix, std::string_view value,
                         std::string* text, FixKind* kind) {
  bool changed = false;
  text->clear();
  auto note = [&](FixKind what) {
    if (!changed) *kind = what;
    changed = true;
  };
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    char next = i + 1 < value.size() ? value[i + 1] : '\0';
    if (c == '\x8D' && next == '\n') {  // a dBase soft line break
      *text += ' ';
      ++i;
      note(FixKind::kSoftBreaks);
    } else if (!fix.multiline && (c == '\r' || c == '\n')) {
      if (c == '\r' && next == '\n') ++i;
      *text += ' ';
      note(FixKind::kOneLine);
    } else if (c == '\n' && (i == 0 || value[i - 1] != '\r')) {
      *text += "\r\n";
      note(FixKind::kLineFeeds);
    } else {
      *text += c;
    }
  }
  std::string_view fixed = TrimSpaces(*text);
  text->assign(fixed.data(), fixed.size());
  return *text;
}

// "D/M/YY" for a date written so; the order as the fix reads it.
std::string DateForm(std::string_view example, const ColumnFix& fix) {
  DateText date;
  if (!ReadDateText(example, &date)) return "?";
  unsigned orders = DateOrdersOf(date);
  unsigned order = date.ordered_by_form() ? orders : fix.date_order;
  const char* roles = order == kMonthDayYear   ? "MDY"
                      : order == kYearMonthDay ? "YMD"
                                               : "DMY";
  if (date.compact)
    return order == kYearMonthDay   ? "YYYYMMDD"
           : order == kMonthDayYear ? "MMDDYYYY"
                                    : "DDMMYYYY";
  std::string form;
  int part = -1;
  bool in_part = false;
  example = TrimSpaces(example);
  for (std::size_t i = 0; i < example.size(); ++i) {
    char c = example[i];
    bool alnum = IsAsciiDigit(c) || (AsciiUpper(c) >= 'A' && AsciiUpper(c) <= 'Z');
    bool starts = alnum && (!in_part || IsAsciiDigit(c) != IsAsciiDigit(example[i - 1]));
    if (starts) ++part;
    in_part = alnum;
    if (!alnum) {
      form += c;
    } else if (IsAsciiDigit(c)) {
      form += roles[std::min(part, 2)];
    } else if (starts) {
      std::size_t end = i;
      while (end < example.size() && !IsAsciiDigit(example[end]) &&
             AsciiUpper(example[end]) >= 'A' && AsciiUpper(example[end]) <= 'Z')
        ++end;
      form += end - i == 3 ? "MON" : "MONTH";
    }
  }
  return form;
}

// "H:MM" for a time written so.
std::string TimeForm(std::string_view example) {
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

// An example as the summary shows it: cut, line breaks spelled out, in
// quotes when blanks stand at either end.
std::string Shown(std::string_view value) {
  std::string shown;
  for (char c : value.substr(0, kExampleBytes)) {
    if (c == '\r')
      shown += "\\r";
    else if (c == '\n')
      shown += "\\n";
    else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      shown += '?';
    else
      shown += c;
  }
  if (value.size() > kExampleBytes) shown += "...";
  if (!shown.empty() && (shown.front() == ' ' || shown.back() == ' '))
    shown = "\"" + shown + "\"";
  return shown;
}

std::string Values(std::uint64_t count, Language language) {
  return std::to_string(count) +
         (count == 1 ? Choose(language, " valor ", " value ")
                     : Choose(language, " valores ", " values "));
}

}  // namespace

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

std::string_view FixValue(const ColumnFix& fix, std::string_view raw,
                          RecordBand* band, FixedValue* out) {
  out->outcome = FixOutcome::kUnchanged;
  out->kind = FixKind::kBlanks;
  out->shape = 0;
  out->submode = nullptr;
  out->band = nullptr;
  out->used_record_band = false;
  std::string& text = out->text;
  const std::string_view value = TrimSpaces(raw);
  if (value.empty()) return value;
  const bool trimmed = value.size() != raw.size();
  auto unchanged = [&]() {
    if (trimmed) out->outcome = FixOutcome::kFixed;
    return value;
  };
  auto fixed = [&](FixKind kind) {
    if (text == value) return unchanged();
    out->outcome = FixOutcome::kFixed;
    out->kind = kind;
    return std::string_view(text);
  };
  // A value not read stays as the table has it, so that a check of the
  // output names it; the plain conversion's rules (colons dropped, S made Y)
  // could make it look right when it is not.
  auto unreadable = [&]() {
    out->outcome = FixOutcome::kUnreadable;
    return value;
  };

  if (fix.memo) {
    FixKind kind = FixKind::kBlanks;
    FixMemo(fix, value, &text, &kind);
    return fixed(kind);
  }
  switch (fix.rule) {
    case FixRule::kText: {
      if (!fix.time_colons) return unchanged();
      // Written as the plain conversion writes it (nothing mended), without
      // the blanks its rule may have brought to the ends.
      PlainText(fix, value, &text);
      std::string_view plain = TrimSpaces(text);
      if (trimmed || plain.size() != text.size())
        out->outcome = FixOutcome::kFixed;
      return plain;
    }
    case FixRule::kCall: {
      if (IsPlainCall(value)) return unchanged();
      text.clear();
      for (char c : value)
        if (c != ' ') text += AsciiUpper(c);
      if (!IsPlainCall(text)) return unreadable();
      return fixed(FixKind::kCallCase);
    }
    case FixRule::kDate: {
      if (IsAdifDate(value)) return unchanged();
      DateText date;
      if (!ReadDateText(value, &date)) return unreadable();
      unsigned orders = DateOrdersOf(date);
      unsigned order = date.ordered_by_form() ? orders : fix.date_order;
      CalendarDate day;
      if (!SingleOrder(order) || !(orders & order) ||
          !DateUnder(date, static_cast<DateOrder>(order), &day))
        return unreadable();
      text = AdifDateText(day);
      out->shape = Shape(value);
      return fixed(FixKind::kDateForm);
    }
    case FixRule::kTime: {
      TimeOfDay time;
      // HH:MM, the most common form, is read on the spot.
      if (value.size() == 5 && value[2] == ':' && IsAsciiDigit(value[0]) &&
          IsAsciiDigit(value[1]) && IsAsciiDigit(value[3]) && IsAsciiDigit(value[4])) {
        if (value[0] > '2' || (value[0] == '2' && value[1] > '3') ||
            value[3] > '5')
          return unreadable();
        static const std::uint64_t kShape = Shape("00:00");
        text.assign({value[0], value[1], value[3], value[4]});
        out->shape = kShape;
        out->outcome = FixOutcome::kFixed;
        out->kind = FixKind::kTimeForm;
        return std::string_view(text);
      }
      if (!ReadTime(value, fix.numeric, &time)) {
        return unreadable();
      }
      text = AdifTimeText(time);
      out->shape = Shape(value);
      return fixed(FixKind::kTimeForm);
    }
    case FixRule::kFrequency: {
      DecimalText number;
      if (!ReadDecimal(value, true, &number)) return unreadable();
      unsigned readings = FrequencyReadings(number, nullptr);
      if (readings == (kAsMegahertz | kAsKilohertz) && band && band->Get()) {
        out->used_record_band = true;
        unsigned in_band = FrequencyReadings(number, band->Get());
        if (in_band) readings = in_band;
      }
      if (readings == (kAsMegahertz | kAsKilohertz))
        readings = fix.ambiguous_unit;
      if (readings != kAsMegahertz && readings != kAsKilohertz)
        return unreadable();
      const bool kilohertz = readings == kAsKilohertz;
      // What is written must read back as megahertz: a number that the
      // record's band would take for kilohertz (read so only by its unit)
      // contradicts its band and is left as it was.
      text = MegahertzDigits(number, kilohertz);
      DecimalText written;
      ReadDecimal(text, false, &written);
      unsigned again = FrequencyReadings(written, nullptr);
      if (again == (kAsMegahertz | kAsKilohertz) && band && band->Get()) {
        unsigned in_band = FrequencyReadings(written, band->Get());
        if (in_band) again = in_band;
      }
      if (again == kAsKilohertz) return unreadable();
      out->band = BandOfHertz(HertzOf(written, false));
      if (!kilohertz && number.separator != ',' &&
          number.unit == DecimalText::kNoUnit)
        return unchanged();
      return fixed(kilohertz                 ? FixKind::kKilohertz
                   : number.separator == ',' ? FixKind::kDecimalComma
                                             : FixKind::kUnit);
    }
    case FixRule::kBand: {
      const AdifBand* read = ReadBand(value);
      if (!read) return unreadable();
      text = read->name;
      return fixed(FixKind::kBandName);
    }
    case FixRule::kMode: {
      ModeReading mode;
      if (!ReadMode(value, &mode)) return unreadable();
      text = mode.mode;
      if (!mode.submode) return fixed(FixKind::kModeCase);
      out->submode = mode.submode;
      out->outcome = FixOutcome::kFixed;
      out->kind = FixKind::kModeSubmode;
      return text;
    }
    case FixRule::kQsl: {
      if (fix.logical && value == "?") {
        out->outcome = FixOutcome::kDropped;
        out->kind = FixKind::kUnknownLogical;
        text.clear();
        return text;
      }
      char flag = ReadQslFlag(value, fix.code_page, fix.logical);
      if (flag == 0) return unreadable();
      text.assign(1, flag);
      return fixed(FixKind::kQslWord);
    }
    case FixRule::kReport: {
      if (value.find(' ') == std::string_view::npos) return unchanged();
      text.clear();
      for (char c : value)
        if (c != ' ') text += c;
      return fixed(FixKind::kReportBlanks);
    }
    case FixRule::kNumber: {
      DecimalText number;
      if (value.find(',') == std::string_view::npos ||
          !ReadDecimal(value, false, &number))
        return unchanged();
      text.assign(value.data(), value.size());
      std::replace(text.begin(), text.end(), ',', '.');
      return fixed(FixKind::kDecimalComma);
    }
  }
  return unchanged();
}

// ---- decisions ----

SurveyRequest FixSurveyRequest(const ColumnPlan& plan, const DbfLayout& layout,
                               int code_page, bool skip_deleted) {
  SurveyRequest request;
  request.code_page = code_page;
  request.skip_deleted = skip_deleted;
  const std::size_t count =
      std::min(plan.columns.size(), layout.columns.size());
  request.look.assign(count, 0);
  request.band_column.assign(count, -1);
  int band = -1, band_rx = -1;
  for (std::size_t c = 0; c < count; ++c) {
    if (plan.columns[c].skipped) continue;
    if (plan.columns[c].keyword == "BAND" && band < 0)
      band = static_cast<int>(c);
    if (plan.columns[c].keyword == "BAND_RX" && band_rx < 0)
      band_rx = static_cast<int>(c);
  }
  for (std::size_t c = 0; c < count; ++c) {
    const PlannedColumn& planned = plan.columns[c];
    if (planned.skipped || planned.memo) continue;
    FixRule rule = FixRuleOf(planned.keyword);
    if (rule == FixRule::kDate && layout.columns[c].type != 'D')
      request.look[c] = kLookAtDates;
    if (rule == FixRule::kFrequency) {
      request.look[c] = kLookAtFrequencies;
      request.band_column[c] = planned.keyword == "FREQ" ? band : band_rx;
    }
  }
  // The order of dates needs every value; the unit of frequencies only
  // settles values that fit both units and come without a band, so the
  // first records tell it well enough when nothing else needs them all.
  bool dates = false;
  for (unsigned look : request.look) dates |= (look & kLookAtDates) != 0;
  if (!dates) request.most_records = kFrequencyRecords;
  return request;
}

bool SurveyNeeded(const SurveyRequest& request) {
  for (unsigned look : request.look)
    if (look) return true;
  return false;
}

namespace {

// Two values of a column whose dates leave their order open, for the
// message: two that fit different orders when no order fits all, else two
// that fit more than one.
std::string TwoDates(const ColumnProfile& p) {
  std::vector<std::string> picked;
  if (p.open_orders == 0) {
    for (unsigned a = 1; a < 8 && picked.empty(); ++a)
      for (unsigned b = a + 1; b < 8 && picked.empty(); ++b)
        if (!(a & b) && !p.order_examples[a].empty() &&
            !p.order_examples[b].empty())
          picked = {p.order_examples[a][0], p.order_examples[b][0]};
  }
  for (unsigned m = 1; m < 8 && picked.size() < 2; ++m)
    for (const std::string& example : p.order_examples[m])
      if (picked.size() < 2 &&
          std::find(picked.begin(), picked.end(), example) == picked.end())
        picked.push_back(example);
  std::string text;
  for (const std::string& example : picked)
    text += (text.empty() ? "" : ", ") + example;
  return text;
}

}  // namespace

bool DecideFixes(const ColumnPlan& plan, const DbfLayout& layout,
                 const std::vector<ColumnProfile>& profiles,
                 unsigned date_order, bool memo_text, int code_page,
                 Language language, std::vector<ColumnFix>* fixes,
                 std::vector<std::string>* notes, std::string* error) {
  fixes->clear();
  for (std::size_t c = 0; c < plan.columns.size(); ++c) {
    const PlannedColumn& planned = plan.columns[c];
    const bool known = c < layout.columns.size();
    const unsigned char type = known ? layout.columns[c].type : 'C';
    const std::string name =
        known ? layout.columns[c].name : "#" + std::to_string(c + 1);
    ColumnFix fix = ColumnFixOf(planned.keyword, type,
                                memo_text && planned.memo, code_page);
    const ColumnProfile* p = c < profiles.size() ? &profiles[c] : nullptr;
    if (!planned.skipped && fix.rule == FixRule::kDate && p &&
        p->open_dates > 0) {
      if (SingleOrder(p->open_orders)) {
        fix.date_order = p->open_orders;
      } else if (date_order != 0) {
        fix.date_order = date_order;
        notes->push_back(name +
                         Choose(language,
                                ": el orden de d\xED"
                                "a y mes lo da --date-order ",
                                ": day and month order from --date-order ") +
                         DateOrderName(static_cast<DateOrder>(date_order)));
      } else {
        *error =
            name + ": " +
            (p->open_orders == 0
                 ? Choose(language,
                          "sus fechas est\xE1n escritas en m\xE1s de un orden",
                          "its dates are written in more than one order")
                 : Choose(language,
                          "sus fechas no distinguen el d\xED"
                          "a del mes",
                          "its dates do not tell the day from the month")) +
            " (" + TwoDates(*p) + ")" +
            Choose(language,
                   ": indique --date-order dmy, mdy o ymd; no se ha escrito "
                   "nada",
                   ": give --date-order dmy, mdy or ymd; nothing was "
                   "written");
        return false;
      }
    }
    if (fix.rule == FixRule::kFrequency && p) {
      if (p->kilohertz_only != p->megahertz_only) {
        fix.ambiguous_unit =
            p->kilohertz_only > p->megahertz_only ? kAsKilohertz : kAsMegahertz;
      } else if (NormalisedName(name, code_page).find("KHZ") !=
                 std::string::npos) {
        fix.ambiguous_unit = kAsKilohertz;
      }
    }
    fixes->push_back(fix);
  }
  return true;
}

// ---- the record fixer ----

RecordFixer::RecordFixer(const ColumnPlan& plan, std::vector<ColumnFix> fixes,
                         std::vector<ConstantField> constants)
    : fixes_(std::move(fixes)) {
  const std::size_t count = plan.columns.size();
  work_.resize(count);
  offsets_.resize(count);
  sizes_.resize(count);
  std::size_t offset = 1;
  for (std::size_t c = 0; c < count; ++c) {
    offsets_[c] = offset;
    sizes_[c] = plan.columns[c].size;
    offset += sizes_[c];
  }
  if (fixes_.size() != count) fixes_.clear();
  auto first = [&plan](const char* keyword) {
    for (std::size_t c = 0; c < plan.columns.size(); ++c)
      if (!plan.columns[c].skipped && plan.columns[c].keyword == keyword)
        return static_cast<int>(c);
    return -1;
  };
  if (MendsValues()) {
    int many_caches = 0;
    for (std::size_t c = 0; c < count; ++c) {
      if (plan.columns[c].skipped) continue;
      const ColumnFix& fix = fixes_[c];
      ColumnWork& work = work_[c];
      if (fix.rule == FixRule::kText && !fix.memo && !fix.time_colons) {
        work.path = ColumnWork::kQuick;
      } else if (!fix.memo &&
                 (fix.rule == FixRule::kBand || fix.rule == FixRule::kMode ||
                  fix.rule == FixRule::kQsl ||
                  fix.rule == FixRule::kFrequency ||
                  fix.rule == FixRule::kNumber)) {
        work.path = ColumnWork::kCached;
        work.cache_bits = kFewBits;
      } else if (!fix.memo &&
                 (fix.rule == FixRule::kTime || fix.rule == FixRule::kDate)) {
        // A day has 1440 minutes; a log a few thousand days. Past a few
        // such columns, the rest remember less, so that a table of a
        // thousand date columns takes no more memory than a few.
        work.path = fix.rule == FixRule::kTime ? ColumnWork::kTime
                                               : ColumnWork::kCached;
        work.cache_bits =
            ++many_caches <= kMostManyCaches ? kManyBits : kFewBits;
      } else if (!fix.memo && fix.rule == FixRule::kCall) {
        work.path = ColumnWork::kCall;
      } else if (!fix.memo && fix.rule == FixRule::kReport) {
        work.path = ColumnWork::kReport;
      } else {
        work.path = ColumnWork::kSlow;
      }
      if (work.cache_bits)
        work.cache.resize((std::size_t{1} << work.cache_bits) + 1);
      if (plan.columns[c].keyword == "CALL")
        call_columns_.push_back(static_cast<int>(c));
    }
    // FREQ is settled by BAND, FREQ_RX by BAND_RX.
    for (std::size_t c = 0; c < count; ++c) {
      if (plan.columns[c].skipped) continue;
      if (plan.columns[c].keyword == "FREQ")
        work_[c].band_column = first("BAND");
      if (plan.columns[c].keyword == "FREQ_RX")
        work_[c].band_column = first("BAND_RX");
    }
    frequency_column_ = first("FREQ");
    mode_column_ = first("MODE");
    if (frequency_column_ >= 0) {
      band_addition_ = static_cast<int>(additions_.size());
      additions_.push_back({"BAND", ""});
    }
    if (mode_column_ >= 0) {
      submode_addition_ = static_cast<int>(additions_.size());
      additions_.push_back({"SUBMODE", ""});
    }
  }
  for (ConstantField& constant : constants) {
    auto same = std::find_if(additions_.begin(), additions_.end(),
                             [&constant](const Addition& a) {
                               return a.keyword == constant.keyword;
                             });
    if (same != additions_.end())
      same->constant = std::move(constant.value);
    else
      additions_.push_back({constant.keyword, std::move(constant.value)});
  }
  for (std::size_t c = 0; c < count; ++c) {
    if (plan.columns[c].skipped) continue;
    for (std::size_t a = 0; a < additions_.size(); ++a)
      if (additions_[a].keyword == plan.columns[c].keyword)
        work_[c].addition = static_cast<int>(a);
  }
  for (const Addition& addition : additions_)
    longest_additions_ += addition.keyword.size() + 12 +
                          std::max<std::size_t>(addition.constant.size(), 64);
  written_.assign(additions_.size(), 0);
  counts_.resize(count);
  last_kind_.assign(count, -1);
}

void RecordFixer::FixSlowly(std::size_t column, const char** value,
                            std::size_t* length, bool* padded) {
  const std::string_view raw(*value, *length);
  const ColumnFix& fix = fixes_[column];
  RecordBand band;
  RecordBand* band_source = nullptr;
  const int band_column = work_[column].band_column;
  if (band_column >= 0) {
    band.value =
        std::string_view(record_ + offsets_[band_column], sizes_[band_column]);
    band_source = &band;
  }
  const std::string_view result = FixValue(fix, raw, band_source, &fixed_);
  std::int32_t count = -1;
  // The blanks in front are what an example of their removal shows.
  if (fixed_.outcome != FixOutcome::kUnchanged)
    count = Count(
        column,
        fixed_.outcome == FixOutcome::kFixed && fixed_.kind == FixKind::kBlanks
            ? raw
            : TrimSpaces(raw),
        fixed_.outcome, fixed_.kind, fixed_.shape, result);
  if (static_cast<int>(column) == frequency_column_) {
    record_band_ = fixed_.band;
    if (!band_counted_) NoteFrequency(result);
  }
  if (static_cast<int>(column) == mode_column_)
    record_submode_ = fixed_.submode;
  ColumnWork& work = work_[column];
  // Once HH:MM has been counted, it is read at once (FixHhMm).
  static const std::uint64_t kHhMm = Shape("00:00");
  if (work.path == ColumnWork::kTime && fixed_.kind == FixKind::kTimeForm &&
      fixed_.outcome == FixOutcome::kFixed && fixed_.shape == kHhMm &&
      !fix.numeric)
    work.hhmm_kind = count;
  if (work.cache_bits != 0 && raw.size() <= 16 && !fixed_.used_record_band &&
      result.size() <= sizeof(Cached::text)) {
    std::uint64_t key[2] = {0, 0};
    std::memcpy(key, raw.data(), raw.size());
    Cached& entry = work.cache[CacheSlot(key, raw.size(), work.cache_bits)];
    AddHits(&counts_[column], entry.count, entry.hits);  // the one it replaces
    entry.hits = 0;
    entry.key[0] = key[0];
    entry.key[1] = key[1];
    entry.size = static_cast<std::uint8_t>(raw.size());
    entry.unchanged = fixed_.outcome == FixOutcome::kUnchanged;
    entry.count = count;
    entry.submode = fixed_.submode;
    entry.band = fixed_.band;
    entry.text_size = static_cast<std::uint8_t>(result.size());
    std::memcpy(entry.text, result.data(), result.size());
    if (!entry.unchanged) {
      *value = entry.text;
      *length = entry.text_size;
      return;  // still padded: the entry's text has room
    }
  }
  if (result.data() != raw.data()) *padded = false;
  *value = result.data();
  *length = result.size();
}

int RecordFixer::KindIndex(std::size_t column, FixKind kind,
                           std::uint64_t shape) {
  std::vector<KindCount>& kinds = counts_[column].kinds;
  int last = last_kind_[column];
  if (last >= 0 && kinds[last].kind == kind && kinds[last].shape == shape)
    return last;
  auto same = std::find_if(kinds.begin(), kinds.end(),
                           [kind, shape](const KindCount& k) {
                             return k.kind == kind && k.shape == shape;
                           });
  // Past the most forms counted apart, a form joins the first of its kind.
  if (same == kinds.end() && kinds.size() >= kMostKinds)
    same = std::find_if(kinds.begin(), kinds.end(),
                        [kind](const KindCount& k) { return k.kind == kind; });
  if (same == kinds.end()) {
    kinds.push_back({kind, shape});
    same = kinds.end() - 1;
  }
  last_kind_[column] = static_cast<int>(same - kinds.begin());
  return last_kind_[column];
}

void RecordFixer::AddHits(ColumnCounts* counts, std::int32_t kind,
                          std::uint64_t hits) const {
  if (kind >= 0)
    counts->kinds[kind].count += hits;
  else if (kind == kNotRead)
    counts->unreadable += hits;
}

std::int32_t RecordFixer::Count(std::size_t column, std::string_view from,
                                FixOutcome outcome, FixKind kind,
                                std::uint64_t shape, std::string_view to) {
  ColumnCounts& counts = counts_[column];
  if (outcome == FixOutcome::kUnreadable) {
    ++counts.unreadable;
    if (counts.unreadable_example.empty())
      counts.unreadable_example =
          std::string(from.substr(0, 4 * kExampleBytes));
    return kNotRead;
  }
  const int index = KindIndex(column, kind, shape);
  KindCount& counted = counts.kinds[index];
  ++counted.count;
  if (counted.from.empty()) {
    counted.from = std::string(from.substr(0, 4 * kExampleBytes));
    counted.to = std::string(to.substr(0, 4 * kExampleBytes));
  }
  return index;
}

char* RecordFixer::PutField(char* out, const std::string& keyword,
                            std::string_view value) {
  *out++ = '<';
  std::memcpy(out, keyword.data(), keyword.size());
  out += keyword.size();
  *out++ = ':';
  std::string length = std::to_string(value.size());
  std::memcpy(out, length.data(), length.size());
  out += length.size();
  *out++ = '>';
  std::memcpy(out, value.data(), value.size());
  out += value.size();
  *out++ = ' ';
  return out;
}

char* RecordFixer::PutMissingFields(char* out) {
  for (std::size_t a = 0; a < additions_.size(); ++a) {
    if (written_[a] == record_number_) continue;
    const Addition& addition = additions_[a];
    if (static_cast<int>(a) == band_addition_ && record_band_) {
      out = PutField(out, addition.keyword, record_band_->name);
      Count(static_cast<std::size_t>(frequency_column_),
            std::string_view(record_frequency_, record_frequency_size_),
            FixOutcome::kFixed, FixKind::kBandAdded, 0, record_band_->name);
      band_counted_ = true;
    } else if (static_cast<int>(a) == submode_addition_ && record_submode_) {
      out = PutField(out, addition.keyword, record_submode_);
    } else if (!addition.constant.empty()) {
      out = PutField(out, addition.keyword, addition.constant);
    }
  }
  return out;
}

bool RecordFixer::EndRecord(bool has_call) {
  if (has_call || !MendsValues()) return true;
  ++records_left_out_;
  return false;
}

std::vector<std::string> RecordFixer::Summary(
    const std::vector<std::string>& column_names, Language language) const {
  std::vector<std::string> lines;
  const std::string example = Choose(language, ", p. ej. ", ", e.g. ");
  for (std::size_t c = 0; c < counts_.size(); ++c) {
    // The counts, with those the caches still hold.
    ColumnCounts counts = counts_[c];
    for (const Cached& entry : work_[c].cache)
      AddHits(&counts, entry.count, entry.hits);
    AddHits(&counts, work_[c].hhmm_kind, work_[c].hhmm_hits);
    std::string line;
    for (const KindCount& kind : counts.kinds) {
      if (kind.count == 0) continue;
      std::string what;
      std::string from = Shown(kind.from), to = Shown(kind.to);
      switch (kind.kind) {
        case FixKind::kBlanks:
          what = Choose(language, "sin los blancos de delante",
                        "without the blanks in front");
          break;
        case FixKind::kCallCase:
          what = Choose(language, "en may\xFAsculas y sin blancos",
                        "in upper case without blanks");
          break;
        case FixKind::kDateForm:
          what = DateForm(kind.from, fixes_[c]) + " -> YYYYMMDD";
          break;
        case FixKind::kTimeForm:
          what = TimeForm(kind.from) +
                 (kind.to.size() == 6 ? " -> HHMMSS" : " -> HHMM");
          break;
        case FixKind::kKilohertz:
          what = "kHz -> MHz";
          break;
        case FixKind::kDecimalComma:
          what = Choose(language, "con coma decimal -> punto",
                        "with a decimal comma -> point");
          break;
        case FixKind::kUnit:
          what = Choose(language, "sin su unidad", "without their unit");
          break;
        case FixKind::kBandName:
          what = Choose(language, "-> bandas ADIF", "-> ADIF bands");
          break;
        case FixKind::kModeCase:
          what = Choose(language, "-> modos ADIF", "-> ADIF modes");
          break;
        case FixKind::kModeSubmode:
          what = Choose(language, "-> MODE y SUBMODE", "-> MODE and SUBMODE");
          if (ModeReading mode; ReadMode(kind.from, &mode) && mode.submode)
            to += std::string(" + SUBMODE ") + mode.submode;
          break;
        case FixKind::kQslWord:
          what = Choose(language, "-> letras ADIF", "-> ADIF letters");
          break;
        case FixKind::kReportBlanks:
          what = Choose(language, "sin blancos", "without blanks");
          break;
        case FixKind::kSoftBreaks:
          what = Choose(language,
                        "con los saltos de l\xEDnea blandos como blancos",
                        "with their soft line breaks as blanks");
          break;
        case FixKind::kLineFeeds:
          what = Choose(language, "con los saltos de l\xEDnea como CR LF",
                        "with their line feeds as CR LF");
          break;
        case FixKind::kOneLine:
          what = Choose(language,
                        "con los saltos de l\xEDnea como blancos (el campo es "
                        "de una l\xEDnea)",
                        "with their line breaks as blanks (the field holds "
                        "one line)");
          break;
        case FixKind::kUnknownLogical:
          what = Choose(language, "desconocidos (?) omitidos",
                        "unknown (?) left out");
          from.clear();
          break;
        case FixKind::kBandAdded:
          what = Choose(language, "han dado BAND", "gave BAND");
          break;
      }
      line += (line.empty() ? "" : "; ") + Values(kind.count, language) + what;
      if (!from.empty()) line += example + from + " -> " + to;
    }
    if (counts.unreadable > 0)
      line += (line.empty() ? "" : "; ") + Values(counts.unreadable, language) +
              (counts.unreadable == 1
                   ? Choose(language, "sin leer, queda como estaba",
                            "not read, left as it was")
                   : Choose(language, "sin leer, quedan como estaban",
                            "not read, left as they were")) +
              example + Shown(counts.unreadable_example);
    if (line.empty()) continue;
    std::string name =
        c < column_names.size() ? column_names[c] : "#" + std::to_string(c + 1);
    lines.push_back(name + ": " + line);
  }
  if (records_left_out_ > 0)
    lines.push_back(
        std::to_string(records_left_out_) +
        (records_left_out_ == 1
             ? Choose(language, " registro sin CALL no se ha escrito",
                      " record without CALL left out")
             : Choose(language, " registros sin CALL no se han escrito",
                      " records without CALL left out")));
  return lines;
}

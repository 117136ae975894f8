// fix_plan.cpp: the per-column decisions of --fix.

#include "convert/fix_plan.h"

#include <algorithm>

#include "dbf/code_page.h"
#include "mapping/column_guess.h"
#include "platform/text.h"
#include "standard/numbers.h"

// clang-format off
const ColumnFormName kColumnForms[] = {
    {"dmy", FixRule::kDate},          {"mdy", FixRule::kDate},
    {"ymd", FixRule::kDate},          {"mhz", FixRule::kFrequency},
    {"khz", FixRule::kFrequency},     {"hz", FixRule::kFrequency},
    {"hhmm", FixRule::kTime},         {"hhmmss", FixRule::kTime},
    {"metres", FixRule::kBand},       {"mhz", FixRule::kBand},
    {"decimal-point", FixRule::kNumber}, {"decimal-comma", FixRule::kNumber},
};
// clang-format on
const int kColumnFormCount =
    static_cast<int>(sizeof kColumnForms / sizeof kColumnForms[0]);

bool FormFits(const std::string& form, FixRule rule) {
  for (const ColumnFormName& known : kColumnForms)
    if (form == known.name && rule == known.rule) return true;
  return false;
}

namespace {

constexpr DateOrder kOrders[3] = {kDayMonthYear, kMonthDayYear, kYearMonthDay};

unsigned DateOrderNamed(const std::string& name) {
  for (DateOrder order : kOrders)
    if (name == DateOrderName(order)) return order;
  return 0;
}

// The values of a column in code page \a code_page, as messages show them.
std::string Joined(const std::vector<std::string>& values, int code_page) {
  std::string text;
  for (const std::string& value : values)
    text += (text.empty() ? "" : ", ") + ShownName(value, code_page);
  return text;
}

// Up to two values of \a p's open dates that \a order does not read; with
// \a order 0, two that fit different sets of orders.
std::vector<std::string> DatesOutside(const ColumnProfile& p, unsigned order) {
  std::vector<std::string> picked;
  // First one of each set of orders, then any.
  for (bool one_of_each : {true, false})
    for (unsigned set = 1; set < 8 && picked.size() < 2; ++set) {
      if (order != 0 && (set & order)) continue;
      for (const std::string& example : p.order_examples[set]) {
        if (picked.size() < 2 &&
            std::find(picked.begin(), picked.end(), example) == picked.end())
          picked.push_back(example);
        if (one_of_each) break;
      }
    }
  return picked;
}

// The order the column's dates make likeliest: of the orders that read
// all its dates, or all but a few strays in a long column, those that put
// no date past the table's last update, and of them the one whose dates
// follow each other in far shorter steps. 0 when none stands out.
unsigned LikeliestOrder(const ColumnProfile& p) {
  const std::uint32_t open = p.open_dates;
  const std::uint32_t strays =
      open >= 10 ? std::max<std::uint32_t>(1, open / 50) : 0;
  std::vector<int> near;
  for (int o = 0; o < 3; ++o)
    if (p.by_order[o].explained + strays >= open && p.by_order[o].explained > 0)
      near.push_back(o);
  const bool some_in_range = std::any_of(near.begin(), near.end(), [&p](int o) {
    return p.by_order[o].after_latest == 0;
  });
  if (some_in_range)
    near.erase(
        std::remove_if(near.begin(), near.end(),
                       [&p](int o) { return p.by_order[o].after_latest > 0; }),
        near.end());
  if (near.size() == 1) return kOrders[near[0]];
  if (near.empty()) return 0;
  // Mean step in days, compared as travel * other steps.
  int best = -1;
  for (int o : near) {
    if (p.by_order[o].steps < 3) return 0;
    if (best < 0 || p.by_order[o].travel * p.by_order[best].steps <
                        p.by_order[best].travel * p.by_order[o].steps)
      best = o;
  }
  for (int o : near) {
    if (o == best) continue;
    // The best must travel less than half as far per step.
    if (2 * p.by_order[best].travel * p.by_order[o].steps >=
        p.by_order[o].travel * p.by_order[best].steps)
      return 0;
  }
  return kOrders[best];
}

struct Decider {
  const FixPlanInput& input;
  FixPlan* plan;
  std::string name;  // the column's
  Language language;
  std::size_t column;

  void Note(const std::string& text) {
    plan->notes.push_back(name + ": " + text);
    plan->note_columns.push_back(column);
  }
  bool Conflict(const std::string& what, const std::vector<std::string>& values,
                const std::string& settle) {
    plan->conflict_column = column;
    plan->conflict =
        name + ": " + what + " (" + Joined(values, input.code_page) +
        "): " + settle +
        Choose(language, "; no se ha escrito nada", "; nothing was written");
    return false;
  }
  std::string Settle(const char* choices, bool date_order) const {
    std::string text = Choose(language, "indique ", "give ");
    if (date_order)
      text += "--date-order " + std::string(choices) +
              Choose(language, " o ", " or ");
    return text + "--read-as " + name + "=" + choices;
  }

  bool Dates(const ColumnProfile& p, const std::string& form, ColumnFix* fix) {
    if (p.open_dates == 0 && form.empty()) return true;
    if (!form.empty() || input.date_order != 0) {
      fix->date_order = form.empty() ? input.date_order : DateOrderNamed(form);
      Note(Choose(language,
                  "fechas le\xED"
                  "das como ",
                  "dates read as ") +
           std::string(DateOrderName(static_cast<DateOrder>(fix->date_order))) +
           (form.empty() ? " (--date-order)" : " (--read-as)"));
      return true;
    }
    const unsigned all = p.open_orders;
    const unsigned likeliest = LikeliestOrder(p);
    const bool single =
        all == kDayMonthYear || all == kMonthDayYear || all == kYearMonthDay;
    if (single && (likeliest == 0 || likeliest == all)) {
      fix->date_order = all;
      return true;
    }
    if (!single && likeliest != 0 && (all & likeliest)) {
      fix->date_order = likeliest;
      Note(Choose(language,
                  "fechas le\xED"
                  "das como ",
                  "dates read as ") +
           std::string(DateOrderName(static_cast<DateOrder>(likeliest))) +
           Choose(language,
                  ": el \xFAnico orden que las deja en el orden de los "
                  "registros y no despu\xE9s de la \xFAltima escritura de "
                  "la tabla",
                  ": the one order that keeps them in the order of the "
                  "records and not after the table was last written"));
      return true;
    }
    const std::string choices = "dmy|mdy|ymd";
    if (likeliest != 0)
      return Conflict(std::string(Choose(language, "sus fechas se leen como ",
                                         "its dates read as ")) +
                          DateOrderName(static_cast<DateOrder>(likeliest)) +
                          Choose(language, ", salvo estas", ", except these"),
                      DatesOutside(p, likeliest), Settle("dmy|mdy|ymd", true));
    if (all == 0)
      return Conflict(
          Choose(language, "sus fechas est\xE1n escritas en m\xE1s de un orden",
                 "its dates are written in more than one order"),
          DatesOutside(p, 0), Settle("dmy|mdy|ymd", true));
    return Conflict(
        Choose(language,
               "sus fechas no distinguen el d\xED"
               "a, el mes y el a\xF1o",
               "its dates do not tell the day, month and year apart"),
        DatesOutside(p, 0).empty() ? p.examples : DatesOutside(p, 0),
        Settle(choices.c_str(), true));
  }

  bool Frequencies(const ColumnProfile* p, const std::string& form,
                   ColumnFix* fix) {
    if (!form.empty()) {
      fix->frequency_unit = form == "khz"  ? kAsKilohertz
                            : form == "hz" ? kAsHertz
                                           : kAsMegahertz;
      fix->unit_chosen = true;
      return true;
    }
    if (!p || p->frequencies == 0) return true;
    int best = -1;
    bool tie = false;
    for (int u = 0; u < kUnitCount; ++u) {
      if (p->by_unit[u].explained != p->frequencies) continue;
      if (best >= 0 && p->by_unit[u].likelihood == p->by_unit[best].likelihood)
        tie = true;
      if (best < 0 || p->by_unit[u].likelihood > p->by_unit[best].likelihood) {
        best = u;
        tie = false;
      }
    }
    const std::string upper = AsciiUpperText(name);
    if (best >= 0 && tie) {
      if (upper.find("KHZ") != std::string::npos) {
        fix->frequency_unit = kAsKilohertz;
        return true;
      }
      if (upper.find("MHZ") != std::string::npos) {
        fix->frequency_unit = kAsMegahertz;
        return true;
      }
      return Conflict(Choose(language,
                             "sus frecuencias caben igual en m\xE1s de una "
                             "unidad",
                             "its frequencies fit more than one unit alike"),
                      p->examples, Settle("mhz|khz|hz", false));
    }
    if (best >= 0) {
      fix->frequency_unit = 1u << best;
      if (fix->frequency_unit != kAsMegahertz)
        Note(Choose(language, "frecuencias en ", "frequencies in ") +
             std::string(FrequencyUnitName(fix->frequency_unit)) +
             Choose(language, ", la unidad que pone cada valor en una banda",
                    ", the unit that puts every value on a band"));
      return true;
    }
    // No unit reads them all: the writer mixed units.
    if (p->unit_ties > 0)
      return Conflict(Choose(language,
                             "sus frecuencias mezclan unidades, y estas caben "
                             "igual en dos",
                             "its frequencies mix units, and these fit two "
                             "alike"),
                      p->tie_examples, Settle("mhz|khz|hz", false));
    fix->frequency_unit = 0;
    std::vector<std::string> mixed;
    for (const auto& examples : p->unit_examples)
      if (!examples.empty()) mixed.push_back(examples[0]);
    Note(Choose(language, "frecuencias en m\xE1s de una unidad (",
                "frequencies in more than one unit (") +
         Joined(mixed, input.code_page) +
         Choose(language,
                "): cada valor, en la unidad que lo pone en la banda m\xE1s "
                "usada",
                "): each value in the unit that puts it on the band most "
                "used"));
    return true;
  }

  bool Times(const ColumnProfile* p, const std::string& form, ColumnFix* fix) {
    if (!form.empty()) {
      const bool seconds = form == "hhmmss";
      fix->time_digits = !fix->numeric ? TimeDigits::kWritten
                         : seconds     ? TimeDigits::kNumericHhmmss
                                       : TimeDigits::kNumericHhmm;
      return true;
    }
    if (fix->numeric && p && p->times_with_seconds > 0) {
      fix->time_digits = TimeDigits::kNumericHhmmss;
      Note(Choose(language,
                  "horas HHMMSS que perdieron sus ceros de delante (2210 es "
                  "00:22:10)",
                  "times HHMMSS that lost their leading zeros (2210 is "
                  "00:22:10)"));
    }
    return true;
  }

  bool Bands(const ColumnProfile* p, const std::string& form, ColumnFix* fix) {
    if (!form.empty()) {
      fix->band_notation =
          form == "metres" ? BandNotation::kMetres : BandNotation::kMegahertz;
      return true;
    }
    if (!p) return true;
    if (p->band_frequencies > 0)
      Note(std::to_string(p->band_frequencies) +
           Choose(language,
                  " valores son frecuencias: dan BAND y, donde el registro no "
                  "la tiene, FREQ",
                  " values are frequencies: each gives BAND and, where the "
                  "record has none, FREQ"));
    if (p->metre_bands > 0 && p->megahertz_bands > 0)
      return Conflict(
          Choose(language, "sus bandas se escriben en metros y en MHz",
                 "its bands are written in metres and in MHz"),
          {p->notation_examples[0][0], p->notation_examples[1][0]},
          Settle("metres|mhz", false));
    if (p->metre_bands > 0 || p->megahertz_bands > 0) {
      const bool metres = p->metre_bands > 0;
      fix->band_notation =
          metres ? BandNotation::kMetres : BandNotation::kMegahertz;
      // Said when some value would read otherwise in the other notation.
      if (p->either_bands > 0) {
        const std::string& example = p->notation_examples[2][0];
        Note(std::string(metres ? Choose(language, "bandas en metros (",
                                         "bands in metres (")
                                : Choose(language, "bandas por sus MHz (",
                                         "bands named by their MHz (")) +
             Joined(p->notation_examples[metres ? 0 : 1], input.code_page) +
             "): " + example + Choose(language, " es ", " is ") +
             ReadBand(example, fix->band_notation)->name);
      }
      return true;
    }
    if (p->either_bands > 0)
      return Conflict(
          Choose(language, "sus bandas no dicen si son metros o MHz",
                 "its bands do not tell metres from MHz"),
          p->notation_examples[2], Settle("metres|mhz", false));
    return true;
  }

  bool Numbers(const ColumnProfile* p, const std::string& form,
               ColumnFix* fix) {
    if (!form.empty()) {
      fix->thousands = form == "decimal-comma" ? '.' : ',';
      return true;
    }
    if (!p) return true;
    const bool point_decimal =
        (p->separators & (kPointIsDecimal | kCommaGroups)) != 0;
    const bool comma_decimal =
        (p->separators & (kCommaIsDecimal | kPointGroups)) != 0;
    if (point_decimal && comma_decimal)
      return Conflict(
          Choose(language,
                 "sus n\xFAmeros usan el punto y la coma como "
                 "decimales",
                 "its numbers use both the point and the comma "
                 "as the decimal separator"),
          {p->separator_examples[0][0], p->separator_examples[1][0]},
          Settle("decimal-point|decimal-comma", false));
    const bool open = (p->separators & (kPointOpen | kCommaOpen)) != 0;
    if (point_decimal) fix->thousands = ',';
    if (comma_decimal) fix->thousands = '.';
    if (open && !point_decimal && !comma_decimal)
      return Conflict(Choose(language,
                             "sus n\xFAmeros no distinguen los miles de los "
                             "decimales",
                             "its numbers do not tell thousands from "
                             "decimals"),
                      p->open_separator_examples,
                      Settle("decimal-point|decimal-comma", false));
    if (open)
      Note(Choose(language, "separador de miles: ", "thousands separator: ") +
           std::string(1, fix->thousands) + " (" +
           Joined(p->open_separator_examples, input.code_page) + ")");
    return true;
  }
};

}  // namespace

long LatestDayOf(const DbfHeader& header) {
  CalendarDate date;
  date.year = 1900 + header.year;
  date.month = header.month;
  date.day = header.day;
  if (date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > DaysInMonth(date.year, date.month) || date.year < 1980)
    return SurveyRequest::kNoLatestDay;
  return DayNumber(date);
}

SurveyRequest FixSurveyRequest(const ColumnPlan& plan, const DbfLayout& layout,
                               int code_page, bool skip_deleted,
                               long latest_day) {
  SurveyRequest request;
  request.code_page = code_page;
  request.skip_deleted = skip_deleted;
  request.latest_day = latest_day;
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
    const unsigned char type = layout.columns[c].type;
    switch (FixRuleOf(planned.keyword)) {
      case FixRule::kDate:
        if (type != 'D') request.look[c] = kLookAtDates;
        break;
      case FixRule::kFrequency:
        request.look[c] = kLookAtFrequencies;
        request.band_column[c] = planned.keyword == "FREQ" ? band : band_rx;
        break;
      case FixRule::kTime:
        if (type == 'N' || type == 'F') request.look[c] = kLookAtTimes;
        break;
      case FixRule::kBand:
        request.look[c] = kLookAtBands;
        break;
      case FixRule::kNumber:
        if (type == 'C') request.look[c] = kLookAtNumbers;
        break;
      default:
        break;
    }
  }
  return request;
}

bool SurveyNeeded(const SurveyRequest& request) {
  for (unsigned look : request.look)
    if (look) return true;
  return false;
}

bool DecideFixes(const FixPlanInput& input, FixPlan* plan) {
  plan->fixes.clear();
  plan->notes.clear();
  plan->note_columns.clear();
  plan->conflict.clear();
  const ColumnPlan& columns = *input.plan;
  const DbfLayout& layout = *input.layout;
  for (std::size_t c = 0; c < columns.columns.size(); ++c) {
    const PlannedColumn& planned = columns.columns[c];
    const bool known = c < layout.columns.size();
    const unsigned char type = known ? layout.columns[c].type : 'C';
    Decider decider{input, plan,
                    known ? ShownName(layout.columns[c].name, input.code_page)
                          : "#" + std::to_string(c + 1),
                    input.language, c};
    ColumnFix fix =
        ColumnFixOf(planned.keyword, type, input.memo_text && planned.memo,
                    input.code_page);
    const ColumnProfile* p = input.profiles && c < input.profiles->size() &&
                                     (*input.profiles)[c].values > 0
                                 ? &(*input.profiles)[c]
                                 : nullptr;
    const std::string form = c < input.forms.size() ? input.forms[c] : "";
    bool decided = true;
    if (!planned.skipped && !fix.memo) {
      switch (fix.rule) {
        case FixRule::kDate:
          if (p || !form.empty() || input.date_order != 0)
            decided = decider.Dates(p ? *p : ColumnProfile(), form, &fix);
          break;
        case FixRule::kFrequency:
          decided = decider.Frequencies(p, form, &fix);
          break;
        case FixRule::kTime:
          decided = decider.Times(p, form, &fix);
          break;
        case FixRule::kBand:
          decided = decider.Bands(p, form, &fix);
          break;
        case FixRule::kNumber:
          decided = decider.Numbers(p, form, &fix);
          break;
        default:
          break;
      }
    }
    if (!decided) return false;
    plan->fixes.push_back(fix);
  }
  return true;
}

// column_guess.cpp: guessing each column's keyword from its name and values.

#include "mapping/column_guess.h"

#include <algorithm>
#include <cstdlib>

#include "dbf/code_page.h"
#include "platform/text.h"
#include "standard/adif_standard.h"
#include "standard/calls.h"

namespace {

// The least values that let content speak on its own (a column whose name
// says nothing, a call sign repeated on every record).
constexpr std::uint32_t kLeastValues = 5;

// What the values of a field must look like.
enum class Content {
  kAny,
  kDate,
  kTime,
  kCall,
  kBand,
  kFrequency,
  kMode,
  kQsl,
  kReport,
  kLocator,
  kNumber,
};

struct ContentRule {
  Content content = Content::kAny;
  double least = -1e300, most = 1e300;  // for numbers
  bool integer = false;
};

ContentRule ContentOf(const std::string& keyword) {
  ContentRule rule;
  if (IsCallSignField(keyword))
    rule.content = Content::kCall;
  else if (keyword == "FREQ" || keyword == "FREQ_RX")
    rule.content = Content::kFrequency;
  else if (keyword == "MODE")
    rule.content = Content::kMode;
  else if (keyword == "RST_SENT" || keyword == "RST_RCVD")
    rule.content = Content::kReport;
  if (rule.content != Content::kAny) return rule;
  if (keyword == "DXCC") {
    rule.content = Content::kNumber;
    rule.least = 0;
    rule.most = 999;
    rule.integer = true;
    return rule;
  }
  const AdifFieldDefinition* field = FindAdifField(keyword);
  if (!field) return rule;
  std::string_view enumeration = field->enumeration ? field->enumeration : "";
  switch (field->type) {
    case AdifType::kDate:
      rule.content = Content::kDate;
      break;
    case AdifType::kTime:
      rule.content = Content::kTime;
      break;
    case AdifType::kGridSquare:
      rule.content = Content::kLocator;
      break;
    case AdifType::kNumber:
    case AdifType::kInteger:
    case AdifType::kPositiveInteger:
      rule.content = Content::kNumber;
      rule.integer = field->type != AdifType::kNumber;
      if (field->minimum) rule.least = std::atof(field->minimum);
      if (field->maximum) rule.most = std::atof(field->maximum);
      break;
    default:
      if (enumeration == "Band") rule.content = Content::kBand;
      if (enumeration == "QSL_Sent" || enumeration == "QSL_Rcvd")
        rule.content = Content::kQsl;
  }
  return rule;
}

std::uint32_t Fitting(const ContentRule& rule, const ColumnProfile& p) {
  switch (rule.content) {
    case Content::kAny:
      return p.values;
    case Content::kDate:
      return p.dates;
    case Content::kTime:
      return p.times;
    case Content::kCall:
      return p.calls;
    case Content::kBand:
      return p.bands;
    case Content::kFrequency:
      return p.frequencies;
    case Content::kMode:
      return p.modes;
    case Content::kQsl:
      return p.qsl_flags;
    case Content::kReport:
      return p.reports;
    case Content::kLocator:
      return p.locators;
    case Content::kNumber: {
      bool in_range =
          p.numbers == 0 || (p.least >= rule.least && p.most <= rule.most);
      if (!in_range) return 0;
      return rule.integer ? p.integers : p.numbers;
    }
  }
  return 0;
}

const char* Noun(Content content, Language language) {
  switch (content) {
    case Content::kDate:
      return Choose(language, "fechas", "dates");
    case Content::kTime:
      return Choose(language, "horas", "times");
    case Content::kCall:
      return Choose(language, "indicativos", "call signs");
    case Content::kBand:
      return Choose(language, "bandas", "bands");
    case Content::kFrequency:
      return Choose(language, "frecuencias", "frequencies");
    case Content::kMode:
      return Choose(language, "modos", "modes");
    case Content::kQsl:
      return Choose(language, "marcas de QSL", "QSL flags");
    case Content::kReport:
      return Choose(language,
                    "controles de se\xF1"
                    "al",
                    "signal reports");
    case Content::kLocator:
      return Choose(language, "locatores", "locators");
    case Content::kNumber:
      return Choose(language, "n\xFAmeros", "numbers");
    case Content::kAny:
      break;
  }
  return "";
}

bool AtLeast(std::uint32_t part, std::uint32_t whole, int percent) {
  return whole > 0 && static_cast<std::uint64_t>(part) * 100 >=
                          static_cast<std::uint64_t>(whole) * percent;
}

// "36 of 36 values are dates d/m/y".
std::string Count(std::uint32_t part, const ColumnProfile& p, Content content,
                  Language language) {
  std::string text = std::to_string(part) + Choose(language, " de ", " of ") +
                     std::to_string(p.values) +
                     Choose(language, " valores son ", " values are ") +
                     Noun(content, language);
  if (content == Content::kDate && p.open_dates > 0) {
    for (DateOrder order : {kDayMonthYear, kMonthDayYear, kYearMonthDay})
      if (p.open_orders == order)
        text += order == kDayMonthYear   ? Choose(language, " d/m/a", " d/m/y")
                : order == kMonthDayYear ? Choose(language, " m/d/a", " m/d/y")
                                         : Choose(language, " a/m/d", " y/m/d");
  }
  return text;
}

// A column's examples, in code page \a code_page, as messages show them.
std::string Examples(const ColumnProfile& p, Language language, int code_page) {
  if (p.examples.empty()) return "";
  std::string text = Choose(language, " (p. ej. ", " (e.g. ");
  for (std::size_t i = 0; i < p.examples.size(); ++i)
    text += (i ? ", " : "") + ShownName(p.examples[i], code_page);
  return text + ")";
}

std::string NameSays(const std::string& keyword, Language language) {
  return Choose(language, "el nombre dice ", "name says ") + keyword;
}

// What one column's name and values propose, before columns are weighed
// against each other.
struct Proposal {
  std::string keyword;  // empty: none
  int strength = 0;     // 2: the name (values agreeing); 1: the values
  std::string reason;   // why the keyword, or why none
};

Proposal Named(const std::string& keyword, int strength, std::string reason) {
  Proposal proposal;
  proposal.keyword = keyword;
  proposal.strength = strength;
  proposal.reason = std::move(reason);
  return proposal;
}

Proposal Left(std::string reason) {
  Proposal proposal;
  proposal.reason = std::move(reason);
  return proposal;
}

// The field of the same moment in the other kind: date and time of the
// start, or of the end.
std::string Counterpart(const std::string& keyword) {
  if (keyword == "QSO_DATE") return "TIME_ON";
  if (keyword == "QSO_DATE_OFF") return "TIME_OFF";
  if (keyword == "TIME_ON") return "QSO_DATE";
  if (keyword == "TIME_OFF") return "QSO_DATE_OFF";
  return "";
}

std::string OneCall(const ColumnProfile& p, Language language, int code_page) {
  return Choose(language, "todos los valores son un mismo indicativo, ",
                "every value is one call sign, ") +
         (p.examples.empty() ? std::string()
                             : ShownName(p.examples[0], code_page)) +
         Choose(language, ": el de la estaci\xF3n", ": the station's own");
}

Proposal ProposeByName(const std::string& keyword, const ColumnProfile& p,
                       Language language, int code_page) {
  const ContentRule rule = ContentOf(keyword);
  const std::string name = Choose(language, "nombre", "name");
  const std::uint32_t n = p.values;
  if (n == 0 || rule.content == Content::kAny) return Named(keyword, 2, name);
  const std::uint32_t fits = Fitting(rule, p);
  if (AtLeast(fits, n, 80)) return Named(keyword, 2, name);
  const std::string other = Counterpart(keyword);
  Content other_content =
      rule.content == Content::kDate ? Content::kTime : Content::kDate;
  std::uint32_t other_fits =
      other_content == Content::kTime ? p.times : p.dates;
  if (!other.empty() && AtLeast(other_fits, n, 95))
    return Named(other, 1,
                 NameSays(keyword, language) +
                     Choose(language, ", pero ", ", but ") +
                     Count(other_fits, p, other_content, language));
  return Left(NameSays(keyword, language) +
              Choose(language, ", pero solo ", ", but only ") +
              Count(fits, p, rule.content, language) +
              Examples(p, language, code_page));
}

Proposal ProposeByContent(const ColumnProfile& p, Language language,
                          int code_page) {
  const std::uint32_t n = p.values;
  const std::string content = Choose(language, "contenido: ", "content: ");
  if (n < kLeastValues) return Proposal();
  auto most = [n](std::uint32_t part) { return AtLeast(part, n, 95); };
  if (most(p.dates))
    return Named("QSO_DATE", 1,
                 content + Count(p.dates, p, Content::kDate, language));
  if (most(p.marked_times))
    return Named("TIME_ON", 1,
                 content + Count(p.marked_times, p, Content::kTime, language));
  if (most(p.locators))
    return Named("GRIDSQUARE", 1,
                 content + Count(p.locators, p, Content::kLocator, language));
  if (most(p.modes))
    return Named("MODE", 1,
                 content + Count(p.modes, p, Content::kMode, language));
  if (most(p.named_bands))
    return Named("BAND", 1,
                 content + Count(p.named_bands, p, Content::kBand, language));
  if (most(p.reports))
    return Left(content + Count(p.reports, p, Content::kReport, language) +
                Choose(language, ", pero no dicen si enviados o recibidos",
                       ", but not whether sent or received"));
  if (most(p.calls)) {
    if (p.one_value)
      return Named("STATION_CALLSIGN", 1,
                   content + OneCall(p, language, code_page));
    // The other station's call is on (nearly) every record; a column of
    // call signs here and there is a QSL manager or the like.
    if (AtLeast(p.values, p.records, 90))
      return Named("CALL", 1,
                   content + Count(p.calls, p, Content::kCall, language));
    return Left(content + Count(p.calls, p, Content::kCall, language) +
                Choose(language, ", pero faltan en muchos registros",
                       ", but many records have none"));
  }
  if (most(p.frequencies) && p.integers * 2 < n && p.marked_times == 0)
    return Named(
        "FREQ", 1,
        content + Count(p.frequencies, p, Content::kFrequency, language));
  return Proposal();
}

Proposal Propose(const DbfFieldDescriptor& column, const ColumnProfile& p,
                 const GuessContext& context) {
  const Language language = context.language;
  std::string keyword = KeywordOfName(column.name, context.code_page);
  if (column.type == 'M') {
    if (keyword.empty()) return Proposal();
    if (!context.memos_read)
      return Left(NameSays(keyword, language) +
                  Choose(language,
                         ", pero es una columna memo: su texto solo se "
                         "convierte con --memo",
                         ", but it is a memo column: its text is converted "
                         "only with --memo"));
    // A memo holds lines; COMMENT holds one.
    if (keyword == "COMMENT") keyword = "NOTES";
    return Named(keyword, 2, Choose(language, "nombre", "name"));
  }
  if (!keyword.empty())
    return ProposeByName(keyword, p, language, context.code_page);
  return ProposeByContent(p, language, context.code_page);
}

// How many different values a column holds, as far as the survey kept
// count (more than kDistinctKept count as one more).
std::size_t Variety(const ColumnProfile& p) {
  return p.distinct.size() + (p.many_distinct ? 1 : 0);
}

// One or a few values: an own station's call (an upgrade, a /P suffix) or
// locator (of one square: a few squares are a local net's stations),
// never the stations worked.
bool FewValues(const ColumnProfile& p, bool locators = false) {
  if (p.values < kLeastValues || p.many_distinct || p.distinct.size() > 3)
    return false;
  if (!locators) return true;
  for (const std::string& value : p.distinct)
    if (!EqualIgnoringCase(std::string_view(value).substr(0, 4),
                           std::string_view(p.distinct[0]).substr(0, 4)))
      return false;
  return true;
}

// "every value is one call sign, EA4XYZ" or "only a few values, ...".
std::string FewText(const ColumnProfile& p, const char* noun, Language language,
                    int code_page) {
  std::string values;
  for (const std::string& value : p.distinct)
    values += (values.empty() ? "" : ", ") + ShownName(value, code_page);
  if (p.distinct.size() == 1)
    return Choose(language, "todos los valores son un mismo ",
                  "every value is one ") +
           std::string(noun) + ", " + values;
  return Choose(language, "solo unos pocos valores, ", "only a few values, ") +
         values;
}

// Own station or worked one, by content: of the columns proposed for
// \a worked or \a own (CALL and STATION_CALLSIGN, or GRIDSQUARE and
// MY_GRIDSQUARE), the most varied is the worked one, and one that repeats
// one or a few values beside it is the own station's. A log whose only
// such column repeats one value is a log of contacts with that station,
// unless \a own_when_alone (a locator repeated while the calls vary).
void SettleStations(const DbfLayout& layout, int code_page,
                    const std::vector<ColumnProfile>& profiles,
                    const std::string& worked, const std::string& own,
                    const char* noun, bool own_when_alone, Language language,
                    std::vector<Proposal>* proposals) {
  std::vector<std::size_t> columns;
  for (std::size_t c = 0; c < proposals->size(); ++c) {
    const std::string& keyword = (*proposals)[c].keyword;
    if (keyword == worked || keyword == own) columns.push_back(c);
  }
  if (columns.empty()) return;
  // The most varied; of equals, one proposed as the worked station.
  std::size_t most = columns[0];
  for (std::size_t c : columns)
    if (Variety(profiles[c]) > Variety(profiles[most]) ||
        (Variety(profiles[c]) == Variety(profiles[most]) &&
         (*proposals)[c].keyword == worked &&
         (*proposals)[most].keyword != worked))
      most = c;
  const bool alone = columns.size() == 1;
  const std::string but = Choose(language, ", pero ", ", but ");
  for (std::size_t c : columns) {
    Proposal& proposal = (*proposals)[c];
    const ColumnProfile& p = profiles[c];
    const std::string said = proposal.strength == 2
                                 ? NameSays(proposal.keyword, language)
                                 : proposal.reason;
    const bool few = FewValues(p, worked == "GRIDSQUARE");
    std::string keyword = proposal.keyword;
    std::string reason;
    if (few && (c != most || (alone && own_when_alone))) {
      keyword = own;
      reason =
          FewText(p, noun, language, code_page) +
          Choose(language, ": la propia estaci\xF3n", ": the station's own");
    } else if (few && alone) {
      keyword = worked;
      reason =
          FewText(p, noun, language, code_page) +
          Choose(language, ": un registro de contactos con esa estaci\xF3n",
                 ": a log of contacts with that station");
    } else if (!few && keyword == worked && c != most &&
               Variety(p) < Variety(profiles[most])) {
      // Two columns of the stations worked: the more varied one is.
      keyword = "";
      reason = worked + Choose(language, " va a ", " goes to ") +
               ShownName(layout.columns[most].name, code_page) +
               Choose(language, ", de valores m\xE1s variados",
                      ", whose values vary more");
    } else if (!few && p.values >= kLeastValues && keyword == own) {
      // Varied like the stations worked: the worked one when none is
      // likelier, else nothing.
      keyword = c == most ? worked : "";
      reason = Choose(language,
                      "sus valores cambian de registro en registro, como "
                      "las estaciones trabajadas",
                      "its values change from record to record, as the "
                      "stations worked do");
      if (c != most)
        reason += "; " + worked + Choose(language, " va a ", " goes to ") +
                  ShownName(layout.columns[most].name, code_page);
    }
    if (keyword == proposal.keyword) continue;
    proposal.keyword = keyword;
    proposal.reason = said + but + reason;
  }
}

}  // namespace

std::string NormalisedName(std::string_view name, int code_page) {
  std::string out;
  for (char c : AsciiSpelledText(name, code_page))
    if (c != ' ' && c != '_' && c != '-' && c != '.') out += AsciiUpper(c);
  return out;
}

std::string KeywordOfName(std::string_view name, int code_page) {
  struct Known {
    std::string name;
    const char* keyword;
  };
  static const std::vector<Known> known = [] {
    std::vector<Known> all;
    for (int i = 0; i < kAdifFieldCount; ++i)
      if (!kAdifFields[i].header && !kAdifFields[i].import_only)
        all.push_back(
            {NormalisedName(kAdifFields[i].name, 1252), kAdifFields[i].name});
    for (int i = 0; i < kColumnNameCount; ++i)
      all.push_back({NormalisedName(kColumnNames[i].name, 1252),
                     kColumnNames[i].keyword});
    return all;
  }();
  const std::string normalised = NormalisedName(name, code_page);
  if (normalised.empty()) return "";
  for (const Known& k : known)
    if (k.name == normalised) return k.keyword;
  // A name cut at the dBase limit: the one field the names it starts mean.
  if (name.size() != kFieldNameBytes - 1) return "";
  std::string found;
  for (const Known& k : known) {
    if (k.name.compare(0, normalised.size(), normalised) != 0) continue;
    if (!found.empty() && found != k.keyword) return "";
    found = k.keyword;
  }
  return found;
}

SurveyRequest GuessSurveyRequest(const DbfLayout& layout, int code_page,
                                 bool skip_deleted) {
  SurveyRequest request;
  request.look.assign(layout.columns.size(), kLookAtEverything);
  request.most_records = kGuessRecords;
  request.skip_deleted = skip_deleted;
  request.code_page = code_page;
  return request;
}

std::vector<ColumnGuess> GuessColumns(
    const DbfLayout& layout, const std::vector<ColumnProfile>& profiles,
    const GuessContext& context) {
  const Language language = context.language;
  const std::size_t count = layout.columns.size();
  std::vector<Proposal> proposals(count);
  for (std::size_t c = 0; c < count; ++c) {
    bool decided = c < context.decided.size() && context.decided[c];
    if (decided || c >= profiles.size()) continue;
    proposals[c] = Propose(layout.columns[c], profiles[c], context);
  }

  // Own station or worked one, by how much the values vary.
  std::vector<ColumnProfile> seen(profiles.begin(), profiles.end());
  seen.resize(count);
  SettleStations(layout, context.code_page, seen, "CALL", "STATION_CALLSIGN",
                 Choose(language, "indicativo", "call sign"), false, language,
                 &proposals);
  bool calls_vary = false;
  for (std::size_t c = 0; c < count; ++c)
    if (proposals[c].keyword == "CALL" && !FewValues(seen[c]) &&
        seen[c].values >= kLeastValues)
      calls_vary = true;
  SettleStations(layout, context.code_page, seen, "GRIDSQUARE", "MY_GRIDSQUARE",
                 Choose(language, "locator", "locator"), calls_vary, language,
                 &proposals);

  std::vector<ColumnGuess> guesses(count);
  for (std::size_t c = 0; c < count; ++c) {
    const Proposal& proposal = proposals[c];
    ColumnGuess& guess = guesses[c];
    guess.reason = proposal.reason;
    const std::string& keyword = proposal.keyword;
    if (keyword.empty()) continue;
    const std::string says =
        proposal.reason == Choose(language, "nombre", "name")
            ? NameSays(keyword, language)
            : proposal.reason;
    // A reason that has its "but" already goes on after a semicolon.
    const std::string but =
        says.find(Choose(language, ", pero ", ", but ")) != std::string::npos
            ? "; "
            : Choose(language, ", pero ", ", but ");
    if (std::find(context.taken.begin(), context.taken.end(), keyword) !=
        context.taken.end()) {
      guess.reason =
          says + but + keyword +
          Choose(language, " ya est\xE1 asignado", " is mapped already");
      continue;
    }
    // The strongest claims on this keyword; one wins, two leave it.
    std::vector<std::size_t> best;
    int strength = 0;
    for (std::size_t o = 0; o < count; ++o) {
      if (proposals[o].keyword != keyword) continue;
      if (proposals[o].strength > strength) best.clear();
      if (proposals[o].strength >= strength) {
        strength = proposals[o].strength;
        best.push_back(o);
      }
    }
    if (best.size() == 1 && best[0] == c) {
      guess.keyword = keyword;
      continue;
    }
    std::string others;
    for (std::size_t o : best)
      if (o != c)
        others += (others.empty() ? "" : ", ") +
                  ShownName(layout.columns[o].name, context.code_page);
    guess.reason =
        says + but +
        (best.size() == 1
             ? keyword + Choose(language, " va a ", " goes to ") + others
             : others + Choose(language, " parece ", " looks like ") + keyword +
                   Choose(language, " igual", " as much"));
  }
  return guesses;
}

std::string GuessLine(const std::string& column, const ColumnGuess& guess,
                      Language language) {
  if (!guess.keyword.empty())
    return column + " -> " + guess.keyword + " (" + guess.reason + ")";
  return column + Choose(language, " sin asignar: ", " left unmapped: ") +
         guess.reason;
}

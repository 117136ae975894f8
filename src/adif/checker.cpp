// checker.cpp: the rules of fields and records, and how a name and a value
// seen before are judged at once.

#include "adif/checker.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "adif/check_words.h"
#include "adif/type_rules.h"
#include "platform/text.h"
#include "standard/bands.h"
#include "standard/dates.h"
#include "standard/locators.h"
#include "standard/modes.h"
#include "standard/numbers.h"
#include "standard/times.h"

namespace {

// What a number found good is remembered as.
const char kGoodNumber = 0;

template <typename Word>
Word Load(const char* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// The items of a list separated by \a separator.
std::vector<std::string_view> Items(std::string_view list, char separator) {
  std::vector<std::string_view> items;
  for (;;) {
    std::size_t at = list.find(separator);
    items.push_back(list.substr(0, at));
    if (at == std::string_view::npos) return items;
    list.remove_prefix(at + 1);
  }
}

// True when \a enumeration lists values for \a qualifier (a DXCC code).
bool HasValuesFor(std::string_view enumeration, std::string_view qualifier) {
  static const auto* pairs = [] {
    auto* set = new std::vector<std::pair<std::string_view, std::string_view>>;
    for (int i = 0; i < kAdifEnumerationValueCount; ++i)
      if (kAdifEnumerationValues[i].qualifier[0])
        set->emplace_back(kAdifEnumerationValues[i].enumeration,
                          kAdifEnumerationValues[i].qualifier);
    std::sort(set->begin(), set->end());
    return set;
  }();
  return std::binary_search(pairs->begin(), pairs->end(),
                            std::make_pair(enumeration, qualifier));
}

bool IsNumeric(AdifType type) {
  return type == AdifType::kNumber || type == AdifType::kInteger ||
         type == AdifType::kPositiveInteger || type == AdifType::kDigit;
}
bool IsInternational(AdifType type) {
  return type == AdifType::kIntlString ||
         type == AdifType::kIntlMultilineString ||
         type == AdifType::kIntlCharacter;
}
bool IsMultiline(AdifType type) {
  return type == AdifType::kMultilineString ||
         type == AdifType::kIntlMultilineString;
}

// The kind of finding of a syntax problem.
FindingKind SyntaxFindingKind(AdifSyntax syntax) {
  switch (syntax) {
    case AdifSyntax::kTagNotClosed:
    case AdifSyntax::kTagWithoutLength:
    case AdifSyntax::kEohOutOfPlace:
      return FindingKind::kBadTag;
    case AdifSyntax::kLengthNotNumber:
    case AdifSyntax::kLengthPastEnd:
    case AdifSyntax::kLengthTakesTag:
      return FindingKind::kBadLength;
    case AdifSyntax::kTextAfterValue:
      return FindingKind::kTextAfterValue;
    case AdifSyntax::kMissingEor:
      return FindingKind::kMissingEor;
    case AdifSyntax::kMissingEoh:
      return FindingKind::kMissingEoh;
    case AdifSyntax::kXml:
      return FindingKind::kBadXml;
  }
  return FindingKind::kBadTag;
}

// A bound of a range a header declares, as a number is written.
std::string NumberText(double number) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", number);
  return text;
}

// The name of \a type for messages: "a Date (D)".
std::string TypeName(AdifType type, char letter, Language language) {
  static const struct {
    AdifType type;
    const char* spanish;
    const char* english;
    // clang-format off
  } kNames[] = {
      {AdifType::kBoolean, "un Boolean", "a Boolean"},
      {AdifType::kNumber, "un Number", "a Number"},
      {AdifType::kDate, "una Date", "a Date"},
      {AdifType::kTime, "un Time", "a Time"},
      {AdifType::kString, "un String", "a String"},
      {AdifType::kIntlString, "un IntlString", "an IntlString"},
      {AdifType::kMultilineString, "un MultilineString", "a MultilineString"},
      {AdifType::kIntlMultilineString, "un IntlMultilineString",
       "an IntlMultilineString"},
      {AdifType::kEnumeration, "una Enumeration", "an Enumeration"},
      {AdifType::kLocation, "una Location", "a Location"},
  };
  // clang-format on
  for (const auto& name : kNames)
    if (name.type == type)
      return Say(language, name.spanish, name.english) + " (" + letter + ")";
  return std::string(1, letter);
}

}  // namespace

// ---- what the checker keeps ----

// A field the header declares: its type, and the values or the range it
// gives.
struct Checker::UserField {
  AdifType type = AdifType::kString;
  bool typed = false;               // a type indicator was given
  std::vector<std::string> values;  // of an enumeration
  bool ranged = false;
  double lowest = 0, highest = 0;
};

// A value a field held lately, placed by a hash of its bytes, and what
// looking it up gave.
struct Checker::Last {
  static constexpr std::size_t kSize = 16;  // longer values are not kept
  std::uint64_t low = 0, high = 0;          // its bytes, as ValueKey reads them
  std::size_t size = kSize + 1;             // none
  const void* result = nullptr;
  // Of a number: where it lies within the blanks, and as a frequency.
  unsigned char value_at = 0, value_size = 0;
  std::uint64_t hertz = 0;
  // The number within \a data, which holds the bytes remembered.
  std::string_view Number(std::string_view data) const {
    return std::string_view(data.data() + value_at, value_size);
  }
};

// Up to 64 bytes of a value kept for the record's end, without the heap.
struct Checker::Kept {
  char bytes[64];
  std::size_t size = 0;
  void Keep(std::string_view text) {
    size = std::min(text.size(), sizeof bytes);
    std::memcpy(bytes, text.data(), size);
  }
  std::string_view view() const { return std::string_view(bytes, size); }
  bool empty() const { return size == 0; }
  void clear() { size = 0; }
};

// What is known of a field name, as written.
struct Checker::NameEntry {
  std::string name;
  const AdifFieldDefinition* standard = nullptr;
  const UserField* user = nullptr;  // declared by the header
  bool application = false;         // APP_...
  Role role = Role::kOther;
  Quick quick = Quick::kOther;        // the short way, for a usual field
  AdifType type = AdifType::kString;  // the standard's or the declared one
  bool typed = false;                 // that type is known, not assumed
  bool usual = false;           // of the standard, for records, not import-only
  bool number = false;          // of a numeric type, judged as before
  int required = kNotRequired;  // its place in Checker::has_
  bool submode = false;         // SUBMODE, judged against MODE
  std::string_view enumeration;  // the standard's, with its qualifier
  std::size_t bracket = std::string_view::npos;  // where the qualifier starts
  bool latitude = false;          // a Location that is a latitude
  const char* minimum = nullptr;  // a number's range, as written
  const char* maximum = nullptr;
  double lowest = 0, highest = 0;
  int service_field = -1;  // a ServiceField, or -1
  bool short_way = false;  // usual and no service's: judged the short way
  // Where the name was met last: the record, the part, its value then.
  std::uint64_t seen_record = 0, seen_part = 0;
  std::uint64_t seen_mark = 0;  // the part it was met in, while looking
  std::uint32_t place = 0;      // of its field in the part it was last in
  std::string_view seen_value;
  std::uint64_t seen_length = 0;
  Kept seen_kept;  // the value when its part was handed over
  static constexpr int kLastBits = 5;
  static constexpr std::size_t kLasts = std::size_t{1} << kLastBits;
  std::unique_ptr<Last[]> last;
  std::size_t next_way = 0;
};

// A name numbered by the reader, and its entry.
struct Checker::Spelled {
  std::uint64_t spelling = 0;
  NameEntry* entry = nullptr;
};

// A value kept until the record's end, to be judged against another field.
struct Checker::Deferred {
  std::string field;
  std::string value;
  const char* enumeration = nullptr;
  bool mine = false;  // judged against MY_DXCC, not DXCC
};

namespace {

// The room of the table of names: a file with more names than this starts
// the table again.
constexpr std::size_t kMostNames = 4096;
constexpr std::size_t kWays = 4;

// The bytes of a value of up to Last::kSize bytes as two words, which tell
// it from any other value of its size: its first and last eight bytes
// (which may overlap), or four and four, or its first, middle and last.
struct ValueKey {
  std::uint64_t low = 0, high = 0;
  explicit ValueKey(std::string_view value) {
    const std::size_t n = value.size();
    const char* p = value.data();
    if (n >= 8) {
      low = Load<std::uint64_t>(p);
      high = Load<std::uint64_t>(p + n - 8);
    } else if (n >= 4) {
      low = Load<std::uint32_t>(p) |
            std::uint64_t{Load<std::uint32_t>(p + n - 4)} << 32;
    } else if (n > 0) {
      low = static_cast<unsigned char>(p[0]) |
            static_cast<unsigned char>(p[n / 2]) << 8 |
            static_cast<unsigned char>(p[n - 1]) << 16;
    }
  }
  // One of kWays places of 2^bits for the value of \a size bytes: the top
  // bits of a multiplicative hash.
  std::size_t Place(std::size_t size, int bits) const {
    return ((low * 0x9E3779B97F4A7C15ULL ^ high ^ size) *
            0x9E3779B97F4A7C15ULL) >>
           (64 - bits);
  }
};

}  // namespace

Checker::Checker(AdifForm form, const CheckOptions& options,
                 const FindingSink& sink, CheckTotals* totals)
    : form_(form),
      language_(options.language),
      options_(options),
      service_(options.service),
      sink_(sink),
      totals_(totals),
      name_table_(kMostNames),
      spelled_(new Spelled[kSpelled]),
      freq_(new Kept),
      freq_rx_(new Kept),
      deferred_(new Deferred[kDeferredSlots]) {
  names_.reserve(kMostNames);
  for (int k = 0; k < kFindingKindCount; ++k)
    error_kind_[k] =
        LevelOf(static_cast<FindingKind>(k)) == FindingLevel::kError;
}

Checker::~Checker() = default;

// ---- counting and handing over ----

void Checker::CountHidden(FindingKind kind, std::uint64_t count) {
  const int k = static_cast<int>(kind);
  totals_->by_kind[k] += count;
  totals_->hidden_by_kind[k] += count;
  (LevelOf(kind) == FindingLevel::kError ? totals_->errors
                                         : totals_->warnings) += count;
}

void Checker::Show(FindingKind kind, std::string_view field,
                   std::string message) {
  Finding finding;
  finding.record = record_;
  finding.field = field == "-" ? std::string("-") : ShownName(field);
  finding.kind = kind;
  finding.message = std::move(message);
  if (!sink_(finding)) stopped_ = true;
}

std::string Checker::T(const char* spanish, const char* english) const {
  return Say(language_, spanish, english);
}

ServiceReport Checker::ServiceReporter() {
  return [this](FindingKind kind, std::string_view field,
                const std::string& message) {
    Report(kind, field, [&] { return message; });
  };
}

void Checker::AddLaterRecords(const CheckTotals& later,
                              std::vector<Finding>* shown) {
  const std::uint64_t limit = options_.shown_per_kind;
  std::uint64_t shown_of[kFindingKindCount];
  for (int k = 0; k < kFindingKindCount; ++k)
    shown_of[k] = totals_->by_kind[k] - totals_->hidden_by_kind[k];
  for (Finding& finding : *shown) {
    std::uint64_t& count = shown_of[static_cast<int>(finding.kind)];
    if ((limit != 0 && count >= limit) || stopped_) continue;
    ++count;
    if (finding.record != 0) finding.record += totals_->records;
    if (!sink_(finding)) stopped_ = true;
  }
  totals_->records += later.records;
  totals_->records_with_findings += later.records_with_findings;
  totals_->errors += later.errors;
  totals_->warnings += later.warnings;
  for (int k = 0; k < kFindingKindCount; ++k) {
    std::uint64_t& all = totals_->by_kind[k];
    all += later.by_kind[k];
    totals_->hidden_by_kind[k] = limit != 0 && all > limit ? all - limit : 0;
  }
}

void Checker::NoRecords() {
  Report(FindingKind::kNoRecords, "-", [&] {
    return T("el fichero no tiene ning\xFAn registro ADIF",
             "the file holds no ADIF record");
  });
}

void Checker::FileProblems(const AdifFileProblems& problems) {
  const std::uint64_t record = record_;
  record_ = 0;
  for (const AdifSyntaxProblem& problem : problems.kept) Syntax(problem);
  for (int k = 0; k < kAdifSyntaxKinds; ++k) {
    if (problems.more[k] == 0) continue;
    CountHidden(SyntaxFindingKind(static_cast<AdifSyntax>(k)),
                problems.more[k]);
  }
  record_ = record;
}

// ---- the header ----

void Checker::Header(const std::vector<AdifHeaderField>& fields, bool report) {
  const std::uint64_t record = record_;
  record_ = 0;
  if (report && service_) service_->file(form_, language_, ServiceReporter());
  for (const AdifHeaderField& field : fields) {
    const std::string_view name = field.name;
    if (StartsWithIgnoringCase(name, "USERDEF") && name.size() > 7 &&
        AllDigits(name.substr(7))) {
      Declare(field, report);
      continue;
    }
    if (!report || StartsWithIgnoringCase(name, "APP_")) continue;
    const AdifFieldDefinition* standard = FindAdifField(name);
    if (standard && standard->header) continue;
    Report(FindingKind::kUnknownField, name, [&] {
      return ShownName(name) +
             (standard ? T(" es un campo de registro: no tiene sitio en la "
                           "cabecera",
                           " is a record field: it has no place in the header")
                       : T(" no es un campo de cabecera de ",
                           " is not a header field of ") +
                             AdifVersionText());
    });
  }
  record_ = record;
}

void Checker::BadHeader(std::string_view name, const std::string& why) {
  Report(FindingKind::kBadHeader, name, [&] { return why; });
}

// USERDEFn: NAME, with the type of its indicator, perhaps followed by
// ",{A,B,C}" (the values of an enumeration) or ",{5:20}" (a number's range).
void Checker::Declare(const AdifHeaderField& field, bool report) {
  const std::string_view data = field.data;
  const std::size_t comma = data.find(',');
  const std::string_view name = TrimWhiteSpace(data.substr(0, comma));
  const std::string_view values = comma == std::string_view::npos
                                      ? std::string_view()
                                      : TrimWhiteSpace(data.substr(comma + 1));
  const std::string shown = ShownName(field.name);
  UserField user;
  if (!field.type.empty()) {
    user.typed = FindAdifTypeIndicator(field.type, &user.type);
    if (!user.typed) {
      if (report)
        BadHeader(
            field.name,
            shown + T(": el indicador de tipo ", ": type indicator ") +
                EscapedToken(field.type) +
                T(" no es del est\xE1ndar", " is none of the standard's"));
      return;
    }
  }
  if (name.empty()) {
    if (report)
      BadHeader(field.name,
                shown + T(" no nombra ning\xFAn campo", " names no field"));
    return;
  }
  if (FindAdifField(name)) {
    if (report)
      BadHeader(field.name,
                shown + T(" declara ", " declares ") + ShownName(name) +
                    T(", un campo de ", ", a field of ") + AdifVersionText() +
                    T(": un campo propio del fichero necesita un nombre propio",
                      ": a file's own field needs a name of its own"));
    return;
  }
  if (!values.empty()) {
    const bool braced =
        values.size() >= 2 && values.front() == '{' && values.back() == '}';
    const std::string_view inside =
        braced ? values.substr(1, values.size() - 2) : values;
    const std::size_t colon = inside.find(':');
    bool good = braced;
    if (good && user.type == AdifType::kNumber &&
        colon != std::string_view::npos) {
      const std::string low(TrimWhiteSpace(inside.substr(0, colon)));
      const std::string high(TrimWhiteSpace(inside.substr(colon + 1)));
      good = IsAdifNumber(low, false, true) && IsAdifNumber(high, false, true);
      user.ranged = good;
      user.lowest = std::strtod(low.c_str(), nullptr);
      user.highest = std::strtod(high.c_str(), nullptr);
    } else if (good && user.type == AdifType::kEnumeration) {
      for (std::string_view item : Items(inside, ','))
        if (!TrimWhiteSpace(item).empty())
          user.values.emplace_back(TrimWhiteSpace(item));
      good = !user.values.empty();
    } else {
      good = false;
    }
    if (!good) {
      if (report)
        BadHeader(field.name,
                  shown + T(": ", ": ") + Quoted(values) +
                      T(" no es una lista {A,B,C} de una Enumeration ni un "
                        "rango {5:20} de un Number",
                        " is neither the list {A,B,C} of an Enumeration nor "
                        "the range {5:20} of a Number"));
      return;
    }
  }
  const std::string upper = AsciiUpperText(name);
  if (user_fields_.count(upper) != 0) return;
  user_fields_.emplace(upper, std::move(user));
  if (!names_.empty()) ForgetNames();  // a name met before may be this one
}

// ---- names ----

inline Checker::NameEntry* Checker::Lookup(std::string_view name) {
  const std::size_t number = name_table_.Find(name);
  return number != NameTable::kNotFound ? &names_[number] : Added(name);
}

// The entry of \a name, met for the first time (since the names were last
// forgotten).
Checker::NameEntry* Checker::Added(std::string_view name) {
  if (name_table_.full()) ForgetNames();
  const std::size_t number = name_table_.Add(name);
  names_.emplace_back();
  NameEntry* entry = &names_[number];
  entry->name.assign(name.data(), name.size());
  Describe(entry);
  return entry;
}

// All names are forgotten (a file of very many names, or a header that
// declares fields): what was known of them is looked up again.
void Checker::ForgetNames() {
  names_.clear();
  name_table_.Clear();
  for (std::size_t i = 0; i < kSpelled; ++i) spelled_[i] = Spelled();
  for (NameEntry*& placed : placed_) placed = nullptr;
  slot_ = nullptr;
  names_in_entries_ = 0;
}

// What is known of the name of \a entry: its definition, role and type.
void Checker::Describe(NameEntry* entry) {
  const std::string_view name = entry->name;
  entry->service_field = service_ ? ServiceFieldOf(name) : -1;
  entry->standard = FindAdifField(name);
  if (!entry->standard) {
    entry->application = StartsWithIgnoringCase(name, "APP_");
    auto user = user_fields_.find(AsciiUpperText(name));
    if (user != user_fields_.end()) {
      entry->user = &user->second;
      entry->type = user->second.type;
      entry->typed = user->second.typed;
      entry->number = false;
      if (user->second.ranged) {
        entry->lowest = user->second.lowest;
        entry->highest = user->second.highest;
      }
    }
    return;
  }
  static const struct {
    const char* name;
    Role role;
    int required;
  } kRoles[] = {{"CALL", Role::kCall, 0},
                {"QSO_DATE", Role::kQsoDate, 1},
                {"TIME_ON", Role::kTimeOn, 2},
                {"MODE", Role::kMode, 3},
                {"BAND", Role::kBand, 4},
                {"BAND_RX", Role::kBandRx, kNotRequired},
                {"FREQ", Role::kFreq, 4},
                {"FREQ_RX", Role::kFreqRx, kNotRequired},
                {"DXCC", Role::kDxcc, kNotRequired},
                {"MY_DXCC", Role::kMyDxcc, kNotRequired}};
  for (const auto& known : kRoles) {
    if (std::string_view(entry->standard->name) == known.name) {
      entry->role = known.role;
      entry->required = known.required;
    }
  }
  const char* list = entry->standard->enumeration;
  entry->submode = list && StartsWithIgnoringCase(list, "SUBMODE");
  if (list) {
    entry->enumeration = list;
    entry->bracket = entry->enumeration.find('[');
  }
  entry->latitude = name.size() >= 3 &&
                    EqualIgnoringCase(name.substr(name.size() - 3), "LAT");
  entry->type = entry->standard->type;
  entry->typed = true;
  entry->number = IsNumeric(entry->type);
  entry->usual = !entry->standard->header && !entry->standard->import_only;
  entry->minimum = entry->standard->minimum;
  entry->maximum = entry->standard->maximum;
  if (entry->minimum) entry->lowest = std::strtod(entry->minimum, nullptr);
  if (entry->maximum) entry->highest = std::strtod(entry->maximum, nullptr);
  entry->quick = QuickOf(*entry);
  entry->short_way = entry->usual && entry->service_field < 0;
}

// The short way a usual field of the standard is judged, as Field would
// judge it the long way.
Checker::Quick Checker::QuickOf(const NameEntry& entry) {
  switch (entry.type) {
    case AdifType::kString:
      return entry.submode || !entry.enumeration.empty() ? Quick::kOther
                                                         : Quick::kText;
    case AdifType::kDate:
      return Quick::kDate;
    case AdifType::kTime:
      return Quick::kTime;
    case AdifType::kGridSquare:
      return Quick::kGrid;
    case AdifType::kEnumeration:
      if (entry.role == Role::kBand) return Quick::kBand;
      if (entry.role == Role::kMode) return Quick::kMode;
      return entry.role == Role::kOther &&
                     entry.bracket == std::string_view::npos
                 ? Quick::kEnumeration
                 : Quick::kOther;
    default:
      return entry.number ? Quick::kNumber : Quick::kOther;
  }
}

// The entry of \a field: by the number the reader gave its name, when that
// number was met lately, since records repeat their names.
inline Checker::NameEntry* Checker::SlotAt(const AdifField& field) {
  if (field.spelling == 0) return Lookup(field.name);
  Spelled& spelled = spelled_[field.spelling % kSpelled];
  if (spelled.spelling != field.spelling) {
    spelled.entry = Lookup(field.name);
    spelled.spelling = field.spelling;
  }
  return spelled.entry;
}

// ---- values seen before ----

// \a find(value), or the result it gave when this field last held the same
// value (the same bytes).
template <typename Result, typename Find>
const Result* Checker::Remembered(std::string_view value, Find find) {
  const Result* result = nullptr;
  if (Recalled(value, &result)) return result;
  result = find();
  Remember(value, result);
  return result;
}

// Remembers that the field at hand held \a value, and what it gave; where,
// or nullptr when it is too long to keep.
Checker::Last* Checker::Remember(std::string_view value, const void* result) {
  if (value.size() > Last::kSize) return nullptr;
  Last& last = PlaceFor(value);
  const ValueKey key(value);
  last.low = key.low;
  last.high = key.high;
  last.size = value.size();
  last.result = result;
  return &last;
}

// Remembers that the number written \a data, \a number without the blanks
// around it, is good; \a hertz: as a frequency.
void Checker::RememberNumber(std::string_view data, std::string_view number,
                             std::uint64_t hertz) {
  Last* last = Remember(data, &kGoodNumber);
  if (!last) return;
  last->value_at = static_cast<unsigned char>(number.data() - data.data());
  last->value_size = static_cast<unsigned char>(number.size());
  last->hertz = hertz;
}

// True when the field at hand held \a value lately; \a result is set to
// what looking it up gave then.
template <typename Result>
bool Checker::Recalled(std::string_view value, const Result** result) {
  const Last* last = Recall(value);
  if (last) *result = static_cast<const Result*>(last->result);
  return last != nullptr;
}

// Where the field at hand remembers \a value, or nullptr.
inline const Checker::Last* Checker::Recall(std::string_view value) {
  const std::size_t n = value.size();
  if (n > Last::kSize || !slot_->last) return nullptr;
  const ValueKey key(value);
  const std::size_t place = key.Place(n, NameEntry::kLastBits);
  for (std::size_t way = 0; way < kWays; ++way) {
    const Last& last = slot_->last[(place + way) % NameEntry::kLasts];
    if (last.size == n && last.low == key.low && last.high == key.high)
      return &last;
  }
  return nullptr;
}

// A place for \a value, not yet remembered: a free one of its ways, or each
// of them in turn.
Checker::Last& Checker::PlaceFor(std::string_view value) {
  if (!slot_->last) slot_->last.reset(new Last[NameEntry::kLasts]);
  const std::size_t place =
      ValueKey(value).Place(value.size(), NameEntry::kLastBits);
  for (std::size_t way = 0; way < kWays; ++way) {
    Last& last = slot_->last[(place + way) % NameEntry::kLasts];
    if (last.size > Last::kSize) return last;
  }
  slot_->next_way = (slot_->next_way + 1) % kWays;
  return slot_->last[(place + slot_->next_way) % NameEntry::kLasts];
}

// ---- a record ----

void Checker::Part(const AdifRecord& part) {
  if (!part.continued) StartRecord();
  ++part_serial_;
  for (const AdifSyntaxProblem& problem : part.problems) Syntax(problem);
  if (!FieldsByKind(part))
    for (std::size_t i = 0; i < part.fields.size(); ++i)
      Field(part.fields[i], i);
  if (part.complete) {
    EndRecord(part.terminated);
  } else {
    KeepRepeatedValues(part);
  }
}

void Checker::StartRecord() {
  record_ = ++totals_->records;
  record_has_findings_ = false;
  has_fields_ = false;
  for (bool& has : has_) has = false;
  mode_ = nullptr;
  submode_.clear();
  has_submode_ = false;
  band_ = band_rx_ = nullptr;
  freq_->clear();
  freq_rx_->clear();
  dxcc_.clear();
  my_dxcc_.clear();
  deferred_count_ = 0;
  if (service_) service_record_.Clear();
}

void Checker::Syntax(const AdifSyntaxProblem& p) {
  Report(SyntaxFindingKind(p.kind), p.field,
         [&] { return SyntaxProblemText(p, form_, language_); });
}

// A number found good before, written the same: only blanks around it are
// news. False when it was not.
inline bool Checker::NumberAsBefore(const AdifField& field) {
  const Last* last = Recall(field.data);
  if (!last || last->result != &kGoodNumber) return false;
  const std::string_view value = last->Number(field.data);
  has_[slot_->required] = true;
  Padded(field.name, field.data, value, slot_->type);
  if (slot_->role == Role::kFreq || slot_->role == Role::kFreqRx)
    KeepFrequency(value, last->hertz);
  return true;
}

// Judges the usual values of the usual types of the standard's fields at
// once: true when done. The rest are judged by Typed, which also says what
// is wrong.
inline bool Checker::JudgedAtOnce(std::string_view value) {
  switch (slot_->type) {
    case AdifType::kString:
      return !slot_->submode && slot_->enumeration.empty();
    case AdifType::kDate:
      return IsAdifDate(value);
    case AdifType::kTime:
      return IsAdifTime(value);
    case AdifType::kGridSquare:
      return IsGridSquare(value);
    case AdifType::kEnumeration:
      return EnumeratedAtOnce(value);
    default:
      return false;
  }
}

// A value of an enumeration found valid before: for BAND and MODE it is
// remembered for the record's own rules.
bool Checker::EnumeratedAtOnce(std::string_view value) {
  const AdifEnumerationValue* found = nullptr;
  switch (slot_->role) {
    case Role::kOther:
      return slot_->bracket == std::string_view::npos &&
             Recalled(value, &found) && found && !found->import_only;
    case Role::kBand: {
      const AdifBand* band = nullptr;
      if (!Recalled(value, &band) || !band) return false;
      band_ = band;
      return true;
    }
    case Role::kMode:
      if (!Recalled(value, &found) || !found || found->import_only)
        return false;
      mode_ = found;
      return true;
    default:
      return false;
  }
}

// Judges field \a index of a part, in the order of the part.
void Checker::Field(const AdifField& field, std::size_t index) {
  has_fields_ = true;
  slot_ = SlotAt(field);
  if (index < kPlaced) placed_[index] = slot_;
  slot_->place = static_cast<std::uint32_t>(index);
  Seen(field);
  Judge(field);
}

// Notes that the field at hand was met in the record, or reports it met
// twice.
inline void Checker::Seen(const AdifField& field) {
  NameEntry& entry = *slot_;
  if (entry.seen_record == record_) return Repeated(field);
  entry.seen_record = record_;
  entry.seen_part = part_serial_;
  entry.seen_value = field.data;
  entry.seen_length = field.length;
}

// True when the field at hand is a usual field of the standard, without a
// type indicator: it is judged the short way when it can be.
inline bool Checker::Usual(const NameEntry& entry, const AdifField& field) {
  return entry.short_way && field.type.empty() && !field.length_leading_zeros;
}

inline void Checker::Judge(const AdifField& field) {
  if (!Usual(*slot_, field)) return FieldInFull(field);
  // The most common kind, judged here when it gives no finding.
  if (slot_->quick == Quick::kText && JudgedText<false>(field)) return;
  Judged<true>(field, slot_->quick);
}

// The fields of \a part judged kind by kind, all the dates, then all the
// times, ..., rather than one after the other, when their names stand in
// another order than when they were met before: a field's kind is then not
// foreseen, and going from one to the next costs more than judging it.
// Findings are still made in the order of the fields, since only the
// fields that give none are judged early. False, with nothing done, when
// a name is met for the first time or twice in the record, which are left
// to the reading in order.
bool Checker::FieldsByKind(const AdifRecord& part) {
  const std::size_t n = part.fields.size();
  const AdifField* const fields = part.fields.data();
  if (n == 0 || n > kPlaced) {
    names_in_entries_ = 0;
    return false;
  }
  bool in_order = true;  // each name after the one before, as when last met
  // The places of the fields by kind, the short way's, for when they are
  // not in order: filled as the names are looked up, which they then are.
  std::size_t counts[kQuickKinds];
  if (!SameNames(part)) {
    std::fill(counts, counts + kQuickKinds, 0);
    names_in_entries_ = 0;
    std::uint32_t after = 0;
    for (std::size_t i = 0; i < n; ++i) {
      NameEntry* entry = Known(fields[i]);
      if (!entry || entry->seen_record == record_ ||
          entry->seen_mark == part_serial_)
        return false;
      entry->seen_mark = part_serial_;
      in_order &= entry->place >= after;
      after = entry->place + 1;
      entry->place = static_cast<std::uint32_t>(i);
      entries_[i] = entry;
      const int k = static_cast<int>(Usual(*entry, fields[i]) ? entry->quick
                                                              : Quick::kOther);
      by_kind_[k][counts[k]++] = static_cast<std::uint8_t>(i);
    }
    if (in_order) KeepNames(part);
  }
  has_fields_ = true;
  // What a later part of the record looks back at, which no field of this
  // part repeats: nothing when this part ends the record.
  if (!part.complete) {
    for (std::size_t i = 0; i < n; ++i) {
      slot_ = placed_[i] = entries_[i];
      Seen(fields[i]);
    }
  }
  if (in_order) {  // in the order of the fields, which is foreseen
    for (std::size_t i = 0; i < n; ++i) {
      slot_ = entries_[i];
      Judge(fields[i]);
    }
    return true;
  }
  // Judged after, in the order of the fields: those of no short way (the
  // list of Quick::kOther), and those that gave a sign of a finding.
  std::uint8_t* const late = by_kind_[0];
  std::size_t late_count = counts[0];
  late_count = JudgedEarly<Quick::kText>(fields, counts, late, late_count);
  late_count = JudgedEarly<Quick::kDate>(fields, counts, late, late_count);
  late_count = JudgedEarly<Quick::kTime>(fields, counts, late, late_count);
  late_count = JudgedEarly<Quick::kGrid>(fields, counts, late, late_count);
  late_count = JudgedEarly<Quick::kNumber>(fields, counts, late, late_count);
  late_count =
      JudgedEarly<Quick::kEnumeration>(fields, counts, late, late_count);
  late_count = JudgedEarly<Quick::kBand>(fields, counts, late, late_count);
  late_count = JudgedEarly<Quick::kMode>(fields, counts, late, late_count);
  // A few places, mostly in order already.
  for (std::size_t j = 1; j < late_count; ++j)
    for (std::size_t m = j; m > 0 && late[m - 1] > late[m]; --m)
      std::swap(late[m - 1], late[m]);
  for (std::size_t j = 0; j < late_count; ++j) {
    slot_ = entries_[late[j]];
    Judge(fields[late[j]]);
  }
  return true;
}

// The fields of kind \a kKind judged the short way; the places of those that
// gave a sign of a finding added to \a late. The new count of \a late.
template <Checker::Quick kKind>
inline std::size_t Checker::JudgedEarly(const AdifField* fields,
                                        const std::size_t* counts,
                                        std::uint8_t* late,
                                        std::size_t late_count) {
  constexpr int k = static_cast<int>(kKind);
  for (std::size_t j = 0; j < counts[k]; ++j) {
    const std::size_t i = by_kind_[k][j];
    slot_ = entries_[i];
    if (!Judged<false>(fields[i], kKind))
      late[late_count++] = static_cast<std::uint8_t>(i);
  }
  return late_count;
}

// True when \a part starts a record and its names are those, in the same
// order, of the part whose entries_ were looked up last: they are the
// entries, each once and each at its place.
inline bool Checker::SameNames(const AdifRecord& part) const {
  const std::size_t n = part.fields.size();
  if (part.continued || n != names_in_entries_) return false;
  const AdifField* const fields = part.fields.data();
  for (std::size_t i = 0; i < n; ++i)
    if (fields[i].spelling != spellings_[i]) return false;
  return true;
}

// Keeps the names of \a part, whose entries_ were just looked up and found
// in order, by the numbers the reader gave them, when it gave each one.
void Checker::KeepNames(const AdifRecord& part) {
  const std::size_t n = part.fields.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (part.fields[i].spelling == 0) return;
    spellings_[i] = part.fields[i].spelling;
  }
  names_in_entries_ = n;
}

// The entry of \a field when its name was met before, or nullptr.
inline Checker::NameEntry* Checker::Known(const AdifField& field) {
  if (field.spelling != 0) {
    const Spelled& spelled = spelled_[field.spelling % kSpelled];
    if (spelled.spelling == field.spelling) return spelled.entry;
  }
  const std::size_t number = name_table_.Find(field.name);
  if (number == NameTable::kNotFound) return nullptr;
  if (field.spelling != 0)
    spelled_[field.spelling % kSpelled] = {field.spelling, &names_[number]};
  return &names_[number];
}

// A usual field of the standard, the long way.
void Checker::UsualField(const AdifField& field) {
  const NameEntry& entry = *slot_;
  const AdifByteCounts& counts = field.bytes;
  if (counts.odd != 0 || counts.line_ends != 0 || IsInternational(entry.type))
    Bytes(field, entry.type);
  if (entry.number && NumberAsBefore(field)) return;
  const std::string_view value = TrimWhiteSpace(field.data);
  // A blank value is as good as none: the required-field check reports it.
  if (value.empty()) return;
  has_[entry.required] = true;
  if (value.size() != field.data.size() &&
      (entry.type == AdifType::kDate || entry.type == AdifType::kTime))
    Padded(field.name, field.data, value, entry.type);
  if (!JudgedAtOnce(value)) Typed(field, entry.type, value);
}

// ---- the short ways ----
// Each judges a usual field of one kind as UsualField does. When kInFull,
// what is wrong is reported, and they return true. Otherwise they judge it
// only when it gives no finding: true then, with what the record keeps of
// it noted; false, with nothing done, at the first sign of a finding.

template <bool kInFull>
bool Checker::Judged(const AdifField& field, Quick kind) {
  switch (kind) {
    case Quick::kText:
      return JudgedText<kInFull>(field);
    case Quick::kDate:
      return JudgedDateOrTime<kInFull>(field, AdifType::kDate);
    case Quick::kTime:
      return JudgedDateOrTime<kInFull>(field, AdifType::kTime);
    case Quick::kGrid:
      return JudgedGrid<kInFull>(field);
    case Quick::kNumber:
      return JudgedNumber<kInFull>(field);
    case Quick::kEnumeration:
    case Quick::kBand:
    case Quick::kMode:
      return JudgedEnumeration<kInFull>(field, kind);
    case Quick::kOther:
      break;
  }
  if (kInFull) UsualField(field);
  return kInFull;
}

// Bytes outside printable ASCII, in a field of a type that is not
// international: reported when \a report. True when there are none, or
// they were reported.
template <bool kInFull>
bool Checker::PlainBytes(const AdifField& field, AdifType type) {
  if ((field.bytes.odd | field.bytes.line_ends) == 0) return true;
  if (kInFull) Bytes(field, type);
  return kInFull;
}

// A String of no list: only whether it is blank counts.
template <bool kInFull>
bool Checker::JudgedText(const AdifField& field) {
  if (!PlainBytes<kInFull>(field, AdifType::kString)) return false;
  if (!TrimWhiteSpace(field.data).empty()) has_[slot_->required] = true;
  return true;
}

template <bool kInFull>
bool Checker::JudgedDateOrTime(const AdifField& field, AdifType type) {
  if (!PlainBytes<kInFull>(field, type)) return false;
  const std::string_view value = TrimWhiteSpace(field.data);
  if (value.empty()) return true;
  const bool padded = value.size() != field.data.size();
  const bool good =
      type == AdifType::kDate ? IsAdifDate(value) : IsAdifTime(value);
  if (!kInFull && (padded || !good)) return false;
  has_[slot_->required] = true;
  if (padded) Padded(field.name, field.data, value, type);
  if (!good) Typed(field, type, value);
  return true;
}

template <bool kInFull>
bool Checker::JudgedGrid(const AdifField& field) {
  if (!PlainBytes<kInFull>(field, AdifType::kGridSquare)) return false;
  const std::string_view value = TrimWhiteSpace(field.data);
  if (value.empty()) return true;
  const bool good = IsGridSquare(value);
  if (!kInFull && !good) return false;
  has_[slot_->required] = true;
  if (!good) Typed(field, AdifType::kGridSquare, value);
  return true;
}

// A number found good before, written the same, is only looked at for
// blanks around it.
template <bool kInFull>
bool Checker::JudgedNumber(const AdifField& field) {
  const AdifType type = slot_->type;
  if (!PlainBytes<kInFull>(field, type)) return false;
  const Last* last = Recall(field.data);
  if (last && last->result == &kGoodNumber) {
    const std::string_view value = last->Number(field.data);
    const bool padded = value.size() != field.data.size();
    if (!kInFull && padded) return false;
    has_[slot_->required] = true;
    if (padded) Padded(field.name, field.data, value, type);
    if (slot_->role == Role::kFreq || slot_->role == Role::kFreqRx)
      KeepFrequency(value, last->hertz);
    return true;
  }
  const std::string_view value = TrimWhiteSpace(field.data);
  if (value.empty()) return true;
  if (!kInFull) return false;
  has_[slot_->required] = true;
  Typed(field, type, value);
  return true;
}

// A value of an enumeration of no qualifier, found valid before; BAND and
// MODE are kept for the record's own rules.
template <bool kInFull>
bool Checker::JudgedEnumeration(const AdifField& field, Quick kind) {
  if (!PlainBytes<kInFull>(field, AdifType::kEnumeration)) return false;
  const std::string_view value = TrimWhiteSpace(field.data);
  if (value.empty()) return true;
  bool good = false;
  if (kind == Quick::kBand) {
    const AdifBand* band = nullptr;
    good = Recalled(value, &band) && band;
    if (good) band_ = band;
  } else {
    const AdifEnumerationValue* found = nullptr;
    good = Recalled(value, &found) && found && !found->import_only;
    if (good && kind == Quick::kMode) mode_ = found;
  }
  if (!kInFull && !good) return false;
  has_[slot_->required] = true;
  if (!good) Typed(field, AdifType::kEnumeration, value);
  return true;
}

// Any field: of the file's own, an application's, unknown, with a type
// indicator, looked at by a service.
void Checker::FieldInFull(const AdifField& field) {
  AdifType type = slot_->type;
  const bool as_named = field.type.empty() || TypeOfField(field, &type);
  if (field.length_leading_zeros)
    Report(FindingKind::kImportOnly, field.name, [&] {
      return T("la longitud de ", "the length of ") + ShownName(field.name) +
             T(" lleva ceros delante: ", " is written with leading zeros: ") +
             AdifVersionText() + T(" solo la lee as\xED", " only reads it so");
    });
  const AdifByteCounts& counts = field.bytes;
  if (IsInternational(type) || counts.odd != 0 ||
      (counts.line_ends != 0 && !IsMultiline(type)))
    Bytes(field, type);
  const std::string_view value = TrimWhiteSpace(field.data);
  if (slot_->service_field >= 0) ForService(field, value);
  if (!slot_->usual && !Unusual(field, type)) return;
  if (slot_->number && as_named && NumberAsBefore(field)) return;
  if (value.empty()) return;
  has_[slot_->required] = true;
  if (value.size() != field.data.size() &&
      (type == AdifType::kDate || type == AdifType::kTime))
    Padded(field.name, field.data, value, type);
  if (as_named && slot_->standard && JudgedAtOnce(value)) return;
  Typed(field, type, value);
}

// The type \a field is to be judged by when it has a type indicator: that
// of an application's field or of one of no known type; the named type
// otherwise, after a finding when the indicator is unknown or does not fit
// it. False when the indicator changed the type.
bool Checker::TypeOfField(const AdifField& field, AdifType* type) {
  if (service_ && !service_->takes_type(field.type) &&
      service_record_.refused_type.empty()) {
    service_record_.refused_type_field = ShownName(field.name);
    service_record_.refused_type.assign(field.type.data(), field.type.size());
  }
  AdifType given;
  if (!FindAdifTypeIndicator(field.type, &given)) {
    Report(FindingKind::kBadType, field.name, [&] {
      return T("el indicador de tipo ", "type indicator ") +
             EscapedToken(field.type) +
             T(" no es del est\xE1ndar (B, D, E, G, I, L, M, N, S, T)",
               " is none of the standard's (B, D, E, G, I, L, M, N, S, T)");
    });
    return true;
  }
  if (!slot_->typed) {
    *type = given;
    return given == slot_->type;
  }
  const char own = AdifTypeIndicatorOf(slot_->type);
  const char letter = AdifTypeIndicatorOf(given);
  if (own != 0 && own != letter)
    Report(FindingKind::kBadType, field.name, [&] {
      return T("el indicador de tipo ", "type indicator ") +
             std::string(1, letter) +
             T(" no corresponde a ", " does not fit ") + ShownName(field.name) +
             ", " + TypeName(slot_->type, own, language_);
    });
  return true;
}

// A field met twice in a record, with two values: readers keep one or the
// other.
void Checker::Repeated(const AdifField& field) {
  const NameEntry& entry = *slot_;
  const std::string_view before = entry.seen_part == part_serial_
                                      ? entry.seen_value
                                      : entry.seen_kept.view();
  const std::string_view now =
      field.data.substr(0, std::min(field.data.size(), before.size()));
  if (field.length == entry.seen_length && before == now) return;
  Report(FindingKind::kRepeatedField, field.name, [&] {
    return ShownName(field.name) +
           T(" est\xE1 dos veces, con ", " appears twice, as ") +
           Quoted(before) + T(" y con ", " and as ") + Quoted(field.data) +
           T(": cada lector se queda con uno u otro",
             ": readers keep one or the other");
  });
}

// \a part is handed over in the middle of a record: the values of its
// fields are kept, since their views go with it.
void Checker::KeepRepeatedValues(const AdifRecord& part) {
  for (std::size_t i = 0; i < part.fields.size(); ++i) {
    NameEntry* entry = i < kPlaced ? placed_[i] : Lookup(part.fields[i].name);
    if (entry && entry->seen_part == part_serial_)
      entry->seen_kept.Keep(entry->seen_value);
  }
}

void Checker::ForService(const AdifField& field, std::string_view value) {
  service_record_.values[slot_->service_field].Keep(
      value, form_ == AdifForm::kTagged ? field.declared_length : field.length);
}

// Reports a field that is not the standard's, or not one for records; true
// when its value is still to be judged by \a type.
bool Checker::Unusual(const AdifField& field, AdifType type) {
  const std::string_view name = field.name;
  const AdifFieldDefinition* standard = slot_->standard;
  if (!standard) {
    if (slot_->user || slot_->application) return true;
    Unknown(field);
    return !field.type.empty() && type != AdifType::kString;
  }
  if (standard->header) {
    Report(FindingKind::kUnknownField, name, [&] {
      return ShownName(name) +
             T(" es un campo de cabecera: no tiene sitio en un registro",
               " is a header field: it has no place in a record");
    });
    return false;
  }
  if (standard->import_only) {
    Report(FindingKind::kImportOnly, name, [&] {
      return ShownName(name) +
             T(" es un campo solo de lectura en ",
               " is an import-only field of ") +
             AdifVersionText() +
             T(": se lee, pero ya no se escribe",
               ": readers take it, but it is no longer written");
    });
  }
  return true;
}

void Checker::Unknown(const AdifField& field) {
  std::string_view name = field.name;
  if (EqualIgnoringCase(name, "EOR") || EqualIgnoringCase(name, "EOH")) {
    Report(FindingKind::kBadTag, name, [&] {
      return "<" + ShownName(name) + ":" +
             std::to_string(field.declared_length) +
             T("> no es un campo: EOR y EOH cierran un registro o la "
               "cabecera y no llevan valor",
               "> is not a field: EOR and EOH end a record or the header "
               "and carry no value");
    });
    return;
  }
  Report(FindingKind::kUnknownField, name, [&] {
    return ShownName(name) + T(" no es un campo de ", " is not a field of ") +
           AdifVersionText() +
           T(" (los campos propios de un programa empiezan por APP_)",
             " (a program's own fields start with APP_)");
  });
}

// Bytes outside printable ASCII, and the encoding of international text.
void Checker::Bytes(const AdifField& field, AdifType type) {
  const AdifByteCounts& counts = field.bytes;
  if (IsInternational(type)) {
    if (form_ == AdifForm::kTagged) {
      Report(FindingKind::kIntlField, field.name, [&] {
        return ShownName(field.name) +
               T(" es de un tipo internacional, que es para ficheros .ADX: "
                 "los ficheros .ADI no lo tienen",
                 " is of an international type, which is for .ADX files: "
                 ".ADI files hold none");
      });
      return;
    }
    if (!IsUtf8(field.data, !field.held_whole()))
      Report(FindingKind::kNonAscii, field.name, [&] {
        return Quoted(field.data) +
               T(" no es UTF-8 v\xE1lido", " is not valid UTF-8");
      });
    return;
  }
  std::uint64_t count = counts.odd, first = counts.first_odd;
  unsigned char byte = counts.odd_byte;
  if (!IsMultiline(type) && counts.line_ends > 0) {
    count += counts.line_ends;
    if (counts.odd == 0 || counts.first_line_end < first) {
      first = counts.first_line_end;
      byte = counts.line_end_byte;
    }
  }
  if (count == 0) return;
  Report(FindingKind::kNonAscii, field.name, [&] {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(byte));
    std::string where =
        std::to_string(count) +
        (count == 1 ? T(" byte fuera del ASCII imprimible, el primero ",
                        " byte outside printable ASCII, the first ")
                    : T(" bytes fuera del ASCII imprimible, el primero ",
                        " bytes outside printable ASCII, the first ")) +
        hex + T(" en la posici\xF3n ", " at position ") +
        std::to_string(first + 1);
    return where + (form_ == AdifForm::kTagged
                        ? T(": los ficheros .ADI solo llevan ASCII",
                            ": .ADI files hold ASCII only")
                        : T(": en .ADX solo los campos de tipo internacional "
                            "llevan otros caracteres",
                            ": in .ADX only fields of an international type "
                            "hold other characters"));
  });
}

void Checker::Typed(const AdifField& field, AdifType type,
                    std::string_view value) {
  const std::string_view name = field.name;
  switch (type) {
    case AdifType::kDate:
      return Date(name, value);
    case AdifType::kNumber:
      if (slot_->role == Role::kFreq || slot_->role == Role::kFreqRx)
        return Frequency(name, field.data, value);
      return Numeric(field, value, type);
    case AdifType::kInteger:
    case AdifType::kPositiveInteger:
    case AdifType::kDigit:
      return Numeric(field, value, type);
    case AdifType::kLocation:
      return Location(name, value);
    case AdifType::kEnumeration:
      if (slot_->user) return UserEnumerated(name, value);
      if (slot_->standard && slot_->standard->enumeration)
        return Enumerated(name, value);
      return;  // an application's own: its values are its own
    case AdifType::kString:
      if (slot_->standard) StringValue(name, value);
      return;
    case AdifType::kCreditList:
    case AdifType::kAwardList:
      return Credits(name, value);
    default:
      break;
  }
  const TypeRule* rule = FindTypeRule(type);
  std::string_view failing;
  if (rule && FailingItem(*rule, value, &failing))
    Report(rule->kind, name,
           [&] { return TypeRuleWords(*rule, failing, language_); });
}

void Checker::Date(std::string_view name, std::string_view value) {
  switch (AdifDateFault(value)) {
    case DateFault::kNone:
      return;
    case DateFault::kNotEightDigits:
      return Report(FindingKind::kBadDate, name, [&] {
        return Quoted(value) + T(" no es una fecha escrita AAAAMMDD",
                                 " is not a date written YYYYMMDD");
      });
    case DateFault::kNotACalendarDay:
      return Report(FindingKind::kBadDate, name, [&] {
        return Quoted(value) + T(" no es una fecha del calendario",
                                 " is not a date of the calendar");
      });
    case DateFault::kBeforeEarliest:
      return Report(FindingKind::kBadDate, name, [&] {
        return Quoted(value) +
               T(" es anterior a 19300101, la primera fecha que admite ADIF",
                 " is before 19300101, the earliest date ADIF allows");
      });
  }
}

// Blanks around a number, a date or a time: strict readers refuse the whole
// file.
bool Checker::Padded(std::string_view name, std::string_view data,
                     std::string_view value, AdifType type) {
  if (data.size() == value.size()) return false;
  Report(FindingKind::kPaddedNumber, name, [&] {
    const std::string what = type == AdifType::kDate ? T("una fecha", "a date")
                             : type == AdifType::kTime
                                 ? T("una hora", "a time")
                                 : T("un n\xFAmero", "a number");
    return Quoted(data) + T(": blancos alrededor de ", ": blanks around ") +
           what +
           T("; los lectores estrictos rechazan el fichero entero (convert "
             "--fix los quita)",
             "; strict readers refuse the whole file (convert --fix removes "
             "them)");
  });
  return true;
}

void Checker::Numeric(const AdifField& field, std::string_view value,
                      AdifType type) {
  const std::string_view name = field.name;
  const bool integer = type != AdifType::kNumber;
  const bool sign = type == AdifType::kNumber || type == AdifType::kInteger;
  if (!IsAdifNumber(value, integer, sign)) {
    std::string pointed(value);
    std::replace(pointed.begin(), pointed.end(), ',', '.');
    bool comma = !integer && value.find(',') != std::string_view::npos &&
                 IsAdifNumber(pointed, integer, sign);
    return Report(FindingKind::kBadNumber, name, [&] {
      std::string what =
          !integer ? T(" no es un n\xFAmero", " is not a number")
          : sign   ? T(" no es un n\xFAmero entero", " is not an integer")
                   : T(" no es un n\xFAmero entero positivo",
                       " is not a positive integer");
      if (comma)
        what += T(" (el separador decimal es el punto)",
                  " (the decimal separator is a point)");
      return Quoted(value) + what;
    });
  }
  double number = 0, scale = 1;
  bool point = false;
  for (char c : value) {
    if (c == '.') {
      point = true;
    } else if (IsAsciiDigit(c)) {
      if (point) scale /= 10;
      number = point ? number + (c - '0') * scale : number * 10 + (c - '0');
    }
  }
  if (value[0] == '-') number = -number;
  // The range: the standard's, or the one the header declares.
  const NameEntry& entry = *slot_;
  const bool has_low = entry.minimum || (entry.user && entry.user->ranged);
  const bool has_high = entry.maximum || (entry.user && entry.user->ranged);
  std::string bound;
  bool above = false;
  if (has_low && number < entry.lowest) {
    bound = entry.minimum ? entry.minimum : NumberText(entry.lowest);
  } else if (has_high && number > entry.highest) {
    bound = entry.maximum ? entry.maximum : NumberText(entry.highest);
    above = true;
  } else if (!has_low && !sign && number < 1) {
    bound = "1";  // a PositiveInteger is greater than 0
  }
  if (!bound.empty()) {
    return Report(FindingKind::kBadNumber, name, [&] {
      return Quoted(value) +
             (above ? T(" pasa de ", " is above ")
                    : T(" no llega a ", " is below ")) +
             bound +
             (above ? T(", el mayor valor de ", ", the largest ")
                    : T(", el menor valor de ", ", the smallest ")) +
             ShownName(name);
    });
  }
  if (entry.standard && type == entry.type) RememberNumber(field.data, value);
  Padded(name, field.data, value, type);
}

void Checker::Frequency(std::string_view name, std::string_view data,
                        std::string_view value) {
  std::uint64_t hz = 0;
  if (!ReadMegahertz(value, &hz) || hz == 0) {
    std::string pointed(value);
    std::replace(pointed.begin(), pointed.end(), ',', '.');
    std::uint64_t ignored;
    bool comma = value.find(',') != std::string_view::npos &&
                 value.find('.') == std::string_view::npos &&
                 ReadMegahertz(pointed, &ignored);
    return Report(FindingKind::kBadFreq, name, [&] {
      return Quoted(value) +
             T(" no es una frecuencia en MHz", " is not a frequency in MHz") +
             (comma ? T(" (el separador decimal es el punto)",
                        " (the decimal separator is a point)")
                    : std::string());
    });
  }
  RememberNumber(data, value, hz);
  Padded(name, data, value, AdifType::kNumber);
  KeepFrequency(value, hz);
}

// Keeps a good frequency for the record's end.
void Checker::KeepFrequency(std::string_view value, std::uint64_t hz) {
  const bool rx = slot_->role == Role::kFreqRx;
  (rx ? freq_rx_ : freq_)->Keep(value);
  (rx ? freq_rx_hz_ : freq_hz_) = hz;
}

// A latitude or a longitude; an application's or the file's own field of
// type Location may hold either.
void Checker::Location(std::string_view name, std::string_view value) {
  const bool known = slot_->standard != nullptr;
  const bool latitude = slot_->latitude;
  if (known ? IsLocation(value, latitude)
            : IsLocation(value, true) || IsLocation(value, false))
    return;
  Report(FindingKind::kBadLocation, name, [&] {
    if (!known)
      return Quoted(value) + T(" no es una posici\xF3n escrita XDDD MM.MMM",
                               " is not a location written XDDD MM.MMM");
    return Quoted(value) +
           (latitude ? T(" no es una latitud escrita XDDD MM.MMM (N o S, "
                         "grados hasta 90, minutos)",
                         " is not a latitude written XDDD MM.MMM (N or S, "
                         "degrees up to 90, minutes)")
                     : T(" no es una longitud escrita XDDD MM.MMM (E o W, "
                         "grados hasta 180, minutos)",
                         " is not a longitude written XDDD MM.MMM (E or W, "
                         "degrees up to 180, minutes)"));
  });
}

// A value of an enumeration the header declares.
void Checker::UserEnumerated(std::string_view name, std::string_view value) {
  const std::vector<std::string>& values = slot_->user->values;
  if (values.empty()) return;
  for (const std::string& allowed : values)
    if (EqualIgnoringCase(allowed, value)) return;
  Report(FindingKind::kBadEnumeration, name, [&] {
    std::string list;
    for (const std::string& allowed : values)
      list += (list.empty() ? "" : ", ") + EscapedToken(allowed);
    return Quoted(value) +
           T(" no es uno de los valores que declara la cabecera: ",
             " is not one of the values the header declares: ") +
           list;
  });
}

void Checker::Enumerated(std::string_view name, std::string_view value) {
  if (slot_->role == Role::kBand || slot_->role == Role::kBandRx)
    return Band(name, value);
  if (slot_->role == Role::kMode) return Mode(value);
  const std::string_view list = slot_->enumeration;
  const std::size_t bracket = slot_->bracket;
  if (bracket != std::string_view::npos) {
    // Judged at the record's end against the DXCC entity it belongs to.
    if (deferred_count_ < kDeferredSlots) {
      Deferred& later = deferred_[deferred_count_++];
      later.field.assign(name.data(), name.size());
      later.value.assign(value.data(), std::min<std::size_t>(value.size(), 64));
      later.enumeration = slot_->standard->enumeration;
      later.mine = list.substr(bracket) == "[MY_DXCC]";
    }
    return;
  }
  if (slot_->role == Role::kDxcc || slot_->role == Role::kMyDxcc) {
    std::string& code = slot_->role == Role::kDxcc ? dxcc_ : my_dxcc_;
    code.assign(value.data(), std::min<std::size_t>(value.size(), 16));
  }
  const AdifEnumerationValue* found = Remembered<AdifEnumerationValue>(
      value, [&] { return FindAdifEnumerationValue(list, value); });
  if (!found) {
    const bool qsl = list == "QSL_Sent" || list == "QSL_Rcvd";
    const bool short_list = ValueCount(list) <= 12;
    return Report(
        qsl ? FindingKind::kBadQsl : FindingKind::kBadEnumeration, name, [&] {
          if (short_list)
            return Quoted(value) + T(" no es uno de ", " is not one of ") +
                   ValueList(list);
          return Quoted(value) +
                 T(" no es un valor de ", " is not a value of ") +
                 std::string(list) + T(" en ", " in ") + AdifVersionText();
        });
  }
  if (found->import_only) ImportOnlyValue(name, value);
}

void Checker::ImportOnlyValue(std::string_view name, std::string_view value,
                              const std::string& hint) {
  Report(FindingKind::kImportOnly, name, [&] {
    return Quoted(value) +
           T(" es un valor solo de lectura de ",
             " is an import-only value of ") +
           ShownName(name) +
           (hint.empty() ? T(": se lee, pero ya no se escribe",
                             ": readers take it, but it is no longer written")
                         : hint);
  });
}

// A String: SUBMODE is judged against MODE at the record's end; a String
// the standard gives an enumeration for interoperability (CONTEST_ID) may
// hold any value, but not an import-only one of it.
void Checker::StringValue(std::string_view name, std::string_view value) {
  if (slot_->submode) {
    submode_.assign(value.data(), std::min<std::size_t>(value.size(), 64));
    has_submode_ = true;
    return;
  }
  if (slot_->enumeration.empty()) return;
  const AdifEnumerationValue* found = Remembered<AdifEnumerationValue>(
      value,
      [&] { return FindAdifEnumerationValue(slot_->enumeration, value); });
  if (found && found->import_only) ImportOnlyValue(name, value);
}

void Checker::Band(std::string_view name, std::string_view value) {
  const AdifBand* band =
      Remembered<AdifBand>(value, [&] { return FindAdifBand(value); });
  (slot_->role == Role::kBandRx ? band_rx_ : band_) = band;
  if (band) return;
  std::string metres = std::string(value) + "m";
  bool hint = AllDigits(value) && FindAdifBand(metres) != nullptr;
  Report(FindingKind::kBadBand, name, [&] {
    return Quoted(value) + T(" no es una banda de ", " is not a band of ") +
           AdifVersionText() + (hint ? " (" + EscapedToken(metres) + "?)" : "");
  });
}

void Checker::Mode(std::string_view value) {
  const AdifEnumerationValue* mode = Remembered<AdifEnumerationValue>(
      value, [&] { return FindAdifMode(value); });
  if (mode && !mode->import_only) {
    mode_ = mode;
    return;
  }
  const AdifEnumerationValue* submode = FindAdifSubmode(value);
  std::string hint;
  if (submode)
    hint = T(": escriba MODE ", ": write MODE ") + submode->qualifier +
           ", SUBMODE " + submode->value;
  if (mode) return ImportOnlyValue("MODE", value, hint);
  Report(FindingKind::kBadMode, "MODE", [&] {
    if (submode)
      return Quoted(value) + T(" es un submodo", " is a submode") + hint;
    return Quoted(value) + T(" no es un modo de ", " is not a mode of ") +
           AdifVersionText();
  });
}

void Checker::Credits(std::string_view name, std::string_view value) {
  for (std::string_view item : Items(value, ',')) {
    std::string_view credit = item.substr(0, item.find(':'));
    if (!FindAdifEnumerationValue("Credit", credit)) {
      if (FindAdifEnumerationValue("Award", credit)) {
        ImportOnlyValue(name, credit);
        continue;
      }
      return Report(FindingKind::kBadEnumeration, name, [&] {
        return Quoted(credit) +
               T(" no es un valor de Credit en ",
                 " is not a value of Credit in ") +
               AdifVersionText();
      });
    }
    if (credit.size() == item.size()) continue;
    for (std::string_view medium : Items(item.substr(credit.size() + 1), '&'))
      if (!FindAdifEnumerationValue("QSL_Medium", medium))
        return Report(FindingKind::kBadEnumeration, name, [&] {
          return Quoted(medium) + T(" no es uno de ", " is not one of ") +
                 ValueList("QSL_Medium");
        });
  }
}

void Checker::EndRecord(bool terminated) {
  if (service_) {
    service_record_.has_fields = has_fields_;
    service_record_.terminated = terminated;
    service_->record(service_record_, language_, ServiceReporter());
  }
  if (!has_fields_) {
    if (terminated)
      Report(FindingKind::kEmptyRecord, "-", [&] {
        return T("<EOR> sin ning\xFAn campo", "<EOR> with no field");
      });
    return;
  }
  Submode();
  if (!freq_->empty()) InBand("FREQ", freq_->view(), freq_hz_, band_);
  if (!freq_rx_->empty())
    InBand("FREQ_RX", freq_rx_->view(), freq_rx_hz_, band_rx_);
  for (int i = 0; i < deferred_count_; ++i) Subdivision(deferred_[i]);
  static const char* const kRequired[] = {"CALL", "QSO_DATE", "TIME_ON",
                                          "MODE"};
  for (int i = 0; i < 4; ++i)
    if (!has_[i])
      Report(FindingKind::kMissingField, kRequired[i], [&] {
        return std::string(kRequired[i]) +
               T(" falta o est\xE1 en blanco", " is missing or blank");
      });
  if (!has_[4])
    Report(FindingKind::kMissingField, "BAND", [&] {
      return T("no se da ni BAND ni FREQ", "neither BAND nor FREQ is given");
    });
}

void Checker::Submode() {
  if (!has_submode_) return;
  const std::string& value = submode_;
  const std::string_view mode = mode_ ? mode_->value : "";
  if (!mode.empty() && FindAdifSubmode(value, mode) != nullptr) return;
  const AdifEnumerationValue* any = FindAdifSubmode(value);
  if (any && mode.empty()) return;  // MODE is missing or already reported
  Report(FindingKind::kBadSubmode, "SUBMODE", [&] {
    if (any)
      return Quoted(value) + T(" es un submodo de ", " is a submode of ") +
             any->qualifier + T(", no de ", ", not of ") + std::string(mode);
    return Quoted(value) + T(" no es un submodo de ", " is not a submode of ") +
           AdifVersionText();
  });
}

// \a value is the frequency as written, \a hz as read.
void Checker::InBand(const char* field, std::string_view value,
                     std::uint64_t hz, const AdifBand* band) {
  auto written = [&value] { return EscapedToken(value) + " MHz"; };
  if (band) {
    if (BandHolds(*band, hz)) return;
    return Report(FindingKind::kFreqOutsideBand, field, [&] {
      return written() + T(" est\xE1 fuera de la banda ", " is outside band ") +
             band->name + " (" + MegahertzText(band->lower_hz) +
             T(" a ", " to ") + MegahertzText(band->upper_hz) + " MHz)";
    });
  }
  if (BandOfHertz(hz)) return;
  bool kilohertz = hz < kHighestHertz && BandOfHertz(hz / 1000);
  Report(FindingKind::kFreqOutsideBand, field, [&] {
    return written() +
           T(" no est\xE1 en ninguna banda de aficionado",
             " is in no amateur band") +
           (kilohertz
                ? T(" (\xBFkHz escritos como MHz?)", " (kHz written as MHz?)")
                : std::string());
  });
}

void Checker::Subdivision(const Deferred& later) {
  std::string_view list = later.enumeration;
  list = list.substr(0, list.find('['));
  const std::string& dxcc = later.mine ? my_dxcc_ : dxcc_;
  if (dxcc.empty() || !HasValuesFor(list, dxcc)) return;
  const AdifEnumerationValue* found =
      FindAdifEnumerationValue(list, later.value, dxcc);
  if (found) {
    if (found->import_only) ImportOnlyValue(later.field, later.value);
    return;
  }
  Report(FindingKind::kBadEnumeration, later.field, [&] {
    return Quoted(later.value) +
           T(" no es una subdivisi\xF3n de la entidad DXCC ",
             " is not a subdivision of DXCC entity ") +
           dxcc + T(" en ", " in ") + AdifVersionText();
  });
}

// adif_check.cpp: the rules of each data type, the record's rules that
// relate fields to each other, and the report's words in both languages.

#include "adif/adif_check.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <type_traits>
#include <utility>

#include "platform/text.h"
#include "standard/adif_standard.h"
#include "standard/bands.h"
#include "standard/dates.h"
#include "standard/locators.h"
#include "standard/modes.h"
#include "standard/numbers.h"
#include "standard/references.h"
#include "standard/times.h"

namespace {

constexpr const char* kKindNames[kFindingKindCount] = {
    "missing-field",  "bad-date",     "bad-time",      "bad-band",
    "bad-mode",       "bad-submode",  "bad-qsl",       "bad-freq",
    "freq-outside-band", "padded-number", "bad-number", "bad-grid",
    "bad-location",   "bad-boolean",  "bad-enumeration", "bad-value",
    "import-only",    "unknown-field", "intl-field",   "bad-length",
    "text-after-value", "bad-tag",        "bad-xml",      "non-ascii",     "empty-record",
    "missing-eor",    "missing-eoh",  "no-records",
};

// What a number found good is remembered as.
const char kGoodNumber = 0;

template <typename Word>
Word Load(const char* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// a == b for the short names and values of a record: a word or two that
// may overlap, compared at once, rather than byte after byte.
bool SameBytes(std::string_view a, std::string_view b) {
  const std::size_t n = a.size();
  if (n != b.size()) return false;
  const char* x = a.data();
  const char* y = b.data();
  if (n >= 8) {
    for (std::size_t i = 0; i + 8 < n; i += 8)
      if (Load<std::uint64_t>(x + i) != Load<std::uint64_t>(y + i)) return false;
    return Load<std::uint64_t>(x + n - 8) == Load<std::uint64_t>(y + n - 8);
  }
  if (n >= 4)
    return Load<std::uint32_t>(x) == Load<std::uint32_t>(y) &&
           Load<std::uint32_t>(x + n - 4) == Load<std::uint32_t>(y + n - 4);
  for (std::size_t i = 0; i < n; ++i)
    if (x[i] != y[i]) return false;
  return true;
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

std::string Quoted(std::string_view value) {
  return "\"" + EscapedToken(value) + "\"";
}

// A field's name as the report shows it: upper case, in printable ASCII.
std::string ShownName(std::string_view name) {
  return EscapedToken(AsciiUpperText(name), 64);
}

std::string Say(Language language, const char* spanish, const char* english) {
  return Choose(language, spanish, english);
}

// 2345678 as "2,345,678" or "2.345.678".
std::string Grouped(std::uint64_t n, Language language) {
  std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0)
      out += language == kSpanish ? '.' : ',';
    out += digits[i];
  }
  return out;
}

const std::string& Version() {
  static const std::string version = std::string("ADIF ") + kAdifVersion;
  return version;
}

// --- The standard's tables, as the checks use them ----------------------

struct EnumerationRange {
  const AdifEnumerationValue* begin;
  const AdifEnumerationValue* end;
};

EnumerationRange ValuesOf(std::string_view enumeration) {
  const AdifEnumerationValue* all = kAdifEnumerationValues;
  const AdifEnumerationValue* all_end = all + kAdifEnumerationValueCount;
  auto range = std::equal_range(
      all, all_end, enumeration,
      [](const auto& a, const auto& b) {
        auto key = [](const auto& x) -> std::string_view {
          if constexpr (std::is_same_v<std::decay_t<decltype(x)>,
                                       AdifEnumerationValue>)
            return x.enumeration;
          else
            return x;
        };
        return key(a) < key(b);
      });
  return {range.first, range.second};
}

// "I, N, Q, R, Y": the values of a short enumeration, for messages.
std::string ValueList(std::string_view enumeration) {
  EnumerationRange range = ValuesOf(enumeration);
  std::string list;
  for (const AdifEnumerationValue* v = range.begin; v != range.end; ++v)
    list += std::string(list.empty() ? "" : ", ") + v->value;
  return list;
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

}  // namespace

std::string SyntaxProblemText(const AdifSyntaxProblem& p, AdifForm form,
                              Language language) {
  auto T = [language](const char* spanish, const char* english) {
    return Say(language, spanish, english);
  };
    const std::string text = "\"" + p.text + "\"";
    switch (p.kind) {
      case AdifSyntax::kTagNotClosed:
        return T("la etiqueta ", "tag ") + text +
               T(" no se cierra con \">\"", " is not closed by \">\"");
      case AdifSyntax::kTagWithoutLength:
        return T("la etiqueta ", "tag ") + text +
               T(" no tiene longitud, as\xED que no lleva valor",
                 " has no length, so it carries no value");
      case AdifSyntax::kEohOutOfPlace:
        return T("<EOH> est\xE1 fuera de lugar despu\xE9s de la cabecera",
                 "<EOH> is out of place after the header");
      case AdifSyntax::kLengthNotNumber:
        return T("la longitud \"", "length \"") + p.length +
               T("\" no es un n\xFAmero: se pasan por alto los datos",
                 "\" is not a number: the data is skipped");
      case AdifSyntax::kLengthPastEnd:
        return T("la longitud ", "length ") + p.length +
               T(" va m\xE1s all\xE1 del final del fichero (quedan ",
                 " runs past the end of the file (") +
               std::to_string(p.number) + T(" bytes)", " bytes left)");
      case AdifSyntax::kLengthTakesTag:
        return T("la longitud ", "length ") + p.length +
               T(" se come la etiqueta siguiente ", " takes in the next tag ") +
               text + T(": el valor se lee como \"", ": the value is read as \"") +
               p.value + "\"";
      case AdifSyntax::kTextAfterValue:
        return T("la longitud ", "length ") + std::to_string(p.number) +
               T(" deja ", " leaves ") + text +
               T(" tras el valor: se lee como \"",
                 " after the value: it is read as \"") +
               p.value + "\"";
      case AdifSyntax::kMissingEor:
        return form == AdifForm::kXml
                   ? T("el fichero termina antes del </RECORD> de este registro",
                       "the file ends before this record's </RECORD>")
                   : T("el fichero termina antes del <EOR> de este registro",
                       "the file ends before this record's <EOR>");
      case AdifSyntax::kMissingEoh:
        return T("el fichero empieza con texto pero no tiene <EOH>, as\xED que "
                 "los lectores estrictos lo toman todo por cabecera",
                 "the file opens with text but has no <EOH>, so strict "
                 "readers take all of it for header");
      case AdifSyntax::kXml:
        break;
    }
    switch (static_cast<AdifXmlProblem>(p.number)) {
      case AdifXmlProblem::kBadMarkup:
        return text + T(" no es una etiqueta XML bien formada",
                        " is not a well-formed XML tag");
      case AdifXmlProblem::kWrongEnd:
        return T("la etiqueta de cierre ", "end tag ") + text +
               T(" no cierra ning\xFAn elemento abierto",
                 " closes no open element");
      case AdifXmlProblem::kStrayText:
        return T("texto ", "text ") + text +
               T(" fuera de un campo", " outside a field");
      case AdifXmlProblem::kNestedElement:
        return T("el elemento ", "element ") + text +
               T(" est\xE1 fuera de lugar", " is out of place");
      case AdifXmlProblem::kBadEntity:
        return text + T(" no es una entidad XML (escriba &amp; por &)",
                        " is not an XML entity (write &amp; for &)");
      case AdifXmlProblem::kNotAdx:
        return p.text.empty()
                   ? T("el fichero no tiene elemento <ADX>",
                       "the file has no <ADX> element")
                   : text + T(": el elemento ra\xEDz debe ser <ADX>, uno solo",
                              ": the root element must be one <ADX>");
      case AdifXmlProblem::kUnclosed:
        return T("el fichero termina antes de </ADX>",
                 "the file ends before </ADX>");
      case AdifXmlProblem::kUnnamedField:
        return T("el elemento ", "element ") + text +
               T(" no nombra su campo (le falta FIELDNAME, PROGRAMID o FIELDID)",
                 " does not name its field (FIELDNAME, PROGRAMID or FIELDID "
                 "is missing)");
    }
    return std::string();
}

namespace {

// --- The check ------------------------------------------------------------

// Up to 64 bytes of a value kept for the record's end, without the heap.
struct KeptText {
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

// A value kept until the record's end, to be judged against another field.
struct Deferred {
  std::string field;
  std::string value;
  const char* enumeration = nullptr;
  bool mine = false;  // judged against MY_DXCC, not DXCC
};

class Checker {
 private:
  enum class Role {
    kOther, kCall, kQsoDate, kTimeOn, kMode, kBand, kBandRx, kFreq, kFreqRx,
    kDxcc, kMyDxcc,
  };
  struct CacheEntry {
    bool filled = false;
    std::string name;
    const AdifFieldDefinition* standard = nullptr;
    Role role = Role::kOther;
    bool usual = false;     // of the standard, for records, not import-only
    bool number = false;    // a Number, Integer, PositiveInteger or Digit
    AdifType type = AdifType::kString;  // the standard's, or String
    int required = -1;      // its place in Checker::has_, or -1
    bool submode = false;   // SUBMODE, judged against MODE
    std::string_view enumeration;  // the standard's, with its qualifier
    std::size_t bracket = std::string_view::npos;  // where the qualifier starts
    bool latitude = false;  // a Location that is a latitude
    bool international = false;  // of an _INTL type
    bool multiline = false;      // of a type that may hold line ends
    double minimum = 0, maximum = 0;
    // Values this field held lately, placed by a hash of their bytes, and
    // what looking them up gave; made for the fields that look values up.
    static constexpr int kLastBits = 5;
    static constexpr std::size_t kLasts = std::size_t{1} << kLastBits;
    static constexpr std::size_t kLastSize = 16;  // longer values are not kept
    struct Last {
      char value[kLastSize];
      std::size_t size = kLastSize + 1;  // none
      const void* result = nullptr;
      // Of a number: where it lies within the blanks, and as a frequency.
      unsigned char value_at = 0, value_size = 0;
      std::uint64_t hertz = 0;
    };
    std::unique_ptr<Last[]> last;
    std::size_t next_way = 0;
  };

 public:
  Checker(AdifForm form, const CheckOptions& options, const FindingSink& sink,
          CheckTotals* totals)
      : form_(form), language_(options.language), options_(options),
        sink_(sink), totals_(totals) {}

  bool stopped() const { return stopped_; }

  void Header(const std::vector<AdifHeaderField>& fields) {
    for (const AdifHeaderField& field : fields) {
      if (!StartsWithIgnoringCase(field.name, "USERDEF") || user_fields_.size() >= 1000)
        continue;
      std::string_view name = TrimWhiteSpace(field.data);
      name = name.substr(0, name.find(','));
      if (!name.empty()) user_fields_.push_back(AsciiUpperText(name));
    }
  }

  void FileProblems(const AdifFileProblems& problems) {
    std::uint64_t record = record_;
    record_ = 0;
    for (const AdifSyntaxProblem& problem : problems.kept) Syntax(problem);
    for (int k = 0; k < kAdifSyntaxKinds; ++k)
      if (problems.more[k] != 0)
        CountHidden(KindOf(static_cast<AdifSyntax>(k)), problems.more[k]);
    record_ = record;
  }

  void Part(const AdifRecord& part) {
    if (!part.continued) StartRecord();
    for (const AdifSyntaxProblem& problem : part.problems) Syntax(problem);
    for (std::size_t i = 0; i < part.fields.size(); ++i)
      Field(part.fields[i], i);
    if (part.complete) EndRecord(part.terminated);
  }

  // Adds the counts of the records that follow those checked here, checked
  // apart (numbered from 1), and hands over those of their findings
  // \a shown that a check of the whole would have shown: of each kind, as
  // many as are still to show.
  void AddLaterRecords(const CheckTotals& later, std::vector<Finding>* shown) {
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

  void NoRecords() {
    Report(FindingKind::kNoRecords, "-", [&] {
      return Say(language_, "el fichero no tiene ning\xFAn registro ADIF",
                 "the file holds no ADIF record");
    });
  }

 private:
  // Counts a finding; hands it over when it is one to show. \a message
  // gives its words, only then.
  template <typename Message>
  void Report(FindingKind kind, std::string_view field, Message message) {
    if (Count(kind)) Show(kind, field, message());
  }

  // Counts a finding of \a kind; true when it is one to show.
  bool Count(FindingKind kind) {
    int k = static_cast<int>(kind);
    ++totals_->by_kind[k];
    if (LevelOf(kind) == FindingLevel::kError)
      ++totals_->errors;
    else
      ++totals_->warnings;
    if (record_ != 0 && !record_has_findings_) {
      record_has_findings_ = true;
      ++totals_->records_with_findings;
    }
    if (options_.shown_per_kind != 0 &&
        totals_->by_kind[k] > options_.shown_per_kind) {
      ++totals_->hidden_by_kind[k];
      return false;
    }
    return !stopped_;
  }

  // Counts \a count findings of \a kind of the file as a whole that are
  // not shown: the reader kept no more of them.
  void CountHidden(FindingKind kind, std::uint64_t count) {
    const int k = static_cast<int>(kind);
    totals_->by_kind[k] += count;
    totals_->hidden_by_kind[k] += count;
    (LevelOf(kind) == FindingLevel::kError ? totals_->errors
                                           : totals_->warnings) += count;
  }

  void Show(FindingKind kind, std::string_view field, std::string message) {
    Finding finding;
    finding.record = record_;
    finding.field = field == "-" ? std::string("-") : ShownName(field);
    finding.kind = kind;
    finding.message = std::move(message);
    if (!sink_(finding)) stopped_ = true;
  }

  std::string T(const char* spanish, const char* english) const {
    return Say(language_, spanish, english);
  }

  void StartRecord() {
    record_ = ++totals_->records;
    record_has_findings_ = false;
    has_fields_ = false;
    for (bool& has : has_) has = false;
    mode_ = nullptr;
    submode_.clear();
    has_submode_ = false;
    band_ = band_rx_ = nullptr;
    freq_.clear();
    freq_rx_.clear();
    dxcc_.clear();
    my_dxcc_.clear();
    deferred_count_ = 0;
  }

  void Syntax(const AdifSyntaxProblem& p) {
    Report(KindOf(p.kind), p.field,
           [&] { return SyntaxProblemText(p, form_, language_); });
  }

  static FindingKind KindOf(AdifSyntax syntax) {
    FindingKind kind = FindingKind::kBadTag;
    switch (syntax) {
      case AdifSyntax::kTagNotClosed:
      case AdifSyntax::kTagWithoutLength:
      case AdifSyntax::kEohOutOfPlace:
        kind = FindingKind::kBadTag;
        break;
      case AdifSyntax::kLengthNotNumber:
      case AdifSyntax::kLengthPastEnd:
      case AdifSyntax::kLengthTakesTag:
        kind = FindingKind::kBadLength;
        break;
      case AdifSyntax::kTextAfterValue:
        kind = FindingKind::kTextAfterValue;
        break;
      case AdifSyntax::kMissingEor:
        kind = FindingKind::kMissingEor;
        break;
      case AdifSyntax::kMissingEoh:
        kind = FindingKind::kMissingEoh;
        break;
      case AdifSyntax::kXml:
        kind = FindingKind::kBadXml;
        break;
    }
    return kind;
  }


  // The field's standard entry and role, looked up once for each name
  // (spelled as written), since names repeat from record to record.
  CacheEntry* Slot(std::string_view name) {
    std::size_t hash = name.size();
    for (char c : name) hash = hash * 31 + static_cast<unsigned char>(c);
    CacheEntry& entry = cache_[hash % kCacheSlots];
    if (entry.filled && SameBytes(entry.name, name)) return &entry;
    // The entry is given to another name: no place keeps it for the old.
    for (CacheEntry*& predicted : predicted_)
      if (predicted == &entry) predicted = nullptr;
    entry = CacheEntry();
    entry.filled = true;
    entry.name.assign(name.data(), name.size());
    entry.standard = FindAdifField(name);
    if (!entry.standard) return &entry;
    static const struct {
      const char* name;
      Role role;
    } kRoles[] = {{"CALL", Role::kCall},       {"QSO_DATE", Role::kQsoDate},
                  {"TIME_ON", Role::kTimeOn},  {"MODE", Role::kMode},
                  {"BAND", Role::kBand},       {"BAND_RX", Role::kBandRx},
                  {"FREQ", Role::kFreq},       {"FREQ_RX", Role::kFreqRx},
                  {"DXCC", Role::kDxcc},       {"MY_DXCC", Role::kMyDxcc}};
    for (const auto& known : kRoles)
      if (std::string_view(entry.standard->name) == known.name) entry.role = known.role;
    switch (entry.role) {
      case Role::kCall: entry.required = 0; break;
      case Role::kQsoDate: entry.required = 1; break;
      case Role::kTimeOn: entry.required = 2; break;
      case Role::kMode: entry.required = 3; break;
      case Role::kBand:
      case Role::kFreq: entry.required = 4; break;
      default: break;
    }
    const char* list = entry.standard->enumeration;
    entry.submode = list && StartsWithIgnoringCase(list, "SUBMODE");
    if (list) {
      entry.enumeration = list;
      entry.bracket = entry.enumeration.find('[');
    }
    entry.latitude = name.size() >= 3 &&
                     EqualIgnoringCase(name.substr(name.size() - 3), "LAT");
    const AdifType type = entry.standard->type;
    entry.type = type;
    entry.number = type == AdifType::kNumber || type == AdifType::kInteger ||
                   type == AdifType::kPositiveInteger ||
                   type == AdifType::kDigit;
    entry.usual = !entry.standard->header && !entry.standard->import_only;
    entry.international = type == AdifType::kIntlString ||
                          type == AdifType::kIntlMultilineString ||
                          type == AdifType::kIntlCharacter;
    entry.multiline = type == AdifType::kMultilineString ||
                      type == AdifType::kIntlMultilineString;
    if (entry.standard->minimum) entry.minimum = std::strtod(entry.standard->minimum, nullptr);
    if (entry.standard->maximum) entry.maximum = std::strtod(entry.standard->maximum, nullptr);
    return &entry;
  }

  // \a lookup(value), or the result it gave when this field last held the
  // same value (the same bytes).
  template <typename T, typename Lookup>
  const T* Remembered(std::string_view value, Lookup lookup) {
    const T* result = nullptr;
    if (Recalled(value, &result)) return result;
    result = lookup();
    Remember(value, result);
    return result;
  }

  // Remembers that the field at hand held \a value, and what it gave;
  // where, or nullptr when it is too long to keep.
  CacheEntry::Last* Remember(std::string_view value, const void* result) {
    if (value.size() > CacheEntry::kLastSize) return nullptr;
    CacheEntry::Last& last = PlaceFor(value);
    std::memcpy(last.value, value.data(), value.size());
    last.size = value.size();
    last.result = result;
    return &last;
  }

  // Remembers that the number written \a data, \a number without the
  // blanks around it, is good; \a hertz: as a frequency.
  void RememberNumber(std::string_view data, std::string_view number,
                      std::uint64_t hertz = 0) {
    CacheEntry::Last* last = Remember(data, &kGoodNumber);
    if (!last) return;
    last->value_at = static_cast<unsigned char>(number.data() - data.data());
    last->value_size = static_cast<unsigned char>(number.size());
    last->hertz = hertz;
  }

  // Where \a value is remembered: one of kWays places from the top bits of
  // a multiplicative hash of its bytes.
  static std::size_t PlaceOf(std::string_view value) {
    // Its first and last eight bytes (or four, or all of it) and its size,
    // mixed by a multiplication.
    const std::size_t n = value.size();
    const char* p = value.data();
    std::uint64_t key = n;
    if (n >= 8) {
      key ^= Load<std::uint64_t>(p) * 0x9E3779B97F4A7C15ULL ^
             Load<std::uint64_t>(p + n - 8);
    } else if (n >= 4) {
      key ^= Load<std::uint32_t>(p) |
             std::uint64_t{Load<std::uint32_t>(p + n - 4)} << 32;
    } else {
      for (std::size_t i = 0; i < n; ++i)
        key = key << 8 | static_cast<unsigned char>(p[i]);
    }
    return (key * 0x9E3779B97F4A7C15ULL) >> (64 - CacheEntry::kLastBits);
  }
  static constexpr std::size_t kWays = 4;

  // True when the field at hand held \a value lately; \a result is set to
  // what looking it up gave then.
  template <typename T>
  bool Recalled(std::string_view value, const T** result) {
    const CacheEntry::Last* last = Recall(value);
    if (last) *result = static_cast<const T*>(last->result);
    return last != nullptr;
  }

  // Where the field at hand remembers \a value, or nullptr.
  const CacheEntry::Last* Recall(std::string_view value) {
    if (value.size() > CacheEntry::kLastSize || !slot_->last) return nullptr;
    const std::size_t place = PlaceOf(value);
    for (std::size_t way = 0; way < kWays; ++way) {
      const CacheEntry::Last& last =
          slot_->last[(place + way) % CacheEntry::kLasts];
      if (last.size == value.size() &&
          SameBytes(std::string_view(last.value, last.size), value))
        return &last;
    }
    return nullptr;
  }

  // A place for \a value, not yet remembered: a free one of its ways, or
  // each of them in turn.
  CacheEntry::Last& PlaceFor(std::string_view value) {
    if (!slot_->last) slot_->last.reset(new CacheEntry::Last[CacheEntry::kLasts]);
    const std::size_t place = PlaceOf(value);
    for (std::size_t way = 0; way < kWays; ++way) {
      CacheEntry::Last& last = slot_->last[(place + way) % CacheEntry::kLasts];
      if (last.size > CacheEntry::kLastSize) return last;
    }
    slot_->next_way = (slot_->next_way + 1) % kWays;
    return slot_->last[(place + slot_->next_way) % CacheEntry::kLasts];
  }

  // The entry of \a field, at \a index of a part: mostly the one of the
  // field at that place of the last part, since records repeat their
  // layout. The reader tells when the names are the same.
  CacheEntry* SlotAt(std::size_t index, const AdifField& field) {
    if (index >= kPredicted) return Slot(field.name);
    CacheEntry*& predicted = predicted_[index];
    if (predicted &&
        (field.name_as_before || SameBytes(predicted->name, field.name)))
      return predicted;
    return predicted = Slot(field.name);
  }

  void Field(const AdifField& field, std::size_t index) {
    has_fields_ = true;
    slot_ = SlotAt(index, field);
    const AdifByteCounts& counts = field.bytes;
    if (slot_->international || counts.odd != 0 ||
        (counts.line_ends != 0 && !slot_->multiline))
      Bytes(field, slot_->standard);
    if (!slot_->usual && !Unusual(field)) return;
    if (slot_->number && NumberAsBefore(field)) return;
    const std::string_view value = TrimWhiteSpace(field.data);
    // A blank value is as good as none: the required-field check reports it.
    if (value.empty()) return;
    if (slot_->required >= 0) has_[slot_->required] = true;
    if (!JudgedAtOnce(value)) Typed(field, *slot_->standard, value);
  }

  // A number found good before, written the same: only blanks around it
  // are news. False when it was not.
  bool NumberAsBefore(const AdifField& field) {
    const CacheEntry::Last* last = Recall(field.data);
    if (!last || last->result != &kGoodNumber) return false;
    const std::string_view value =
        field.data.substr(last->value_at, last->value_size);
    if (slot_->required >= 0) has_[slot_->required] = true;
    Padded(field.name, field.data, value);
    if (slot_->role == Role::kFreq || slot_->role == Role::kFreqRx)
      KeepFrequency(value, last->hertz);
    return true;
  }

  // Reports a field that is not of the standard, or not one for records;
  // true when its value is still to be judged.
  bool Unusual(const AdifField& field) {
    const std::string_view name = field.name;
    const AdifFieldDefinition* standard = slot_->standard;
    if (!standard) {
      Unknown(field);
      return false;
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
               T(" es un campo solo de lectura en ", " is an import-only field of ") +
               Version() +
               T(": se lee, pero ya no se escribe",
                 ": readers take it, but it is no longer written");
      });
    }
    return true;
  }

  // Judges the usual values of the usual types at once: true when done.
  // The rest are judged by Typed, which also says what is wrong.
  bool JudgedAtOnce(std::string_view value) {
    switch (slot_->type) {
      case AdifType::kString:
        return !slot_->submode;
      case AdifType::kDate:
        return IsAdifDate(value);
      case AdifType::kTime:
        return IsAdifTime(value);
      case AdifType::kGridSquare:
        return IsGridSquare(value);
      case AdifType::kEnumeration: {
        // A value found valid before: for BAND and MODE it is remembered
        // for the record's own rules.
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
      default:
        return false;
    }
  }

  void Unknown(const AdifField& field) {
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
    if (StartsWithIgnoringCase(name, "APP_")) return;
    std::string upper = AsciiUpperText(name);
    for (const std::string& user : user_fields_)
      if (user == upper) return;
    Report(FindingKind::kUnknownField, name, [&] {
      return ShownName(name) + T(" no es un campo de ", " is not a field of ") + Version() +
             T(" (los campos propios de un programa empiezan por APP_)",
               " (a program's own fields start with APP_)");
    });
  }

  // Bytes outside printable ASCII, and the encoding of international text.
  void Bytes(const AdifField& field, const AdifFieldDefinition* standard) {
    AdifType type = standard ? standard->type : AdifType::kString;
    bool international = type == AdifType::kIntlString ||
                         type == AdifType::kIntlMultilineString ||
                         type == AdifType::kIntlCharacter;
    bool multiline = type == AdifType::kMultilineString ||
                     type == AdifType::kIntlMultilineString;
    const AdifByteCounts& counts = field.bytes;
    if (international) {
      if (form_ == AdifForm::kTagged) {
        Report(FindingKind::kIntlField, field.name, [&] {
          return ShownName(field.name) +
                 T(" es para ficheros .ADX: los ficheros .ADI no tienen "
                   "campos _INTL",
                 " is for .ADX files: .ADI files hold no _INTL fields");
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
    if (!multiline && counts.line_ends > 0) {
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
                          : T(": en .ADX solo los campos _INTL llevan otros "
                              "caracteres",
                              ": in .ADX only _INTL fields hold other "
                              "characters"));
    });
  }

  void Typed(const AdifField& field, const AdifFieldDefinition& standard,
             std::string_view value) {
    const std::string_view name = field.name;
    switch (standard.type) {
      case AdifType::kDate:
        return Date(name, value);
      case AdifType::kTime:
        return Time(name, value);
      case AdifType::kNumber:
        if (slot_->role == Role::kFreq || slot_->role == Role::kFreqRx)
          return Frequency(name, field.data, value);
        return Numeric(name, field.data, value, false, true);
      case AdifType::kInteger:
        return Numeric(name, field.data, value, true, true);
      case AdifType::kPositiveInteger:
      case AdifType::kDigit:
        return Numeric(name, field.data, value, true, false);
      case AdifType::kBoolean:
        if (value.size() == 1 &&
            (AsciiUpper(value[0]) == 'Y' || AsciiUpper(value[0]) == 'N'))
          return;
        return Report(FindingKind::kBadBoolean, name, [&] {
          return Quoted(value) + T(" no es Y ni N", " is neither Y nor N");
        });
      case AdifType::kGridSquare:
        if (!IsGridSquare(value)) BadGrid(name, value);
        return;
      case AdifType::kGridSquareList:
        for (std::string_view item : Items(value, ','))
          if (!IsGridSquare(item)) return BadGrid(name, item);
        return;
      case AdifType::kGridSquareExt:
        if (IsGridSquareExt(value)) return;
        return Report(FindingKind::kBadGrid, name, [&] {
          return Quoted(value) +
                 T(" no son los caracteres 9 y 10 (o 9 a 12) de un "
                   "localizador: dos letras de A a X y quiz\xE1 dos cifras",
                   " is not characters 9 and 10 (or 9 to 12) of a "
                   "locator: two letters A to X, then perhaps two digits");
        });
      case AdifType::kLocation: {
        bool latitude = slot_->latitude;
        if (IsLocation(value, latitude))
          return;
        return Report(FindingKind::kBadLocation, name, [&] {
          return Quoted(value) +
                 (latitude ? T(" no es una latitud escrita XDDD MM.MMM (N o S, "
                               "grados hasta 90, minutos)",
                               " is not a latitude written XDDD MM.MMM (N or "
                               "S, degrees up to 90, minutes)")
                           : T(" no es una longitud escrita XDDD MM.MMM (E o W, "
                               "grados hasta 180, minutos)",
                               " is not a longitude written XDDD MM.MMM (E or "
                               "W, degrees up to 180, minutes)"));
        });
      }
      case AdifType::kEnumeration:
        return Enumerated(name, value, standard.enumeration);
      case AdifType::kString:
        if (slot_->submode) {
          submode_.assign(value.data(), std::min<std::size_t>(value.size(), 64));
          has_submode_ = true;
        }
        return;
      case AdifType::kCreditList:
      case AdifType::kAwardList:
        return Credits(name, value);
      case AdifType::kSponsoredAwardList:
        for (std::string_view item : Items(value, ',')) {
          EnumerationRange sponsors = ValuesOf("Award_Sponsor");
          if (std::none_of(sponsors.begin, sponsors.end,
                           [&](const AdifEnumerationValue& v) {
                             return StartsWithIgnoringCase(item, v.value) &&
                                    item.size() > std::string_view(v.value).size();
                           }))
            return BadValue(name, item,
                            T("un premio que empiece por su patrocinador (",
                              "an award led by its sponsor (") +
                                ValueList("Award_Sponsor") + ")");
        }
        return;
      case AdifType::kIOTARefNo:
        if (IsIotaReference(value)) return;
        return BadValue(name, value,
                        T("una referencia IOTA (como EU-005)",
                          "an IOTA reference (such as EU-005)"));
      case AdifType::kSOTARef:
        if (IsSotaReference(value)) return;
        return BadValue(name, value,
                        T("una referencia SOTA (como G/LD-003)",
                          "a SOTA reference (such as G/LD-003)"));
      case AdifType::kPOTARef:
      case AdifType::kPOTARefList:
        for (std::string_view item : Items(value, ','))
          if (!IsPotaReference(item))
            return BadValue(name, item,
                            T("una referencia POTA (como K-5033 o "
                              "VE-5082@CA-AB)",
                              "a POTA reference (such as K-5033 or "
                              "VE-5082@CA-AB)"));
        return;
      case AdifType::kWWFFRef:
        if (IsWwffReference(value)) return;
        return BadValue(name, value,
                        T("una referencia WWFF (como KFF-4655)",
                          "a WWFF reference (such as KFF-4655)"));
      case AdifType::kSecondarySubdivisionList:
        for (std::string_view item : Items(value, ':'))
          if (item.find(',') == std::string_view::npos || item.size() < 4)
            return BadValue(name, item,
                            T("un condado escrito ESTADO,Condado (como "
                              "MA,Franklin)",
                              "a county written STATE,County (such as "
                              "MA,Franklin)"));
        return;
      case AdifType::kSecondaryAdministrativeSubdivisionListAlt:
        for (std::string_view item : Items(value, ';'))
          if (item.find(':') == std::string_view::npos)
            return BadValue(name, item,
                            T("una subdivisi\xF3n escrita LISTA:c\xF3""digo "
                              "(como NZ_Regions:Hawkes Bay/Wairoa)",
                              "a subdivision written LIST:code (such as "
                              "NZ_Regions:Hawkes Bay/Wairoa)"));
        return;
      case AdifType::kCharacter:
        if (field.data.size() == 1) return;
        return BadValue(name, value, T("un solo car\xE1""cter", "one character"));
      default:
        return;  // strings: their bytes are all there is to judge
    }
  }

  void BadGrid(std::string_view name, std::string_view value) {
    Report(FindingKind::kBadGrid, name, [&] {
      return Quoted(value) +
             T(" no es un localizador Maidenhead de 2, 4, 6 u 8 caracteres "
               "(como JN10, JN10ab o JN10ab12)",
               " is not a Maidenhead locator of 2, 4, 6 or 8 characters "
               "(such as JN10, JN10ab or JN10ab12)");
    });
  }

  void BadValue(std::string_view name, std::string_view value,
                const std::string& what) {
    Report(FindingKind::kBadValue, name, [&] {
      return Quoted(value) + T(" no es ", " is not ") + what;
    });
  }

  void Date(std::string_view name, std::string_view value) {
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

  void Time(std::string_view name, std::string_view value) {
    if (IsAdifTime(value)) return;
    Report(FindingKind::kBadTime, name, [&] {
      return Quoted(value) + T(" no es una hora escrita HHMM o HHMMSS",
                               " is not a time written HHMM or HHMMSS");
    });
  }

  // Blanks around a number: strict readers refuse the whole file.
  bool Padded(std::string_view name, std::string_view data,
              std::string_view value) {
    if (data.size() == value.size()) return false;
    Report(FindingKind::kPaddedNumber, name, [&] {
      return Quoted(data) +
             T(": blancos alrededor de un n\xFAmero; los lectores estrictos "
               "rechazan el fichero entero (convert --fix los quita)",
               ": blanks around a number; strict readers refuse the whole "
               "file (convert --fix removes them)");
    });
    return true;
  }

  void Numeric(std::string_view name, std::string_view data,
               std::string_view value, bool integer, bool sign) {
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
    const CacheEntry& entry = *slot_;
    const char* bound = nullptr;
    bool above = false;
    if (entry.standard->minimum && number < entry.minimum) {
      bound = entry.standard->minimum;
    } else if (entry.standard->maximum && number > entry.maximum) {
      bound = entry.standard->maximum;
      above = true;
    } else if (!entry.standard->minimum && !sign && number < 1) {
      bound = "1";  // a PositiveInteger is greater than 0
    }
    if (bound) {
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
    RememberNumber(data, value);
    Padded(name, data, value);
  }

  void Frequency(std::string_view name, std::string_view data,
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
    Padded(name, data, value);
    KeepFrequency(value, hz);
  }

  // Keeps a good frequency for the record's end.
  void KeepFrequency(std::string_view value, std::uint64_t hz) {
    bool rx = slot_->role == Role::kFreqRx;
    (rx ? freq_rx_ : freq_).Keep(value);
    (rx ? freq_rx_hz_ : freq_hz_) = hz;
  }

  void Enumerated(std::string_view name, std::string_view value,
                  const char* enumeration) {
    if (!enumeration) return;  // an enumeration kept outside the standard
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
        later.enumeration = enumeration;
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
      bool qsl = list == "QSL_Sent" || list == "QSL_Rcvd";
      EnumerationRange range = ValuesOf(list);
      bool short_list = range.end - range.begin <= 12;
      return Report(qsl ? FindingKind::kBadQsl : FindingKind::kBadEnumeration,
                    name, [&] {
                      if (short_list)
                        return Quoted(value) + T(" no es uno de ", " is not one of ") +
                               ValueList(list);
                      return Quoted(value) + T(" no es un valor de ", " is not a value of ") +
                             std::string(list) + T(" en ", " in ") + Version();
                    });
    }
    if (found->import_only) ImportOnlyValue(name, value);
  }

  void ImportOnlyValue(std::string_view name, std::string_view value,
                       const std::string& hint = std::string()) {
    Report(FindingKind::kImportOnly, name, [&] {
      return Quoted(value) + T(" es un valor solo de lectura de ",
                               " is an import-only value of ") +
             ShownName(name) +
             (hint.empty() ? T(": se lee, pero ya no se escribe",
                               ": readers take it, but it is no longer written")
                           : hint);
    });
  }

  void Band(std::string_view name, std::string_view value) {
    const AdifBand* band =
        Remembered<AdifBand>(value, [&] { return FindAdifBand(value); });
    (slot_->role == Role::kBandRx ? band_rx_ : band_) = band;
    if (band) return;
    std::string metres = std::string(value) + "m";
    bool hint = AllDigits(value) && FindAdifBand(metres) != nullptr;
    Report(FindingKind::kBadBand, name, [&] {
      return Quoted(value) + T(" no es una banda de ", " is not a band of ") +
             Version() + (hint ? " (" + EscapedToken(metres) + "?)" : "");
    });
  }

  void Mode(std::string_view value) {
    const AdifEnumerationValue* mode = Remembered<AdifEnumerationValue>(
        value, [&] { return FindAdifMode(value); });
    if (mode && !mode->import_only) {
      mode_ = mode;
      return;
    }
    const AdifEnumerationValue* submode =
        FindAdifSubmode(value);
    std::string hint;
    if (submode)
      hint = T(": escriba MODE ", ": write MODE ") + submode->qualifier +
             ", SUBMODE " + submode->value;
    if (mode) return ImportOnlyValue("MODE", value, hint);
    Report(FindingKind::kBadMode, "MODE", [&] {
      if (submode)
        return Quoted(value) + T(" es un submodo", " is a submode") + hint;
      return Quoted(value) + T(" no es un modo de ", " is not a mode of ") +
             Version();
    });
  }

  void Credits(std::string_view name, std::string_view value) {
    for (std::string_view item : Items(value, ',')) {
      std::string_view credit = item.substr(0, item.find(':'));
      if (!FindAdifEnumerationValue("Credit", credit)) {
        if (FindAdifEnumerationValue("Award", credit)) {
          ImportOnlyValue(name, credit);
          continue;
        }
        return Report(FindingKind::kBadEnumeration, name, [&] {
          return Quoted(credit) + T(" no es un valor de Credit en ",
                                    " is not a value of Credit in ") +
                 Version();
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

  void EndRecord(bool terminated) {
    if (!has_fields_) {
      if (terminated)
        Report(FindingKind::kEmptyRecord, "-", [&] {
          return T("<EOR> sin ning\xFAn campo", "<EOR> with no field");
        });
      return;
    }
    Submode();
    if (!freq_.empty()) InBand("FREQ", freq_.view(), freq_hz_, band_);
    if (!freq_rx_.empty())
      InBand("FREQ_RX", freq_rx_.view(), freq_rx_hz_, band_rx_);
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

  void Submode() {
    if (!has_submode_) return;
    const std::string& value = submode_;
    const std::string_view mode = mode_ ? mode_->value : "";
    if (!mode.empty() &&
        FindAdifSubmode(value, mode) != nullptr)
      return;
    const AdifEnumerationValue* any = FindAdifSubmode(value);
    if (any && mode.empty()) return;  // MODE is missing or already reported
    Report(FindingKind::kBadSubmode, "SUBMODE", [&] {
      if (any)
        return Quoted(value) + T(" es un submodo de ", " is a submode of ") +
               any->qualifier + T(", no de ", ", not of ") + std::string(mode);
      return Quoted(value) + T(" no es un submodo de ", " is not a submode of ") +
             Version();
    });
  }

  // \a value is the frequency as written, \a hz as read.
  void InBand(const char* field, std::string_view value, std::uint64_t hz,
              const AdifBand* band) {
    auto written = [&value] { return EscapedToken(value) + " MHz"; };
    if (band) {
      if (BandHolds(*band, hz)) return;
      return Report(FindingKind::kFreqOutsideBand, field, [&] {
        return written() + T(" est\xE1 fuera de la banda ", " is outside band ") +
               band->name + " (" + MegahertzText(band->lower_hz) +
               T(" a ", " to ") + MegahertzText(band->upper_hz) +
               " MHz)";
      });
    }
    if (BandOfHertz(hz)) return;
    bool kilohertz = hz < kHighestHertz && BandOfHertz(hz / 1000);
    Report(FindingKind::kFreqOutsideBand, field, [&] {
      return written() +
             T(" no est\xE1 en ninguna banda de aficionado",
               " is in no amateur band") +
             (kilohertz ? T(" (\xBFkHz escritos como MHz?)",
                            " (kHz written as MHz?)")
                        : std::string());
    });
  }

  void Subdivision(const Deferred& later) {
    std::string_view list = later.enumeration;
    list = list.substr(0, list.find('['));
    const std::string& dxcc = later.mine ? my_dxcc_ : dxcc_;
    if (dxcc.empty() || !HasValuesFor(list, dxcc)) return;
    if (FindAdifEnumerationValue(list, later.value, dxcc)) return;
    Report(FindingKind::kBadEnumeration, later.field, [&] {
      return Quoted(later.value) +
             T(" no es una subdivisi\xF3n de la entidad DXCC ",
               " is not a subdivision of DXCC entity ") +
             dxcc + T(" en ", " in ") + Version();
    });
  }

  static constexpr std::size_t kCacheSlots = 256;
  static constexpr std::size_t kPredicted = 128;
  static constexpr int kDeferredSlots = 8;

  const AdifForm form_;
  const Language language_;
  const CheckOptions options_;
  const FindingSink& sink_;
  CheckTotals* totals_;
  bool stopped_ = false;
  std::vector<std::string> user_fields_;  // upper case
  std::unique_ptr<CacheEntry[]> cache_{new CacheEntry[kCacheSlots]};
  CacheEntry* slot_ = nullptr;  // the field at hand
  // By place in the part: the entries of the fields of the last part (or
  // nullptr), kept for the fields of the next.
  CacheEntry* predicted_[kPredicted] = {};

  // The record at hand.
  std::uint64_t record_ = 0;
  bool record_has_findings_ = false;
  bool has_fields_ = false;
  bool has_[5] = {};  // CALL, QSO_DATE, TIME_ON, MODE, BAND or FREQ
  const AdifEnumerationValue* mode_ = nullptr;  // a valid MODE
  std::string submode_;
  bool has_submode_ = false;
  const AdifBand* band_ = nullptr;
  const AdifBand* band_rx_ = nullptr;
  KeptText freq_, freq_rx_;  // as written, when numbers
  std::uint64_t freq_hz_ = 0, freq_rx_hz_ = 0;
  std::string dxcc_, my_dxcc_;
  Deferred deferred_[kDeferredSlots];
  int deferred_count_ = 0;
};

}  // namespace

const char* FindingKindName(FindingKind kind) {
  return kKindNames[static_cast<int>(kind)];
}

FindingLevel LevelOf(FindingKind kind) {
  switch (kind) {
    case FindingKind::kBadSubmode:
    case FindingKind::kImportOnly:
    case FindingKind::kUnknownField:
    case FindingKind::kIntlField:
    case FindingKind::kTextAfterValue:
    case FindingKind::kEmptyRecord:
    case FindingKind::kNoRecords:
      return FindingLevel::kWarning;
    default:
      return FindingLevel::kError;
  }
}

const char* LevelWord(FindingLevel level, Language language) {
  return level == FindingLevel::kError ? "error"
                                       : Choose(language, "aviso", "warning");
}

namespace {

// What the first half of a check in halves does after a record: goes on, or
// leaves off where the second half starts.
struct Meeting {
  std::uint64_t at = 0;  // where the second half starts; 0: there is none
  bool met = false;      // the first half's records ended there
  bool missed = false;   // they ran past it
};

// Checks the records \a reader reads, to its end or to \a meeting.
CheckEnd CheckRecords(AdifRecordReader* reader, Checker* checker,
                      const std::function<void()>& on_header,
                      Meeting* meeting) {
  AdifRecord part;
  bool first = true;
  auto file_problems = [&] { checker->FileProblems(reader->TakeFileProblems()); };
  while (reader->Next(&part)) {
    if (first) {
      checker->Header(reader->header_fields());
      if (on_header) on_header();
    }
    first = false;
    file_problems();
    checker->Part(part);
    if (checker->stopped()) return CheckEnd::kStopped;
    if (meeting->at != 0 && !meeting->missed && part.complete &&
        part.terminated && reader->position() >= meeting->at) {
      if (reader->position() == meeting->at) {
        meeting->met = true;
        return CheckEnd::kDone;
      }
      meeting->missed = true;
    }
  }
  if (reader->failed()) return CheckEnd::kReadFailed;
  file_problems();
  return checker->stopped() ? CheckEnd::kStopped : CheckEnd::kDone;
}

// The offset just past the first <EOR> (in any letter case) that starts at
// \a from or later, within a megabyte; 0 when there is none or reading
// fails.
std::uint64_t RecordEndFrom(InputFile* file, std::uint64_t from) {
  constexpr std::size_t kBlock = 1 << 16;
  constexpr std::uint64_t kFarthest = 1 << 20;
  if (!file->Seek(from)) return 0;
  std::string text;  // the last four bytes of the block before, then a block
  std::uint64_t text_at = from;
  std::vector<char> block(kBlock);
  while (text_at - from < kFarthest) {
    std::size_t got = file->Read(block.data(), block.size());
    if (got == 0) return 0;
    text.append(block.data(), got);
    for (std::size_t i = 0; i + 5 <= text.size(); ++i)
      if (text[i] == '<' && text[i + 4] == '>' &&
          EqualIgnoringCase(std::string_view(text).substr(i + 1, 3), "EOR"))
        return text_at + i + 5;
    std::size_t keep = std::min<std::size_t>(text.size(), 4);
    text_at += text.size() - keep;
    text.erase(0, text.size() - keep);
  }
  return 0;
}

// The second half of a check in halves: the records from an offset on,
// checked on a thread of their own into counts and the findings to show.
class LaterHalf {
 public:
  LaterHalf(InputFile* file, std::uint64_t offset, const CheckOptions& options)
      : file_(file), offset_(offset), options_(options) {}
  ~LaterHalf() { Finish(); }

  // Starts the thread; \a header is the file's header.
  void Start(const std::vector<AdifHeaderField>& header) {
    header_ = header;
    thread_ = std::thread([this] { Run(); });
  }
  // Tells the thread to leave off soon: its records are read otherwise.
  void Abandon() { abandon_ = true; }
  // Waits for the thread to end.
  void Finish() {
    if (thread_.joinable()) thread_.join();
  }

  // After Finish.
  CheckTotals totals;
  std::vector<Finding> shown;
  bool failed = false;
  SystemError error;

 private:
  void Run() {
    std::unique_ptr<AdifRecordReader> reader =
        MakeAdifReaderAfterRecord(file_, offset_);
    const FindingSink keep = [this](const Finding& finding) {
      shown.push_back(finding);
      return true;
    };
    Checker checker(AdifForm::kTagged, options_, keep, &totals);
    checker.Header(header_);
    AdifRecord part;
    while (!abandon_.load(std::memory_order_relaxed) && reader->Next(&part)) {
      checker.FileProblems(reader->TakeFileProblems());
      checker.Part(part);
    }
    failed = reader->failed();
    error = reader->error();
  }

  InputFile* const file_;
  const std::uint64_t offset_;
  const CheckOptions options_;
  std::vector<AdifHeaderField> header_;
  std::atomic<bool> abandon_{false};
  std::thread thread_;
};

}  // namespace

CheckEnd CheckAdifRecords(AdifRecordReader* reader, AdifForm form,
                          const CheckOptions& options, const FindingSink& sink,
                          CheckTotals* totals) {
  Checker checker(form, options, sink, totals);
  Meeting none;
  CheckEnd end = CheckRecords(reader, &checker, nullptr, &none);
  if (end == CheckEnd::kDone && totals->records == 0) checker.NoRecords();
  return end == CheckEnd::kDone && checker.stopped() ? CheckEnd::kStopped : end;
}

CheckEnd CheckAdifFile(InputFile* file, InputFile* second, AdifForm form,
                       const CheckOptions& options, const FindingSink& sink,
                       CheckTotals* totals, SystemError* error) {
  std::unique_ptr<AdifRecordReader> reader = MakeAdifReader(file, form);
  const std::uint64_t size = file->Size();
  Meeting meeting;
  // The second handle must show a file of the same size: not one put in
  // the place of the first in between.
  if (second && form == AdifForm::kTagged && options.shown_per_kind != 0 &&
      size >= options.halves_from && size >= 2 && second->Size() == size)
    meeting.at = RecordEndFrom(second, size / 2);
  if (meeting.at == 0) {
    CheckEnd end = CheckAdifRecords(reader.get(), form, options, sink, totals);
    if (end == CheckEnd::kReadFailed) *error = reader->error();
    return end;
  }
  // The second half starts once the header is known.
  Checker checker(form, options, sink, totals);
  LaterHalf later(second, meeting.at, options);
  CheckEnd end = CheckRecords(
      reader.get(), &checker,
      [&] { later.Start(reader->header_fields()); }, &meeting);
  if (!meeting.met) later.Abandon();
  later.Finish();
  if (end == CheckEnd::kReadFailed) *error = reader->error();
  if (end != CheckEnd::kDone) return end;
  if (!meeting.met) {
    if (totals->records == 0) checker.NoRecords();
    return checker.stopped() ? CheckEnd::kStopped : CheckEnd::kDone;
  }
  checker.AddLaterRecords(later.totals, &later.shown);
  if (later.failed) {
    *error = later.error;
    return CheckEnd::kReadFailed;
  }
  return checker.stopped() ? CheckEnd::kStopped : CheckEnd::kDone;
}

CheckTotals CheckAdifText(std::string_view bytes, std::vector<Finding>* findings,
                          const CheckOptions& options) {
  MemoryInputFile input(bytes), second(bytes);
  AdifForm form = DetectAdifForm(bytes);
  CheckTotals totals;
  SystemError error;
  CheckAdifFile(&input, &second, form, options,
                [findings](const Finding& finding) {
                  findings->push_back(finding);
                  return true;
                },
                &totals, &error);
  return totals;
}

std::string FormatFinding(const Finding& finding, Language language) {
  std::string where =
      finding.record == 0
          ? Say(language, "fichero", "file")
          : Say(language, "registro ", "record ") + std::to_string(finding.record);
  return where + ": " + finding.field + ": " +
         LevelWord(LevelOf(finding.kind), language) + ": " + finding.message;
}

std::vector<std::string> HiddenLines(const CheckTotals& totals,
                                     Language language) {
  std::vector<std::string> lines;
  for (int kind = 0; kind < kFindingKindCount; ++kind) {
    std::uint64_t hidden = totals.hidden_by_kind[kind];
    if (hidden == 0) continue;
    const char* name = kKindNames[kind];
    lines.push_back(
        language == kSpanish
            ? "... y " + Grouped(hidden, language) +
                  (hidden == 1 ? " hallazgo " : " hallazgos ") + name + " m\xE1s"
            : "... and " + Grouped(hidden, language) + " more " + name +
                  (hidden == 1 ? " finding" : " findings"));
  }
  return lines;
}

std::string SummaryLine(const CheckTotals& totals, Language language) {
  std::string records =
      std::to_string(totals.records) +
      (totals.records == 1 ? Say(language, " registro", " record")
                           : Say(language, " registros", " records"));
  std::uint64_t total = totals.findings();
  if (total == 0)
    return Say(language, "ning\xFAn hallazgo en ", "no findings in ") + records;
  std::string line =
      std::to_string(total) +
      (total == 1 ? Say(language, " hallazgo en ", " finding in ")
                  : Say(language, " hallazgos en ", " findings in ")) +
      std::to_string(totals.records_with_findings) + Say(language, " de ", " of ") +
      records + ":";
  const char* separator = " ";
  for (int kind = 0; kind < kFindingKindCount; ++kind) {
    if (totals.by_kind[kind] == 0) continue;
    line += separator + std::to_string(totals.by_kind[kind]) + " " +
            kKindNames[kind];
    separator = ", ";
  }
  return line;
}

std::string LevelCountsLine(const CheckTotals& totals, Language language) {
  return std::to_string(totals.errors) +
         (totals.errors == 1 ? " error" : Say(language, " errores", " errors")) +
         ", " + std::to_string(totals.warnings) +
         (totals.warnings == 1 ? Say(language, " aviso", " warning")
                               : Say(language, " avisos", " warnings"));
}

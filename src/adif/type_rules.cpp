// type_rules.cpp: the table of simple data types.

#include "adif/type_rules.h"

#include "adif/check_words.h"
#include "standard/booleans.h"
#include "standard/locators.h"
#include "standard/references.h"
#include "standard/times.h"

namespace {

// STATE,County: a county of a US state (USACA_COUNTIES).
bool IsStateCounty(std::string_view item) {
  return item.find(',') != std::string_view::npos && item.size() >= 4;
}

// LIST:code, a value of the standard's list of such subdivisions.
bool IsSubdivisionAlt(std::string_view item) {
  return FindAdifEnumerationValue("Secondary_Administrative_Subdivision_Alt",
                                  item) != nullptr;
}

// An award led by its sponsor (ADIF_CENTURY_BASIC).
bool IsSponsoredAward(std::string_view item) {
  for (int i = 0; i < kAdifEnumerationValueCount; ++i) {
    const AdifEnumerationValue& sponsor = kAdifEnumerationValues[i];
    if (std::string_view(sponsor.enumeration) != "Award_Sponsor") continue;
    const std::string_view prefix = sponsor.value;
    if (item.size() > prefix.size() && StartsWithIgnoringCase(item, prefix))
      return true;
  }
  return false;
}

bool IsOneCharacter(std::string_view value) { return value.size() == 1; }

const char kNotLocator[] =
    " is not a Maidenhead locator of 2, 4, 6 or 8 characters (such as JN10, "
    "JN10ab or JN10ab12)";
const char kNoLocalizador[] =
    " no es un localizador Maidenhead de 2, 4, 6 u 8 caracteres (como JN10, "
    "JN10ab o JN10ab12)";
const char kNotPota[] =
    " is not a POTA reference (such as K-5033 or VE-5082@CA-AB)";
const char kNoPota[] =
    " no es una referencia POTA (como K-5033 o VE-5082@CA-AB)";

// clang-format off
const TypeRule kTypeRules[] = {
    {AdifType::kBoolean, FindingKind::kBadBoolean, 0, IsAdifBoolean,
     " no es Y ni N", " is neither Y nor N", nullptr},
    {AdifType::kTime, FindingKind::kBadTime, 0, IsAdifTime,
     " no es una hora escrita HHMM o HHMMSS",
     " is not a time written HHMM or HHMMSS", nullptr},
    {AdifType::kGridSquare, FindingKind::kBadGrid, 0, IsGridSquare,
     kNoLocalizador, kNotLocator, nullptr},
    {AdifType::kGridSquareList, FindingKind::kBadGrid, ',', IsGridSquare,
     kNoLocalizador, kNotLocator, nullptr},
    {AdifType::kGridSquareExt, FindingKind::kBadGrid, 0, IsGridSquareExt,
     " no son los caracteres 9 y 10 (o 9 a 12) de un localizador: dos letras "
     "de A a X y quiz\xE1 dos cifras",
     " is not characters 9 and 10 (or 9 to 12) of a locator: two letters A "
     "to X, then perhaps two digits",
     nullptr},
    {AdifType::kIOTARefNo, FindingKind::kBadValue, 0, IsIotaReference,
     " no es una referencia IOTA (como EU-005)",
     " is not an IOTA reference (such as EU-005)", nullptr},
    {AdifType::kSOTARef, FindingKind::kBadValue, 0, IsSotaReference,
     " no es una referencia SOTA (como G/LD-003)",
     " is not a SOTA reference (such as G/LD-003)", nullptr},
    {AdifType::kPOTARef, FindingKind::kBadValue, ',', IsPotaReference, kNoPota,
     kNotPota, nullptr},
    {AdifType::kPOTARefList, FindingKind::kBadValue, ',', IsPotaReference,
     kNoPota, kNotPota, nullptr},
    {AdifType::kWWFFRef, FindingKind::kBadValue, 0, IsWwffReference,
     " no es una referencia WWFF (como KFF-4655)",
     " is not a WWFF reference (such as KFF-4655)", nullptr},
    {AdifType::kSecondarySubdivisionList, FindingKind::kBadValue, ':',
     IsStateCounty,
     " no es un condado escrito ESTADO,Condado (como MA,Franklin)",
     " is not a county written STATE,County (such as MA,Franklin)", nullptr},
    {AdifType::kSecondaryAdministrativeSubdivisionListAlt,
     FindingKind::kBadEnumeration, ';', IsSubdivisionAlt,
     " no es una subdivisi\xF3n de Secondary_Administrative_Subdivision_Alt "
     "(como NZ_Regions:Hawkes Bay/Wairoa)",
     " is not a subdivision of Secondary_Administrative_Subdivision_Alt (such "
     "as NZ_Regions:Hawkes Bay/Wairoa)",
     nullptr},
    {AdifType::kSponsoredAwardList, FindingKind::kBadValue, ',',
     IsSponsoredAward, " no es un premio que empiece por su patrocinador",
     " is not an award led by its sponsor", "Award_Sponsor"},
    {AdifType::kCharacter, FindingKind::kBadValue, 0, IsOneCharacter,
     " no es un solo car\xE1""cter", " is not one character", nullptr},
};
// clang-format on

}  // namespace

const TypeRule* FindTypeRule(AdifType type) {
  for (const TypeRule& rule : kTypeRules)
    if (rule.type == type) return &rule;
  return nullptr;
}

bool FailingItem(const TypeRule& rule, std::string_view value,
                 std::string_view* failing) {
  if (rule.separator == 0) {
    *failing = value;
    return !rule.holds(value);
  }
  for (;;) {
    const std::size_t at = value.find(rule.separator);
    const std::string_view item = value.substr(0, at);
    if (!rule.holds(item)) {
      *failing = item;
      return true;
    }
    if (at == std::string_view::npos) return false;
    value.remove_prefix(at + 1);
  }
}

std::string TypeRuleWords(const TypeRule& rule, std::string_view failing,
                          Language language) {
  std::string words =
      Quoted(failing) + Say(language, rule.spanish, rule.english);
  if (rule.listed) words += " (" + ValueList(rule.listed) + ")";
  return words;
}

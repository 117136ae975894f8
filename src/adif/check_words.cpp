// check_words.cpp: the words of the report and of the reader's problems,
// in both languages.

#include "adif/check_words.h"

#include <algorithm>

#include "adif/adif_check.h"
#include "platform/text.h"
#include "standard/adif_standard.h"

namespace {

constexpr const char* kKindNames[kFindingKindCount] = {
    "missing-field",   "bad-date",      "bad-time",
    "bad-band",        "bad-mode",      "bad-submode",
    "bad-qsl",         "bad-freq",      "freq-outside-band",
    "padded-number",   "bad-number",    "bad-grid",
    "bad-location",    "bad-boolean",   "bad-enumeration",
    "bad-value",       "bad-type",      "repeated-field",
    "import-only",     "unknown-field", "intl-field",
    "bad-header",      "bad-length",    "text-after-value",
    "bad-tag",         "bad-xml",       "non-ascii",
    "service-refuses", "service-drops", "empty-record",
    "missing-eor",     "missing-eoh",   "no-records",
};

// The values of \a enumeration in the standard's table, which is sorted by
// enumeration.
std::pair<const AdifEnumerationValue*, const AdifEnumerationValue*> ValuesOf(
    std::string_view enumeration) {
  const AdifEnumerationValue* end =
      kAdifEnumerationValues + kAdifEnumerationValueCount;
  const AdifEnumerationValue* first = std::lower_bound(
      kAdifEnumerationValues, end, enumeration,
      [](const AdifEnumerationValue& row, std::string_view name) {
        return std::string_view(row.enumeration) < name;
      });
  const AdifEnumerationValue* last = first;
  while (last != end && last->enumeration == enumeration) ++last;
  return {first, last};
}

}  // namespace

std::string Say(Language language, const char* spanish, const char* english) {
  return Choose(language, spanish, english);
}

std::string Quoted(std::string_view value) {
  return "\"" + EscapedToken(value) + "\"";
}

std::string ShownName(std::string_view name) {
  return EscapedToken(AsciiUpperText(name), 64);
}

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

const std::string& AdifVersionText() {
  static const std::string version = std::string("ADIF ") + kAdifVersion;
  return version;
}

std::string ValueList(std::string_view enumeration) {
  auto range = ValuesOf(enumeration);
  std::string list;
  for (const AdifEnumerationValue* v = range.first; v != range.second; ++v)
    list += std::string(list.empty() ? "" : ", ") + v->value;
  return list;
}

int ValueCount(std::string_view enumeration) {
  auto range = ValuesOf(enumeration);
  return static_cast<int>(range.second - range.first);
}

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
    case FindingKind::kServiceDrops:
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
             text +
             T(": el valor se lee como \"", ": the value is read as \"") +
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

std::string FormatFinding(const Finding& finding, Language language) {
  std::string where = finding.record == 0
                          ? Say(language, "fichero", "file")
                          : Say(language, "registro ", "record ") +
                                std::to_string(finding.record);
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
    lines.push_back(language == kSpanish
                        ? "... y " + Grouped(hidden, language) +
                              (hidden == 1 ? " hallazgo " : " hallazgos ") +
                              name + " m\xE1s"
                        : "... and " + Grouped(hidden, language) + " more " +
                              name + (hidden == 1 ? " finding" : " findings"));
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
      std::to_string(totals.records_with_findings) +
      Say(language, " de ", " of ") + records + ":";
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
         (totals.errors == 1 ? " error"
                             : Say(language, " errores", " errors")) +
         ", " + std::to_string(totals.warnings) +
         (totals.warnings == 1 ? Say(language, " aviso", " warning")
                               : Say(language, " avisos", " warnings"));
}

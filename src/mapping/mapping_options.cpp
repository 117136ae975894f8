// mapping_options.cpp: building field list entries from the user's choices.

#include "mapping/mapping_options.h"

#include <algorithm>
#include <cstdlib>

#include "dbf/code_page.h"
#include "mapping/catalogue.h"
#include "mapping/column_guess.h"
#include "mapping/column_plan.h"
#include "mapping/field_list.h"
#include "mapping/names.h"
#include "mapping/texts.h"
#include "platform/text.h"

namespace {

std::string Trim(const std::string& text) {
  return std::string(TrimSpacesAndTabs(text));
}

// "malformed mapping 'X': expected COLUMN=KEYWORD" in \a language.
std::string MalformedText(const std::string& item, Language language) {
  return Choose(language, "correspondencia mal escrita '",
                "malformed mapping '") +
         ShownToken(item) +
         Choose(language, "': se espera CAMPO=CLAVE",
                "': expected COLUMN=KEYWORD");
}

// The code page the table's names are read in.
int NamesCodePage(const DbfLayout& layout, const MappingChoices& choices) {
  return TextCodePage(choices.code_page, layout.header.code_page_mark);
}

// Cuts a comment, a "#" after a blank, from the part of a mapping line
// after its "=".
std::string WithoutComment(const std::string& text) {
  for (std::size_t i = 1; i < text.size(); ++i)
    if (text[i] == '#' && (text[i - 1] == ' ' || text[i - 1] == '\t'))
      return Trim(text.substr(0, i));
  return text;
}

// Moves a form written after the keyword (KEYWORD:FORM) to the item's form.
void SplitForm(MapItem* item) {
  const std::size_t colon = item->keyword.find(':');
  if (colon == std::string::npos) return;
  item->form = AsciiLowerText(Trim(item->keyword.substr(colon + 1)));
  item->keyword = Trim(item->keyword.substr(0, colon));
}

}  // namespace

std::vector<int> ColumnsNamed(const DbfLayout& layout,
                              const std::string& column, int code_page) {
  std::vector<int> found;
  int count = static_cast<int>(layout.columns.size());
  if (column.size() > 1 && column[0] == '#') {
    std::string digits = column.substr(1);
    if (digits.find_first_not_of("0123456789") != std::string::npos ||
        digits.size() > 9)
      return found;
    int number = std::atoi(digits.c_str());
    if (number >= 1 && number <= count) found.push_back(number - 1);
    return found;
  }
  for (int i = 0; i < count; ++i)
    if (ColumnNameMatches(layout.columns[i].name, column, code_page))
      found.push_back(i);
  return found;
}

bool ParseMapOption(const std::string& text, Language language,
                    std::vector<MapItem>* items, std::string* error) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    std::string item = text.substr(start, comma - start);
    std::size_t equals = item.find('=');
    MapItem pair;
    if (equals != std::string::npos) {
      pair.column = Trim(item.substr(0, equals));
      pair.keyword = Trim(item.substr(equals + 1));
    }
    if (equals == std::string::npos || pair.column.empty() ||
        pair.keyword.empty()) {
      *error = MalformedText(item, language);
      return false;
    }
    SplitForm(&pair);
    items->push_back(pair);
    start = comma + 1;
  }
  return true;
}

MapFileResult ReadMapFile(FileSystem& files, const std::string& path,
                          Language language, std::vector<MapItem>* items,
                          std::string* error) {
  std::string text;
  OpenError open_error;
  if (!ReadWholeFile(files, path, kLargestMappingFile, &text, &open_error)) {
    *error = OpenErrorText(path, open_error, language);
    return MapFileResult::kCannotRead;
  }
  return ParseMapFile(text, path, language, items, error)
             ? MapFileResult::kRead
             : MapFileResult::kMalformed;
}

bool ParseMapFile(const std::string& text, const std::string& path,
                  Language language, std::vector<MapItem>* items,
                  std::string* error) {
  // An editor may have put a UTF-8 byte-order mark first.
  std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  for (int line_number = 1; start < text.size(); ++line_number) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = Trim(line);
    // "#" starts a comment, except in "#N=KEYWORD", which names column N.
    bool numbered =
        line.size() > 1 && line[0] == '#' && line[1] >= '0' && line[1] <= '9';
    if (line.empty() || (line[0] == '#' && !numbered)) continue;
    std::string origin = path + ":" + std::to_string(line_number);
    MapItem item;
    item.origin = origin;
    if (line[0] == '=') {  // =FIELD=VALUE
      std::string error_text;
      if (!ParseConstantOption(WithoutComment(line.substr(1)), &item,
                               &error_text, language)) {
        *error = origin + ": " + error_text;
        return false;
      }
      items->push_back(item);
      continue;
    }
    std::size_t equals = line.find('=');
    if (equals != std::string::npos) {
      item.column = Trim(line.substr(0, equals));
      item.keyword = WithoutComment(Trim(line.substr(equals + 1)));
    }
    if (equals == std::string::npos || item.column.empty() ||
        item.keyword.empty()) {
      *error = origin + ": " + MalformedText(line, language);
      return false;
    }
    SplitForm(&item);
    items->push_back(item);
  }
  return true;
}

bool ParseConstantOption(const std::string& text, MapItem* item,
                         std::string* error, Language language) {
  std::size_t equals = text.find('=');
  if (equals == std::string::npos || Trim(text.substr(0, equals)).empty()) {
    *error =
        Choose(language, "constante mal formada '", "malformed constant '") +
        ShownToken(text) +
        Choose(language, "': se espera CAMPO=VALOR", "': expected FIELD=VALUE");
    return false;
  }
  item->keyword = Trim(text.substr(0, equals));
  item->column = Trim(text.substr(equals + 1));
  item->constant = true;
  return true;
}

bool ReadConstant(const MapItem& item, Language language, std::string* keyword,
                  std::string* error) {
  std::string where = item.origin.empty() ? "--set: " : item.origin + ": ";
  if (!NormaliseKeyword(item.keyword, language, keyword) ||
      *keyword == SkipWord(language)) {
    *error = where +
             Choose(language, "nombre de campo mal formado '",
                    "malformed field name '") +
             ShownToken(item.keyword) +
             Choose(language, "': use letras, cifras y subrayados",
                    "': use letters, digits and underscores");
    return false;
  }
  if (IsAdifMarker(*keyword)) {
    *error = where + MarkerText(*keyword, language);
    return false;
  }
  bool printable = !item.column.empty();
  for (char c : item.column)
    if (c < ' ' || c > '~') printable = false;
  if (!printable) {
    *error = where + *keyword +
             Choose(language,
                    ": el valor debe ser texto ASCII imprimible, no vac\xEDo",
                    ": the value must be printable ASCII text, not empty");
    return false;
  }
  return true;
}

std::string MappingFileText(const DbfLayout& layout,
                            const std::string& table_name, Language language,
                            const std::vector<ColumnGuess>* guesses) {
  std::vector<std::string> entries;
  std::string ignored;
  MappingChoices choices;
  choices.by_keyword_names = true;
  BuildEntries(layout, language, choices, &entries, &ignored);
  const ColumnPlan plan = PlanColumns(entries, language);
  // The name stands in a comment line: no control byte may end that line.
  std::string shown_name = table_name;
  for (char& c : shown_name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  std::string text =
      Choose(language, "# Correspondencias de LogWeave para ",
             "# LogWeave mapping for ") +
      shown_name +
      Choose(language,
             "\n# Una CAMPO=CLAVE por l\xEDnea (CAMPO un nombre, o #N para el "
             "campo N);\n"
             "# las dem\xE1s l\xEDneas que empiezan por # no cuentan.\n"
             "# Complete las l\xEDneas comentadas que quiera y convierta con\n"
             "#   logweave convert TABLA --map-file ESTE-FICHERO\n",
             "\n# One COLUMN=KEYWORD a line (COLUMN a name, or #N for column "
             "N);\n"
             "# other lines starting with # are passed over.\n"
             "# Fill in the commented lines you want, then convert with\n"
             "#   logweave convert TABLE --map-file THIS-FILE\n");
  if (guesses)
    text += Choose(
        language,
        "# Los campos se han reconocido por su nombre y sus valores, con el\n"
        "# motivo al lado: rev\xEDselos. Una l\xEDnea =CAMPO=VALOR da ese campo\n"
        "# a cada registro (=STATION_CALLSIGN=EA4XYZ).\n",
        "# The columns were guessed from their names and values, the reason\n"
        "# beside each: check them. A line =FIELD=VALUE gives every record\n"
        "# that field (=STATION_CALLSIGN=EA4XYZ).\n");
  for (std::size_t i = 0; i < layout.columns.size(); ++i) {
    const DbfFieldDescriptor& column = layout.columns[i];
    // A name that the file could not spell back is written as its number.
    std::string name = column.name;
    bool plain = !name.empty() &&
                 name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                        "abcdefghijklmnopqrstuvwxyz"
                                        "0123456789_") == std::string::npos;
    // A guessed file names a column it shares its name with by number too,
    // so that the guess goes to that column alone.
    if (guesses && plain &&
        ColumnsNamed(layout, name, NamesCodePage(layout, choices)).size() != 1)
      plain = false;
    if (!plain) name = "#" + std::to_string(i + 1);
    const PlannedColumn& planned = plan.columns[i];
    const ColumnGuess* guess =
        guesses && i < guesses->size() ? &(*guesses)[i] : nullptr;
    std::string line;
    if (guess ? !guess->keyword.empty() : !planned.skipped) {
      line = name + "=" + (guess ? guess->keyword : planned.keyword);
      if (guess) line.resize(std::max<std::size_t>(line.size() + 1, 30), ' ');
    } else {
      line = "# " + name + "=";
      line.resize(std::max<std::size_t>(line.size() + 1, 20), ' ');
      char type = column.type > ' ' && column.type < 0x7F
                      ? static_cast<char>(column.type)
                      : '?';
      line +=
          std::string("(") + type + ", " + std::to_string(column.length) + ")";
      if (guess && !guess->reason.empty()) line += "  ";
    }
    if (guess && !guess->reason.empty()) {
      // The reason quotes values of the table: no control byte may end
      // its line.
      std::string reason = guess->reason;
      for (char& c : reason)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
      line += "# " + reason;
    }
    text += line + "\n";
  }
  return text;
}

bool NormaliseKeyword(const std::string& keyword, Language language,
                      std::string* normalised) {
  if (keyword.empty()) return false;
  for (char c : keyword) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
              (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  std::string upper = AsciiUpperText(keyword);
  if (upper == AsciiUpperText(SkipWord(kSpanish)) ||
      upper == AsciiUpperText(SkipWord(kEnglish)))
    upper = SkipWord(language);
  *normalised = upper;
  return true;
}

bool BuildEntries(const DbfLayout& layout, Language language,
                  const MappingChoices& choices,
                  std::vector<std::string>* entries, std::string* error,
                  std::vector<std::string>* warnings) {
  const int code_page = NamesCodePage(layout, choices);
  std::vector<std::string> built;
  for (const DbfFieldDescriptor& column : layout.columns) {
    std::string entry = ColumnEntry(column, SkipWord(language));
    if (choices.by_keyword_names) {
      std::string name = AsciiUpperText(column.name);
      for (int row = 1; row < kCatalogueRows; ++row) {
        std::string keyword = CatalogueKeyword(CatalogueEntry(row, language));
        if (keyword == name) entry = ReassignEntry(entry, keyword);
      }
    }
    built.push_back(entry);
  }
  for (const MapItem& item : choices.items) {
    if (item.constant) continue;
    std::string where = item.origin.empty() ? "" : item.origin + ": ";
    std::vector<int> found = ColumnsNamed(layout, item.column, code_page);
    if (found.empty()) {
      *error = where +
               Choose(language, "campo desconocido '", "unknown column '") +
               ShownToken(item.column) + "'";
      return false;
    }
    std::string keyword;
    if (!NormaliseKeyword(item.keyword, language, &keyword)) {
      *error = where +
               Choose(language, "clave mal escrita '", "malformed keyword '") +
               ShownToken(item.keyword) +
               Choose(language, "': use letras, cifras y subrayados",
                      "': use letters, digits and underscores");
      return false;
    }
    if (IsAdifMarker(keyword)) {
      *error = where + MarkerText(keyword, language);
      return false;
    }
    if (warnings && keyword != SkipWord(language) && !IsKnownKeyword(keyword))
      warnings->push_back(where + UnknownKeywordText(keyword, language));
    for (int index : found) built[index] = ReassignEntry(built[index], keyword);
  }
  *entries = std::move(built);
  return true;
}

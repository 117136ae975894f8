// mapping.cpp: building field list entries from command-line choices.

#include "cli/mapping.h"

#include <cstdlib>

#include "adif/catalogue.h"
#include "dbf/field_list.h"

namespace {

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string Trim(const std::string& text) {
  std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return std::string();
  std::size_t end = text.find_last_not_of(" \t");
  return text.substr(start, end - start + 1);
}

// The indexes of the columns \a column names: "#N" (from 1) or a name,
// compared without regard to letter case.
std::vector<int> FindColumns(const DbfLayout& layout,
                             const std::string& column) {
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
    if (Upper(layout.columns[i].name) == Upper(column)) found.push_back(i);
  return found;
}

}  // namespace

bool ParseMapOption(const std::string& text, std::vector<MapItem>* items,
                    std::string* error) {
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
      *error = "malformed mapping '" + item + "': expected COLUMN=KEYWORD";
      return false;
    }
    items->push_back(pair);
    start = comma + 1;
  }
  return true;
}

bool NormaliseKeyword(const std::string& keyword, Language language,
                      std::string* normalised) {
  if (keyword.empty()) return false;
  for (char c : keyword) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
              (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  std::string upper = Upper(keyword);
  if (upper == Upper(SkipWord(kSpanish)) || upper == Upper(SkipWord(kEnglish)))
    upper = SkipWord(language);
  *normalised = upper;
  return true;
}

bool BuildEntries(const DbfLayout& layout, Language language, bool automatic,
                  const std::vector<MapItem>& items,
                  std::vector<std::string>* entries, std::string* error) {
  std::vector<std::string> built;
  for (const DbfFieldDescriptor& column : layout.columns) {
    std::string entry = ColumnEntry(column, SkipWord(language));
    if (automatic) {
      std::string name = Upper(column.name);
      for (int row = 1; row < kCatalogueRows; ++row) {
        std::string keyword = CatalogueKeyword(CatalogueEntry(row, language));
        if (keyword == name) entry = ReassignEntry(entry, keyword);
      }
    }
    built.push_back(entry);
  }
  for (const MapItem& item : items) {
    std::vector<int> found = FindColumns(layout, item.column);
    if (found.empty()) {
      *error = "unknown column '" + item.column + "'";
      return false;
    }
    std::string keyword;
    if (!NormaliseKeyword(item.keyword, language, &keyword)) {
      *error = "malformed keyword '" + item.keyword +
               "': use letters, digits and underscores";
      return false;
    }
    for (int index : found) built[index] = ReassignEntry(built[index], keyword);
  }
  *entries = std::move(built);
  return true;
}

bool HasCallColumn(const std::vector<std::string>& entries) {
  for (const std::string& entry : entries)
    if (ReadFieldListEntry(entry).keyword == "CALL") return true;
  return false;
}

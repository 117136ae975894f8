// names.cpp: matching names as characters, and knowing ADIF keywords.

#include "mapping/names.h"

#include <algorithm>
#include <cstdint>

#include "dbf/code_page.h"
#include "mapping/catalogue.h"
#include "platform/text.h"
#include "standard/adif_standard.h"

namespace {

// Upper case for the letters a column name may hold: ASCII, Latin-1,
// Cyrillic and Greek.
std::uint32_t FoldCase(std::uint32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;
  return c;
}

std::vector<std::uint32_t> InCodePage(const std::string& bytes, int code_page) {
  std::vector<std::uint32_t> points;
  for (unsigned char b : bytes)
    points.push_back(FoldCase(CodePoint(code_page, b)));
  return points;
}

// The code points of \a bytes read as UTF-8, letter case folded; false
// when they are not UTF-8.
bool FromUtf8(const std::string& bytes, std::vector<std::uint32_t>* points) {
  points->clear();
  for (std::size_t i = 0; i < bytes.size();) {
    std::uint32_t c = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 1;
    if (c >= 0x80 && (length = Utf8SequenceAt(bytes, i, &c)) == 0) return false;
    points->push_back(FoldCase(c));
    i += length;
  }
  return true;
}

// Edits (insert, delete, replace, swap two neighbours) from \a a to \a b.
std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(
      a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i)
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] =
          std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[a.size()][b.size()];
}

}  // namespace

bool ColumnNameMatches(const std::string& table_name, const std::string& typed,
                       int code_page) {
  if (EqualIgnoringCase(table_name, typed)) return true;
  const std::vector<std::uint32_t> name = InCodePage(table_name, code_page);
  std::vector<std::uint32_t> letters;
  if (FromUtf8(typed, &letters) && letters == name) return true;
  return InCodePage(typed, code_page) == name;
}

bool IsAdifMarker(const std::string& keyword) {
  std::string upper = AsciiUpperText(keyword);
  return upper == "EOR" || upper == "EOH";
}

std::string MarkerText(const std::string& keyword, Language language) {
  return ShownToken(keyword) +
         Choose(language,
                " marca el final de un registro o de la cabecera en ADIF; no "
                "puede ser un campo",
                " marks the end of a record or of the header in ADIF; it "
                "cannot be a field");
}

bool IsKnownKeyword(const std::string& keyword) {
  if (keyword.compare(0, 4, "APP_") == 0) return true;
  if (FindAdifField(keyword)) return true;
  for (int row = 1; row < kCatalogueRows; ++row)
    if (CatalogueKeyword(CatalogueEntry(row, kEnglish)) == keyword) return true;
  return false;
}

std::vector<std::string> NearestKeywords(const std::string& keyword) {
  std::vector<std::pair<std::size_t, std::string>> near;
  for (int i = 0; i < kAdifFieldCount; ++i) {
    if (kAdifFields[i].header || kAdifFields[i].import_only) continue;
    std::size_t distance = EditDistance(keyword, kAdifFields[i].name);
    if (distance <= 2) near.emplace_back(distance, kAdifFields[i].name);
  }
  std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) {
    return a.first < b.first;
  });
  std::vector<std::string> names;
  for (std::size_t i = 0; i < near.size() && i < 3; ++i)
    names.push_back(near[i].second);
  return names;
}

std::string UnknownKeywordText(const std::string& keyword, Language language) {
  std::vector<std::string> near = NearestKeywords(keyword);
  std::string text =
      ShownToken(keyword) +
      Choose(language, " no es un campo ADIF", " is not an ADIF field");
  if (near.empty())
    return text + Choose(language, "; se escribe tal cual",
                         "; it is written as given");
  text += Choose(language,
                 "; \xBFquer\xED"
                 "a decir ",
                 "; did you mean ");
  for (std::size_t i = 0; i < near.size(); ++i) {
    if (i > 0)
      text += i + 1 == near.size() ? Choose(language, " o ", " or ") : ", ";
    text += near[i];
  }
  return text + "?";
}

// catalogue.h: the fixed bilingual vocabulary of ADIF field names offered for
// assignment. Row 0 is the ignore row, whose keyword is the skip word.

#ifndef LOGWEAVE_MAPPING_CATALOGUE_H_
#define LOGWEAVE_MAPPING_CATALOGUE_H_

#include <string>

#include "mapping/language.h"
#include "mapping/text_list.h"

constexpr int kCatalogueRows = 43;

/// The catalogue as 86 texts, pairs in row order with the Spanish text first:
/// the text of row r is AdifCatalogue[2 * r + language].
extern const char* const AdifCatalogue[2 * kCatalogueRows];

/// The text of catalogue row \a row (0 to 42) in \a language.
inline const char* CatalogueEntry(int row, Language language) {
  return AdifCatalogue[2 * row + (language != kSpanish ? 1 : 0)];
}

/// Empties \a list and appends the 43 catalogue texts of \a language in
/// order; nothing is selected afterwards.
void FillCatalogueList(TextList* list, Language language);

/// The catalogue row whose keyword is \a keyword (exact), or -1.
int FindCatalogueRow(const std::string& keyword, Language language);

#endif  // LOGWEAVE_MAPPING_CATALOGUE_H_

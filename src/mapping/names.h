// names.h: column names and ADIF keywords as the user types them.
//
// A column name typed on a terminal is in the terminal's character set
// (UTF-8 on most systems today), while the table spells it in its own code
// page; the two are compared as characters, without regard to letter case.
// A keyword is checked against the ADIF standard: the end markers can never
// be a field, and a name the standard does not know is warned about with
// the nearest names it does know.

#ifndef LOGWEAVE_MAPPING_NAMES_H_
#define LOGWEAVE_MAPPING_NAMES_H_

#include <string>
#include <vector>

#include "mapping/language.h"

/// True when \a typed names the column spelled \a table_name in code page
/// \a code_page: the same bytes in any ASCII letter case, or the same
/// letters in any case when \a typed is read as UTF-8 or in the table's own
/// code page.
bool ColumnNameMatches(const std::string& table_name, const std::string& typed,
                       int code_page);

/// True for EOR and EOH in any case: markers every reader takes for the end
/// of a record or header.
bool IsAdifMarker(const std::string& keyword);

/// "EOR marks the end of a record or of the header in ADIF; it cannot be a
/// field", in \a language.
std::string MarkerText(const std::string& keyword, Language language);

/// True when \a keyword (upper case) is a field of the ADIF standard, of the
/// catalogue, or application-defined (APP_...).
bool IsKnownKeyword(const std::string& keyword);

/// The known field names nearest to \a keyword (at most three, at most two
/// edits away), nearest first.
std::vector<std::string> NearestKeywords(const std::string& keyword);

/// "BNAD is not an ADIF field; did you mean BAND?", or without a suggestion
/// "... it is written as given", in \a language.
std::string UnknownKeywordText(const std::string& keyword, Language language);

#endif  // LOGWEAVE_MAPPING_NAMES_H_

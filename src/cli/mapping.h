// mapping.h: the command line's column mapping (--map, --auto) turned into
// the very field list entries the window program would hold for the same
// choices, so that both programs write the same bytes.

#ifndef LOGWEAVE_CLI_MAPPING_H_
#define LOGWEAVE_CLI_MAPPING_H_

#include <string>
#include <vector>

#include "dbf/dbf_table.h"
#include "dbf/language.h"

/// One COLUMN=KEYWORD pair as the user wrote it.
struct MapItem {
  std::string column;   ///< a column name or "#N"
  std::string keyword;  ///< as written
  std::string origin = {};  ///< "FILE:LINE" for a mapping file's line, else empty
};

/// Splits "A=B,C=D" into pairs. Returns false and sets \a error on an item
/// without "=" or with an empty side.
bool ParseMapOption(const std::string& text, std::vector<MapItem>* items,
                    std::string* error);

/// Reads a mapping file's text: COLUMN=KEYWORD lines; blank lines and lines
/// starting with "#" are passed over, except "#N=KEYWORD", which maps column
/// N. Errors name \a path and the line.
bool ParseMapFile(const std::string& text, const std::string& path,
                  std::vector<MapItem>* items, std::string* error);

/// A ready-to-edit mapping file for \a layout: every column that --auto maps
/// as a COLUMN=KEYWORD line, the others as commented lines to fill in.
std::string MappingFileText(const DbfLayout& layout,
                            const std::string& table_name, Language language);

/// The ADIF field name for \a keyword: upper-cased; the skip word of either
/// language gives the skip word of \a language. Returns false when the
/// keyword holds anything but letters, digits and underscores.
bool NormaliseKeyword(const std::string& keyword, Language language,
                      std::string* normalised);

/// The field list entries for \a layout: every column starts skipped; with
/// \a automatic, a column whose name is a catalogue keyword takes it; then
/// each item of \a items is applied in order (a later one wins). Returns
/// false and sets \a error when a column is unknown or a keyword malformed.
bool BuildEntries(const DbfLayout& layout, Language language, bool automatic,
                  const std::vector<MapItem>& items,
                  std::vector<std::string>* entries, std::string* error);

/// True when some entry carries the keyword CALL.
bool HasCallColumn(const std::vector<std::string>& entries);

#endif  // LOGWEAVE_CLI_MAPPING_H_

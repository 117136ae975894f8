// mapping_options.h: a column mapping given as choices (the keyword names
// of --auto, mapping files, COLUMN=KEYWORD pairs) turned into the very field
// list entries the window program would hold for the same choices, so that
// both programs write the same bytes.

#ifndef LOGWEAVE_MAPPING_MAPPING_OPTIONS_H_
#define LOGWEAVE_MAPPING_MAPPING_OPTIONS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "dbf/dbf_table.h"
#include "mapping/language.h"
#include "platform/file_system.h"

/// One COLUMN=KEYWORD pair as the user wrote it, or a constant field
/// FIELD=VALUE (--set, "=FIELD=VALUE" in a mapping file).
struct MapItem {
  std::string column;   ///< a column name or "#N"; a constant's VALUE
  std::string keyword;  ///< as written
  std::string origin =
      {};                 ///< "FILE:LINE" for a mapping file's line, else empty
  bool constant = false;  ///< a constant field, not a column
  /// How --fix reads the column ("ymd", "khz", "hhmmss"...), written after
  /// the keyword as KEYWORD:FORM; empty when not given.
  std::string form = {};
};

/// Splits "A=B,C=D" into pairs; a keyword written KEYWORD:FORM gives the
/// item its form. Returns false and sets \a error on an item
/// without "=" or with an empty side.
bool ParseMapOption(const std::string& text, Language language,
                    std::vector<MapItem>* items, std::string* error);

/// The largest mapping file read; a mapping of every column of the widest
/// table takes a few kilobytes.
constexpr std::uint64_t kLargestMappingFile = 1u << 20;

/// How reading a mapping file went.
enum class MapFileResult { kRead, kCannotRead, kMalformed };

/// Reads the mapping file at \a path (see ParseMapFile) and appends its
/// items. Folders, pipes, devices and files over kLargestMappingFile cannot
/// be read; errors name the file (and the line).
MapFileResult ReadMapFile(FileSystem& files, const std::string& path,
                          Language language, std::vector<MapItem>* items,
                          std::string* error);

/// Reads a mapping file's text: COLUMN=KEYWORD lines; blank lines and lines
/// starting with "#" are passed over, except "#N=KEYWORD", which maps column
/// N. "=FIELD=VALUE" gives every record the constant field FIELD (see
/// ReadConstant). After the "=", a "#" that follows a blank starts a
/// comment. A byte-order mark at the start is passed over. Errors name
/// \a path and the line.
bool ParseMapFile(const std::string& text, const std::string& path,
                  Language language, std::vector<MapItem>* items,
                  std::string* error);

/// Splits the --set text "FIELD=VALUE" into a constant item. Returns false
/// and sets \a error when there is no "=" or FIELD is empty.
bool ParseConstantOption(const std::string& text, MapItem* item,
                         std::string* error, Language language = kEnglish);

/// Checks a constant item as a keyword is checked (the end markers EOR and
/// EOH are refused), and its value: not
/// empty, printable ASCII (it is written as it stands, whatever the
/// charset). Sets \a keyword to the field name; false and \a error (naming
/// the mapping file's line when there is one) otherwise.
bool ReadConstant(const MapItem& item, Language language, std::string* keyword,
                  std::string* error);

/// The indexes of the columns \a column names: "#N" (from 1) or a name,
/// compared as characters of \a code_page without regard to letter case
/// (see ColumnNameMatches).
std::vector<int> ColumnsNamed(const DbfLayout& layout,
                              const std::string& column, int code_page = 1252);

struct ColumnGuess;

/// A ready-to-edit mapping file for \a layout: every column that --auto maps
/// as a COLUMN=KEYWORD line, the others as commented lines to fill in. With
/// \a guesses (one per column), the guessed columns instead, each with its
/// reason as a comment, and the reason beside the columns left unmapped.
std::string MappingFileText(const DbfLayout& layout,
                            const std::string& table_name, Language language,
                            const std::vector<ColumnGuess>* guesses = nullptr);

/// The ADIF field name for \a keyword: upper-cased; the skip word of either
/// language gives the skip word of \a language. Returns false when the
/// keyword holds anything but letters, digits and underscores.
bool NormaliseKeyword(const std::string& keyword, Language language,
                      std::string* normalised);

/// What the user chose for the columns of a table.
struct MappingChoices {
  /// A column whose name is a catalogue keyword takes it.
  bool by_keyword_names = false;
  /// Applied in order after that; a later item wins.
  std::vector<MapItem> items;
  /// The code page the table's column names are in; 0: the one the table
  /// names (1252 when it names none).
  int code_page = 0;
};

/// The field list entries for \a layout: every column starts skipped, then
/// \a choices apply (constant items aside). Returns false and sets \a error
/// when a column is unknown or a keyword malformed or an end marker (EOR,
/// EOH). A keyword that is no ADIF field is kept, and said in \a warnings
/// when given.
bool BuildEntries(const DbfLayout& layout, Language language,
                  const MappingChoices& choices,
                  std::vector<std::string>* entries, std::string* error,
                  std::vector<std::string>* warnings = nullptr);

#endif  // LOGWEAVE_MAPPING_MAPPING_OPTIONS_H_

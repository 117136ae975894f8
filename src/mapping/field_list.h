// field_list.h: the field list, one text line per table column that carries
// the ADIF keyword assigned to the column, and the assignment of keywords.
//
// The entry text is the only store of the column-to-keyword mapping: the
// conversion reads each column's size and keyword back from it (once, into a
// ColumnPlan).

#ifndef LOGWEAVE_MAPPING_FIELD_LIST_H_
#define LOGWEAVE_MAPPING_FIELD_LIST_H_

#include <string>
#include <string_view>
#include <vector>

#include "dbf/dbf_table.h"
#include "mapping/language.h"
#include "mapping/text_list.h"

/// The keyword of an entry always starts at this character position.
constexpr std::size_t kEntryKeywordPosition = 38;

/// Composes an entry with "%-12s  %c  %9i %10i %s".
std::string ComposeFieldListEntry(std::string_view name, unsigned char type,
                                  int length, int decimals,
                                  std::string_view keyword);

/// The entry of one column, carrying \a keyword. Names that are empty or hold
/// white space or control bytes, and type bytes that are NUL, white space or
/// control bytes, are shown with placeholders ("?" for an empty name, "_" for
/// each such byte) so that every entry reads back to its true size and
/// keyword.
std::string ColumnEntry(const DbfFieldDescriptor& column,
                        std::string_view keyword);

/// The first 38 characters of \a entry followed by \a keyword.
std::string ReassignEntry(std::string_view entry, std::string_view keyword);

/// What the conversion reads back from an entry: the third white-space
/// separated token as the size (read like atoi) and the fifth as the keyword;
/// a token the text lacks stays empty (size 0).
struct EntryColumn {
  int size = 0;
  std::string keyword;
};
EntryColumn ReadFieldListEntry(std::string_view entry);

/// Fills \a field_list with one entry per column of \a layout, each carrying
/// the skip word, and selects the first entry (when there is one).
void ListColumns(const DbfLayout& layout, Language language,
                 TextList* field_list);

/// The assignment on a double-click in the catalogue: the selected field entry
/// takes the keyword of the selected catalogue text, and the selection moves
/// to the next column (none after the last). Does nothing when either list
/// has no selection.
void Assign(TextList* field_list, const TextList& catalogue_list);

#endif  // LOGWEAVE_MAPPING_FIELD_LIST_H_

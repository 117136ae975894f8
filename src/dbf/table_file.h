// table_file.h: opening a table file by its path and reading what the field
// list shows of it, with a message in the user's language when that fails.

#ifndef LOGWEAVE_DBF_TABLE_FILE_H_
#define LOGWEAVE_DBF_TABLE_FILE_H_

#include <string>

#include "dbf/dbf_table.h"

/// Reads the header and columns of the table at \a path. On failure returns
/// false, leaves \a layout empty and sets \a message to one line naming the
/// file and the cause.
bool ReadTableFile(const std::string& path, Language language,
                   DbfLayout* layout, std::string* message);

/// "Cannot open PATH: CAUSE" in \a language.
std::string CannotOpenText(const std::string& path, const std::string& cause,
                           Language language);

#endif  // LOGWEAVE_DBF_TABLE_FILE_H_

// table_file.h: opening a table file by its path and reading what the field
// list shows of it.

#ifndef LOGWEAVE_DBF_TABLE_FILE_H_
#define LOGWEAVE_DBF_TABLE_FILE_H_

#include <string>

#include "dbf/dbf_table.h"
#include "platform/file_system.h"

/// Why a table could not be read.
struct TableError {
  OpenError open;  ///< set when the file could not be opened
  LayoutError layout = LayoutError::kNone;  ///< set when it is no table
  SystemError read;  ///< with LayoutError::kReadFailed, the cause if known
  bool failed() const {
    return open.reason != OpenError::kNone || layout != LayoutError::kNone;
  }
};

/// Reads the header and columns of the table at \a path. On failure returns
/// false, leaves \a layout empty and sets \a error.
bool ReadTableFile(FileSystem& files, const std::string& path,
                   DbfLayout* layout, TableError* error);

#endif  // LOGWEAVE_DBF_TABLE_FILE_H_

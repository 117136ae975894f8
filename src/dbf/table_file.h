// table_file.h: opening a table file by its path and reading what the field
// list shows of it.

#ifndef LOGWEAVE_DBF_TABLE_FILE_H_
#define LOGWEAVE_DBF_TABLE_FILE_H_

#include <string>

#include "dbf/dbf_table.h"
#include "dbf/table_check.h"
#include "platform/file_system.h"

/// Why a table could not be read.
struct TableError {
  OpenError open;  ///< set when the file could not be opened
  LayoutError layout = LayoutError::kNone;  ///< set when it is no table
  SystemError read;  ///< with LayoutError::kReadFailed, the cause if known
  NotATable not_a_table = NotATable::kNone;  ///< read, but no table
  bool failed() const {
    return open.reason != OpenError::kNone || layout != LayoutError::kNone ||
           not_a_table != NotATable::kNone;
  }
};

/// Reads the header and columns of the table at \a path and judges them
/// (see JudgeLayout). On failure returns false, leaves \a layout empty and
/// sets \a error. When \a damage is given, it tells where the header
/// disagrees with itself or with the file.
bool ReadTableFile(FileSystem& files, const std::string& path,
                   DbfLayout* layout, TableError* error,
                   HeaderDamage* damage = nullptr);

/// The same on a file just opened.
bool ReadOpenedTable(InputFile* in, DbfLayout* layout, TableError* error,
                     HeaderDamage* damage = nullptr);

#endif  // LOGWEAVE_DBF_TABLE_FILE_H_

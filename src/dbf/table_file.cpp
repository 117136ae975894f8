// table_file.cpp: reading a table's layout from a file.

#include "dbf/table_file.h"

bool ReadTableFile(FileSystem& files, const std::string& path,
                   DbfLayout* layout, TableError* error) {
  *layout = DbfLayout();
  *error = TableError();
  std::unique_ptr<InputFile> in = files.OpenForReading(path, &error->open);
  if (!in) return false;
  error->layout = ReadDbfLayout(in.get(), layout);
  if (error->layout == LayoutError::kReadFailed) error->read = in->Error();
  return error->layout == LayoutError::kNone;
}

// table_file.cpp: reading a table's layout from a file.

#include "dbf/table_file.h"

bool ReadTableFile(FileSystem& files, const std::string& path,
                   DbfLayout* layout, TableError* error, HeaderDamage* damage) {
  *layout = DbfLayout();
  *error = TableError();
  std::unique_ptr<InputFile> in = files.OpenForReading(path, &error->open);
  return in && ReadOpenedTable(in.get(), layout, error, damage);
}

bool ReadOpenedTable(InputFile* in, DbfLayout* layout, TableError* error,
                     HeaderDamage* damage) {
  *layout = DbfLayout();
  *error = TableError();
  // A file that is plainly something else is said to be so, whatever its
  // next bytes would give.
  unsigned char first[kDbfHeaderSize + 1];
  int first_descriptor_byte = -1;
  if (ReadExactly(in, first, kDbfHeaderSize)) {
    error->not_a_table = JudgeHeader(DecodeHeader(first));
    if (error->not_a_table != NotATable::kNone) return false;
    if (ReadExactly(in, first + kDbfHeaderSize, 1))
      first_descriptor_byte = first[kDbfHeaderSize];
  }
  if (!in->Seek(0)) {
    error->layout = LayoutError::kReadFailed;
    error->read = in->Error();
    return false;
  }
  error->layout = ReadDbfLayout(in, layout);
  if (error->layout == LayoutError::kReadFailed) error->read = in->Error();
  if (error->layout != LayoutError::kNone) return false;
  error->not_a_table = JudgeLayout(*layout, first_descriptor_byte);
  if (error->not_a_table != NotATable::kNone) {
    *layout = DbfLayout();
    return false;
  }
  if (damage) *damage = CheckHeader(*layout, in->Size());
  return true;
}

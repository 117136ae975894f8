// table_file.cpp: reading a table's layout from a file.

#include "dbf/table_file.h"

#include <cerrno>
#include <cstdio>

#include "platform/files.h"

std::string CannotOpenText(const std::string& path, const std::string& cause,
                           Language language) {
  return Choose(language, "No se puede abrir ", "Cannot open ") + path + ": " +
         cause;
}

bool ReadTableFile(const std::string& path, Language language,
                   DbfLayout* layout, std::string* message) {
  *layout = DbfLayout();
  // A pipe or a device would block or never end; a folder is no table.
  if (IsSpecialFile(path)) {
    *message = CannotOpenText(
        path, Choose(language, "no es un fichero normal", "not a regular file"),
        language);
    return false;
  }
  errno = 0;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    *message = CannotOpenText(path, ErrorText(errno), language);
    return false;
  }
  errno = 0;
  LayoutError error = ReadDbfLayout(in, layout);
  int read_errno = errno;
  std::fclose(in);
  if (error == LayoutError::kNone) return true;
  std::string cause = error == LayoutError::kReadFailed && read_errno
                          ? ErrorText(read_errno)
                          : LayoutErrorText(error, language);
  *message = path +
             Choose(language, " no es una tabla DBF legible: ",
                    " is not a readable DBF table: ") +
             cause;
  return false;
}

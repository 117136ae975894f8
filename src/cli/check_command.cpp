// check_command.cpp: reading the file whole and printing its report.

#include "cli/check_command.h"

#include <cerrno>

#include "adif/adif_check.h"
#include "dbf/table_file.h"
#include "platform/files.h"

namespace {

constexpr int kExitClean = 0;
constexpr int kExitFound = 1;

void PrintError(std::FILE* err, const std::string& message) {
  std::fprintf(err, "logweave: %s\n", message.c_str());
}

// Reads all of \a path into \a bytes; on failure sets \a message.
bool ReadWholeFile(const std::string& path, std::string* bytes,
                   std::string* message) {
  // A folder cannot be read and a pipe or a device might never end.
  if (IsSpecialFile(path)) {
    *message = CannotOpenText(path, "not a regular file", kEnglish);
    return false;
  }
  errno = 0;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    *message = CannotOpenText(path, ErrorText(errno), kEnglish);
    return false;
  }
  char block[65536];
  std::size_t got;
  errno = 0;
  while ((got = std::fread(block, 1, sizeof block, in)) > 0)
    bytes->append(block, got);
  bool failed = std::ferror(in) != 0;
  int read_errno = errno;
  std::fclose(in);
  if (failed)
    *message = "Cannot read " + path + ": " +
               (read_errno ? ErrorText(read_errno) : "read error");
  return !failed;
}

}  // namespace

int RunCheckCommand(const std::string& path, std::FILE* out, std::FILE* err) {
  std::string bytes, message;
  if (!ReadWholeFile(path, &bytes, &message)) {
    PrintError(err, message);
    return kExitFound;
  }
  CheckReport report = CheckAdif(bytes);
  std::string text = FormatReport(report);
  std::fwrite(text.data(), 1, text.size(), out);
  if (std::fflush(out) != 0 || std::ferror(out)) {
    PrintError(err, "Cannot write the report: " + ErrorText(errno));
    return kExitFound;
  }
  return report.findings.empty() ? kExitClean : kExitFound;
}

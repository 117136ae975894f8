// check_command.cpp: reading an ADIF file and printing its report.

#include <cerrno>
#include <cstring>
#include <limits>

#include "adif/adif_check.h"
#include "cli/commands.h"
#include "mapping/texts.h"
#include "platform/file_system.h"

int RunCheckCommand(const std::string& path, std::FILE* out, std::FILE* err) {
  std::string bytes;
  OpenError error;
  if (!ReadWholeFile(SystemFileSystem(), path,
                     std::numeric_limits<std::size_t>::max(), &bytes,
                     &error)) {
    std::string message = OpenErrorText(path, error, kEnglish);
    std::fprintf(err, "logweave: %s\n", message.c_str());
    return 1;
  }
  CheckReport report = CheckAdif(bytes);
  std::string text = FormatReport(report);
  std::fwrite(text.data(), 1, text.size(), out);
  if (std::fflush(out) != 0 || std::ferror(out)) {
    std::fprintf(err, "logweave: Cannot write the report: %s\n",
                 std::strerror(errno ? errno : EIO));
    return 1;
  }
  return report.findings.empty() ? 0 : 1;
}

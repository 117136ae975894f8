// check_command.cpp: reading an ADIF file a record at a time and printing its
// report as the findings come.

#include <cerrno>
#include <memory>

#include "adif/adif_check.h"
#include "adif/services.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "mapping/texts.h"
#include "platform/file_system.h"

namespace {

std::string CannotWriteText(Language language) {
  return std::string(Choose(language, "No se puede escribir el informe: ",
                            "Cannot write the report: ")) +
         SystemErrorText(ErrnoError(errno ? errno : EIO), language);
}

}  // namespace

int RunCheckCommand(const CheckCommandLine& options, FileSystem& files,
                    std::FILE* out, std::FILE* err) {
  const Language language = options.language;
  OpenError open_error;
  std::unique_ptr<InputFile> file =
      files.OpenForReading(options.path, &open_error);
  if (!file) {
    PrintLine(err,
              "logweave: " + OpenErrorText(options.path, open_error, language));
    return kExitFileError;
  }
  // The form is told by the file's content, whatever its name.
  AdifForm form = DetectAdifForm(file.get());

  CheckOptions check;
  check.language = language;
  check.shown_per_kind = options.all ? 0 : 100;
  check.service = FindCheckService(options.service);
  // A large file is read through a second handle too, to check its second
  // half on another processor at the same time.
  std::unique_ptr<InputFile> second;
  if (check.shown_per_kind != 0 && file->Size() >= check.halves_from)
    second = files.OpenForReading(options.path, &open_error);
  CheckTotals totals;
  SystemError read_error;
  errno = 0;
  CheckEnd end = CheckAdifFile(
      file.get(), second.get(), form, check,
      [out, language](const Finding& finding) {
        PrintLine(out, FormatFinding(finding, language));
        return !std::ferror(out);
      },
      &totals, &read_error);
  if (end == CheckEnd::kReadFailed) {
    std::fflush(out);
    std::string cause = SystemErrorText(read_error, language);
    PrintLine(err, "logweave: " +
                       std::string(Choose(language, "No se puede leer ",
                                          "Cannot read ")) +
                       options.path + ": " + cause +
                       Choose(language, "; el informe est\xE1 incompleto",
                              "; the report is incomplete"));
    return kExitFileError;
  }
  if (end == CheckEnd::kDone) {
    for (const std::string& line : HiddenLines(totals, language))
      PrintLine(out, line);
    PrintLine(out, SummaryLine(totals, language));
    PrintLine(out, LevelCountsLine(totals, language));
  }
  if (end == CheckEnd::kStopped || std::fflush(out) != 0 || std::ferror(out)) {
    PrintLine(err, "logweave: " + CannotWriteText(language));
    return kExitFileError;
  }
  bool failed = totals.errors > 0 || (options.strict && totals.warnings > 0);
  return failed ? kExitFileError : kExitOk;
}

// convert_command.cpp: the convert command: the mapping of the options
// turned into field list entries, then the same Convert frame the window
// program runs.

#include <memory>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/guess_and_fix.h"
#include "cli/progress_bar.h"
#include "convert/convert_file.h"
#include "dbf/table_file.h"
#include "mapping/column_plan.h"
#include "mapping/mapping_options.h"
#include "mapping/texts.h"

namespace {

// The mapping items of the mapping files, then of the --map options.
bool CollectMapItems(const ConvertCommandLine& options,
                     std::vector<MapItem>* items, int* exit_code) {
  std::string error;
  for (const std::string& path : options.map_files) {
    MapFileResult result = ReadMapFile(SystemFileSystem(), path,
                                       options.language, items, &error);
    if (result != MapFileResult::kRead) {
      PrintError(error);
      *exit_code = result == MapFileResult::kCannotRead ? kExitFileError
                                                        : kExitUsage;
      return false;
    }
  }
  for (const std::string& map : options.maps) {
    if (!ParseMapOption(map, items, &error)) {
      PrintError(error);
      *exit_code = kExitUsage;
      return false;
    }
  }
  return true;
}

Charset CharsetNamed(const std::string& name) {
  if (name == "ascii") return Charset::kAscii;
  if (name == "utf-8") return Charset::kUtf8;
  return Charset::kKeep;
}

}  // namespace

int RunConvert(const ConvertCommandLine& options) {
  const Language language = options.language;
  MappingChoices choices;
  choices.by_keyword_names = options.automatic;
  int exit_code = kExitOk;
  if (!CollectMapItems(options, &choices.items, &exit_code)) return exit_code;

  ConvertJob job;
  TableError table_error;
  if (!ReadTableFile(SystemFileSystem(), options.input, &job.table,
                     &table_error)) {
    PrintError(TableErrorText(options.input, table_error, language));
    return kExitFileError;
  }
  if (options.guess && !AddGuesses(options, job.table, &choices, &exit_code))
    return exit_code;
  std::string error;
  if (!BuildEntries(job.table, language, choices, &job.entries, &error)) {
    PrintError(error + " in " + options.input);
    return kExitUsage;
  }
  if (!PlanColumns(job.entries, language).Maps("CALL"))
    PrintError(options.fix
                   ? Choose(language,
                            "aviso: ninguna columna va a CALL, as\xED que "
                            "--fix dejar\xE1 fuera todos los registros",
                            "warning: no column is mapped to CALL, so --fix "
                            "will leave every record out")
                   : "warning: no column is mapped to CALL, so every record "
                     "will be written as an empty <EOR>");

  const bool to_stdout = options.output == "-";
  if (options.check && to_stdout) {
    PrintError(
        "--check needs an output file: it cannot read back standard output");
    return kExitUsage;
  }
  job.input_path = options.input;
  job.output_path = to_stdout ? std::string() : options.output;
  job.to_standard_output = to_stdout;
  job.language = language;
  job.skip_deleted = options.skip_deleted;
  job.read_memos = options.memo;
  job.code_page = options.code_page == "auto" ? 0 : std::stoi(options.code_page);
  job.charset = CharsetNamed(options.charset);
  job.other_inputs = options.map_files;
  std::unique_ptr<RecordFixer> fixer;
  if (!PrepareFixer(options, choices.items, &job, &fixer, &exit_code))
    return exit_code;
  ProgressBar bar;
  if (ErrorsGoToTerminal() &&
      job.table.header.record_count >= ProgressBar::kLeastRecords)
    job.progress = [&bar](std::uint32_t r, std::uint32_t n) { bar.Show(r, n); };

  ConvertOutcome outcome = ConvertFile(job);
  bar.Finish();
  for (const std::string& warning : outcome.warnings) PrintError(warning);
  if (!outcome.ok()) {
    std::string message = outcome.message;
    if (outcome.status == ConvertStatus::kTruncatedEarlierKept)
      message += Choose(language,
                        "; para escribirlos, convierta de nuevo con -o y otro "
                        "nombre de fichero",
                        "; to write them, convert again with -o and another "
                        "file name");
    PrintError(message);
    return kExitFileError;
  }
  PrintLine(to_stdout ? stderr : stdout, outcome.message);
  if (job.charset == Charset::kAscii && outcome.stats.values_changed > 0)
    PrintError("note: " + std::to_string(outcome.stats.values_changed) +
               " values held characters outside ASCII and were spelled in "
               "plain ASCII");
  if (fixer) PrintFixSummary(*fixer, job.table, language);
  if (options.check) {
    std::fflush(stdout);
    return RunCheckCommand(outcome.output_path, stdout, stderr);
  }
  return kExitOk;
}

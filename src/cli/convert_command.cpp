// convert_command.cpp: the convert command: the mapping of the options
// turned into field list entries, then the same Convert frame the window
// program runs.

#include <memory>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/progress_bar.h"
#include "convert/adif_header.h"
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
    if (!ParseMapOption(map, options.language, items, &error)) {
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

namespace {

// Refuses, before anything is read, output choices that cannot work;
// returns the exit code, or kExitOk.
int CheckOutputChoice(const ConvertCommandLine& options) {
  const Language language = options.language;
  if (options.output_given && options.output.empty()) {
    PrintError(Choose(language,
                      "-o necesita un nombre de fichero (o - para la salida "
                      "est\xE1ndar)",
                      "-o needs a file name (or - for standard output)"));
    return kExitUsage;
  }
  if (options.output == "-" && StandardOutputWasClosed()) {
    PrintError(Choose(language,
                      "la salida est\xE1ndar est\xE1 cerrada; no se ha escrito "
                      "nada",
                      "standard output is closed; nothing was written"));
    return kExitFileError;
  }
  if (options.check && options.output == "-") {
    PrintError(Choose(language,
                      "--check necesita un fichero de salida: no puede volver "
                      "a leer la salida est\xE1ndar",
                      "--check needs an output file: it cannot read back "
                      "standard output"));
    return kExitUsage;
  }
  const std::string output = options.output.empty()
                                 ? DeriveOutputPath(options.input)
                                 : options.output;
  FileKind kind = SystemFileSystem().KindOf(output);
  if (options.check && kind != FileKind::kRegular &&
      kind != FileKind::kMissing) {
    PrintError(output +
               Choose(language,
                      " no es un fichero normal: --check no puede volver a "
                      "leerlo",
                      " is not a regular file: --check cannot read it back"));
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace

int RunConvert(const ConvertCommandLine& options) {
  const Language language = options.language;
  if (int refused = CheckOutputChoice(options)) return refused;
  MappingChoices choices;
  choices.by_keyword_names = options.automatic;
  int exit_code = kExitOk;
  if (!CollectMapItems(options, &choices.items, &exit_code)) return exit_code;

  ConvertJob job;
  TableError table_error;
  HeaderDamage damage;
  if (!ReadTableFile(SystemFileSystem(), options.input, &job.table,
                     &table_error, &damage)) {
    PrintError(TableErrorText(options.input, table_error, language));
    return kExitFileError;
  }
  for (const std::string& text :
       HeaderDamageTexts(options.input, damage, language))
    PrintWarning(text, language);
  std::string error;
  std::vector<std::string> warnings;
  if (options.code_page != "auto")
    choices.code_page = std::stoi(options.code_page);
  if (!BuildEntries(job.table, language, choices, &job.entries, &error,
                    &warnings)) {
    PrintError(error + Choose(language, " en ", " in ") + options.input);
    return kExitUsage;
  }
  for (const std::string& warning : warnings) PrintWarning(warning, language);
  if (!PlanColumns(job.entries, language).Maps("CALL"))
    PrintWarning(Choose(language,
                        "ning\xFAn campo va a CALL, as\xED que cada registro "
                        "se escribir\xE1 como un <EOR> vac\xEDo",
                        "no column is mapped to CALL, so every record will "
                        "be written as an empty <EOR>"),
                 language);

  const bool to_stdout = options.output == "-";
  job.input_path = options.input;
  job.output_path = to_stdout ? std::string() : options.output;
  job.to_standard_output = to_stdout;
  job.language = language;
  job.skip_deleted = options.skip_deleted;
  job.read_memos = options.memo;
  job.code_page = options.code_page == "auto" ? 0 : std::stoi(options.code_page);
  job.charset = CharsetNamed(options.charset);
  job.other_inputs = options.map_files;
  ProgressBar bar;
  if (ErrorsGoToTerminal() &&
      job.table.header.record_count >= ProgressBar::kLeastRecords)
    job.progress = [&bar](std::uint32_t r, std::uint32_t n) { bar.Show(r, n); };

  ConvertOutcome outcome = ConvertFile(job);
  bar.Finish();
  for (const std::string& warning : outcome.warnings)
    PrintWarning(warning, language);
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
    PrintError(Choose(language, "nota: ", "note: ") +
               std::to_string(outcome.stats.values_changed) +
               Choose(language,
                      " valores ten\xED""an caracteres fuera de ASCII y se han "
                      "escrito en ASCII",
                      " values held characters outside ASCII and were "
                      "spelled in plain ASCII"));
  if (options.check) {
    std::fflush(stdout);
    return RunCheckCommand(outcome.output_path, stdout, stderr);
  }
  return kExitOk;
}

// convert_command.cpp: the convert command: the mapping of the options
// turned into field list entries, then the same Convert frame the window
// program runs, once for each table, or the frame that writes several
// tables into one output.

#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/guess_and_fix.h"
#include "cli/progress_bar.h"
#include "convert/adif_header.h"
#include "convert/convert_file.h"
#include "convert/merge_files.h"
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

// With --check: the report on the file just written, as the check command
// gives it.
int CheckWritten(const std::string& path, Language language,
                 const std::string& service) {
  std::fflush(stdout);
  CheckCommandLine check;
  check.path = path;
  check.language = language;
  check.service = service;
  return RunCheckCommand(check, stdout, stderr);
}

// What an ADX run did with the characters outside ASCII.
void PrintAdxNotes(const ConvertJob& job, const ConvertOutcome& outcome) {
  if (job.format != OutputFormat::kAdx || job.charset == Charset::kAscii)
    return;
  const Language language = job.language;
  if (outcome.values_kept_in_intl > 0)
    PrintError(std::string(Choose(language, "nota: ", "note: ")) +
               std::to_string(outcome.values_kept_in_intl) +
               Choose(language,
                      " valores ten\xED" "an caracteres fuera de ASCII: cada uno "
                      "va escrito en ASCII y, tal cual, en su campo _INTL",
                      " values held characters outside ASCII: each is "
                      "spelled in plain ASCII and kept as written in its "
                      "_INTL field"));
  if (outcome.stats.values_changed > 0)
    PrintError(std::string(Choose(language, "nota: ", "note: ")) +
               std::to_string(outcome.stats.values_changed) +
               Choose(language,
                      " valores de campos sin compa\xF1" "ero _INTL ten\xED" "an "
                      "caracteres fuera de ASCII y se han escrito en ASCII",
                      " values of fields that have no _INTL companion held "
                      "characters outside ASCII and were spelled in plain "
                      "ASCII"));
}

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
  if (!options.check) return kExitOk;
  if (options.output == "-") {
    PrintError(Choose(language,
                      "--check necesita un fichero de salida: no puede volver "
                      "a leer la salida est\xE1ndar",
                      "--check needs an output file: it cannot read back "
                      "standard output"));
    return kExitUsage;
  }
  std::vector<std::string> outputs = {options.output};
  if (options.output.empty()) {
    outputs.clear();
    for (const std::string& input : options.inputs)
      outputs.push_back(DeriveOutputPath(input));
  }
  for (const std::string& output : outputs) {
    FileKind kind = SystemFileSystem().KindOf(output);
    if (kind == FileKind::kRegular || kind == FileKind::kMissing) continue;
    PrintError(output +
               Choose(language,
                      " no es un fichero normal: --check no puede volver a "
                      "leerlo",
                      " is not a regular file: --check cannot read it back"));
    return kExitUsage;
  }
  return kExitOk;
}

// A table read and mapped, ready to convert, or what stops it.
struct PreparedTable {
  ConvertJob job;
  std::unique_ptr<RecordFixer> fixer;  // with --fix or --set
  int exit_code = kExitOk;
  std::string error;  // printed instead of converting it
  std::vector<std::string> warnings;  // printed before it is converted
};

// Prints what was found when the table was read and mapped; false when it
// cannot be converted.
bool PrintPrepared(const PreparedTable& prepared, Language language) {
  for (const std::string& warning : prepared.warnings)
    PrintWarning(warning, language);
  if (prepared.exit_code == kExitOk) return true;
  // The guess and fix steps print their own.
  if (!prepared.error.empty()) PrintError(prepared.error);
  return false;
}

PreparedTable PrepareTable(const ConvertCommandLine& options,
                           const MappingChoices& choices,
                           const std::string& input) {
  const Language language = options.language;
  PreparedTable prepared;
  ConvertJob& job = prepared.job;
  TableError table_error;
  HeaderDamage damage;
  if (!ReadTableFile(SystemFileSystem(), input, &job.table, &table_error,
                     &damage)) {
    prepared.error = TableErrorText(input, table_error, language);
    prepared.exit_code = kExitFileError;
    return prepared;
  }
  prepared.warnings = HeaderDamageTexts(input, damage, language);
  std::string error;
  MappingChoices table_choices = choices;
  if (options.code_page != "auto")
    table_choices.code_page = std::stoi(options.code_page);
  if (options.guess && !AddGuesses(options, input, job.table, &table_choices,
                                   &prepared.exit_code))
    return prepared;
  if (!BuildEntries(job.table, language, table_choices, &job.entries, &error,
                    &prepared.warnings)) {
    prepared.error = error + Choose(language, " en ", " in ") + input;
    prepared.exit_code = kExitUsage;
    return prepared;
  }
  if (!PlanColumns(job.entries, language).Maps("CALL"))
    prepared.warnings.push_back(
        std::string(options.inputs.size() > 1 ? input + ": " : "") +
        (options.fix
             ? Choose(language,
                      "ning\xFAn campo va a CALL, as\xED que --fix dejar\xE1 "
                      "fuera todos los registros",
                      "no column is mapped to CALL, so --fix will leave every "
                      "record out")
             : Choose(language,
                      "ning\xFAn campo va a CALL, as\xED que cada registro se "
                      "escribir\xE1 como un <EOR> vac\xEDo",
                      "no column is mapped to CALL, so every record will be "
                      "written as an empty <EOR>")));
  job.input_path = input;
  job.language = language;
  job.skip_deleted = options.skip_deleted;
  job.read_memos = options.memo;
  job.code_page = options.code_page == "auto" ? 0 : std::stoi(options.code_page);
  job.charset = CharsetNamed(options.charset);
  job.format = options.format == "adx" ? OutputFormat::kAdx : OutputFormat::kAdi;
  job.other_inputs = options.map_files;
  PrepareFixer(options, table_choices.items, &job, &prepared.fixer,
               &prepared.exit_code);
  return prepared;
}

std::vector<PreparedTable> PrepareTables(const ConvertCommandLine& options,
                                         const MappingChoices& choices,
                                         std::uint64_t* records) {
  std::vector<PreparedTable> tables;
  *records = 0;
  for (const std::string& input : options.inputs) {
    tables.push_back(PrepareTable(options, choices, input));
    *records += tables.back().job.table.header.record_count;
  }
  return tables;
}

// A bar on standard error for the whole run, when it is long and errors go
// to a terminal.
ProgressFn RunProgress(ProgressBar* bar, std::uint64_t records) {
  if (!ErrorsGoToTerminal() || records < ProgressBar::kLeastRecords)
    return nullptr;
  return [bar](std::uint32_t r, std::uint32_t n) { bar->Show(r, n); };
}

void NoteAsciiSpelling(Charset charset, std::uint64_t values_changed,
                       Language language) {
  if (charset == Charset::kAscii && values_changed > 0)
    PrintError(Choose(language, "nota: ", "note: ") +
               std::to_string(values_changed) +
               Choose(language,
                      " valores ten\xED""an caracteres fuera de ASCII y se han "
                      "escrito en ASCII",
                      " values held characters outside ASCII and were "
                      "spelled in plain ASCII"));
}

// Converts one prepared table to its own output, as told, and prints how
// it went; returns its exit code and sets \a converted when its output was
// written. \a progress is the run's.
int ConvertOneTable(const ConvertCommandLine& options, PreparedTable* prepared,
                    ProgressFn progress, ProgressBar* bar,
                    bool* converted) {
  const Language language = options.language;
  if (!PrintPrepared(*prepared, language)) return prepared->exit_code;

  ConvertJob& job = prepared->job;
  const bool to_stdout = options.output == "-";
  job.output_path = to_stdout ? std::string() : options.output;
  job.to_standard_output = to_stdout;
  job.progress = std::move(progress);

  ConvertOutcome outcome = ConvertFile(job);
  bar->Finish();
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
  *converted = true;
  PrintLine(to_stdout ? stderr : stdout, outcome.message);
  // The notes that follow on standard error come after it, also in a pipe.
  std::fflush(stdout);
  if (job.format == OutputFormat::kAdx)
    PrintAdxNotes(job, outcome);
  else
    NoteAsciiSpelling(job.charset, outcome.stats.values_changed, language);
  if (prepared->fixer) PrintFixSummary(*prepared->fixer, job.table, language);
  return options.check
             ? CheckWritten(outcome.output_path, language, options.check_for)
             : kExitOk;
}

// "2 of 3 tables converted; not converted: b.dbf", on standard output when
// every table was converted, otherwise as an error.
void PrintTableCount(const ConvertCommandLine& options,
                     const std::vector<std::string>& not_converted) {
  const Language language = options.language;
  const std::size_t count = options.inputs.size();
  std::string line =
      std::to_string(count - not_converted.size()) +
      Choose(language, " de ", " of ") + std::to_string(count) +
      Choose(language, " tablas convertidas", " tables converted");
  if (not_converted.empty()) {
    PrintLine(stdout, line);
    return;
  }
  line += Choose(language, "; sin convertir: ", "; not converted: ");
  for (std::size_t i = 0; i < not_converted.size(); ++i)
    line += (i ? ", " : "") + not_converted[i];
  PrintError(line);
}

// Every table into the one output of -o.
int RunMerge(const ConvertCommandLine& options, const MappingChoices& choices) {
  const Language language = options.language;
  std::uint64_t records = 0;
  std::vector<PreparedTable> tables = PrepareTables(options, choices, &records);
  MergeJob merge;
  for (PreparedTable& prepared : tables) {
    if (!PrintPrepared(prepared, language)) return prepared.exit_code;
    merge.tables.push_back(std::move(prepared.job));
  }
  merge.output_path = options.output;
  merge.drop_duplicates = options.drop_duplicates;
  merge.language = language;
  ProgressBar bar;
  merge.progress = RunProgress(&bar, records);

  MergeOutcome outcome = MergeFiles(merge);
  bar.Finish();
  for (const std::string& warning : outcome.warnings)
    PrintWarning(warning, language);
  if (!outcome.ok()) {
    PrintError(outcome.message);
    return kExitFileError;
  }
  PrintLine(stdout, outcome.message);
  for (const DuplicateContact& found : outcome.duplicates)
    PrintError(Choose(language, "duplicado: ", "duplicate: ") +
               DuplicateText(merge, found));
  if (!outcome.duplicates.empty()) {
    const std::string count = std::to_string(outcome.duplicates.size());
    PrintError(options.drop_duplicates
                   ? Choose(language, "contactos duplicados omitidos: ",
                            "duplicate contacts left out: ") + count
                   : Choose(language, "contactos duplicados: ",
                            "duplicate contacts: ") + count +
                         Choose(language, " (--drop-duplicates los omite)",
                                " (--drop-duplicates leaves them out)"));
  }
  NoteAsciiSpelling(CharsetNamed(options.charset),
                    outcome.stats.values_changed, language);
  for (std::size_t i = 0; i < tables.size(); ++i)
    if (tables[i].fixer)
      PrintFixSummary(*tables[i].fixer, merge.tables[i].table, language);
  return options.check
             ? CheckWritten(outcome.output_path, language, options.check_for)
             : kExitOk;
}

// The combinations of options that several tables and a merge allow;
// false, with the message printed, when they do not.
bool CheckTableOptions(const ConvertCommandLine& options) {
  const Language language = options.language;
  std::string error;
  if (options.merge && (options.output.empty() || options.output == "-"))
    error = Choose(language,
                   "--merge necesita un fichero de salida: -o FICHERO",
                   "--merge needs an output file: -o FILE");
  else if (options.merge && options.format == "adx")
    error = Choose(language,
                   "--merge escribe ficheros .adi; no puede escribir ADX",
                   "--merge writes .adi files; it cannot write ADX");
  else if (options.drop_duplicates && !options.merge)
    error = Choose(language,
                   "--drop-duplicates solo vale con --merge",
                   "--drop-duplicates works only with --merge");
  else if (!options.merge && options.inputs.size() > 1 &&
           !options.output.empty())
    error = Choose(language,
                   "-o nombra una sola salida y cada tabla tiene la suya: "
                   "a\xF1""ada --merge para escribirlas todas en ese fichero",
                   "-o names one output and each table gets its own: add "
                   "--merge to write them all into that file");
  if (error.empty()) return true;
  PrintError(error);
  return false;
}

}  // namespace

int RunConvert(const ConvertCommandLine& options) {
  if (!CheckTableOptions(options)) return kExitUsage;
  if (int refused = CheckOutputChoice(options)) return refused;
  MappingChoices choices;
  choices.by_keyword_names = options.automatic;
  int exit_code = kExitOk;
  if (!CollectMapItems(options, &choices.items, &exit_code)) return exit_code;
  if (options.merge) return RunMerge(options, choices);

  // Each table to its own output; a failure does not stop the others.
  std::uint64_t records = 0;
  std::vector<PreparedTable> tables = PrepareTables(options, choices, &records);
  ProgressBar bar;
  ProgressFn progress = RunProgress(&bar, records);
  std::uint64_t done = 0;
  std::vector<std::string> not_converted;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    bool converted = false;
    int code = ConvertOneTable(options, &tables[i],
                               ProgressWithin(progress, done, records), &bar,
                               &converted);
    done += tables[i].job.table.header.record_count;
    exit_code = std::max(exit_code, code);
    if (!converted) not_converted.push_back(options.inputs[i]);
  }
  if (tables.size() > 1) PrintTableCount(options, not_converted);
  return exit_code;
}

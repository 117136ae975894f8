// convert_command.cpp: the convert command: the run's files gathered and
// judged (run_plan.h), each table read and mapped (prepare_table.h), then
// the same Convert frame the window program runs, once for each table, or
// the frame that writes several tables into one output.

#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/guess_and_fix.h"
#include "cli/prepare_table.h"
#include "cli/progress_bar.h"
#include "cli/run_plan.h"
#include "convert/adif_header.h"
#include "convert/convert_file.h"
#include "convert/merge_files.h"
#include "dbf/code_page.h"
#include "mapping/texts.h"

namespace {

// What one convert run shares while its tables are converted.
struct ConvertRun {
  const ConvertCommandLine& options;
  FileSystem& files;
  const Streams& streams;
  bool several = false;  // messages name their table
  ProgressBar bar;
  bool results_failed = false;  // writing the results failed, and was said
};

// The output the options name.
OutputJob OutputOf(const ConvertCommandLine& options) {
  OutputJob output;
  output.to_standard_output = options.to_standard_output();
  if (!output.to_standard_output) output.path = options.output;
  output.format = options.format;
  output.charset = options.charset;
  return output;
}

// Prints \a text on the results' stream and flushes it, so that the lines
// that follow on the messages' stream come after it, also in a pipe. A
// failure to write it is said once and gives exit code 1.
int PrintResult(ConvertRun* run, const std::string& text) {
  PrintLine(run->streams.out, text);
  if (run->results_failed) return kExitFileError;
  int code = FinishOutput(run->streams, run->options.language);
  run->results_failed = code != kExitOk;
  return code;
}

void PrintMessages(const ConvertRun& run,
                   const std::vector<TableMessage>& messages,
                   const std::string& table) {
  for (const TableMessage& message : messages)
    PrintTableMessage(run.streams.err, message, table, run.several);
}

// With --check: the report on the file just written, as the check command
// gives it.
int CheckWritten(const ConvertRun& run, const std::string& path) {
  std::fflush(run.streams.out);
  CheckCommandLine check;
  check.path = path;
  check.language = run.options.language;
  check.service = run.options.check_for;
  return RunCheckCommand(check, run.files, run.streams.out, run.streams.err);
}

// What a run did with the characters outside ASCII.
std::vector<TableMessage> CharsetNotes(OutputFormat format, Charset charset,
                                       std::uint64_t values_changed,
                                       std::uint64_t values_kept_in_intl,
                                       Language language) {
  const std::string note = Choose(language, "nota: ", "note: ");
  std::vector<TableMessage> notes;
  if (format == OutputFormat::kAdx && charset != Charset::kAscii) {
    if (values_kept_in_intl > 0)
      notes.push_back(
          {note, std::to_string(values_kept_in_intl) +
                     Choose(language,
                            " valores ten\xED"
                            "an caracteres fuera de ASCII: "
                            "cada uno va escrito en ASCII y, tal cual, en su "
                            "campo _INTL",
                            " values held characters outside ASCII: each is "
                            "spelled in plain ASCII and kept as written in "
                            "its _INTL field")});
    if (values_changed > 0)
      notes.push_back(
          {note, std::to_string(values_changed) +
                     Choose(language,
                            " valores de campos sin compa\xF1"
                            "ero _INTL "
                            "ten\xED"
                            "an caracteres fuera de ASCII y se han "
                            "escrito en ASCII",
                            " values of fields that have no _INTL companion "
                            "held characters outside ASCII and were spelled "
                            "in plain ASCII")});
  } else if (format == OutputFormat::kAdi && charset == Charset::kAscii &&
             values_changed > 0) {
    notes.push_back(
        {note, std::to_string(values_changed) +
                   Choose(language,
                          " valores ten\xED"
                          "an caracteres fuera de ASCII y "
                          "se han escrito en ASCII",
                          " values held characters outside ASCII and were "
                          "spelled in plain ASCII")});
  }
  return notes;
}

// Refuses, before anything is read, output choices that cannot work;
// returns the exit code, or kExitOk.
int CheckOutputChoice(const ConvertCommandLine& options, FileSystem& files,
                      std::FILE* err) {
  const Language language = options.language;
  if (options.output_given && options.output.empty()) {
    PrintError(err, Choose(language,
                           "-o necesita un nombre de fichero (o - para la "
                           "salida est\xE1ndar)",
                           "-o needs a file name (or - for standard output)"));
    return kExitUsage;
  }
  if (options.to_standard_output() && StandardOutputWasClosed()) {
    PrintError(err, Choose(language,
                           "la salida est\xE1ndar est\xE1 cerrada; no se ha "
                           "escrito nada",
                           "standard output is closed; nothing was written"));
    return kExitFileError;
  }
  if (!options.check) return kExitOk;
  if (options.to_standard_output()) {
    PrintError(err, Choose(language,
                           "--check necesita un fichero de salida: no puede "
                           "volver a leer la salida est\xE1ndar",
                           "--check needs an output file: it cannot read back "
                           "standard output"));
    return kExitUsage;
  }
  for (const std::string& input : options.inputs) {
    const std::string output = OutputPathOf(input, OutputOf(options));
    FileKind kind = files.KindOf(output);
    if (kind == FileKind::kRegular || kind == FileKind::kMissing) continue;
    PrintError(err, output + Choose(language,
                                    " no es un fichero normal: --check no "
                                    "puede volver a leerlo",
                                    " is not a regular file: --check cannot "
                                    "read it back"));
    return kExitUsage;
  }
  return kExitOk;
}

// The combinations of options that several tables and a merge allow;
// false, with the message printed, when they do not.
bool CheckTableOptions(const ConvertCommandLine& options, std::FILE* err) {
  const Language language = options.language;
  std::string error;
  if (options.merge && (options.output.empty() || options.to_standard_output()))
    error =
        Choose(language, "--merge necesita un fichero de salida: -o FICHERO",
               "--merge needs an output file: -o FILE");
  else if (options.merge && options.format == OutputFormat::kAdx)
    error =
        Choose(language, "--merge escribe ficheros .adi; no puede escribir ADX",
               "--merge writes .adi files; it cannot write ADX");
  else if (options.drop_duplicates && !options.merge)
    error = Choose(language, "--drop-duplicates solo vale con --merge",
                   "--drop-duplicates works only with --merge");
  else if (!options.merge && options.inputs.size() > 1 &&
           !options.output.empty())
    error = Choose(language,
                   "-o nombra una sola salida y cada tabla tiene la suya: "
                   "a\xF1"
                   "ada --merge para escribirlas todas en ese fichero",
                   "-o names one output and each table gets its own: add "
                   "--merge to write them all into that file");
  if (error.empty()) return true;
  PrintError(err, error);
  return false;
}

// A bar on the messages' stream for the whole run, when it is long and
// they go to a terminal.
ProgressFn RunProgress(ProgressBar* bar, std::uint64_t records,
                       std::FILE* err) {
  if (!ErrorsGoToTerminal(err) || records < ProgressBar::kLeastRecords)
    return nullptr;
  return [bar](std::uint32_t r, std::uint32_t n) { bar->Show(r, n); };
}

// How a table of a run without --merge ended.
enum class TableEnd { kConverted, kInPart, kNotConverted };

// The fixer's summary of \a job's table, and the warning when it left out
// more than a few records, which it returns (empty when it did not).
std::string PrintFixSummary(const ConvertRun& run, const RecordFixer* fixer,
                            const TableJob& job, Language language) {
  if (!fixer) return "";
  const int code_page =
      TextCodePage(job.code_page, job.layout.header.code_page_mark);
  PrintMessages(run, FixSummary(*fixer, job.layout, code_page, language),
                job.path);
  const std::string warning =
      LeftOutWarning(*fixer, job.layout.header.record_count, language);
  if (!warning.empty())
    PrintMessages(run, {{WarningTag(language), warning}}, job.path);
  return warning;
}

// Converts one prepared table to its own output and prints how it went;
// returns its exit code.
int ConvertOneTable(ConvertRun* run, PreparedTable* prepared,
                    ProgressFn progress, TableEnd* end) {
  const ConvertCommandLine& options = run->options;
  const Language language = options.language;
  const std::string& table = prepared->job.path;
  *end = TableEnd::kNotConverted;
  PrintMessages(*run, prepared->messages, table);
  if (prepared->exit_code != kExitOk) return prepared->exit_code;

  const OutputJob output = OutputOf(options);
  RunJob job;
  job.language = language;
  job.progress = std::move(progress);
  job.other_inputs = options.map_files;
  job.files = &run->files;
  ConvertOutcome outcome = ConvertFile(prepared->job, output, job);
  run->bar.Finish();
  for (const std::string& warning : outcome.warnings)
    PrintMessages(*run, {{WarningTag(language), warning}}, table);
  if (!outcome.ok()) {
    std::string message = outcome.message;
    // -o takes one table: with several, that table is converted again on
    // its own.
    if (outcome.status == ConvertStatus::kTruncatedEarlierKept)
      message += options.inputs.size() > 1
                     ? Choose(language,
                              "; para escribirlos, convierta de nuevo esa "
                              "tabla sola con -o y otro nombre de fichero",
                              "; to write them, convert that table again on "
                              "its own with -o and another file name")
                     : Choose(language,
                              "; para escribirlos, convierta de nuevo con -o "
                              "y otro nombre de fichero",
                              "; to write them, convert again with -o and "
                              "another file name");
    if (outcome.status == ConvertStatus::kTruncated) *end = TableEnd::kInPart;
    PrintError(run->streams.err, message);
    return kExitFileError;
  }
  *end = TableEnd::kConverted;
  int exit_code = kExitOk;
  if (output.to_standard_output)
    PrintLine(run->streams.err, outcome.message);
  else
    exit_code = PrintResult(run, outcome.message);
  PrintMessages(
      *run,
      CharsetNotes(output.format, output.charset, outcome.stats.values_changed,
                   outcome.values_kept_in_intl, language),
      table);
  const std::string left_out =
      PrintFixSummary(*run, prepared->fixer.get(), prepared->job, language);
  if (options.check && exit_code == kExitOk)
    exit_code = CheckWritten(*run, outcome.output_path);
  // --check: records left out of the upload are an error too.
  if (options.check && !left_out.empty())
    exit_code = std::max(exit_code, kExitFileError);
  return exit_code;
}

// "2 of 3 tables converted; converted in part: b.dbf; not converted:
// c.dbf", as a result when every table was converted, otherwise as an
// error.
int PrintTableCount(ConvertRun* run, std::size_t converted,
                    const std::vector<std::string>& in_part,
                    const std::vector<std::string>& not_converted) {
  const Language language = run->options.language;
  std::string line =
      std::to_string(converted) + Choose(language, " de ", " of ") +
      std::to_string(run->options.inputs.size()) +
      Choose(language, " tablas convertidas", " tables converted");
  if (in_part.empty() && not_converted.empty()) return PrintResult(run, line);
  auto list = [&line](const char* label,
                      const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    line += label;
    for (std::size_t i = 0; i < paths.size(); ++i)
      line += (i ? ", " : "") + paths[i];
  };
  list(Choose(language, "; convertidas en parte: ", "; converted in part: "),
       in_part);
  list(Choose(language, "; sin convertir: ", "; not converted: "),
       not_converted);
  PrintError(run->streams.err, line);
  return kExitOk;
}

// Each table to its own output; a failure does not stop the others.
int ConvertEach(ConvertRun* run, std::vector<PreparedTable>* tables,
                std::uint64_t records) {
  ProgressFn progress = RunProgress(&run->bar, records, run->streams.err);
  std::uint64_t done = 0;
  int exit_code = kExitOk;
  std::size_t converted = 0;
  std::vector<std::string> in_part, not_converted;
  for (PreparedTable& prepared : *tables) {
    TableEnd end;
    int code = ConvertOneTable(run, &prepared,
                               ProgressWithin(progress, done, records), &end);
    done += prepared.job.layout.header.record_count;
    exit_code = std::max(exit_code, code);
    if (end == TableEnd::kConverted) ++converted;
    if (end == TableEnd::kInPart) in_part.push_back(prepared.job.path);
    if (end == TableEnd::kNotConverted)
      not_converted.push_back(prepared.job.path);
  }
  if (run->several)
    exit_code = std::max(
        exit_code, PrintTableCount(run, converted, in_part, not_converted));
  return exit_code;
}

// Every table into the one output of -o.
int Merge(ConvertRun* run, std::vector<PreparedTable>* tables,
          std::uint64_t records) {
  const ConvertCommandLine& options = run->options;
  const Language language = options.language;
  std::FILE* err = run->streams.err;
  int exit_code = kExitOk;
  std::vector<std::string> not_ready;
  std::vector<TableJob> jobs;
  for (PreparedTable& prepared : *tables) {
    PrintMessages(*run, prepared.messages, prepared.job.path);
    exit_code = std::max(exit_code, prepared.exit_code);
    if (prepared.exit_code != kExitOk) not_ready.push_back(prepared.job.path);
    jobs.push_back(std::move(prepared.job));
  }
  if (exit_code != kExitOk) {
    if (run->several)
      PrintError(err, NotWrittenText(options.output, not_ready, language));
    return exit_code;
  }

  RunJob job;
  job.language = language;
  job.progress = RunProgress(&run->bar, records, err);
  job.other_inputs = options.map_files;
  job.files = &run->files;
  DuplicateChoice duplicates;
  duplicates.drop = options.drop_duplicates;
  duplicates.report = [run, &jobs, language](const DuplicateContact& found) {
    run->bar.Finish();
    PrintError(run->streams.err,
               Choose(language, "duplicado: ", "duplicate: ") +
                   DuplicateText(jobs, found, language));
  };
  MergeOutcome outcome = MergeFiles(jobs, OutputOf(options), job, duplicates);
  run->bar.Finish();
  for (const std::string& warning : outcome.warnings)
    PrintWarning(err, warning, language);
  if (!outcome.ok()) {
    for (const TableFailure& failure : outcome.failures)
      PrintError(err, failure.message);
    if (!outcome.message.empty()) PrintError(err, outcome.message);
    return kExitFileError;
  }
  exit_code = PrintResult(run, outcome.message);
  if (outcome.duplicates > 0) {
    const std::string count = std::to_string(outcome.duplicates);
    PrintError(err, options.drop_duplicates
                        ? Choose(language, "contactos duplicados omitidos: ",
                                 "duplicate contacts left out: ") +
                              count
                        : Choose(language, "contactos duplicados: ",
                                 "duplicate contacts: ") +
                              count +
                              Choose(language, " (--drop-duplicates los omite)",
                                     " (--drop-duplicates leaves them out)"));
  }
  for (const TableMessage& note :
       CharsetNotes(OutputFormat::kAdi, options.charset,
                    outcome.stats.values_changed, 0, language))
    PrintTableMessage(err, note, std::string(), false);
  bool left_out = false;
  for (std::size_t i = 0; i < tables->size(); ++i)
    if (!PrintFixSummary(*run, (*tables)[i].fixer.get(), jobs[i], language)
             .empty())
      left_out = true;
  if (options.check && exit_code == kExitOk)
    exit_code = CheckWritten(*run, outcome.output_path);
  if (options.check && left_out)
    exit_code = std::max(exit_code, kExitFileError);
  return exit_code;
}

}  // namespace

int RunConvert(const ConvertCommandLine& options, FileSystem& files,
               const Streams& streams) {
  if (!CheckTableOptions(options, streams.err)) return kExitUsage;
  if (int refused = CheckOutputChoice(options, files, streams.err))
    return refused;
  RunChoices choices;
  if (int failed = CollectRunChoices(options, files, streams.err, &choices))
    return failed;
  std::string refusal;
  if (!JudgeRunPlan(PlanRun(options, files), files, options.language,
                    &refusal)) {
    PrintError(streams.err, refusal);
    return kExitUsage;
  }

  // Each table read and mapped, one at a time, before any is converted.
  std::vector<PreparedTable> tables;
  std::uint64_t records = 0;
  for (const std::string& input : options.inputs) {
    tables.push_back(PrepareTable(options, choices, files, input));
    records += tables.back().job.layout.header.record_count;
  }
  ConvertRun run{options, files, streams, options.inputs.size() > 1,
                 ProgressBar(streams.err)};
  return options.merge ? Merge(&run, &tables, records)
                       : ConvertEach(&run, &tables, records);
}

// prepare_table.cpp: reading and mapping a table of a convert run.

#include "cli/prepare_table.h"

#include "cli/console.h"
#include "cli/guess_and_fix.h"
#include "dbf/table_file.h"
#include "mapping/column_plan.h"
#include "mapping/texts.h"

namespace {

// "no column is mapped to CALL, so ..." for a plain conversion (--fix
// refuses such a table).
std::string NoCallText(Language language) {
  return Choose(language,
                "ning\xFAn campo va a CALL, as\xED que cada registro se "
                "escribir\xE1 como un <EOR> vac\xEDo",
                "no column is mapped to CALL, so every record will be "
                "written as an empty <EOR>");
}

}  // namespace

void PrintTableMessage(std::FILE* err, const TableMessage& message,
                       const std::string& table, bool several) {
  PrintError(err, message.tag +
                      (several && !message.names_table ? table + ": " : "") +
                      message.text);
}

int CollectRunChoices(const ConvertCommandLine& options, FileSystem& files,
                      std::FILE* err, RunChoices* choices) {
  const Language language = options.language;
  MappingChoices& mapping = choices->mapping;
  mapping.by_keyword_names = options.automatic;
  mapping.code_page = options.code_page;
  std::string error;
  for (const std::string& path : options.map_files) {
    MapFileResult result =
        ReadMapFile(files, path, language, &mapping.items, &error);
    if (result != MapFileResult::kRead) {
      PrintError(err, error);
      return result == MapFileResult::kCannotRead ? kExitFileError : kExitUsage;
    }
  }
  for (const std::string& map : options.maps) {
    if (!ParseMapOption(map, language, &mapping.items, &error)) {
      PrintError(err, error);
      return kExitUsage;
    }
  }
  // A form (KEYWORD:FORM) says how --fix reads a column; without --fix it
  // would be passed over in silence.
  for (const MapItem& item : mapping.items)
    if (!options.fix && !item.form.empty()) {
      PrintError(err, (item.origin.empty() ? "" : item.origin + ": ") +
                          item.column + "=" + item.keyword + ":" + item.form +
                          Choose(language,
                                 ": la forma dice c\xF3mo lee --fix la "
                                 "columna; a\xF1"
                                 "ada --fix",
                                 ": the form says how --fix reads the column; "
                                 "add --fix"));
      return kExitUsage;
    }
  std::vector<std::string> unknown;
  if (!CollectConstants(options, mapping.items, &choices->constants, &error,
                        &unknown)) {
    PrintError(err, error);
    return kExitUsage;
  }
  for (const std::string& warning : unknown)
    PrintWarning(err, warning, language);
  return kExitOk;
}

PreparedTable PrepareTable(const ConvertCommandLine& options,
                           const RunChoices& choices, FileSystem& files,
                           const std::string& input) {
  const Language language = options.language;
  PreparedTable prepared;
  TableJob& job = prepared.job;
  job.path = input;
  // The guesses and the fix decisions are said as they are made; what the
  // reading and the mapping found comes after them, then the error.
  std::vector<TableMessage> warnings;
  auto finish = [&prepared, &warnings](int exit_code, TableMessage error) {
    prepared.messages.insert(prepared.messages.end(), warnings.begin(),
                             warnings.end());
    if (!error.text.empty()) prepared.messages.push_back(std::move(error));
    if (exit_code != kExitOk) prepared.exit_code = exit_code;
    return std::move(prepared);
  };

  TableError table_error;
  HeaderDamage damage;
  std::unique_ptr<InputFile> in =
      files.OpenForReading(input, &table_error.open);
  if (!in || !ReadOpenedTable(in.get(), &job.layout, &table_error, &damage))
    return finish(kExitFileError,
                  {"", TableErrorText(input, table_error, language), true});
  for (const std::string& text : HeaderDamageTexts(input, damage, language))
    warnings.push_back({WarningTag(language), text, true});

  std::vector<std::string> entries, unknown_keywords;
  std::string error;
  const bool mapped = BuildEntries(job.layout, language, choices.mapping,
                                   &entries, &error, &unknown_keywords);
  for (const std::string& text : unknown_keywords)
    warnings.push_back({WarningTag(language), text});
  if (!mapped)
    return finish(kExitUsage,
                  {"", error + Choose(language, " en ", " in ") + input, true});
  job.plan = PlanColumns(entries, language);
  MarkMemoColumns(job.layout, &job.plan);
  if (options.guess &&
      !AddGuesses(options, in.get(), input, job.layout, choices.mapping,
                  &job.plan, &prepared.messages))
    return finish(kExitFileError, {});
  if (!options.fix && !job.plan.Maps("CALL"))
    warnings.push_back({WarningTag(language), NoCallText(language)});

  job.skip_deleted = options.skip_deleted;
  job.read_memos = options.memo;
  job.code_page = options.code_page;
  int exit_code = kExitOk;
  PrepareFixer(options, files, in.get(), choices.constants,
               choices.mapping.items, &job, &prepared.fixer, &prepared.messages,
               &exit_code);
  return finish(exit_code, {});
}

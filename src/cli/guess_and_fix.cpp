// guess_and_fix.cpp: --guess, --fix, --date-order, --set and fields
// --mapping --guess.

#include "cli/guess_and_fix.h"

#include "cli/console.h"
#include "dbf/code_page.h"
#include "mapping/column_guess.h"
#include "mapping/column_plan.h"

bool AddGuesses(const ConvertCommandLine& options, InputFile* in,
                const std::string& path, const DbfLayout& layout,
                const MappingChoices& choices, ColumnPlan* plan,
                std::vector<TableMessage>* messages) {
  const Language language = options.language;
  const std::size_t count = layout.columns.size();
  GuessContext context;
  context.language = language;
  context.code_page =
      TextCodePage(options.code_page, layout.header.code_page_mark);
  context.memos_read = options.memo;
  context.decided.assign(count, false);
  // What --auto, the mapping files and --map decide.
  for (std::size_t c = 0; c < count && c < plan->columns.size(); ++c) {
    if (plan->columns[c].skipped) continue;
    context.decided[c] = true;
    context.taken.push_back(plan->columns[c].keyword);
  }
  for (const MapItem& item : choices.items)
    if (!item.constant)
      for (int c : ColumnsNamed(layout, item.column, context.code_page))
        context.decided[c] = true;

  std::vector<ColumnProfile> profiles;
  std::string error;
  if (!SurveyOpenedTable(
          in, path, layout,
          GuessSurveyRequest(layout, context.code_page, options.skip_deleted),
          language, &profiles, &error)) {
    messages->push_back({"", error, true});
    return false;
  }
  std::vector<ColumnGuess> guesses = GuessColumns(layout, profiles, context);
  for (std::size_t c = 0; c < count; ++c) {
    const ColumnGuess& guess = guesses[c];
    if (context.decided[c] || (guess.keyword.empty() && guess.reason.empty()))
      continue;
    messages->push_back(
        {"--guess: ", GuessLine(layout.columns[c].name, guess, language)});
    if (!guess.keyword.empty()) AssignColumn(plan, c, guess.keyword);
  }
  return true;
}

bool CollectConstants(const ConvertCommandLine& options,
                      const std::vector<MapItem>& items,
                      std::vector<ConstantField>* constants,
                      std::string* error) {
  std::vector<MapItem> all;
  for (const MapItem& item : items)
    if (item.constant) all.push_back(item);
  for (const std::string& text : options.constants) {
    MapItem item;
    if (!ParseConstantOption(text, &item, error, options.language)) {
      *error = "--set: " + *error;
      return false;
    }
    all.push_back(item);
  }
  for (const MapItem& item : all) {
    ConstantField constant;
    if (!ReadConstant(item, options.language, &constant.keyword, error))
      return false;
    constant.value = item.column;
    for (auto it = constants->begin(); it != constants->end(); ++it)
      if (it->keyword == constant.keyword) {
        constants->erase(it);
        break;
      }
    constants->push_back(constant);
  }
  return true;
}

bool PrepareFixer(const ConvertCommandLine& options, InputFile* in,
                  const std::vector<ConstantField>& run_constants,
                  TableJob* table, std::unique_ptr<RecordFixer>* fixer,
                  std::vector<TableMessage>* messages, int* exit_code) {
  const Language language = options.language;
  if (!options.fix && run_constants.empty()) return true;
  std::vector<ConstantField> constants = run_constants;
  const ColumnPlan& plan = table->plan;
  const int code_page =
      TextCodePage(table->code_page, table->layout.header.code_page_mark);
  std::vector<ColumnFix> fixes;
  if (options.fix) {
    SurveyRequest request = FixSurveyRequest(plan, table->layout, code_page,
                                             options.skip_deleted);
    std::vector<ColumnProfile> profiles;
    std::string error;
    if (SurveyNeeded(request) &&
        !SurveyOpenedTable(in, table->path, table->layout, request, language,
                           &profiles, &error)) {
      messages->push_back({"", error, true});
      *exit_code = kExitFileError;
      return false;
    }
    std::vector<std::string> notes;
    if (!DecideFixes(plan, table->layout, profiles, options.date_order,
                     table->read_memos, code_page, language, &fixes, &notes,
                     &error)) {
      messages->push_back({"", error});
      *exit_code = kExitUsage;
      return false;
    }
    for (const std::string& note : notes)
      messages->push_back({"--fix: ", note});
    // A constant is mended like any value of its field.
    for (ConstantField& constant : constants) {
      FixedValue fixed;
      std::string_view value =
          FixValue(ColumnFixOf(constant.keyword, 'C', false, code_page),
                   constant.value, nullptr, &fixed);
      if (fixed.outcome == FixOutcome::kFixed)
        constant.value = std::string(value);
    }
  }
  *fixer = std::make_unique<RecordFixer>(plan, std::move(fixes),
                                         std::move(constants));
  table->fixer = fixer->get();
  return true;
}

std::vector<TableMessage> FixSummary(const RecordFixer& fixer,
                                     const DbfLayout& layout,
                                     Language language) {
  std::vector<std::string> names;
  for (const DbfFieldDescriptor& column : layout.columns)
    names.push_back(column.name);
  std::vector<TableMessage> lines;
  for (const std::string& line : fixer.Summary(names, language))
    lines.push_back({"--fix: ", line});
  return lines;
}

bool GuessedMappingFile(FileSystem& files, const std::string& path,
                        const DbfLayout& layout, Language language,
                        std::string* text, std::string* error) {
  GuessContext context;
  context.language = language;
  context.code_page = TextCodePage(0, layout.header.code_page_mark);
  // The file may be used with --memo: memo columns are written commented
  // out, with the reason.
  std::vector<ColumnProfile> profiles;
  if (!SurveyTable(files, path, layout,
                   GuessSurveyRequest(layout, context.code_page, false),
                   language, &profiles, error))
    return false;
  std::vector<ColumnGuess> guesses = GuessColumns(layout, profiles, context);
  *text = MappingFileText(layout, NameOf(path), language, &guesses);
  return true;
}

// guess_and_fix.cpp: --guess, --fix, --date-order, --set and fields
// --mapping --guess.

#include "cli/guess_and_fix.h"

#include "cli/console.h"
#include "dbf/code_page.h"
#include "mapping/column_guess.h"
#include "mapping/column_plan.h"

namespace {

int ChosenCodePage(const std::string& option) {
  return option == "auto" ? 0 : std::stoi(option);
}

unsigned DateOrderNamed(const std::string& name) {
  if (name == "dmy") return kDayMonthYear;
  if (name == "mdy") return kMonthDayYear;
  if (name == "ymd") return kYearMonthDay;
  return 0;
}

// The constants of the mapping files, then of --set; a later one of the
// same field wins. False, with the message printed, on a malformed one.
bool CollectConstants(const ConvertCommandLine& options,
                      const std::vector<MapItem>& items,
                      std::vector<ConstantField>* constants) {
  std::vector<MapItem> all;
  for (const MapItem& item : items)
    if (item.constant) all.push_back(item);
  std::string error;
  for (const std::string& text : options.constants) {
    MapItem item;
    if (!ParseConstantOption(text, &item, &error, options.language)) {
      PrintError("--set: " + error);
      return false;
    }
    all.push_back(item);
  }
  for (const MapItem& item : all) {
    ConstantField constant;
    if (!ReadConstant(item, options.language, &constant.keyword, &error)) {
      PrintError(error);
      return false;
    }
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

}  // namespace

bool AddGuesses(const ConvertCommandLine& options, const std::string& input,
                const DbfLayout& layout, MappingChoices* choices,
                int* exit_code) {
  const Language language = options.language;
  const std::size_t count = layout.columns.size();
  GuessContext context;
  context.language = language;
  context.code_page = TextCodePage(ChosenCodePage(options.code_page),
                                   layout.header.code_page_mark);
  context.memos_read = options.memo;
  context.decided.assign(count, false);
  // What --auto, the mapping files and --map decide; a malformed choice is
  // reported when the entries are built.
  std::vector<std::string> entries;
  std::string error;
  if (BuildEntries(layout, language, *choices, &entries, &error)) {
    ColumnPlan plan = PlanColumns(entries, language);
    for (std::size_t c = 0; c < count; ++c) {
      if (plan.columns[c].skipped) continue;
      context.decided[c] = true;
      context.taken.push_back(plan.columns[c].keyword);
    }
  }
  for (const MapItem& item : choices->items)
    if (!item.constant)
      for (int c : ColumnsNamed(layout, item.column, context.code_page))
        context.decided[c] = true;

  std::vector<ColumnProfile> profiles;
  if (!SurveyTable(
          SystemFileSystem(), input, layout,
          GuessSurveyRequest(layout, context.code_page, options.skip_deleted),
          language, &profiles, &error)) {
    PrintError(error);
    *exit_code = kExitFileError;
    return false;
  }
  std::vector<ColumnGuess> guesses = GuessColumns(layout, profiles, context);
  std::vector<MapItem> guessed;
  for (std::size_t c = 0; c < count; ++c) {
    const ColumnGuess& guess = guesses[c];
    if (context.decided[c] || (guess.keyword.empty() && guess.reason.empty()))
      continue;
    PrintError("--guess: " +
               GuessLine(layout.columns[c].name, guess, language));
    if (!guess.keyword.empty())
      guessed.push_back({"#" + std::to_string(c + 1), guess.keyword});
  }
  choices->items.insert(choices->items.begin(), guessed.begin(), guessed.end());
  return true;
}

bool PrepareFixer(const ConvertCommandLine& options,
                  const std::vector<MapItem>& items, ConvertJob* job,
                  std::unique_ptr<RecordFixer>* fixer, int* exit_code) {
  const Language language = options.language;
  std::vector<ConstantField> constants;
  if (!CollectConstants(options, items, &constants)) {
    *exit_code = kExitUsage;
    return false;
  }
  if (!options.fix && constants.empty()) return true;
  ColumnPlan plan = PlanColumns(job->entries, language);
  MarkMemoColumns(job->table, &plan);
  const int code_page = TextCodePage(job->code_page, job->table.header.code_page_mark);
  std::vector<ColumnFix> fixes;
  if (options.fix) {
    SurveyRequest request =
        FixSurveyRequest(plan, job->table, code_page, options.skip_deleted);
    std::vector<ColumnProfile> profiles;
    std::string error;
    if (SurveyNeeded(request) &&
        !SurveyTable(SystemFileSystem(), job->input_path, job->table, request,
                     language, &profiles, &error)) {
      PrintError(error);
      *exit_code = kExitFileError;
      return false;
    }
    std::vector<std::string> notes;
    if (!DecideFixes(plan, job->table, profiles,
                     DateOrderNamed(options.date_order), job->read_memos,
                     code_page, language, &fixes, &notes, &error)) {
      PrintError(error);
      *exit_code = kExitUsage;
      return false;
    }
    for (const std::string& note : notes) PrintError("--fix: " + note);
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
  job->fixer = fixer->get();
  return true;
}

void PrintFixSummary(const RecordFixer& fixer, const DbfLayout& layout,
                     Language language) {
  std::vector<std::string> names;
  for (const DbfFieldDescriptor& column : layout.columns)
    names.push_back(column.name);
  for (const std::string& line : fixer.Summary(names, language))
    PrintError("--fix: " + line);
}

bool GuessedMappingFile(const std::string& path, const DbfLayout& layout,
                        Language language, std::string* text) {
  GuessContext context;
  context.language = language;
  context.code_page = TextCodePage(0, layout.header.code_page_mark);
  // The file may be used with --memo: memo columns are written commented
  // out, with the reason.
  std::vector<ColumnProfile> profiles;
  std::string error;
  if (!SurveyTable(SystemFileSystem(), path, layout,
                   GuessSurveyRequest(layout, context.code_page, false),
                   language, &profiles, &error)) {
    PrintError(error);
    return false;
  }
  std::vector<ColumnGuess> guesses = GuessColumns(layout, profiles, context);
  *text = MappingFileText(layout, NameOf(path), language, &guesses);
  return true;
}

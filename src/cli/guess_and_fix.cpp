// guess_and_fix.cpp: --guess, --fix, --date-order, --set and fields
// --mapping --guess.

#include "cli/guess_and_fix.h"

#include "cli/console.h"
#include "mapping/texts.h"
#include "dbf/code_page.h"
#include "mapping/column_guess.h"
#include "mapping/column_plan.h"
#include "mapping/names.h"
#include "platform/text.h"

namespace {

int ChosenCodePage(const std::string& option) {
  return option == "auto" ? 0 : std::stoi(option);
}

// "log.dbf: " in front of a line when several tables are converted.
std::string TablePrefix(const ConvertCommandLine& options,
                        const std::string& input) {
  return options.inputs.size() > 1 ? input + ": " : std::string();
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
    // A field name the standard does not know: the same "did you mean" as
    // a mapping's.
    if (!IsKnownKeyword(constant.keyword))
      PrintWarning((item.origin.empty() ? "--set: " : item.origin + ": ") +
                       UnknownKeywordText(constant.keyword, options.language),
                   options.language);
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
    PrintError(TablePrefix(options, input) + "--guess: " +
               GuessLine(ShownName(layout.columns[c].name, context.code_page),
                         guess, language));
    if (!guess.keyword.empty())
      guessed.push_back({"#" + std::to_string(c + 1), guess.keyword});
  }
  choices->items.insert(choices->items.begin(), guessed.begin(), guessed.end());
  return true;
}

namespace {

// Per column of \a layout, the form chosen for it: by a mapping item
// (KEYWORD:FORM), then by --read-as. False, with the message printed, when
// a form names no column or does not fit the column's field.
bool CollectForms(const ConvertCommandLine& options,
                  const std::vector<MapItem>& items, const ColumnPlan& plan,
                  const DbfLayout& layout, int code_page,
                  std::vector<std::string>* forms) {
  const Language language = options.language;
  std::vector<MapItem> all;
  for (const MapItem& item : items)
    if (!item.constant && !item.form.empty()) all.push_back(item);
  std::string error;
  for (const std::string& text : options.read_as) {
    std::vector<MapItem> read_as;
    if (!ParseMapOption(text, language, &read_as, &error)) {
      PrintError("--read-as: " + error);
      return false;
    }
    for (MapItem& item : read_as) {
      item.form = AsciiLowerText(item.keyword);
      all.push_back(item);
    }
  }
  forms->assign(layout.columns.size(), "");
  for (const MapItem& item : all) {
    const std::vector<int> columns = ColumnsNamed(layout, item.column, code_page);
    const std::string where = item.origin.empty() ? "" : item.origin + ": ";
    if (columns.empty()) {
      PrintError(where + "--read-as: " +
                 Choose(language, "no hay columna ", "there is no column ") +
                 item.column);
      return false;
    }
    for (int c : columns) {
      const FixRule rule = FixRuleOf(plan.columns[c].keyword);
      if (plan.columns[c].skipped || !FormFits(item.form, rule)) {
        std::string fitting;
        for (int f = 0; f < kColumnFormCount; ++f)
          if (kColumnForms[f].rule == rule && !plan.columns[c].skipped)
            fitting += (fitting.empty() ? "" : ", ") +
                       std::string(kColumnForms[f].name);
        PrintError(where + item.column + ": " +
                   Choose(language, "la forma '", "the form '") + item.form +
                   Choose(language, "' no vale para ", "' does not fit ") +
                   (plan.columns[c].skipped ? std::string("Skip")
                                            : plan.columns[c].keyword) +
                   (fitting.empty()
                        ? std::string()
                        : Choose(language, "; valen: ", "; it takes: ") +
                              fitting));
        return false;
      }
      (*forms)[c] = item.form;
    }
  }
  return true;
}

// The column that could be CALL: the one whose values are call signs on
// most records, the more varied first; -1 for none.
int CallCandidate(const DbfLayout& layout,
                  const std::vector<ColumnProfile>& profiles) {
  int best = -1;
  for (std::size_t c = 0; c < profiles.size() && c < layout.columns.size();
       ++c) {
    const ColumnProfile& p = profiles[c];
    if (p.calls == 0 || p.calls * 5 < p.values * 4) continue;
    if (best < 0 || p.calls > profiles[best].calls ||
        (p.calls == profiles[best].calls &&
         p.distinct.size() > profiles[best].distinct.size()))
      best = static_cast<int>(c);
  }
  return best;
}

// No upload file without contacts: with --fix and no column mapped to
// CALL, says which column could be, and how to map it.
void PrintNoCall(const ConvertCommandLine& options, const ConvertJob& job,
                 int code_page) {
  const Language language = options.language;
  std::vector<ColumnProfile> profiles;
  std::string error;
  int candidate = -1;
  if (SurveyTable(SystemFileSystem(), job.input_path, job.table,
                  GuessSurveyRequest(job.table, code_page, options.skip_deleted),
                  language, &profiles, &error))
    candidate = CallCandidate(job.table, profiles);
  std::string text =
      TablePrefix(options, job.input_path) +
      Choose(language,
             "--fix: ninguna columna va a CALL, así que el fichero no "
             "tendrí""a ningún contacto; no se ha escrito nada",
             "--fix: no column is mapped to CALL, so the file would hold no "
             "contact; nothing was written");
  if (candidate >= 0) {
    const std::string name =
        ShownName(job.table.columns[candidate].name, code_page);
    text += Choose(language, ". ", ". ") + name +
            Choose(language, " tiene indicativos: añ""ada --map ",
                   " holds call signs: add --map ") +
            name + "=CALL";
  } else {
    text += Choose(language, ": asigne una columna con --map COLUMNA=CALL",
                   ": map a column with --map COLUMN=CALL");
  }
  PrintError(text);
}

}  // namespace

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
  const int code_page =
      TextCodePage(job->code_page, job->table.header.code_page_mark);
  const std::string prefix = TablePrefix(options, job->input_path);
  std::vector<ColumnFix> fixes;
  if (options.fix) {
    if (!plan.Maps("CALL")) {
      PrintNoCall(options, *job, code_page);
      *exit_code = kExitUsage;
      return false;
    }
    FixPlanInput input;
    input.plan = &plan;
    input.layout = &job->table;
    input.date_order = DateOrderNamed(options.date_order);
    input.memo_text = job->read_memos;
    input.code_page = code_page;
    input.language = language;
    if (!CollectForms(options, items, plan, job->table, code_page,
                      &input.forms)) {
      *exit_code = kExitUsage;
      return false;
    }
    SurveyRequest request =
        FixSurveyRequest(plan, job->table, code_page, options.skip_deleted,
                         LatestDayOf(job->table.header));
    std::vector<ColumnProfile> profiles;
    std::string error;
    if (SurveyNeeded(request) &&
        !SurveyTable(SystemFileSystem(), job->input_path, job->table, request,
                     language, &profiles, &error)) {
      PrintError(error);
      *exit_code = kExitFileError;
      return false;
    }
    input.profiles = &profiles;
    FixPlan decided;
    if (!DecideFixes(input, &decided)) {
      PrintError(prefix + "--fix: " + decided.conflict);
      *exit_code = kExitUsage;
      return false;
    }
    for (const std::string& note : decided.notes)
      PrintError(prefix + "--fix: " + note);
    fixes = std::move(decided.fixes);
    // A constant is mended like any value of its field.
    for (ConstantField& constant : constants) {
      FixedValue fixed;
      std::string_view value =
          FixValue(ColumnFixOf(constant.keyword, 'C', false, code_page),
                   constant.value, nullptr, &fixed);
      if (fixed.outcome == FixOutcome::kFixed)
        constant.value = std::string(value);
      if (fixed.submode) constant.submode = fixed.submode;
    }
  }
  *fixer = std::make_unique<RecordFixer>(plan, std::move(fixes),
                                         std::move(constants));
  job->fixer = fixer->get();
  return true;
}

void PrintFixSummary(const RecordFixer& fixer, const DbfLayout& layout,
                     int code_page, Language language,
                     const std::string& prefix) {
  std::vector<std::string> names;
  for (const DbfFieldDescriptor& column : layout.columns)
    names.push_back(ShownName(column.name, code_page));
  for (const std::string& line : fixer.Summary(names, language))
    PrintError(prefix + "--fix: " + line);
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

bool PrintGuessPlan(const std::string& path, const DbfLayout& layout,
                    Language language) {
  const int code_page = TextCodePage(0, layout.header.code_page_mark);
  GuessContext context;
  context.language = language;
  context.code_page = code_page;
  std::vector<ColumnProfile> samples;
  std::string error;
  if (!SurveyTable(SystemFileSystem(), path, layout,
                   GuessSurveyRequest(layout, code_page, false), language,
                   &samples, &error)) {
    PrintError(error);
    return false;
  }
  const std::vector<ColumnGuess> guesses =
      GuessColumns(layout, samples, context);
  MappingChoices choices;
  for (std::size_t c = 0; c < guesses.size(); ++c)
    if (!guesses[c].keyword.empty())
      choices.items.push_back({"#" + std::to_string(c + 1), guesses[c].keyword});
  std::vector<std::string> entries;
  FixPlan decided;
  ColumnPlan plan;
  if (BuildEntries(layout, language, choices, &entries, &error)) {
    plan = PlanColumns(entries, language);
    MarkMemoColumns(layout, &plan);
    std::vector<ColumnProfile> profiles;
    if (!SurveyTable(SystemFileSystem(), path, layout,
                     FixSurveyRequest(plan, layout, code_page, false,
                                      LatestDayOf(layout.header)),
                     language, &profiles, &error)) {
      PrintError(error);
      return false;
    }
    FixPlanInput input;
    input.plan = &plan;
    input.layout = &layout;
    input.profiles = &profiles;
    input.code_page = code_page;
    input.language = language;
    DecideFixes(input, &decided);
  }
  for (std::size_t c = 0; c < layout.columns.size(); ++c) {
    const ColumnGuess& guess = guesses[c];
    const std::string name = ShownName(layout.columns[c].name, code_page);
    PrintLine(stdout, guess.keyword.empty() && guess.reason.empty()
                          ? name + Choose(language, " sin asignar",
                                          " left unmapped")
                          : GuessLine(name, guess, language));
    for (std::size_t n = 0; n < decided.notes.size(); ++n)
      if (decided.note_columns[n] == c)
        PrintLine(stdout, "    --fix: " + decided.notes[n]);
    if (!decided.conflict.empty() && decided.conflict_column == c)
      PrintLine(stdout, "    --fix: " + decided.conflict);
    // Three values as the table has them, and as they will be written.
    if (guess.keyword.empty() || samples[c].examples.empty()) continue;
    const ColumnFix fix = c < decided.fixes.size()
                              ? decided.fixes[c]
                              : ColumnFixOf(guess.keyword, layout.columns[c].type,
                                            false, code_page);
    std::string line;
    for (const std::string& example : samples[c].examples) {
      FixedValue fixed;
      const std::string written(FixValue(fix, example, nullptr, &fixed));
      line += (line.empty() ? "    " : "; ") + ShownToken(example) + " -> " +
              (fixed.outcome == FixOutcome::kUnreadable
                   ? Choose(language, "(sin leer) ", "(not read) ")
                   : "") +
              (written.empty() && fixed.outcome == FixOutcome::kDropped
                   ? Choose(language, "(sin campo)", "(no field)")
                   : ShownToken(written));
      if (fixed.submode) line += " + SUBMODE " + std::string(fixed.submode);
    }
    PrintLine(stdout, line, code_page);
  }
  return true;
}

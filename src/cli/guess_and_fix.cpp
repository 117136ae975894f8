// guess_and_fix.cpp: --guess, --fix, --date-order, --set and fields
// --mapping --guess.

#include "cli/guess_and_fix.h"

#include "cli/console.h"
#include "dbf/code_page.h"
#include "mapping/column_guess.h"
#include "mapping/column_plan.h"
#include "mapping/names.h"
#include "mapping/texts.h"
#include "platform/text.h"

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
          in, nullptr, path, layout,
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
        {"--guess: ",
         GuessLine(ShownName(layout.columns[c].name, context.code_page), guess,
                   language)});
    if (!guess.keyword.empty()) AssignColumn(plan, c, guess.keyword);
  }
  return true;
}

bool CollectConstants(const ConvertCommandLine& options,
                      const std::vector<MapItem>& items,
                      std::vector<ConstantField>* constants, std::string* error,
                      std::vector<std::string>* warnings) {
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
    // A field name the standard does not know: the same "did you mean" as
    // a mapping's.
    if (warnings && !IsKnownKeyword(constant.keyword))
      warnings->push_back(
          (item.origin.empty() ? "--set: " : item.origin + ": ") +
          UnknownKeywordText(constant.keyword, options.language));
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

namespace {

// Per column of \a layout, the form chosen for it: by a mapping item
// (KEYWORD:FORM), then by --read-as. False, with \a error, when a form
// names no column or does not fit the column's field.
bool CollectForms(const ConvertCommandLine& options,
                  const std::vector<MapItem>& items, const ColumnPlan& plan,
                  const DbfLayout& layout, int code_page,
                  std::vector<std::string>* forms, std::string* error) {
  const Language language = options.language;
  std::vector<MapItem> all;
  for (const MapItem& item : items)
    if (!item.constant && !item.form.empty()) all.push_back(item);
  for (const std::string& text : options.read_as) {
    std::vector<MapItem> read_as;
    if (!ParseMapOption(text, language, &read_as, error)) {
      *error = "--read-as: " + *error;
      return false;
    }
    for (MapItem& item : read_as) {
      item.form = AsciiLowerText(item.keyword);
      all.push_back(item);
    }
  }
  forms->assign(layout.columns.size(), "");
  for (const MapItem& item : all) {
    const std::vector<int> columns =
        ColumnsNamed(layout, item.column, code_page);
    const std::string where = item.origin.empty() ? "" : item.origin + ": ";
    if (columns.empty()) {
      *error = where + "--read-as: " +
               Choose(language, "no hay columna ", "there is no column ") +
               item.column;
      return false;
    }
    for (int c : columns) {
      const bool skipped = plan.columns[c].skipped;
      const FixRule rule = FixRuleOf(plan.columns[c].keyword);
      if (!skipped && FormFits(item.form, rule)) {
        (*forms)[c] = item.form;
        continue;
      }
      std::string fitting;
      for (int f = 0; f < kColumnFormCount && !skipped; ++f)
        if (kColumnForms[f].rule == rule)
          fitting +=
              (fitting.empty() ? "" : ", ") + std::string(kColumnForms[f].name);
      *error = where + item.column + ": " +
               Choose(language, "la forma '", "the form '") + item.form +
               Choose(language, "' no vale para ", "' does not fit ") +
               (skipped ? SkipWord(language) : plan.columns[c].keyword) +
               (fitting.empty()
                    ? std::string()
                    : Choose(language, "; valen: ", "; it takes: ") + fitting);
      return false;
    }
  }
  return true;
}

// The column that could be CALL: the one whose values are call signs on
// most records, the more varied first; -1 for none.
int CallCandidate(const std::vector<ColumnProfile>& profiles) {
  int best = -1;
  for (std::size_t c = 0; c < profiles.size(); ++c) {
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
// CALL, which column could be, and how to map it.
std::string NoCallText(const ConvertCommandLine& options, InputFile* in,
                       const TableJob& table, int code_page) {
  const Language language = options.language;
  std::vector<ColumnProfile> profiles;
  std::string error;
  int candidate = -1;
  if (SurveyOpenedTable(
          in, nullptr, table.path, table.layout,
          GuessSurveyRequest(table.layout, code_page, options.skip_deleted),
          language, &profiles, &error))
    candidate = CallCandidate(profiles);
  std::string text =
      Choose(language,
             "ninguna columna va a CALL, as\xED que el fichero no tendr\xED"
             "a "
             "ning\xFAn contacto; no se ha escrito nada",
             "no column is mapped to CALL, so the file would hold no contact; "
             "nothing was written");
  if (candidate < 0)
    return text + Choose(language,
                         ": asigne una columna con --map COLUMNA=CALL",
                         ": map a column with --map COLUMN=CALL");
  const std::string name =
      ShownName(table.layout.columns[candidate].name, code_page);
  return text + ". " + name +
         Choose(language,
                " tiene indicativos: a\xF1"
                "ada --map ",
                " holds call signs: add --map ") +
         name + "=CALL";
}

}  // namespace

bool PrepareFixer(const ConvertCommandLine& options, FileSystem& files,
                  InputFile* in,
                  const std::vector<ConstantField>& run_constants,
                  const std::vector<MapItem>& items, TableJob* table,
                  std::unique_ptr<RecordFixer>* fixer,
                  std::vector<TableMessage>* messages, int* exit_code) {
  const Language language = options.language;
  if (!options.fix && run_constants.empty()) return true;
  std::vector<ConstantField> constants = run_constants;
  const ColumnPlan& plan = table->plan;
  const int code_page =
      TextCodePage(table->code_page, table->layout.header.code_page_mark);
  std::vector<ColumnFix> fixes;
  if (options.fix) {
    if (!plan.Maps("CALL")) {
      messages->push_back(
          {"--fix: ", NoCallText(options, in, *table, code_page)});
      *exit_code = kExitUsage;
      return false;
    }
    FixPlanInput input;
    input.plan = &plan;
    input.layout = &table->layout;
    input.date_order = options.date_order;
    input.memo_text = table->read_memos;
    input.code_page = code_page;
    input.language = language;
    std::string error;
    if (!CollectForms(options, items, plan, table->layout, code_page,
                      &input.forms, &error)) {
      messages->push_back({"", error});
      *exit_code = kExitUsage;
      return false;
    }
    SurveyRequest request =
        FixSurveyRequest(plan, table->layout, code_page, options.skip_deleted,
                         LatestDayOf(table->layout.header));
    std::vector<ColumnProfile> profiles;
    if (SurveyNeeded(request) &&
        !SurveyOpenedTable(in, &files, table->path, table->layout, request,
                           language, &profiles, &error)) {
      messages->push_back({"", error, true});
      *exit_code = kExitFileError;
      return false;
    }
    input.profiles = &profiles;
    FixPlan decided;
    if (!DecideFixes(input, &decided)) {
      messages->push_back({"--fix: ", decided.conflict});
      *exit_code = kExitUsage;
      return false;
    }
    for (const std::string& note : decided.notes)
      messages->push_back({"--fix: ", note});
    fixes = std::move(decided.fixes);
    // A constant is mended like any value of its field; MODE=USB gives
    // SUBMODE as a column would.
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
  table->fixer = fixer->get();
  return true;
}

std::vector<TableMessage> FixSummary(const RecordFixer& fixer,
                                     const DbfLayout& layout, int code_page,
                                     Language language) {
  std::vector<std::string> names;
  for (const DbfFieldDescriptor& column : layout.columns)
    names.push_back(ShownName(column.name, code_page));
  std::vector<TableMessage> lines;
  for (const std::string& line : fixer.Summary(names, language))
    lines.push_back({"--fix: ", line});
  return lines;
}

std::string LeftOutWarning(const RecordFixer& fixer, std::uint32_t records,
                           Language language) {
  const std::uint64_t left_out = fixer.records_left_out();
  if (left_out <= 3 || left_out * 100 <= records) return "";
  return Choose(language, "--fix ha dejado fuera ", "--fix left out ") +
         std::to_string(left_out) + Choose(language, " de ", " of ") +
         std::to_string(records) +
         Choose(language,
                " registros, que no tienen CALL: revise qu\xE9 columna va a "
                "CALL",
                " records, which have no CALL: check which column is mapped "
                "to CALL");
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

bool GuessPlan(FileSystem& files, const std::string& path,
               const DbfLayout& layout, int code_page, Language language,
               std::vector<std::string>* lines, std::string* error) {
  GuessContext context;
  context.language = language;
  context.code_page = code_page;
  std::vector<ColumnProfile> samples;
  if (!SurveyTable(files, path, layout,
                   GuessSurveyRequest(layout, code_page, false), language,
                   &samples, error))
    return false;
  const std::vector<ColumnGuess> guesses =
      GuessColumns(layout, samples, context);
  MappingChoices choices;
  for (std::size_t c = 0; c < guesses.size(); ++c)
    if (!guesses[c].keyword.empty())
      choices.items.push_back(
          {"#" + std::to_string(c + 1), guesses[c].keyword});
  std::vector<std::string> entries;
  FixPlan decided;
  std::string ignored;
  if (BuildEntries(layout, language, choices, &entries, &ignored)) {
    ColumnPlan plan = PlanColumns(entries, language);
    MarkMemoColumns(layout, &plan);
    std::vector<ColumnProfile> profiles;
    if (!SurveyTable(files, path, layout,
                     FixSurveyRequest(plan, layout, code_page, false,
                                      LatestDayOf(layout.header)),
                     language, &profiles, error))
      return false;
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
    lines->push_back(
        guess.keyword.empty() && guess.reason.empty()
            ? name + Choose(language, " sin asignar", " left unmapped")
            : GuessLine(name, guess, language));
    for (std::size_t n = 0; n < decided.notes.size(); ++n)
      if (decided.note_columns[n] == c)
        lines->push_back("    --fix: " + decided.notes[n]);
    if (!decided.conflict.empty() && decided.conflict_column == c)
      lines->push_back("    --fix: " + decided.conflict);
    // Three values as the table has them, and as they will be written.
    if (guess.keyword.empty() || samples[c].examples.empty()) continue;
    const ColumnFix fix =
        c < decided.fixes.size()
            ? decided.fixes[c]
            : ColumnFixOf(guess.keyword, layout.columns[c].type, false,
                          code_page);
    std::string line;
    for (const std::string& example : samples[c].examples) {
      FixedValue fixed;
      const std::string written(FixValue(fix, example, nullptr, &fixed));
      line += (line.empty() ? "    " : "; ") + ShownName(example, code_page) +
              " -> " +
              (fixed.outcome == FixOutcome::kUnreadable
                   ? Choose(language, "(sin leer) ", "(not read) ")
                   : "") +
              (written.empty() && fixed.outcome == FixOutcome::kDropped
                   ? Choose(language, "(sin campo)", "(no field)")
                   : ShownName(written, code_page));
      if (fixed.submode) line += " + SUBMODE " + std::string(fixed.submode);
    }
    lines->push_back(line);
  }
  return true;
}

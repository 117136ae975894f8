// fuzz_mapping.cpp: the command line's own parsing: --map texts, keywords,
// and the field list entries built from them for a table.
//
// Input: a flags byte (bit 0 English, bit 1 --auto), then --map texts, one
// per line, up to a NUL byte, then the start of a table. The same text is
// also read as a mapping file.
//
// Checked besides "no crash": a --map text is accepted exactly when each of
// its comma-separated items has a non-empty column and keyword around an
// "="; keywords are accepted exactly when made of letters, digits and
// underscores, come out upper-cased, and the skip word of either language
// becomes that of the chosen one; the entries built read back every
// column's true size and the keyword that the last matching item, --auto or
// the skip word gives it; an unknown column or malformed keyword is refused;
// a mapping file is accepted exactly when each line that is not blank or a
// comment is COLUMN=KEYWORD (a "#" after a blank ending the keyword) or
// =FIELD=VALUE, and the mapping file written for a table reads back to the
// very entries --auto gives, or with guesses, to the guesses.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dbf/code_page.h"
#include "dbf/dbf_table.h"
#include "fuzz_support.h"
#include "mapping/catalogue.h"
#include "mapping/column_guess.h"
#include "mapping/column_plan.h"
#include "mapping/field_list.h"
#include "mapping/mapping_options.h"
#include "mapping/names.h"
#include "platform/text.h"

namespace {

MappingChoices Choices(bool by_keyword_names, std::vector<MapItem> items) {
  MappingChoices choices;
  choices.by_keyword_names = by_keyword_names;
  choices.items = std::move(items);
  return choices;
}

std::string TrimBlanks(const std::string& text) {
  std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// A keyword written KEYWORD:FORM: the keyword, and the form in lower case.
void SplitKeyword(const std::string& written, std::string* keyword,
                  std::string* form) {
  *keyword = written;
  form->clear();
  const std::size_t colon = written.find(':');
  if (colon == std::string::npos) return;
  *form = AsciiLowerText(TrimBlanks(written.substr(colon + 1)));
  *keyword = TrimBlanks(written.substr(0, colon));
}

// The part of a mapping line after "=" without its comment: a "#" after a
// blank or tab starts one.
std::string WithoutComment(const std::string& text) {
  for (std::size_t i = 1; i < text.size(); ++i)
    if (text[i] == '#' && (text[i - 1] == ' ' || text[i - 1] == '\t'))
      return TrimBlanks(text.substr(0, i));
  return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

// The columns an item names: "#N" counts from 1, anything else is a name
// compared as characters (the name matching has its own tests).
std::vector<std::size_t> Named(const DbfLayout& layout,
                               const std::string& column) {
  int code_page = CodePageOfDriver(layout.header.code_page_mark);
  if (!IsKnownCodePage(code_page)) code_page = 1252;
  std::vector<std::size_t> found;
  if (column.size() > 1 && column[0] == '#') {
    std::string digits = column.substr(1);
    if (digits.size() <= 9 &&
        digits.find_first_not_of("0123456789") == std::string::npos) {
      unsigned long number = std::stoul(digits);
      if (number >= 1 && number <= layout.columns.size())
        found.push_back(number - 1);
    }
    return found;
  }
  for (std::size_t i = 0; i < layout.columns.size(); ++i)
    if (ColumnNameMatches(layout.columns[i].name, column, code_page))
      found.push_back(i);
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const Language language = (data[0] & 1) ? kEnglish : kSpanish;
  const bool automatic = (data[0] & 2) != 0;
  const char* text = reinterpret_cast<const char*>(data + 1);
  const void* nul = std::memchr(text, '\0', size - 1);
  std::size_t text_size = nul ? static_cast<const char*>(nul) - text : size - 1;
  std::string maps(text, text_size);
  std::size_t table_at = nul ? 1 + text_size + 1 : size;

  // --map texts.
  std::vector<MapItem> items;
  bool parsed = true;
  for (const std::string& option : Split(maps, '\n')) {
    std::vector<MapItem> before = items;
    std::string error;
    bool ok = ParseMapOption(option, language, &items, &error);
    bool well_formed = true;
    std::vector<std::string> parts = Split(option, ',');
    for (const std::string& part : parts) {
      std::size_t equals = part.find('=');
      if (equals == std::string::npos ||
          TrimBlanks(part.substr(0, equals)).empty() ||
          TrimBlanks(part.substr(equals + 1)).empty())
        well_formed = false;
    }
    FUZZ_CHECK(ok == well_formed, "--map '%s' %s", option.c_str(),
               ok ? "accepted" : "refused");
    if (!ok) {
      FUZZ_CHECK(!error.empty(), "a refusal without a reason");
      parsed = false;
      break;
    }
    FUZZ_CHECK(items.size() == before.size() + parts.size(),
               "--map '%s' gave %zu items for %zu parts", option.c_str(),
               items.size() - before.size(), parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
      const MapItem& item = items[before.size() + i];
      std::size_t equals = parts[i].find('=');
      std::string keyword, form;
      SplitKeyword(TrimBlanks(parts[i].substr(equals + 1)), &keyword, &form);
      FUZZ_CHECK(item.column == TrimBlanks(parts[i].substr(0, equals)) &&
                     item.keyword == keyword && item.form == form,
                 "item '%s' split as '%s' = '%s' : '%s'", parts[i].c_str(),
                 item.column.c_str(), item.keyword.c_str(), item.form.c_str());
    }
  }

  // Keywords.
  for (const MapItem& item : items) {
    std::string normalised;
    bool ok = NormaliseKeyword(item.keyword, language, &normalised);
    bool plain = !item.keyword.empty();
    for (unsigned char c : item.keyword)
      if (!fuzz::IsNameCharacter(c)) plain = false;
    FUZZ_CHECK(ok == plain, "keyword '%s' %s", item.keyword.c_str(),
               ok ? "accepted" : "refused");
    if (!ok) continue;
    std::string upper = AsciiUpperText(item.keyword);
    std::string expected =
        upper == "SKIP" || upper == "OMITIR" ? SkipWord(language) : upper;
    FUZZ_CHECK(normalised == expected, "keyword '%s' became '%s'",
               item.keyword.c_str(), normalised.c_str());
    std::string twice;
    FUZZ_CHECK(
        NormaliseKeyword(normalised, language, &twice) && twice == normalised,
        "keyword '%s' changes when normalised again", normalised.c_str());
  }
  // The same text as a mapping file.
  {
    std::vector<MapItem> file_items;
    std::string error;
    bool ok = ParseMapFile(maps, "map.txt", language, &file_items, &error);
    std::size_t expected_items = 0;
    bool well_formed = true;
    // A byte-order mark first is passed over.
    const std::string text =
        maps.compare(0, 3, "\xEF\xBB\xBF") == 0 ? maps.substr(3) : maps;
    std::vector<std::string> lines = Split(text, '\n');
    if (!text.empty() && text.back() == '\n') lines.pop_back();
    for (std::size_t n = 0; n < lines.size() && well_formed; ++n) {
      std::string line = lines[n];
      if (!line.empty() && line.back() == '\r') line.pop_back();
      line = TrimBlanks(line);
      if (line.empty()) continue;
      if (line[0] == '#' &&
          !(line.size() > 1 && line[1] >= '0' && line[1] <= '9'))
        continue;
      const MapItem* item = expected_items < file_items.size()
                                ? &file_items[expected_items]
                                : nullptr;
      if (line[0] == '=') {  // =FIELD=VALUE
        std::string rest = WithoutComment(line.substr(1));
        std::size_t at = rest.find('=');
        if (at == std::string::npos || TrimBlanks(rest.substr(0, at)).empty()) {
          well_formed = false;
          FUZZ_CHECK(
              !ok && error.find("map.txt:" + std::to_string(n + 1) + ":") == 0,
              "constant line %zu accepted or not named: %s", n + 1,
              error.c_str());
          break;
        }
        FUZZ_CHECK(!ok || (item && item->constant &&
                           item->keyword == TrimBlanks(rest.substr(0, at)) &&
                           item->column == TrimBlanks(rest.substr(at + 1))),
                   "constant line %zu read wrongly", n + 1);
        ++expected_items;
        continue;
      }
      std::size_t equals = line.find('=');
      if (equals == std::string::npos ||
          TrimBlanks(line.substr(0, equals)).empty() ||
          TrimBlanks(line.substr(equals + 1)).empty()) {
        well_formed = false;
        FUZZ_CHECK(
            !ok && error.find("map.txt:" + std::to_string(n + 1) + ":") == 0,
            "line %zu accepted or not named: %s", n + 1, error.c_str());
        break;
      }
      std::string keyword, form;
      SplitKeyword(WithoutComment(TrimBlanks(line.substr(equals + 1))),
                   &keyword, &form);
      FUZZ_CHECK(!ok || (item && !item->constant &&
                         item->column == TrimBlanks(line.substr(0, equals)) &&
                         item->keyword == keyword && item->form == form &&
                         item->origin == "map.txt:" + std::to_string(n + 1)),
                 "mapping file line %zu read wrongly", n + 1);
      ++expected_items;
    }
    FUZZ_CHECK(ok == well_formed, "a mapping file %s",
               ok ? "accepted" : "refused");
    if (ok)
      FUZZ_CHECK(file_items.size() == expected_items,
                 "%zu items read from a mapping file of %zu", file_items.size(),
                 expected_items);
  }

  // Entries for a table.
  DbfLayout layout;
  if (ReadDbfLayout(data + table_at, size - table_at, &layout) !=
      LayoutError::kNone)
    return 0;

  // The mapping file written for the table reads back to --auto's entries.
  {
    std::vector<std::string> automatic_entries, file_entries;
    std::vector<MapItem> file_items;
    std::string error;
    FUZZ_CHECK(BuildEntries(layout, language, Choices(true, {}),
                            &automatic_entries, &error),
               "--auto failed: %s", error.c_str());
    std::string text = MappingFileText(layout, "log.dbf", language);
    FUZZ_CHECK(ParseMapFile(text, "log.map", language, &file_items, &error),
               "the written mapping file does not read back: %s",
               error.c_str());
    FUZZ_CHECK(BuildEntries(layout, language, Choices(false, file_items),
                            &file_entries, &error),
               "the written mapping file does not apply: %s", error.c_str());
    FUZZ_CHECK(file_entries == automatic_entries,
               "the written mapping file gives other entries than --auto");
    // With guesses (from the names alone), it reads back to the guesses.
    GuessContext context;
    context.language = language;
    std::vector<ColumnGuess> guesses = GuessColumns(
        layout, std::vector<ColumnProfile>(layout.columns.size()), context);
    text = MappingFileText(layout, "log.dbf", language, &guesses);
    file_items.clear();
    FUZZ_CHECK(ParseMapFile(text, "log.map", language, &file_items, &error),
               "the guessed mapping file does not read back: %s",
               error.c_str());
    FUZZ_CHECK(BuildEntries(layout, language, Choices(false, file_items),
                            &file_entries, &error),
               "the guessed mapping file does not apply: %s", error.c_str());
    for (std::size_t i = 0; i < layout.columns.size(); ++i) {
      std::string keyword = ReadFieldListEntry(file_entries[i]).keyword;
      const std::string& guessed =
          guesses[i].keyword.empty() ? SkipWord(language) : guesses[i].keyword;
      FUZZ_CHECK(keyword == guessed,
                 "column %zu: the guessed file maps '%s', the guess was '%s'",
                 i + 1, keyword.c_str(), guessed.c_str());
    }
  }
  if (!parsed) return 0;
  std::vector<std::string> expected(layout.columns.size(), SkipWord(language));
  if (automatic) {
    for (std::size_t i = 0; i < layout.columns.size(); ++i)
      for (int row = 1; row < kCatalogueRows; ++row) {
        std::string keyword = CatalogueKeyword(CatalogueEntry(row, language));
        if (keyword == AsciiUpperText(layout.columns[i].name))
          expected[i] = keyword;
      }
  }
  bool should_build = true;
  for (const MapItem& item : items) {
    std::vector<std::size_t> found = Named(layout, item.column);
    std::string keyword;
    if (found.empty() || !NormaliseKeyword(item.keyword, language, &keyword) ||
        IsAdifMarker(keyword)) {
      should_build = false;
      break;
    }
    for (std::size_t index : found) expected[index] = keyword;
  }
  std::vector<std::string> entries;
  std::string error;
  bool built = BuildEntries(layout, language, Choices(automatic, items),
                            &entries, &error);
  FUZZ_CHECK(built == should_build, "BuildEntries %s: %s",
             built ? "succeeded" : "failed", error.c_str());
  if (!built) {
    FUZZ_CHECK(!error.empty(), "a refusal without a reason");
    return 0;
  }
  FUZZ_CHECK(entries.size() == layout.columns.size(),
             "%zu entries for %zu columns", entries.size(),
             layout.columns.size());
  bool has_call = false;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EntryColumn read = ReadFieldListEntry(entries[i]);
    FUZZ_CHECK(read.size == layout.columns[i].length,
               "entry '%s' reads back size %d, the column has %d",
               entries[i].c_str(), read.size, layout.columns[i].length);
    FUZZ_CHECK(read.keyword == expected[i],
               "entry '%s' reads back '%s', expected '%s'", entries[i].c_str(),
               read.keyword.c_str(), expected[i].c_str());
    if (read.keyword == "CALL") has_call = true;
  }
  FUZZ_CHECK(PlanColumns(entries, language).Maps("CALL") == has_call,
             "the plan is wrong about CALL");
  return 0;
}

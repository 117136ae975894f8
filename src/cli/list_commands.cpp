// list_commands.cpp: the fields and catalogue commands.

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/guess_and_fix.h"
#include "dbf/code_page.h"
#include "dbf/table_file.h"
#include "mapping/catalogue.h"
#include "mapping/field_list.h"
#include "mapping/mapping_options.h"
#include "mapping/texts.h"

int RunFields(const FieldsCommandLine& options, FileSystem& files,
              const Streams& streams) {
  const std::string& table = options.table;
  const Language language = options.language;
  DbfLayout layout;
  TableError error;
  HeaderDamage damage;
  if (!ReadTableFile(files, table, &layout, &error, &damage)) {
    PrintError(streams.err, TableErrorText(table, error, language));
    return kExitFileError;
  }
  for (const std::string& text : HeaderDamageTexts(table, damage, language))
    PrintWarning(streams.err, text, language);
  if (options.mapping_file) {
    std::string text, error_text;
    if (!options.guess) {
      text = MappingFileText(layout, NameOf(table), language);
    } else if (!GuessedMappingFile(files, table, layout, language, &text,
                                   &error_text)) {
      PrintError(streams.err, error_text);
      return kExitFileError;
    }
    // Only comments hold bytes outside ASCII (names that are not plain are
    // written as #N), so the file is written as the terminal shows texts.
    if (!text.empty() && text.back() == '\n') text.pop_back();
    PrintLine(streams.out, text);
    return FinishOutput(streams, language);
  }
  if (options.guess) {
    std::vector<std::string> lines;
    std::string error_text;
    if (!GuessPlan(files, table, layout,
                   TextCodePage(0, layout.header.code_page_mark), language,
                   &lines, &error_text)) {
      PrintError(streams.err, error_text);
      return kExitFileError;
    }
    for (const std::string& line : lines) PrintLine(streams.out, line);
    return FinishOutput(streams, language);
  }
  PrintLine(streams.out, InformationLine(layout.header, language));
  VectorTextList list;
  ListColumns(layout, language, &list);
  // The names are in the table's code page.
  const int code_page = TextCodePage(0, layout.header.code_page_mark);
  for (const std::string& entry : list.texts())
    PrintLine(streams.out, entry, code_page);
  return FinishOutput(streams, language);
}

int RunCatalogue(Language language, const Streams& streams) {
  VectorTextList list;
  FillCatalogueList(&list, language);
  for (const std::string& text : list.texts()) PrintLine(streams.out, text);
  return FinishOutput(streams, language);
}

// main.cpp: the logweave command line. It lists a table's columns, prints
// the ADIF catalogue, converts a table with a mapping given as options,
// through the same code the window program uses, and checks ADIF files.
//
// Exit codes: 0 success, 1 input or output error, 2 usage error.

#include <string>

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/console.h"
#include "mapping/adif_standard.h"
#include "dbf/code_page.h"

namespace {

// "logweave 1.1.0 (ADIF 3.1.6)": the program and the standard it checks by.
std::string VersionText() {
  return std::string("logweave ") + LOGWEAVE_VERSION + " (ADIF " +
         kAdifVersion + ")";
}

Language ParseLanguage(const std::string& code) {
  return code == "es" ? kSpanish : kEnglish;
}

}  // namespace

int main(int argc, char** argv) {
  SetUpConsole();
  CLI::App app{
      "Converts a contact log kept as a dBase table (DBF) into an ADIF file.",
      "logweave"};
  app.set_version_flag("--version", VersionText());
  app.require_subcommand(1);
  std::string language_code = "en";
  auto add_language = [&language_code](CLI::App* command) {
    command
        ->add_option("--lang", language_code,
                     "Language of the texts and of the skip word: en or es")
        ->check(CLI::IsMember({"en", "es"}));
  };

  FieldsCommandLine fields_options;
  CLI::App* fields = app.add_subcommand(
      "fields", "Print the table's summary line and one entry per column");
  fields->add_option("FILE", fields_options.table, "The DBF table")->required();
  fields->add_flag("--mapping", fields_options.mapping_file,
                   "Print a ready-to-edit mapping file for the table instead");
  add_language(fields);

  CLI::App* catalogue =
      app.add_subcommand("catalogue", "Print the ADIF field catalogue");
  add_language(catalogue);

  ConvertCommandLine options;
  CLI::App* convert =
      app.add_subcommand("convert", "Convert a table into an ADIF file");
  convert->add_option("FILE", options.inputs, "The DBF table, or several")
      ->required();
  add_language(convert);
  convert->add_option("--map", options.maps,
                      "COLUMN=KEYWORD[,COLUMN=KEYWORD...]: COLUMN is a column "
                      "name or #N (from 1); KEYWORD an ADIF field name, or "
                      "Skip/Omitir")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  convert->add_flag("--auto", options.automatic,
                    "Map every column whose name is a catalogue keyword");
  convert->add_option("-o,--output", options.output,
                      "Output file (default: the input with its last three "
                      "characters replaced by ADI); - for standard output");
  convert->add_flag("--skip-deleted", options.skip_deleted,
                    "Leave out records marked as deleted");
  convert->add_option("--map-file", options.map_files,
                      "A file of COLUMN=KEYWORD lines, applied before --map")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  convert->add_flag("--check", options.check,
                    "Check the ADIF just written, as the check command does");
  convert->add_flag("--memo", options.memo,
                    "Read the text of memo (M) columns from the memo file "
                    "beside the table (.DBT or .FPT)");
  convert
      ->add_option("--codepage", options.code_page,
                   "How the table's bytes are read: auto (from the table's "
                   "header; 1252 when it says nothing) or one of " +
                       KnownCodePages() + " (895 Kamenicky, 620 Mazovia)")
      ->check([](const std::string& value) {
        bool number = !value.empty() && value.size() <= 5 &&
                      value.find_first_not_of("0123456789") == std::string::npos;
        if (value == "auto" || (number && IsKnownCodePage(std::stoi(value))))
          return std::string();
        return "unknown code page '" + value + "': auto or one of " +
               KnownCodePages();
      });
  convert
      ->add_option("--charset", options.charset,
                   "What the ADIF gets: keep (the bytes as they are), ascii "
                   "or utf-8")
      ->check(CLI::IsMember({"keep", "ascii", "utf-8"}));
  // Several tables at once.
  convert->add_flag("--merge", options.merge,
                    "Write every table, in the order given, into the one "
                    "file -o names");
  convert->add_flag("--drop-duplicates", options.drop_duplicates,
                    "With --merge: leave out a contact already written (same "
                    "CALL, QSO_DATE, BAND, MODE, TIME_ON within 2 minutes)");
  convert
      ->add_option("--format", options.format,
                   "adi (tags with lengths, the default) or adx (the XML "
                   "form, UTF-8, with _INTL fields for text outside ASCII; "
                   "default output name ending in ADX)")
      ->check(CLI::IsMember({"adi", "adx"}));

  // Old logs: columns guessed, values mended, constant fields.
  fields
      ->add_flag("--guess", fields_options.guess,
                 "Write the columns guessed from their names and values, each "
                 "with its reason")
      ->needs("--mapping");
  convert->add_flag("--guess", options.guess,
                    "Guess the columns no other choice maps from their names "
                    "and values (after --auto, before --map-file and --map); "
                    "each guess is printed with its reason");
  CLI::Option* fix =
      convert->add_flag("--fix", options.fix,
                        "Mend values into ADIF form (dates, times, "
                        "frequencies, bands, modes, call signs, QSL flags...) "
                        "and leave out records without a call sign; a summary "
                        "per column is printed");
  convert
      ->add_option("--date-order", options.date_order,
                   "With --fix, the order of dates that their values leave "
                   "open: dmy, mdy or ymd")
      ->check(CLI::IsMember({"dmy", "mdy", "ymd"}))
      ->needs(fix);
  convert
      ->add_option("--set", options.constants,
                   "FIELD=VALUE: give every record this field, unless a "
                   "column mapped to it has a value (repeatable)")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);

  CheckCommandLine check_options;
  CLI::App* check = app.add_subcommand(
      "check",
      "Report what logbook services would refuse or misread in an ADIF file");
  check->add_option("FILE", check_options.path,
                    "The ADIF file (.adi, or .adx: the form is told by the "
                    "content)")
      ->required();
  check->add_flag("--all", check_options.all,
                  "Print every finding, not only the first 100 of each kind");
  check->add_flag("--strict", check_options.strict,
                  "Fail (exit 1) on warnings too, not only on errors");
  check
      ->add_option("--lang", language_code,
                   "Language of the report: en or es")
      ->check(CLI::IsMember({"en", "es"}));

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }

  Language language = ParseLanguage(language_code);
  fields_options.language = language;
  if (*fields) return RunFields(fields_options);
  if (*catalogue) return RunCatalogue(language);
  check_options.language = language;
  if (*check) return RunCheckCommand(check_options, stdout, stderr);
  options.language = language;
  options.output_given = convert->count("--output") > 0;
  return RunConvert(options);
}

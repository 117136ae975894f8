// main.cpp: the logweave command line. It lists a table's columns, prints
// the ADIF catalogue, converts tables with a mapping given as options,
// through the same code the window program uses, and checks ADIF files.
//
// The language of --lang holds from the first word: the help and the words
// for options that cannot be read are in it too.
//
// Exit codes: 0 success, 1 input or output error, 2 usage error.

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include <CLI/CLI.hpp>

#include "adif/services.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "dbf/code_page.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "platform/wide_text.h"
#include "standard/adif_standard.h"
#include "standard/dates.h"

namespace {

// "logweave 1.1.0 (ADIF 3.1.6)": the program and the standard it checks by.
std::string VersionText() {
  return std::string("logweave ") + LOGWEAVE_VERSION + " (ADIF " +
         kAdifVersion + ")";
}

// The language --lang asks for, wherever it stands among the arguments.
Language LanguageOfArguments(int argc, char** argv) {
  std::string code = "en";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--lang") == 0 && i + 1 < argc)
      code = argv[i + 1];
    else if (std::strncmp(argv[i], "--lang=", 7) == 0)
      code = argv[i] + 7;
  }
  return code == "es" ? kSpanish : kEnglish;
}

// The words of the help's frame in Spanish.
void SetHelpLanguage(CLI::App* app, Language language) {
  if (language != kSpanish) return;
  // clang-format off
  const std::pair<const char*, const char*> kLabels[] = {
      {"Usage", "Uso"},
      {"OPTIONS", "OPCIONES"},
      {"SUBCOMMAND", "ORDEN"},
      {"SUBCOMMANDS", "ORDENES"},
      {"Positionals", "Posicionales"},
      {"Options", "Opciones"},
      {"Subcommands", "\xD3rdenes"},
      {"REQUIRED", "OBLIGATORIO"},
      {"TEXT", "TEXTO"},
      {"Needs", "Necesita"},
  };
  // clang-format on
  for (const auto& label : kLabels)
    app->get_formatter()->label(label.first, label.second);
}

// What follows the first ": " of \a text, or \a text.
std::string AfterColon(const std::string& text) {
  std::size_t colon = text.find(": ");
  return colon == std::string::npos ? text : text.substr(colon + 2);
}

// Our own words, in \a language, for what the option parser refused.
std::string ParseErrorText(const CLI::ParseError& error, Language language) {
  const std::string what = error.what();
  if (dynamic_cast<const CLI::ExtrasError*>(&error))
    return Choose(language, "opci\xF3n o argumento desconocido: ",
                  "unknown option or argument: ") +
           AfterColon(what);
  if (dynamic_cast<const CLI::RequiredError*>(&error))
    return what.find("ubcommand") != std::string::npos
               ? Choose(language,
                        "falta la orden: fields, catalogue, convert o check",
                        "a command is needed: fields, catalogue, convert or "
                        "check")
               : Choose(language, "falta el fichero", "the file is missing");
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error))
    return what.substr(0, what.find(':')) +
           Choose(language, " necesita un valor", " needs a value");
  if (dynamic_cast<const CLI::RequiresError*>(&error)) {
    std::size_t requires_at = what.find(" requires ");
    if (requires_at != std::string::npos)
      return what.substr(0, requires_at) +
             Choose(language, " solo vale con ", " works only with ") +
             what.substr(requires_at + 10);
  }
  if (dynamic_cast<const CLI::ValidationError*>(&error)) {
    // "--lang: fr not in {en,es}", or a check of ours that said why.
    const std::string name = what.substr(0, what.find(':'));
    const std::string rest = AfterColon(what);
    std::size_t not_in = rest.find(" not in {");
    if (not_in != std::string::npos) {
      std::string values = rest.substr(not_in + 9);
      values = values.substr(0, values.find('}'));
      for (std::size_t comma = values.find(','); comma != std::string::npos;
           comma = values.find(',', comma + 2))
        values.replace(comma, 1, ", ");
      return name + ": " + rest.substr(0, not_in) +
             Choose(language, " no es ninguno de ", " is not one of ") + values;
    }
    return what;
  }
  return Choose(language, "no se pueden leer las opciones: ",
                "the options cannot be read: ") +
         what;
}

// Reads an option's value, one of \a names, as what it means, the number of
// an enumeration that CLI11 then stores; any other value is refused in the
// words of CLI11's own IsMember ("fr not in {en,es}"), which
// ParseErrorText turns into ours.
template <typename T>
CLI::Validator OneOf(std::vector<std::pair<std::string, T>> names) {
  std::string listed;
  for (const auto& name : names)
    listed += (listed.empty() ? "{" : ",") + name.first;
  listed += "}";
  return CLI::Validator(
      [names, listed](std::string& value) {
        for (const auto& name : names)
          if (value == name.first) {
            value = std::to_string(static_cast<long long>(name.second));
            return std::string();
          }
        return value + " not in " + listed;
      },
      listed);
}

// The options of every command, described in the language of the run.
struct CommandLine {
  Language language = kEnglish;
  FieldsCommandLine fields;
  ConvertCommandLine convert;
  CheckCommandLine check;
  CLI::App* fields_command = nullptr;
  CLI::App* catalogue_command = nullptr;
  CLI::App* convert_command = nullptr;
  CLI::App* check_command = nullptr;
};

CLI::Validator Languages() {
  return OneOf<Language>({{"en", kEnglish}, {"es", kSpanish}});
}

void AddLanguage(CLI::App* command, Language* chosen, Language language) {
  command
      ->add_option("--lang", *chosen,
                   Choose(language,
                          "Idioma de los textos y de la palabra de omitir: en "
                          "o es",
                          "Language of the texts and of the skip word: en or "
                          "es"))
      ->type_name("TEXT")
      ->transform(Languages());
}

void AddFields(CLI::App* app, CommandLine* line, Language language) {
  CLI::App* fields = app->add_subcommand(
      "fields", Choose(language,
                       "Muestra la l\xEDnea de resumen de la tabla y una "
                       "entrada por campo",
                       "Print the table's summary line and one entry per "
                       "column"));
  fields
      ->add_option("FILE", line->fields.table,
                   Choose(language, "La tabla DBF", "The DBF table"))
      ->required();
  fields->add_flag("--mapping", line->fields.mapping_file,
                   Choose(language,
                          "Muestra en su lugar un fichero de correspondencias "
                          "listo para editar",
                          "Print a ready-to-edit mapping file for the table "
                          "instead"));
  fields->add_flag(
      "--guess", line->fields.guess,
      Choose(language,
             "Muestra a qu\xE9 campo ir\xE1 cada columna y c\xF3mo "
             "la leer\xE1 --fix, con sus motivos y tres valores "
             "antes y despu\xE9s; con --mapping, lo escribe como "
             "fichero de correspondencias",
             "Show the field each column is guessed to be and how "
             "--fix will read it, with the reasons and three "
             "values before and after; with --mapping, write the "
             "guesses as a mapping file"));
  AddLanguage(fields, &line->language, language);
  line->fields_command = fields;
}

// --for SERVICE: the rules of a logbook service's own software too.
CLI::Option* AddCheckFor(CLI::App* command, std::string* service,
                         Language language) {
  return command
      ->add_option("--for", *service,
                   Choose(language,
                          "Comprueba tambi\xE9n lo que rechaza o descarta el "
                          "programa de un servicio: ",
                          "Check too what a service's own software refuses "
                          "or drops: ") +
                       CheckServiceOptions())
      ->check([language](const std::string& value) {
        if (FindCheckService(value)) return std::string();
        return Choose(language, "servicio desconocido '", "unknown service '") +
               value + Choose(language, "': uno de ", "': one of ") +
               CheckServiceOptions();
      });
}

void AddConvert(CLI::App* app, CommandLine* line, Language language) {
  ConvertCommandLine& options = line->convert;
  CLI::App* convert = app->add_subcommand(
      "convert", Choose(language, "Convierte tablas en ficheros ADIF",
                        "Convert tables into ADIF files"));
  convert
      ->add_option("FILE", options.inputs,
                   Choose(language, "La tabla DBF, o varias",
                          "The DBF table, or several"))
      ->required();
  AddLanguage(convert, &line->language, language);
  convert
      ->add_option("--map", options.maps,
                   Choose(language,
                          "CAMPO=CLAVE[,CAMPO=CLAVE...]: CAMPO es el nombre "
                          "de un campo o #N (desde 1); CLAVE un campo ADIF, u "
                          "Omitir/Skip",
                          "COLUMN=KEYWORD[,COLUMN=KEYWORD...]: COLUMN is a "
                          "column name or #N (from 1); KEYWORD an ADIF field "
                          "name, or Skip/Omitir"))
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  convert->add_flag("--auto", options.automatic,
                    Choose(language,
                           "Asigna cada campo cuyo nombre es una clave del "
                           "cat\xE1logo",
                           "Map every column whose name is a catalogue "
                           "keyword"));
  convert->add_option("-o,--output", options.output,
                      Choose(language,
                             "Fichero de salida (por omisi\xF3n: la entrada "
                             "con sus tres \xFAltimos caracteres cambiados por "
                             "ADI); - para la salida est\xE1ndar",
                             "Output file (default: the input with its last "
                             "three characters replaced by ADI); - for "
                             "standard output"));
  convert->add_flag("--skip-deleted", options.skip_deleted,
                    Choose(language, "Deja fuera los registros borrados",
                           "Leave out records marked as deleted"));
  convert
      ->add_option("--map-file", options.map_files,
                   Choose(language,
                          "Un fichero de l\xEDneas CAMPO=CLAVE, aplicado antes "
                          "de --map",
                          "A file of COLUMN=KEYWORD lines, applied before "
                          "--map"))
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  CLI::Option* check =
      convert->add_flag("--check", options.check,
                        Choose(language,
                               "Comprueba el ADIF reci\xE9n escrito, como la "
                               "orden check",
                               "Check the ADIF just written, as the check "
                               "command does"));
  AddCheckFor(convert, &options.check_for, language)->needs(check);
  convert->add_flag("--memo", options.memo,
                    Choose(language,
                           "Lee el texto de los campos memo (M) del fichero "
                           "memo junto a la tabla (.DBT o .FPT)",
                           "Read the text of memo (M) columns from the memo "
                           "file beside the table (.DBT or .FPT)"));
  convert
      ->add_option("--codepage", options.code_page,
                   Choose(language,
                          "C\xF3mo se leen los bytes de la tabla: auto (la que "
                          "indica su cabecera; 1252 si no indica ninguna) o "
                          "una de ",
                          "How the table's bytes are read: auto (from the "
                          "table's header; 1252 when it says nothing) or one "
                          "of ") +
                       KnownCodePages() + " (895 Kamenicky, 620 Mazovia)")
      ->type_name("TEXT")
      ->transform(CLI::Validator(
          [language](std::string& value) {
            if (value == "auto") {
              value = "0";
              return std::string();
            }
            if (!value.empty() && value.size() <= 5 && AllDigits(value) &&
                IsKnownCodePage(std::stoi(value)))
              return std::string();
            return Choose(language,
                          "p\xE1gina de c\xF3"
                          "digos desconocida '",
                          "unknown code page '") +
                   value +
                   Choose(language, "': auto o una de ", "': auto or one of ") +
                   KnownCodePages();
          },
          std::string()));
  convert
      ->add_option("--charset", options.charset,
                   Choose(language,
                          "Qu\xE9 recibe el ADIF: keep (los bytes tal cual), "
                          "ascii o utf-8",
                          "What the ADIF gets: keep (the bytes as they are), "
                          "ascii or utf-8"))
      ->type_name("TEXT")
      ->transform(OneOf<Charset>({{"keep", Charset::kKeep},
                                  {"ascii", Charset::kAscii},
                                  {"utf-8", Charset::kUtf8}}));
  convert
      ->add_option(
          "--format", options.format,
          Choose(language,
                 "adi (etiquetas con longitudes, por omisi\xF3n) o adx "
                 "(la forma XML, UTF-8, con campos _INTL para el "
                 "texto fuera de ASCII; nombre de salida acabado en "
                 "ADX)",
                 "adi (tags with lengths, the default) or adx (the "
                 "XML form, UTF-8, with _INTL fields for text "
                 "outside ASCII; default output name ending in ADX)"))
      ->type_name("TEXT")
      ->transform(OneOf<OutputFormat>(
          {{"adi", OutputFormat::kAdi}, {"adx", OutputFormat::kAdx}}));
  // Several tables at once.
  convert->add_flag("--merge", options.merge,
                    Choose(language,
                           "Escribe todas las tablas, en su orden, en el "
                           "fichero que indica -o",
                           "Write every table, in the order given, into the "
                           "one file -o names"));
  convert->add_flag("--drop-duplicates", options.drop_duplicates,
                    Choose(language,
                           "Con --merge: deja fuera un contacto ya escrito "
                           "(mismos CALL, QSO_DATE, BAND, MODE y TIME_ON a "
                           "menos de 2 minutos)",
                           "With --merge: leave out a contact already "
                           "written (same CALL, QSO_DATE, BAND, MODE, TIME_ON "
                           "within 2 minutes)"));
  // Old logs: columns guessed, values mended, constant fields.
  convert->add_flag("--guess", options.guess,
                    Choose(language,
                           "Reconoce por su nombre y sus valores los campos "
                           "que nada m\xE1s asigna (tras --auto, antes de "
                           "--map-file y --map); cada uno se muestra con su "
                           "motivo",
                           "Guess the columns no other choice maps from their "
                           "names and values (after --auto, before --map-file "
                           "and --map); each guess is printed with its "
                           "reason"));
  CLI::Option* fix = convert->add_flag(
      "--fix", options.fix,
      Choose(language,
             "Pone los valores en forma ADIF (fechas, horas, frecuencias, "
             "bandas, modos, indicativos, QSL...) y deja fuera los registros "
             "sin indicativo; muestra un resumen por campo",
             "Mend values into ADIF form (dates, times, frequencies, bands, "
             "modes, call signs, QSL flags...) and leave out records without "
             "a call sign; a summary per column is printed"));
  convert
      ->add_option("--date-order", options.date_order,
                   Choose(language,
                          "Con --fix, el orden de las fechas de toda columna "
                          "de fechas en texto: dmy, mdy o ymd",
                          "With --fix, the order of the dates of every text "
                          "date column: dmy, mdy or ymd"))
      ->type_name("TEXT")
      ->transform(OneOf<unsigned>({{"dmy", kDayMonthYear},
                                   {"mdy", kMonthDayYear},
                                   {"ymd", kYearMonthDay}}))
      ->needs(fix);
  convert
      ->add_option(
          "--read-as", options.read_as,
          Choose(language,
                 "COLUMNA=FORMA: con --fix, c\xF3mo leer una columna: "
                 "dmy, mdy, ymd (fechas), mhz, khz, hz (frecuencias), "
                 "hhmm, hhmmss (horas num\xE9ricas), metres, mhz "
                 "(bandas), decimal-point, decimal-comma (n\xFAmeros) "
                 "(repetible)",
                 "COLUMN=FORM: with --fix, how to read a column: dmy, "
                 "mdy, ymd (dates), mhz, khz, hz (frequencies), hhmm, "
                 "hhmmss (numeric times), metres, mhz (bands), "
                 "decimal-point, decimal-comma (numbers) (repeatable)"))
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->needs(fix);
  convert
      ->add_option("--set", options.constants,
                   Choose(language,
                          "CAMPO=VALOR: da a cada registro este campo, salvo "
                          "donde un campo asignado a \xE9l tiene valor "
                          "(repetible)",
                          "FIELD=VALUE: give every record this field, unless "
                          "a column mapped to it has a value (repeatable)"))
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  line->convert_command = convert;
}

void AddCheck(CLI::App* app, CommandLine* line, Language language) {
  CLI::App* check = app->add_subcommand(
      "check", Choose(language,
                      "Informa de lo que los servicios de diplomas y QSL "
                      "rechazar\xED"
                      "an o leer\xED"
                      "an mal en un fichero ADIF",
                      "Report what logbook services would refuse or misread "
                      "in an ADIF file"));
  check
      ->add_option("FILE", line->check.path,
                   Choose(language,
                          "El fichero ADIF (.adi, o .adx: la forma se conoce "
                          "por el contenido)",
                          "The ADIF file (.adi, or .adx: the form is told by "
                          "the content)"))
      ->required();
  check->add_flag("--all", line->check.all,
                  Choose(language,
                         "Muestra todos los hallazgos, no solo los 100 "
                         "primeros de cada clase",
                         "Print every finding, not only the first 100 of "
                         "each kind"));
  check->add_flag("--strict", line->check.strict,
                  Choose(language,
                         "Falla (salida 1) tambi\xE9n con avisos, no solo con "
                         "errores",
                         "Fail (exit 1) on warnings too, not only on errors"));
  AddCheckFor(check, &line->check.service, language);
  check
      ->add_option("--lang", line->language,
                   Choose(language, "Idioma del informe: en o es",
                          "Language of the report: en or es"))
      ->type_name("TEXT")
      ->transform(Languages());
  line->check_command = check;
}

int RunCommandLine(int argc, char** argv) {
  SetUpConsole();
  const Language asked = LanguageOfArguments(argc, argv);
  CLI::App app{Choose(asked,
                      "Convierte un diario de contactos guardado como tabla "
                      "dBase (DBF) en un fichero ADIF.",
                      "Converts a contact log kept as a dBase table (DBF) "
                      "into an ADIF file."),
               "logweave"};
  SetHelpLanguage(&app, asked);
  // Every command takes its options' group name from here.
  app.option_defaults()->group(Choose(asked, "Opciones", "Options"));
  app.set_version_flag("--version", VersionText(),
                       Choose(asked, "Muestra la versi\xF3n y termina",
                              "Display program version information and "
                              "exit"));
  app.set_help_flag("-h,--help", Choose(asked, "Muestra esta ayuda y termina",
                                        "Print this help message and exit"));
  app.require_subcommand(1);

  CommandLine line;
  AddFields(&app, &line, asked);
  CLI::App* catalogue = app.add_subcommand(
      "catalogue", Choose(asked, "Muestra el cat\xE1logo de campos ADIF",
                          "Print the ADIF field catalogue"));
  AddLanguage(catalogue, &line.language, asked);
  AddConvert(&app, &line, asked);
  AddCheck(&app, &line, asked);
  for (CLI::App* command :
       app.get_subcommands([](CLI::App*) { return true; })) {
    command->group(Choose(asked, "\xD3rdenes", "Subcommands"));
    command->set_help_flag("-h,--help",
                           Choose(asked, "Muestra esta ayuda y termina",
                                  "Print this help message and exit"));
  }

  const Streams streams;
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::string help = app.help();
    if (!help.empty() && help.back() == '\n') help.pop_back();
    PrintLine(streams.out, help);
    return FinishOutput(streams, asked);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion&) {
    PrintLine(streams.out, VersionText());
    return FinishOutput(streams, asked);
  } catch (const CLI::ParseError& e) {
    PrintError(streams.err, ParseErrorText(e, asked));
    PrintError(streams.err,
               Choose(asked,
                      "logweave --help muestra las \xF3rdenes y sus "
                      "opciones",
                      "logweave --help lists the commands and their "
                      "options"));
    return kExitUsage;
  }

  FileSystem& files = SystemFileSystem();
  const Language language = line.language;
  line.fields.language = language;
  if (*line.fields_command) return RunFields(line.fields, files, streams);
  if (*catalogue) return RunCatalogue(language, streams);
  line.check.language = language;
  if (*line.check_command)
    return RunCheckCommand(line.check, files, streams.out, streams.err);
  line.convert.language = language;
  line.convert.output_given = line.convert_command->count("--output") > 0;
  return RunConvert(line.convert, files, streams);
}

}  // namespace

#ifdef _WIN32
// Windows gives the arguments as UTF-16 and they are kept as UTF-8, which
// the file layer turns back into UTF-16 names: a file whose name lies
// outside the ANSI code page is still reached.
int wmain(int argc, wchar_t** wide_argv) {
  SetPathEncoding(PathEncoding::kUtf8);
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i)
    arguments.push_back(InCodePage(wide_argv[i], CP_UTF8));
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(&argument[0]);
  argv.push_back(nullptr);
  return RunCommandLine(argc, argv.data());
}
#else
int main(int argc, char** argv) {
  SetPathEncoding(PathEncoding::kUtf8);
  return RunCommandLine(argc, argv);
}
#endif

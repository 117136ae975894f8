// main.cpp: the logweave command line. It lists a table's columns, prints
// the ADIF catalogue, converts a table with a mapping given as options,
// through the same code the window program uses, and checks ADIF files.
//
// Exit codes: 0 success, 1 input or output error, 2 usage error.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "adif/catalogue.h"
#include "adif/charset.h"
#include "adif/convert_file.h"
#include "cli/check_command.h"
#include "cli/mapping.h"
#include "dbf/code_page.h"
#include "dbf/field_list.h"
#include "dbf/memo_file.h"
#include "dbf/table_file.h"
#include "platform/files.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;
constexpr char kVersion[] = "logweave 1.0.0";
// Tables with at least this many records get a progress bar on a terminal.
constexpr std::uint32_t kProgressBarRecords = 20000;

void PrintLine(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fputc('\n', stream);
}

void Error(const std::string& message) {
  PrintLine(stderr, "logweave: " + message);
}

// Flushes standard output; a failure (a full disk, a closed pipe) is an
// error with a message, like any other write.
int FinishOutput() {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return kExitOk;
  Error("Cannot write standard output: " + ErrorText(errno ? errno : EIO));
  return kExitFileError;
}

Language ParseLanguage(const std::string& code) {
  return code == "es" ? kSpanish : kEnglish;
}

bool ReadLayout(const std::string& path, Language language,
                DbfLayout* layout) {
  std::string message;
  if (ReadTableFile(path, language, layout, &message)) return true;
  Error(message);
  return false;
}

int RunFields(const std::string& path, Language language, bool mapping) {
  DbfLayout layout;
  if (!ReadLayout(path, language, &layout)) return kExitFileError;
  if (mapping) {
    std::string name = path.substr(path.find_last_of("/\\") + 1);
    std::string text = MappingFileText(layout, name, language);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return FinishOutput();
  }
  PrintLine(stdout, InformationLine(layout.header, language));
  VectorTextList list;
  ListColumns(layout, language, &list);
  for (const std::string& entry : list.texts()) PrintLine(stdout, entry);
  return FinishOutput();
}

int RunCatalogue(Language language) {
  VectorTextList list;
  FillCatalogueList(&list, language);
  for (const std::string& text : list.texts()) PrintLine(stdout, text);
  return FinishOutput();
}

// Draws "[#####     ]  45%" on standard error, at most once per percent.
class ProgressBar {
 public:
  void Show(std::uint32_t record, std::uint32_t count) {
    int percent = static_cast<int>(100.0 * record / count);
    if (percent == shown_) return;
    shown_ = percent;
    char bar[64];
    int filled = percent / 5;
    std::snprintf(bar, sizeof bar, "\r[%-20.*s] %3d%%", filled,
                  "####################", percent);
    std::fputs(bar, stderr);
    std::fflush(stderr);
  }
  void Finish() {
    if (shown_ >= 0) std::fputs("\r                             \r", stderr);
  }

 private:
  int shown_ = -1;
};

struct ConvertCommandLine {
  std::string input;
  std::string output;
  std::vector<std::string> maps;
  std::vector<std::string> map_files;
  bool automatic = false;
  bool skip_deleted = false;
  bool memo = false;
  std::string code_page = "auto";
  std::string charset = "keep";
  bool check = false;
};

// The mapping items of the mapping files, then of the --map options.
bool CollectMapItems(const ConvertCommandLine& options,
                     std::vector<MapItem>* items, int* exit_code) {
  std::string error;
  for (const std::string& path : options.map_files) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
      Error(CannotOpenText(path, ErrorText(errno), kEnglish));
      *exit_code = kExitFileError;
      return false;
    }
    std::string text;
    char block[4096];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
      text.append(block, got);
    std::fclose(file);
    if (!ParseMapFile(text, path, items, &error)) {
      Error(error);
      *exit_code = kExitUsage;
      return false;
    }
  }
  for (const std::string& map : options.maps) {
    if (!ParseMapOption(map, items, &error)) {
      Error(error);
      *exit_code = kExitUsage;
      return false;
    }
  }
  return true;
}

// The code page the table's bytes are read in.
int ChooseCodePage(const std::string& choice, const DbfHeader& header) {
  if (choice != "auto") return std::atoi(choice.c_str());
  int named = CodePageOfDriver(header.code_page_mark);
  if (named == 0) return 1252;
  if (!IsKnownCodePage(named)) {
    Error("warning: the table names code page " + std::to_string(named) +
          ", which is not supported; reading it as 1252");
    return 1252;
  }
  return named;
}

int RunConvert(const ConvertCommandLine& options, Language language) {
  std::vector<MapItem> items;
  int exit_code = kExitOk;
  if (!CollectMapItems(options, &items, &exit_code)) return exit_code;
  DbfLayout layout;
  if (!ReadLayout(options.input, language, &layout)) return kExitFileError;

  ConvertJob job;
  std::string error;
  if (!BuildEntries(layout, language, options.automatic, items, &job.entries,
                    &error)) {
    Error(error + " in " + options.input);
    return kExitUsage;
  }
  if (!HasCallColumn(job.entries))
    Error("warning: no column is mapped to CALL, so every record will be "
          "written as an empty <EOR>");

  job.input_path = options.input;
  job.header = layout.header;
  job.language = language;
  job.options.skip_deleted = options.skip_deleted;

  // Memo columns hold block numbers; with --memo their text is read from
  // the memo file, when one of them is converted at all.
  MemoFile memo;
  if (options.memo) {
    bool wanted = false;
    for (std::size_t i = 0; i < layout.columns.size(); ++i) {
      bool is_memo = layout.columns[i].type == 'M';
      job.options.memo_columns.push_back(is_memo);
      if (is_memo &&
          ReadFieldListEntry(job.entries[i]).keyword != SkipWord(language))
        wanted = true;
    }
    if (wanted) {
      unsigned char version = 0;
      if (std::FILE* table = std::fopen(options.input.c_str(), "rb")) {
        int first = std::fgetc(table);
        version = first == EOF ? 0 : static_cast<unsigned char>(first);
        std::fclose(table);
      }
      if (!memo.Open(options.input, version, &error)) {
        Error(error);
        return kExitFileError;
      }
      job.options.memo = &memo;
    }
  }
  std::unique_ptr<ValueEncoder> encoder;
  if (options.charset != "keep") {
    encoder = std::make_unique<ValueEncoder>(
        ChooseCodePage(options.code_page, layout.header),
        options.charset == "ascii" ? Charset::kAscii : Charset::kUtf8);
    job.options.encoder = encoder.get();
  }
  bool to_stdout = options.output == "-";
  if (to_stdout) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    job.output_stream = stdout;
  } else {
    job.output_path = options.output;
  }
  ProgressBar bar;
  if (isatty(fileno(stderr)) &&
      layout.header.record_count >= kProgressBarRecords)
    job.progress = [&bar](std::uint32_t r, std::uint32_t n) { bar.Show(r, n); };

  if (options.check && to_stdout) {
    Error("--check needs an output file: it cannot read back standard output");
    return kExitUsage;
  }
  ConvertOutcome outcome = ConvertFile(job);
  bar.Finish();
  if (!outcome.ok()) {
    Error(outcome.message);
    return kExitFileError;
  }
  PrintLine(to_stdout ? stderr : stdout, outcome.message);
  if (options.charset == "ascii" && outcome.stats.values_changed > 0)
    Error("note: " + std::to_string(outcome.stats.values_changed) +
          " values held characters outside ASCII and were spelled in plain "
          "ASCII");
  if (options.check) {
    std::fflush(stdout);
    return RunCheckCommand(outcome.output_path, stdout, stderr);
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Converts a contact log kept as a dBase table (DBF) into an ADIF file.",
      "logweave"};
  app.set_version_flag("--version", kVersion);
  app.require_subcommand(1);
  std::string language_code = "en";
  auto add_language = [&language_code](CLI::App* command) {
    command
        ->add_option("--lang", language_code,
                     "Language of the texts and of the skip word: en or es")
        ->check(CLI::IsMember({"en", "es"}));
  };

  std::string fields_path;
  bool fields_mapping = false;
  CLI::App* fields = app.add_subcommand(
      "fields", "Print the table's summary line and one entry per column");
  fields->add_option("FILE", fields_path, "The DBF table")->required();
  fields->add_flag("--mapping", fields_mapping,
                   "Print a ready-to-edit mapping file for the table instead");
  add_language(fields);

  CLI::App* catalogue =
      app.add_subcommand("catalogue", "Print the ADIF field catalogue");
  add_language(catalogue);

  ConvertCommandLine options;
  CLI::App* convert =
      app.add_subcommand("convert", "Convert a table into an ADIF file");
  convert->add_option("FILE", options.input, "The DBF table")->required();
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
                   "header; 1252 when it says nothing), 1252, 850 or 437")
      ->check(CLI::IsMember({"auto", "1252", "850", "437"}));
  convert
      ->add_option("--charset", options.charset,
                   "What the ADIF gets: keep (the bytes as they are), ascii "
                   "or utf-8")
      ->check(CLI::IsMember({"keep", "ascii", "utf-8"}));

  std::string check_path;
  CLI::App* check = app.add_subcommand(
      "check",
      "Report what logbook services would refuse or misread in an ADIF file");
  check->add_option("FILE", check_path, "The ADIF file (.adi)")->required();

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
  if (*fields) return RunFields(fields_path, language, fields_mapping);
  if (*catalogue) return RunCatalogue(language);
  if (*check) return RunCheckCommand(check_path, stdout, stderr);
  return RunConvert(options, language);
}

// commands.h: the commands of the command line, each run from its parsed
// options and returning the exit code (see console.h).

#ifndef LOGWEAVE_CLI_COMMANDS_H_
#define LOGWEAVE_CLI_COMMANDS_H_

#include <cstdio>
#include <string>
#include <vector>

#include "mapping/language.h"

struct FieldsCommandLine {
  std::string table;
  bool mapping_file = false;  ///< a ready-to-edit mapping file instead
  bool guess = false;         ///< the mapping file holds the guesses
  Language language = kEnglish;
};

/// fields: the summary line and one entry per column, or a mapping file.
int RunFields(const FieldsCommandLine& options);

/// catalogue: the 43 catalogue texts.
int RunCatalogue(Language language);

struct ConvertCommandLine {
  std::string input;
  std::string output;  ///< empty: beside the input; "-": standard output
  std::vector<std::string> maps;
  std::vector<std::string> map_files;
  bool automatic = false;
  bool skip_deleted = false;
  bool memo = false;
  std::string code_page = "auto";
  std::string charset = "keep";
  bool check = false;
  // Old logs (guess_and_fix.cpp).
  bool guess = false;                  ///< --guess
  bool fix = false;                    ///< --fix
  std::string date_order;              ///< --date-order: dmy, mdy, ymd or ""
  std::vector<std::string> constants;  ///< --set FIELD=VALUE
  Language language = kEnglish;
};

/// convert: the ADIF file of one table.
int RunConvert(const ConvertCommandLine& options);

/// check: reads the ADIF file at \a path and writes its report to \a out:
/// one line per finding, then the summary line. Returns 0 when nothing was
/// found, 1 when something was, or when the file cannot be read or the
/// report cannot be written (then a line naming the file and the cause goes
/// to \a err). The file is only read.
int RunCheckCommand(const std::string& path, std::FILE* out, std::FILE* err);

#endif  // LOGWEAVE_CLI_COMMANDS_H_

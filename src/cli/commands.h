// commands.h: the commands of the command line, each run from its parsed
// options, the file system and the two streams it speaks on (see
// console.h), and returning the exit code.

#ifndef LOGWEAVE_CLI_COMMANDS_H_
#define LOGWEAVE_CLI_COMMANDS_H_

#include <cstdio>
#include <string>
#include <vector>

#include "cli/console.h"
#include "convert/charset.h"
#include "convert/convert_file.h"
#include "mapping/language.h"
#include "platform/file_system.h"

struct FieldsCommandLine {
  std::string table;
  bool mapping_file = false;  ///< a ready-to-edit mapping file instead
  bool guess = false;         ///< the mapping file holds the guesses
  Language language = kEnglish;
};

/// fields: the summary line and one entry per column, or a mapping file.
int RunFields(const FieldsCommandLine& options, FileSystem& files,
              const Streams& streams);

/// catalogue: the 43 catalogue texts.
int RunCatalogue(Language language, const Streams& streams);

/// The options of convert, each read into what it means once.
struct ConvertCommandLine {
  /// One table, or several: each to its own output, or all into one.
  std::vector<std::string> inputs;
  std::string output;         ///< empty: beside the input; "-": standard output
  bool output_given = false;  ///< -o was given (perhaps as an empty name)
  std::vector<std::string> maps;
  std::vector<std::string> map_files;
  bool automatic = false;
  bool skip_deleted = false;
  bool memo = false;
  int code_page = 0;  ///< --codepage; 0 for auto
  Charset charset = Charset::kKeep;
  OutputFormat format = OutputFormat::kAdi;
  bool check = false;
  std::string check_for;         ///< with check: --for, a service's rules too
  bool merge = false;            ///< every table into the one output
  bool drop_duplicates = false;  ///< with merge: duplicates give no line
  // Old logs (guess_and_fix.cpp).
  bool guess = false;                  ///< --guess
  bool fix = false;                    ///< --fix
  unsigned date_order = 0;             ///< --date-order: a DateOrder, or 0
  std::vector<std::string> constants;  ///< --set FIELD=VALUE
  std::vector<std::string> read_as;    ///< --read-as COLUMN=FORM
  Language language = kEnglish;

  bool to_standard_output() const { return output == "-"; }
};

/// convert: the ADIF file of each table, or one file of all of them.
/// Before anything is written, every file the run reads and writes is
/// gathered, and an output that is an input, or that two tables share, is
/// refused. With several tables each is converted (or, merging, read) even
/// when another fails; each table's messages come in the order of the
/// tables, named by table, the exit code is the highest of theirs and a
/// last line counts them.
int RunConvert(const ConvertCommandLine& options, FileSystem& files,
               const Streams& streams);

struct CheckCommandLine {
  std::string path;
  bool all = false;     ///< every finding, not the first 100 of each kind
  bool strict = false;  ///< warnings fail the check too
  std::string service;  ///< --for: a service whose rules are checked too
  Language language = kEnglish;
};

/// check: reads the ADIF file (tagged or XML form) and writes its report to
/// \a out as it goes: one line per finding, "... and N more" lines, the
/// summary line and the line of error and warning counts. Returns 0 when no
/// error was found (nor a warning, with strict), 1 when one was, or when the
/// file cannot be read or the report cannot be written (then a line naming
/// the file and the cause goes to \a err). The file is only read.
int RunCheckCommand(const CheckCommandLine& options, FileSystem& files,
                    std::FILE* out, std::FILE* err);

#endif  // LOGWEAVE_CLI_COMMANDS_H_

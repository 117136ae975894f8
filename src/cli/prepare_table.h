// prepare_table.h: a table of a convert run read and mapped before it is
// converted: its layout read and its column plan built once, the guesses
// and the fixer made, and every message about it kept in one list, to be
// printed in the order of the tables and named by table when there are
// several.

#ifndef LOGWEAVE_CLI_PREPARE_TABLE_H_
#define LOGWEAVE_CLI_PREPARE_TABLE_H_

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "convert/convert_file.h"
#include "convert/record_fixer.h"
#include "mapping/mapping_options.h"

/// A line about one table for standard error.
struct TableMessage {
  /// What kind of line: "warning: " ("aviso: "), "--guess: ", "--fix: ",
  /// "note: " ("nota: ") or "" for an error.
  std::string tag;
  std::string text;
  bool names_table = false;  ///< the text names its table itself
};

/// Prints \a message as "logweave: TAG TEXT", with the table's path in
/// front of the text when the run has \a several tables and the text does
/// not name it.
void PrintTableMessage(std::FILE* err, const TableMessage& message,
                       const std::string& table, bool several);

/// What every table of a run is mapped with, read once for the run: the
/// choices of --auto, the mapping files and --map, and the constant fields
/// of the mapping files and --set.
struct RunChoices {
  MappingChoices mapping;
  std::vector<ConstantField> constants;
};

/// Reads the mapping files, --map and --set into \a choices. On failure
/// prints the message and returns the exit code (1 when a mapping file
/// cannot be read, 2 when something is malformed); kExitOk otherwise.
int CollectRunChoices(const ConvertCommandLine& options, FileSystem& files,
                      std::FILE* err, RunChoices* choices);

/// A table read and mapped, ready to convert, or what stops it.
struct PreparedTable {
  TableJob job;
  std::unique_ptr<RecordFixer> fixer;  ///< with --fix or --set
  /// Every message about it so far: the guesses and the fix decisions as
  /// they were made, then what reading and mapping it found, then the error
  /// that stops it, if any.
  std::vector<TableMessage> messages;
  int exit_code = kExitOk;  ///< not kExitOk: it cannot be converted
};

/// Reads the table at \a input (opened once), builds its column plan from
/// \a choices and, when asked, guesses its columns and decides its fixes.
PreparedTable PrepareTable(const ConvertCommandLine& options,
                           const RunChoices& choices, FileSystem& files,
                           const std::string& input);

#endif  // LOGWEAVE_CLI_PREPARE_TABLE_H_

// guess_and_fix.h: what the command line does for old logs around the
// Convert frame: --guess (survey the table, guess the columns, say each
// guess), --fix with --date-order and --set (survey the table, decide per
// column, set up the fixer, say its summary), and fields --mapping --guess.
// What they say goes into the table's messages.

#ifndef LOGWEAVE_CLI_GUESS_AND_FIX_H_
#define LOGWEAVE_CLI_GUESS_AND_FIX_H_

#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/prepare_table.h"
#include "convert/convert_file.h"
#include "convert/fix_plan.h"
#include "convert/record_fixer.h"
#include "mapping/mapping_options.h"

/// --guess: guesses the columns of the table at \a path, open as \a in and
/// laid out as \a layout, that \a choices leave to it (\a plan is what
/// \a choices make of the columns), adds each guess (and each column left
/// for a reason) to \a messages, and maps the guessed columns in \a plan;
/// mapping files and --map still win, since they decide the columns they
/// name. False, with the error in \a messages, when the table cannot be
/// read.
bool AddGuesses(const ConvertCommandLine& options, InputFile* in,
                const std::string& path, const DbfLayout& layout,
                const MappingChoices& choices, ColumnPlan* plan,
                std::vector<TableMessage>* messages);

/// The constant fields of the mapping files' \a items, then of --set; a
/// later one of the same field wins. False, with \a error, on a malformed
/// one; a field name the standard does not know is said in \a warnings,
/// with the nearest names.
bool CollectConstants(const ConvertCommandLine& options,
                      const std::vector<MapItem>& items,
                      std::vector<ConstantField>* constants, std::string* error,
                      std::vector<std::string>* warnings = nullptr);

/// --fix and --set: the fixer of \a table (none when neither is given), its
/// decisions made from a survey of the table, open as \a in (a large one
/// read in halves through a second handle from \a files); \a constants
/// are the run's, \a items its mapping items (whose KEYWORD:FORM, with
/// --read-as, fix how a column is read). False, with the error in
/// \a messages and \a exit_code, when no column is mapped to CALL, a form
/// does not fit its column, or a column's values leave a decision open or
/// contradict it (usage errors), or the table cannot be read; nothing is
/// written then.
bool PrepareFixer(const ConvertCommandLine& options, FileSystem& files,
                  InputFile* in, const std::vector<ConstantField>& constants,
                  const std::vector<MapItem>& items, TableJob* table,
                  std::unique_ptr<RecordFixer>* fixer,
                  std::vector<TableMessage>* messages, int* exit_code);

/// The fixer's summary, a message a line, the column names read in
/// \a code_page.
std::vector<TableMessage> FixSummary(const RecordFixer& fixer,
                                     const DbfLayout& layout, int code_page,
                                     Language language);

/// More than a few records left out for want of a call sign (more than 3
/// and more than 1 %): the warning that says so, or empty.
std::string LeftOutWarning(const RecordFixer& fixer, std::uint32_t records,
                           Language language);

/// fields --mapping --guess: the mapping file of the table at \a path with
/// the guesses. False, with \a error, when the table cannot be read.
bool GuessedMappingFile(FileSystem& files, const std::string& path,
                        const DbfLayout& layout, Language language,
                        std::string* text, std::string* error);

/// fields --guess: per column of the table at \a path, the field it is
/// guessed to be and why, what --fix decides for it and why (or the
/// conflict that would stop it), and three of its values as the table has
/// them and as --fix writes them, as lines in \a lines (names read in
/// \a code_page). False, with \a error, when the table cannot be read.
bool GuessPlan(FileSystem& files, const std::string& path,
               const DbfLayout& layout, int code_page, Language language,
               std::vector<std::string>* lines, std::string* error);

#endif  // LOGWEAVE_CLI_GUESS_AND_FIX_H_

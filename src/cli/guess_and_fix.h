// guess_and_fix.h: what the command line does for old logs around the
// Convert frame: --guess (survey the table, guess the columns, print each
// guess), --fix with --date-order and --set (survey the table, decide per
// column, set up the fixer, print its summary), and fields --mapping
// --guess.

#ifndef LOGWEAVE_CLI_GUESS_AND_FIX_H_
#define LOGWEAVE_CLI_GUESS_AND_FIX_H_

#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "convert/convert_file.h"
#include "convert/fix_plan.h"
#include "convert/record_fixer.h"
#include "mapping/mapping_options.h"

/// --guess: guesses the columns of the table at \a input that \a choices
/// leave to it, prints each
/// guess (and each column left for a reason) on standard error, and puts
/// the guesses in front of the items of \a choices, so that mapping files
/// and --map still win. False, with \a exit_code, when the table cannot be
/// read.
bool AddGuesses(const ConvertCommandLine& options, const std::string& input,
                const DbfLayout& layout, MappingChoices* choices,
                int* exit_code);

/// --fix and --set: the fixer of \a job (none when neither is given), its
/// decisions made from a survey of the table; \a items holds the mapping
/// files' constants and the forms they give columns. False, with
/// \a exit_code, when a constant or a form is malformed, no column is
/// mapped to CALL, or a column's values leave a decision open (usage
/// errors), or the table cannot be read; nothing is written then.
bool PrepareFixer(const ConvertCommandLine& options,
                  const std::vector<MapItem>& items, ConvertJob* job,
                  std::unique_ptr<RecordFixer>* fixer, int* exit_code);

/// The fixer's summary, on standard error, each line after \a prefix; the
/// column names read in \a code_page.
void PrintFixSummary(const RecordFixer& fixer, const DbfLayout& layout,
                     int code_page, Language language,
                     const std::string& prefix);

/// fields --mapping --guess: the mapping file of the table at \a path with
/// the guesses. False, with the message printed, when the table cannot be
/// read.
bool GuessedMappingFile(const std::string& path, const DbfLayout& layout,
                        Language language, std::string* text);

/// fields --guess: per column of the table at \a path, the field it is
/// guessed to be and why, what --fix decides for it and why (or the
/// conflict that would stop it), and three of its values as the table has
/// them and as --fix writes them. False, with the message printed, when the
/// table cannot be read.
bool PrintGuessPlan(const std::string& path, const DbfLayout& layout,
                    Language language);

#endif  // LOGWEAVE_CLI_GUESS_AND_FIX_H_

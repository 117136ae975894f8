// column_guess.h: --guess: which ADIF field each column of an old log is,
// from its name (an ADIF name, or one of the names old loggers used, in
// column_names.cpp) and from what its values look like (a column survey).
//
// A name is taken when the values agree with it; values overrule a name
// that they contradict (a column named DATE holding times is TIME_ON, one
// named MODE holding 100, 400 is nothing), and name a column whose name
// says nothing only where they leave no doubt. A column repeating one call
// sign on every record is the station's own, never CALL. No keyword goes to
// two columns: when two columns claim one, the name beats the values, and
// two equal claims leave both columns unmapped. Every guess, and every
// column left unmapped for a reason, comes with that reason.

#ifndef LOGWEAVE_MAPPING_COLUMN_GUESS_H_
#define LOGWEAVE_MAPPING_COLUMN_GUESS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/dbf_table.h"
#include "mapping/column_survey.h"
#include "mapping/language.h"

/// One row of the table of column names: a name as NormalisedName gives it
/// and the ADIF field it stands for.
struct ColumnName {
  const char* name;
  const char* keyword;
};
extern const ColumnName kColumnNames[];
extern const int kColumnNameCount;

/// \a name as the guesses compare it: read in \a code_page, accents dropped,
/// upper case, without blanks, underscores, hyphens and dots.
std::string NormalisedName(std::string_view name, int code_page);

/// The ADIF field a column's name stands for: an ADIF record field's own
/// name, a name of the table, or (for a name of ten characters, the most
/// dBase allows) the one field the names it starts agree on. "" for none.
std::string KeywordOfName(std::string_view name, int code_page);

/// The records a guess reads at most: the first ones of the table.
constexpr std::uint32_t kGuessRecords = 2000;

/// The survey the guesses read: every column, at most kGuessRecords records.
SurveyRequest GuessSurveyRequest(const DbfLayout& layout, int code_page,
                                 bool skip_deleted);

/// What the guesses must respect.
struct GuessContext {
  int code_page = 1252;
  Language language = kEnglish;
  /// Per column: already chosen (by --auto, a mapping file or --map); such
  /// a column gets no guess.
  std::vector<bool> decided;
  /// Keywords those choices took; no guess takes them.
  std::vector<std::string> taken;
  /// Whether memo columns are converted as their text (--memo); when not,
  /// they are left unmapped.
  bool memos_read = false;
};

/// What the guesses conclude about one column.
struct ColumnGuess {
  std::string keyword;  ///< the keyword guessed; empty: left unmapped
  std::string reason;   ///< why, in the language; empty: nothing to say
};

/// The guesses for every column of \a layout, from the names and from
/// \a profiles (a survey made with GuessSurveyRequest).
std::vector<ColumnGuess> GuessColumns(
    const DbfLayout& layout, const std::vector<ColumnProfile>& profiles,
    const GuessContext& context);

/// "INDICATIVO -> CALL (name)", or "MODE left unmapped: REASON".
std::string GuessLine(const std::string& column, const ColumnGuess& guess,
                      Language language);

#endif  // LOGWEAVE_MAPPING_COLUMN_GUESS_H_

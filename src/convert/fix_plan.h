// fix_plan.h: --fix, what is decided for each column from all its values
// before anything is written: the order of its dates, the unit of its
// frequencies, the notation of its bands, how its times are written as
// digits, the separators of its numbers.
//
// A decision must explain every value of the column. Among the readings
// that do, the one that puts contacts where contacts are wins: dates that
// follow the records and do not lie past the table's last update,
// frequencies on the bands in use rather than in the millimetre bands. A
// value the decision cannot explain, or a column the data does not decide,
// is a conflict: nothing is written, and the message names the column, two
// of its values and the option that settles it. A choice of the user
// (--date-order, a column's form) always wins and always applies; a value
// that does not fit it stays as the table has it and is counted.

#ifndef LOGWEAVE_CONVERT_FIX_PLAN_H_
#define LOGWEAVE_CONVERT_FIX_PLAN_H_

#include <string>
#include <vector>

#include "convert/fix_rules.h"
#include "dbf/dbf_table.h"
#include "mapping/column_plan.h"
#include "mapping/column_survey.h"
#include "mapping/language.h"

/// The survey --fix needs: every record of the columns whose values a
/// decision reads (text dates, times of numeric columns, frequencies with
/// their BAND and BAND_RX, bands, numbers). Looks at nothing when no
/// column needs a decision. Dates past \a latest_day (a DayNumber) count
/// against the reading that gives them.
SurveyRequest FixSurveyRequest(const ColumnPlan& plan, const DbfLayout& layout,
                               int code_page, bool skip_deleted,
                               long latest_day = SurveyRequest::kNoLatestDay);

/// True when \a request looks at some column.
bool SurveyNeeded(const SurveyRequest& request);

/// The day after which a table's dates lie past its last update (the
/// header's date), or kNoLatestDay when the header's date is no date.
long LatestDayOf(const DbfHeader& header);

/// What the decisions are made from.
struct FixPlanInput {
  const ColumnPlan* plan = nullptr;
  const DbfLayout* layout = nullptr;
  /// From FixSurveyRequest; empty when none was needed.
  const std::vector<ColumnProfile>* profiles = nullptr;
  unsigned date_order = 0;  ///< --date-order; 0 when not given
  /// Per column, the form the user chose ("ymd", "khz", "hhmmss"...; see
  /// kColumnForms), or empty.
  std::vector<std::string> forms;
  bool memo_text = false;  ///< --memo
  int code_page = 1252;
  Language language = kEnglish;
};

/// What was decided: one fix per column; a line per decision taken, with
/// its reason; or the conflict that stops the run.
struct FixPlan {
  std::vector<ColumnFix> fixes;
  std::vector<std::string> notes;
  std::vector<std::size_t> note_columns;  ///< the column of each note
  std::string conflict;  ///< empty when every column was decided
  std::size_t conflict_column = 0;
};

/// The forms a user may choose for a column, and what each decides.
struct ColumnFormName {
  const char* name;
  FixRule rule;
};
extern const ColumnFormName kColumnForms[];
extern const int kColumnFormCount;

/// True when \a form is a form of kColumnForms for a column of \a rule.
bool FormFits(const std::string& form, FixRule rule);

/// Decides every column of \a input's plan. False, with plan->conflict,
/// when a column's values leave a decision open or a value contradicts it.
bool DecideFixes(const FixPlanInput& input, FixPlan* plan);

#endif  // LOGWEAVE_CONVERT_FIX_PLAN_H_

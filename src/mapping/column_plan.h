// column_plan.h: the field list read once, at the boundary between the lists
// the user edits and the code that uses them: per column, how many bytes it
// takes in a record and which keyword it carries. The conversion, the CALL
// warning, the mapping template and the memo set-up all work from the plan.

#ifndef LOGWEAVE_MAPPING_COLUMN_PLAN_H_
#define LOGWEAVE_MAPPING_COLUMN_PLAN_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/dbf_table.h"
#include "mapping/language.h"

/// Entries composed from a table show sizes of 0 to 255; a hand-made entry
/// may show more, which is kept within this so a record always fits memory.
constexpr int kLargestColumn = 65535;

struct PlannedColumn {
  std::size_t size = 0;  ///< bytes of the column in a record
  std::string keyword;   ///< as the entry carries it
  bool skipped = false;  ///< carries the skip word: read and dropped
  bool memo = false;     ///< holds a memo block number
};

struct ColumnPlan {
  std::vector<PlannedColumn> columns;

  /// The bytes of one record: the deletion flag and every column.
  std::size_t RecordSize() const;
  /// True when some column carries \a keyword.
  bool Maps(std::string_view keyword) const;
  /// True when some memo column is converted.
  bool ConvertsMemos() const;
};

/// Reads each entry's size and keyword as the conversion takes them (the
/// third and fifth tokens; see ReadFieldListEntry).
ColumnPlan PlanColumns(const std::vector<std::string>& entries,
                       Language language);

/// Maps column \a index of \a plan to \a keyword, an ADIF field name, as an
/// entry reassigned to it would read (ReassignEntry): its size stays.
void AssignColumn(ColumnPlan* plan, std::size_t index,
                  const std::string& keyword);

/// Marks the memo (M) columns of \a layout in \a plan, column by column.
void MarkMemoColumns(const DbfLayout& layout, ColumnPlan* plan);

#endif  // LOGWEAVE_MAPPING_COLUMN_PLAN_H_

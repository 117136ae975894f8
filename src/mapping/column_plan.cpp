// column_plan.cpp: reading the field list into a plan.

#include "mapping/column_plan.h"

#include <algorithm>

#include "mapping/field_list.h"

std::size_t ColumnPlan::RecordSize() const {
  std::size_t size = 1;
  for (const PlannedColumn& column : columns) size += column.size;
  return size;
}

bool ColumnPlan::Maps(std::string_view keyword) const {
  for (const PlannedColumn& column : columns)
    if (column.keyword == keyword) return true;
  return false;
}

bool ColumnPlan::ConvertsMemos() const {
  for (const PlannedColumn& column : columns)
    if (column.memo && !column.skipped) return true;
  return false;
}

ColumnPlan PlanColumns(const std::vector<std::string>& entries,
                       Language language) {
  const std::string skip = SkipWord(language);
  ColumnPlan plan;
  plan.columns.reserve(entries.size());
  for (const std::string& entry : entries) {
    EntryColumn read = ReadFieldListEntry(entry);
    PlannedColumn column;
    column.size =
        static_cast<std::size_t>(std::clamp(read.size, 0, kLargestColumn));
    column.skipped = read.keyword == skip;
    column.keyword = std::move(read.keyword);
    plan.columns.push_back(std::move(column));
  }
  return plan;
}

void AssignColumn(ColumnPlan* plan, std::size_t index,
                  const std::string& keyword) {
  PlannedColumn& column = plan->columns[index];
  column.keyword = keyword;
  column.skipped = false;
}

void MarkMemoColumns(const DbfLayout& layout, ColumnPlan* plan) {
  std::size_t count = std::min(layout.columns.size(), plan->columns.size());
  for (std::size_t i = 0; i < count; ++i)
    plan->columns[i].memo = layout.columns[i].type == 'M';
}

// run_plan.h: every file a convert run reads and every file it writes,
// gathered before anything is written, so that no output replaces an input
// of the run and no two tables are written to one file.

#ifndef LOGWEAVE_CLI_RUN_PLAN_H_
#define LOGWEAVE_CLI_RUN_PLAN_H_

#include <string>
#include <vector>

#include "cli/commands.h"
#include "platform/file_system.h"

struct RunPlan {
  /// The tables, each table's memo files (whether or not its memos are
  /// read: they are its own), the mapping files.
  std::vector<std::string> inputs;
  /// The tables alone: no output may be named as one's memo file.
  std::vector<std::string> tables;
  /// What is written: one output a table, or the one of a merge.
  struct Output {
    std::string path;   ///< empty: standard output
    std::string table;  ///< the table written there; a merge: the first
  };
  std::vector<Output> outputs;
};

/// The plan of the run \a options ask for. Tables that do not exist are
/// left out: they are reported when they are read.
RunPlan PlanRun(const ConvertCommandLine& options, FileSystem& files);

/// True when the run may go ahead. Otherwise false, with \a refusal naming
/// both sides: an output that is an input (in any spelling that leads to
/// the same file, links included; standard output redirected onto one), an
/// output named as a table's memo file (a later run would read it as the
/// table's memos), or an output two tables would be written to.
bool JudgeRunPlan(const RunPlan& plan, FileSystem& files, Language language,
                  std::string* refusal);

#endif  // LOGWEAVE_CLI_RUN_PLAN_H_

// cli_case.h: the command line run as a real process, and a table-driven
// case runner: each case is the arguments, the exit code and a text each
// output must hold. "{dir}" in an argument stands for the case's folder.
//
// A test that includes this names the program in LOGWEAVE_BIN.

#ifndef LOGWEAVE_TESTS_SUPPORT_CLI_CASE_H_
#define LOGWEAVE_TESTS_SUPPORT_CLI_CASE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "process.h"

struct CliCase {
  const char* name;
  std::vector<std::string> args;  ///< after the program's name
  int exit_code;
  std::string out_has = {};  ///< a text standard output must hold, if any
  std::string err_has = {};  ///< a text standard error must hold, if any
  /// A text standard error must not hold (such as "warning"), if any.
  std::string err_lacks = {};
};

/// Runs logweave with \a args in \a dir ("{dir}" replaced by it).
inline RunResult RunLogweave(std::vector<std::string> args,
                             const std::string& dir = std::string(),
                             RunOptions options = RunOptions()) {
  for (std::string& arg : args)
    for (std::size_t at = arg.find("{dir}"); at != std::string::npos;
         at = arg.find("{dir}"))
      arg.replace(at, 5, dir);
  args.insert(args.begin(), LOGWEAVE_BIN);
  if (options.cwd.empty()) options.cwd = dir;
  return RunProgram(args, options);
}

/// Runs \a c in \a dir and checks what it must give.
inline RunResult ExpectCliCase(const CliCase& c, const std::string& dir,
                               const RunOptions& options = RunOptions()) {
  RunResult run = RunLogweave(c.args, dir, options);
  EXPECT_EQ(c.exit_code, run.exit_code) << c.name << "\n" << run.err;
  if (!c.out_has.empty()) {
    EXPECT_NE(std::string::npos, run.out.find(c.out_has))
        << c.name << ": standard output lacks \"" << c.out_has << "\":\n"
        << run.out;
  }
  if (!c.err_has.empty()) {
    EXPECT_NE(std::string::npos, run.err.find(c.err_has))
        << c.name << ": standard error lacks \"" << c.err_has << "\":\n"
        << run.err;
  }
  if (!c.err_lacks.empty()) {
    EXPECT_EQ(std::string::npos, run.err.find(c.err_lacks))
        << c.name << ": standard error holds \"" << c.err_lacks << "\":\n"
        << run.err;
  }
  return run;
}

#endif  // LOGWEAVE_TESTS_SUPPORT_CLI_CASE_H_

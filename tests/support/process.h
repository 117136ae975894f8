// process.h: running a program as a real process with a time limit and
// collecting what it writes (POSIX).

#ifndef LOGWEAVE_TESTS_SUPPORT_PROCESS_H_
#define LOGWEAVE_TESTS_SUPPORT_PROCESS_H_

#include <string>
#include <vector>

struct RunResult {
  int exit_code = -1;      ///< -1 when it did not exit normally
  int signal = 0;          ///< the signal that ended it, if any
  bool timed_out = false;  ///< killed after the time limit
  std::string out, err;
};

struct RunOptions {
  /// When set, standard output goes to this file (opened for writing without
  /// truncation, as the shell's 1<> does; with stdout_append at its end, as
  /// >> does) instead of being captured.
  std::string stdout_path;
  bool stdout_append = false;
  /// When set, standard output is closed.
  bool close_stdout = false;
  /// When set, the folder the program starts in.
  std::string cwd;
  /// Extra environment settings, NAME=VALUE; LC_ALL is C unless set here.
  std::vector<std::string> environment;
  /// A hang guard, not a speed target: everything here finishes in well
  /// under a second.
  int timeout_seconds = 60;
};

/// Runs \a args (args[0] is the program, looked up on PATH when it names
/// no folder) and collects its output.
RunResult RunProgram(const std::vector<std::string>& args,
                     const RunOptions& options = RunOptions());

#endif  // LOGWEAVE_TESTS_SUPPORT_PROCESS_H_

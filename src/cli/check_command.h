// check_command.h: the command line's "check" command, the validation report
// on an ADIF file, kept apart from main.cpp so that "convert --check" and the
// tests run the same code.

#ifndef LOGWEAVE_CLI_CHECK_COMMAND_H_
#define LOGWEAVE_CLI_CHECK_COMMAND_H_

#include <cstdio>
#include <string>

/// Reads the ADIF file at \a path and writes its report to \a out: one line
/// per finding, then the summary line. Returns the exit code: 0 when nothing
/// was found, 1 when something was, or when the file cannot be read or the
/// report cannot be written (then a line naming the file and the cause goes
/// to \a err). The file is only read.
int RunCheckCommand(const std::string& path, std::FILE* out, std::FILE* err);

#endif  // LOGWEAVE_CLI_CHECK_COMMAND_H_

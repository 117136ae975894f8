// console.h: how the command line speaks: results on standard output, and
// messages, prefixed "logweave: ", on standard error.

#ifndef LOGWEAVE_CLI_CONSOLE_H_
#define LOGWEAVE_CLI_CONSOLE_H_

#include <cstdio>
#include <string>

#include "mapping/language.h"

/// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;

/// Writes \a text and a line end to \a stream.
void PrintLine(std::FILE* stream, const std::string& text);

/// Writes "logweave: MESSAGE" to standard error.
void PrintError(const std::string& message);

/// Writes "logweave: warning: MESSAGE" ("aviso" in Spanish) to standard
/// error.
void PrintWarning(const std::string& message, Language language);

/// Flushes standard output; a failure (a full disk, a closed pipe) is an
/// error with a message, like any other write. Returns the exit code.
int FinishOutput();

/// True when standard error is a terminal (for a progress bar).
bool ErrorsGoToTerminal();

#endif  // LOGWEAVE_CLI_CONSOLE_H_

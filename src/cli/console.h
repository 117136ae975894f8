// console.h: how the command line speaks: results on one stream (standard
// output), and messages, prefixed "logweave: ", on another (standard error).
// The commands take the two streams, so that tests can hand them others.

#ifndef LOGWEAVE_CLI_CONSOLE_H_
#define LOGWEAVE_CLI_CONSOLE_H_

#include <cstdio>
#include <string>

#include "mapping/language.h"

/// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;

/// Where a command writes: its results and its messages.
struct Streams {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
};

/// Learns the character set of the terminal (the locale's, or the
/// console's on Windows) and whether standard output is open; call once
/// before printing or opening a file. A standard stream that is closed is
/// opened on the null device, so that no file the program opens takes its
/// place.
void SetUpConsole();

/// True when the program started with standard output closed.
bool StandardOutputWasClosed();

/// Writes \a text and a line end to \a stream, in the terminal's character
/// set; bytes of \a text above 0x7F are characters of \a code_page unless
/// they already form UTF-8. Control characters but line ends and tabs are
/// written as "?".
void PrintLine(std::FILE* stream, const std::string& text,
               int code_page = 1252);

/// Writes "logweave: MESSAGE" to \a err.
void PrintError(std::FILE* err, const std::string& message);

/// "aviso: " or "warning: ", the tag of a warning.
const char* WarningTag(Language language);

/// Writes "logweave: warning: MESSAGE" ("aviso" in Spanish) to \a err.
void PrintWarning(std::FILE* err, const std::string& message,
                  Language language);

/// Flushes the results' stream; a failure (a full disk, a closed pipe) is an
/// error with a message, like any other write. Returns the exit code.
int FinishOutput(const Streams& streams, Language language);

/// True when \a err is a terminal (for a progress bar).
bool ErrorsGoToTerminal(std::FILE* err);

#endif  // LOGWEAVE_CLI_CONSOLE_H_

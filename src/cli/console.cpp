// console.cpp: printing results and messages.

#include "cli/console.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

void PrintLine(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fputc('\n', stream);
}

void PrintError(const std::string& message) {
  PrintLine(stderr, "logweave: " + message);
}

void PrintWarning(const std::string& message, Language language) {
  PrintError(Choose(language, "aviso: ", "warning: ") + message);
}

int FinishOutput() {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return kExitOk;
  PrintError(std::string("Cannot write standard output: ") +
             std::strerror(errno ? errno : EIO));
  return kExitFileError;
}

bool ErrorsGoToTerminal() { return isatty(fileno(stderr)) != 0; }

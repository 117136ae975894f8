// console.cpp: printing results and messages in the terminal's character
// set.
//
// The program's texts are Windows-1252, a table's column names are in its
// code page, and paths are in whatever the system gave. On a terminal whose
// locale is UTF-8, bytes that already form UTF-8 (paths, names typed on the
// command line) are kept, and every other byte above 0x7F is taken for a
// character of the text's code page and written as UTF-8. On a Windows
// console the text goes from the ANSI code page to the console's. Control
// characters never reach the terminal: a message can hold bytes from files.

#include "cli/console.h"

#include <cerrno>
#include <clocale>
#include <cstring>

#include "dbf/code_page.h"
#include "mapping/texts.h"
#include "platform/text.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <fcntl.h>
#include <langinfo.h>
#include <unistd.h>
#endif

namespace {

// How text written to one stream is turned into bytes.
struct StreamCharset {
  bool utf8 = false;          // bytes above 0x7F become UTF-8
  unsigned console_page = 0;  // Windows: the console's code page, 0: none
};

StreamCharset g_stdout, g_stderr;
bool g_stdout_closed = false;

StreamCharset& CharsetOf(std::FILE* stream) {
  return stream == stderr ? g_stderr : g_stdout;
}

// The length of the UTF-8 sequence at  text[i] that stands for a
// printable character, or 0.
std::size_t Utf8Sequence(const std::string& text, std::size_t i) {
  std::uint32_t c = 0;
  const std::size_t n = Utf8SequenceAt(text, i, &c);
  return c >= 0x80 && c < 0xA0 ? 0 : n;
}

bool IsControl(unsigned char c) {
  return (c < 0x20 && c != '\n' && c != '\t') || c == 0x7F;
}

std::string ForTerminal(const std::string& text, const StreamCharset& charset,
                        int code_page) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (IsControl(c)) {
      out += '?';
      ++i;
      continue;
    }
#ifndef _WIN32
    // A terminal whose locale is not UTF-8 takes 0x80-0x9F for C1 controls.
    if (!charset.utf8 && c >= 0x80 && c < 0xA0) {
      out += '?';
      ++i;
      continue;
    }
#endif
    if (c < 0x80 || !charset.utf8) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if (std::size_t n = Utf8Sequence(text, i)) {
      out.append(text, i, n);
      i += n;
      continue;
    }
    std::uint32_t point = CodePoint(code_page, c);
    out += point >= 0x80 && point < 0xA0 ? std::string("?") : Utf8(point);
    ++i;
  }
#ifdef _WIN32
  if (charset.console_page != 0) {
    int wide_size = MultiByteToWideChar(code_page, 0, out.data(),
                                        static_cast<int>(out.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    MultiByteToWideChar(code_page, 0, out.data(), static_cast<int>(out.size()),
                        &wide[0], wide_size);
    int size = WideCharToMultiByte(charset.console_page, 0, wide.data(),
                                   wide_size, nullptr, 0, "?", nullptr);
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(charset.console_page, 0, wide.data(), wide_size,
                        &converted[0], size, "?", nullptr);
    return converted;
  }
#endif
  return out;
}

#ifdef _WIN32
StreamCharset ConsoleCharset(DWORD which) {
  StreamCharset charset;
  HANDLE handle = GetStdHandle(which);
  if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_CHAR &&
      GetConsoleOutputCP() != GetACP())
    charset.console_page = GetConsoleOutputCP();
  return charset;
}
#endif

}  // namespace

void SetUpConsole() {
#ifdef _WIN32
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  g_stdout_closed = out == nullptr || out == INVALID_HANDLE_VALUE;
  g_stdout = ConsoleCharset(STD_OUTPUT_HANDLE);
  g_stderr = ConsoleCharset(STD_ERROR_HANDLE);
#else
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    if (fd == 1) g_stdout_closed = true;
    int null_device = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (null_device >= 0 && null_device != fd) {
      dup2(null_device, fd);
      close(null_device);
    }
  }
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  bool utf8 = codeset && (strcasecmp(codeset, "UTF-8") == 0 ||
                          strcasecmp(codeset, "utf8") == 0);
  // Only the character type: numbers and messages stay as they are.
  std::setlocale(LC_CTYPE, "C");
  g_stdout.utf8 = g_stderr.utf8 = utf8;
#endif
}

void PrintLine(std::FILE* stream, const std::string& text, int code_page) {
  std::string shown = ForTerminal(text, CharsetOf(stream), code_page);
  std::fwrite(shown.data(), 1, shown.size(), stream);
  std::fputc('\n', stream);
}

void PrintError(const std::string& message) {
  PrintLine(stderr, "logweave: " + message);
}

void PrintWarning(const std::string& message, Language language) {
  PrintError(Choose(language, "aviso: ", "warning: ") + message);
}

int FinishOutput(Language language) {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return kExitOk;
  PrintError(Choose(language, "No se puede escribir la salida est\xE1ndar: ",
                    "Cannot write standard output: ") +
             SystemErrorText(ErrnoError(errno ? errno : EIO), language));
  return kExitFileError;
}

bool ErrorsGoToTerminal() { return isatty(fileno(stderr)) != 0; }

bool StandardOutputWasClosed() { return g_stdout_closed; }

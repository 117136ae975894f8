// console.cpp: printing results and messages in the terminal's character
// set.
//
// The program's texts are Windows-1252, a table's column names are in its
// code page, and paths are in whatever the system gave (UTF-8 on Windows,
// where the command line takes its arguments as wide strings). On a
// terminal whose locale is UTF-8, bytes that already form UTF-8 (paths,
// names typed on the command line) are kept, and every other byte above
// 0x7F is taken for a character of the text's code page and written as
// UTF-8. On Windows the text is made UTF-8 the same way and then written in
// the console's code page, or in the ANSI code page when the stream is no
// console; a character neither holds becomes "?". Control characters never
// reach the terminal: a message can hold bytes from files.

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

#include "platform/wide_text.h"
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
  bool utf8 = false;      // bytes above 0x7F become UTF-8
  unsigned out_page = 0;  // Windows: the UTF-8 is written in this code
                          // page; 0: as it is
};

StreamCharset g_stdout, g_stderr;
bool g_stdout_closed = false;

StreamCharset& CharsetOf(std::FILE* stream) {
  return stream == stderr ? g_stderr : g_stdout;
}

// The length of the UTF-8 sequence at \a text[i] that stands for a
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
  std::wstring wide;
  if (charset.out_page != 0 && WideOf(out, CP_UTF8, &wide))
    return InCodePage(wide, charset.out_page);
#endif
  return out;
}

#ifdef _WIN32
StreamCharset ConsoleCharset(DWORD which) {
  StreamCharset charset;
  charset.utf8 = true;
  HANDLE handle = GetStdHandle(which);
  const bool console = handle != INVALID_HANDLE_VALUE && handle != nullptr &&
                       GetFileType(handle) == FILE_TYPE_CHAR &&
                       GetConsoleOutputCP() != 0;
  const unsigned page = console ? GetConsoleOutputCP() : GetACP();
  charset.out_page = page == CP_UTF8 ? 0 : page;
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

void PrintError(std::FILE* err, const std::string& message) {
  PrintLine(err, "logweave: " + message);
}

const char* WarningTag(Language language) {
  return Choose(language, "aviso: ", "warning: ");
}

void PrintWarning(std::FILE* err, const std::string& message,
                  Language language) {
  PrintError(err, WarningTag(language) + message);
}

int FinishOutput(const Streams& streams, Language language) {
  errno = 0;
  if (std::fflush(streams.out) == 0 && !std::ferror(streams.out))
    return kExitOk;
  PrintError(streams.err,
             Choose(language, "No se puede escribir la salida est\xE1ndar: ",
                    "Cannot write standard output: ") +
                 SystemErrorText(ErrnoError(errno ? errno : EIO), language));
  return kExitFileError;
}

bool ErrorsGoToTerminal(std::FILE* err) { return isatty(fileno(err)) != 0; }

bool StandardOutputWasClosed() { return g_stdout_closed; }

// wide_text.h: on Windows, texts between the program's bytes and the
// system's UTF-16: file names, the system's words, the console's output and
// the command line's arguments all cross here.

#ifndef LOGWEAVE_PLATFORM_WIDE_TEXT_H_
#define LOGWEAVE_PLATFORM_WIDE_TEXT_H_

#ifdef _WIN32

#include <string>
#include <string_view>

/// \a text of code page \a code_page (CP_UTF8 for UTF-8) in UTF-16; false
/// when its bytes are no text of that page, as a cut UTF-8 sequence is.
bool WideOf(std::string_view text, unsigned code_page, std::wstring* wide);

/// \a wide in code page \a code_page (CP_UTF8 for UTF-8); a character the
/// page lacks becomes "?", never a look-alike.
std::string InCodePage(std::wstring_view wide, unsigned code_page);

#endif  // _WIN32

#endif  // LOGWEAVE_PLATFORM_WIDE_TEXT_H_

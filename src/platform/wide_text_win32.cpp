// wide_text_win32.cpp: conversions through the system's code page tables.

#include "platform/wide_text.h"

#include <windows.h>

bool WideOf(std::string_view text, unsigned code_page, std::wstring* wide) {
  wide->clear();
  if (text.empty()) return true;
  // Only UTF-8 has byte sequences that are no text.
  const DWORD flags = code_page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
  const int size = static_cast<int>(text.size());
  const int n =
      MultiByteToWideChar(code_page, flags, text.data(), size, nullptr, 0);
  if (n <= 0) return false;
  wide->resize(static_cast<std::size_t>(n));
  MultiByteToWideChar(code_page, flags, text.data(), size, &(*wide)[0], n);
  return true;
}

std::string InCodePage(std::wstring_view wide, unsigned code_page) {
  if (wide.empty()) return std::string();
  // UTF-8 holds every character and takes neither flags nor a default.
  const bool utf8 = code_page == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* missing = utf8 ? nullptr : "?";
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(code_page, flags, wide.data(), size,
                                    nullptr, 0, missing, nullptr);
  if (n <= 0) return std::string();
  std::string text(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(code_page, flags, wide.data(), size, &text[0], n, missing,
                      nullptr);
  return text;
}

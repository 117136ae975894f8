// iconv_support.h: the C library's iconv as an oracle for character sets
// (POSIX).

#ifndef LOGWEAVE_TESTS_SUPPORT_ICONV_SUPPORT_H_
#define LOGWEAVE_TESTS_SUPPORT_ICONV_SUPPORT_H_

#include <iconv.h>

#include <string>

/// \a bytes in character set \a from, converted to \a to by iconv; "" when
/// iconv refuses any of them.
inline std::string Iconv(const std::string& bytes, const char* from,
                         const char* to = "UTF-8") {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in_p = const_cast<char*>(bytes.data());
  char* out_p = &out[0];
  std::size_t in_left = bytes.size(), out_left = out.size();
  std::size_t done = iconv(cd, &in_p, &in_left, &out_p, &out_left);
  iconv_close(cd);
  if (done == static_cast<std::size_t>(-1)) return std::string();
  out.resize(out.size() - out_left);
  return out;
}

#endif  // LOGWEAVE_TESTS_SUPPORT_ICONV_SUPPORT_H_

// adif_check.h: reads an output file back as ADIF, for the fault tests: the
// fixed header, then record lines of "<KEY:LEN>value " fields, each ended by
// "<EOR>\r\n".

#ifndef LOGWEAVE_TESTS_FAULTS_ADIF_CHECK_H_
#define LOGWEAVE_TESTS_FAULTS_ADIF_CHECK_H_

#include <string>

#include "adif/adif_header.h"

namespace faults {

// Returns an empty string when \a text is well-formed, otherwise what is
// wrong. Sets \a records to the number of record lines.
inline std::string CheckAdif(const std::string& text, std::size_t* records,
                             Language language = kEnglish) {
  *records = 0;
  std::string header = AdifHeaderText(language);
  if (text.compare(0, header.size(), header) != 0)
    return "the file does not start with the ADIF header";
  std::size_t p = header.size();
  bool line_start = true;
  while (p < text.size()) {
    if (text.compare(p, 7, "<EOR>\r\n") == 0) {
      p += 7;
      ++*records;
      line_start = true;
      continue;
    }
    std::string where = " at byte " + std::to_string(p);
    if (text[p] != '<') return "no field" + where;
    std::size_t q = p + 1;
    while (q < text.size() &&
           ((text[q] >= 'A' && text[q] <= 'Z') ||
            (text[q] >= '0' && text[q] <= '9') || text[q] == '_'))
      ++q;
    std::string key = text.substr(p + 1, q - p - 1);
    if (key.empty() || q >= text.size() || text[q] != ':')
      return "a malformed field name" + where;
    if (line_start && key != "CALL") return "a line starts with " + key + where;
    std::size_t length = 0, digits = 0;
    for (++q; q < text.size() && text[q] >= '0' && text[q] <= '9'; ++q, ++digits)
      length = length * 10 + static_cast<std::size_t>(text[q] - '0');
    if (digits == 0 || digits > 3 || q >= text.size() || text[q] != '>')
      return "a malformed length" + where;
    ++q;
    if (text.size() - q <= length || text[q + length] != ' ')
      return "a length that is not the length of the value" + where;
    p = q + length + 1;
    line_start = false;
  }
  if (!line_start) return "the last line does not end with <EOR>";
  return "";
}

}  // namespace faults

#endif  // LOGWEAVE_TESTS_FAULTS_ADIF_CHECK_H_

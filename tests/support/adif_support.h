// adif_support.h: ADIF written by the program, read back with the program's
// own reader, for tests that look at an output as records and fields.

#ifndef LOGWEAVE_TESTS_SUPPORT_ADIF_SUPPORT_H_
#define LOGWEAVE_TESTS_SUPPORT_ADIF_SUPPORT_H_

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "mapping/language.h"

/// One record: its fields in file order, names upper-cased.
struct ReadBackRecord {
  std::vector<std::pair<std::string, std::string>> fields;
  /// The data of field \a name, "" when absent.
  std::string Get(const std::string& name) const;
};

/// The records of an ADIF text, as a strict reader takes them.
std::vector<ReadBackRecord> ReadBackAdif(const std::string& text);

/// "" when \a text is what this program writes: the header of \a language,
/// then one line per record, each led by CALL, of well-formed fields whose
/// lengths agree with their data, ended by "<EOR>\r\n". Otherwise what is
/// wrong. Sets \a records to the number of records.
std::string CheckWrittenAdif(const std::string& text, std::size_t* records,
                             Language language = kEnglish);

#endif  // LOGWEAVE_TESTS_SUPPORT_ADIF_SUPPORT_H_

// check_words.h: the words of the report, in Spanish and English: how a
// value, a field's name and a count are shown, and the pieces every
// finding's message is made of. The messages themselves are with the rules
// that find them; the lines of the report are declared in adif_check.h.

#ifndef LOGWEAVE_ADIF_CHECK_WORDS_H_
#define LOGWEAVE_ADIF_CHECK_WORDS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "mapping/language.h"

/// \a spanish or \a english as a string.
std::string Say(Language language, const char* spanish, const char* english);

/// A value from the file as the report quotes it: "\"7,085\"", in
/// printable ASCII.
std::string Quoted(std::string_view value);

/// A field's name as the report shows it: upper case, in printable ASCII.
std::string ShownName(std::string_view name);

/// 2345678 as "2,345,678" or "2.345.678".
std::string Grouped(std::uint64_t n, Language language);

/// "ADIF 3.1.6".
const std::string& AdifVersionText();

/// "I, N, Q, R, Y": the values of an enumeration of the standard, for
/// messages.
std::string ValueList(std::string_view enumeration);

/// How many values the standard's \a enumeration has.
int ValueCount(std::string_view enumeration);

#endif  // LOGWEAVE_ADIF_CHECK_WORDS_H_

// language.h: the interface language and the few texts every part shares.
//
// The language is chosen once at start-up and never changes. Every text the
// program shows or writes exists as a Spanish/English pair.

#ifndef LOGWEAVE_MAPPING_LANGUAGE_H_
#define LOGWEAVE_MAPPING_LANGUAGE_H_

#include <cstdint>
#include <string>
#include <string_view>

/// The interface language; Spanish is the value at start.
enum class Language : std::int32_t { kSpanish = 0, kEnglish = 1 };
constexpr Language kSpanish = Language::kSpanish;
constexpr Language kEnglish = Language::kEnglish;

/// Picks the member of a Spanish/English pair for \a language.
inline const char* Choose(Language language, const char* spanish,
                          const char* english) {
  return language != kSpanish ? english : spanish;
}

/// The keyword that marks a column as not converted: "Omitir" or "Skip".
inline const char* SkipWord(Language language) {
  return Choose(language, "Omitir", "Skip");
}

/// The keyword of a catalogue text: leading white space passed over, then the
/// run of characters up to the next white space or the end of the text.
std::string CatalogueKeyword(std::string_view text);

#endif  // LOGWEAVE_MAPPING_LANGUAGE_H_

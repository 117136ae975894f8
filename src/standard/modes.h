// modes.h: modes and submodes. The standard's rule is its Mode and Submode
// enumerations (adif_standard.h): a MODE value of the Mode list that is not
// import-only, and a SUBMODE of that mode. Beside it, the reading of the
// mode names old logs wrote.

#ifndef LOGWEAVE_STANDARD_MODES_H_
#define LOGWEAVE_STANDARD_MODES_H_

#include <string_view>

#include "standard/adif_standard.h"

/// The entry of \a value in the Mode list (any letter case), or nullptr.
const AdifEnumerationValue* FindAdifMode(std::string_view value);

/// The entry of \a value in the Submode list, of \a mode when it is not
/// empty, or nullptr.
const AdifEnumerationValue* FindAdifSubmode(std::string_view value,
                                            std::string_view mode = {});

// ---- the forms of old logs ----

/// A mode of the ADIF standard: MODE and, for a submode, SUBMODE.
struct ModeReading {
  const char* mode = nullptr;     ///< as the standard writes it
  const char* submode = nullptr;  ///< nullptr when the text was a mode
};

/// Reads \a text as a mode or a submode of the standard in any letter case,
/// also written with blanks or hyphens left in or out ("FT-8", "PSK 31");
/// a submode is given with the mode it belongs to (USB: SSB, FT4: MFSK).
/// Import-only modes that are submodes now are read as those submodes.
/// Names old loggers used that the standard does not (PACKET, BPSK31, BLU,
/// the ITU emission classes A1A, J3E, F3E..., Cyrillic ТЛГ and ТЛФ) are
/// read as the standard's; letters outside ASCII are read in \a code_page.
bool ReadMode(std::string_view text, ModeReading* mode, int code_page = 1252);

#endif  // LOGWEAVE_STANDARD_MODES_H_

// qsl.h: QSL flags. The standard's rule is its QSL_Sent and QSL_Rcvd
// enumerations (adif_standard.h); beside it, the words old logs wrote for
// them.

#ifndef LOGWEAVE_STANDARD_QSL_H_
#define LOGWEAVE_STANDARD_QSL_H_

#include <string_view>

// ---- the forms of old logs ----

/// The ADIF letter of a QSL flag: the ADIF letters Y N R Q I V themselves,
/// and the yes and no words of old logs in several languages (S, SI, YES,
/// X, T, 1, J, JA, O, OUI, SIM, Cyrillic Д and ДА; NO, 0, NEIN, NON, NAO,
/// Cyrillic Н and НЕТ; a logical column's F), in any case, their letters
/// read in \a code_page. 0 when none.
char ReadQslFlag(std::string_view text, int code_page, bool logical);

#endif  // LOGWEAVE_STANDARD_QSL_H_

// lotw_rules.h: what LoTW's signing client (TrustedQSL) takes of a record.
// Its bands, modes, propagation modes and satellites come from its own
// configuration, and the longest value of each field it reads and the type
// indicators it accepts were measured on its converter: all generated into
// lotw_tables.cpp by tools/make_lotw_tables.py, the client's version named
// in kLotwClient. The call sign test and the date floor are the client's
// and LoTW's own rules.

#ifndef LOGWEAVE_ADIF_LOTW_RULES_H_
#define LOGWEAVE_ADIF_LOTW_RULES_H_

#include <cstdint>
#include <string_view>

/// One of the client's bands: its name in capitals ("20M") and the
/// frequencies it places in it, edges included (some HF bands widened
/// downwards, as the client widens them).
struct LotwBand {
  const char* name;
  std::uint64_t lower_hz, upper_hz;
};

/// What an ADIF MODE, SUBMODE or "MODE%SUBMODE" (in capitals) stands for
/// among the client's modes.
struct LotwModeMapping {
  const char* adif;
  const char* mode;
};

/// The longest value of a field the client's converter reads; a longer one
/// makes it refuse the record.
struct LotwFieldLimit {
  const char* field;
  int longest;
};

extern const char kLotwClient[];  ///< "trustedqsl 2.6.5-2, configuration 11.20"
extern const LotwBand kLotwBands[];  ///< by frequency
extern const int kLotwBandCount;
extern const LotwModeMapping kLotwModeMappings[];  ///< sorted by adif
extern const int kLotwModeMappingCount;
extern const char* const kLotwModes[];  ///< sorted
extern const int kLotwModeCount;
extern const char* const kLotwPropagationModes[];  ///< sorted
extern const int kLotwPropagationModeCount;
extern const char* const kLotwSatellites[];  ///< sorted
extern const int kLotwSatelliteCount;
extern const LotwFieldLimit kLotwFieldLimits[];  ///< sorted by field
extern const int kLotwFieldLimitCount;
extern const char kLotwTypeIndicators[];  ///< the letters it accepts

/// LoTW takes no contact before this day: no certificate of it covers an
/// earlier one.
constexpr char kLotwEarliestDate[] = "19451101";

/// The client's band named \a name in any letter case, or nullptr.
const LotwBand* FindLotwBand(std::string_view name);

/// The client's band it places \a hz in, or nullptr.
const LotwBand* LotwBandOfHertz(std::uint64_t hz);

/// The client's mode a contact of \a mode and \a submode (either may be
/// empty) is filed under, as the client looks it up: MODE%SUBMODE, then
/// SUBMODE, then MODE, in capitals; a MODE that maps to nothing stands for
/// itself. nullptr when that is none of its modes.
const char* LotwModeOf(std::string_view mode, std::string_view submode);

/// True when \a value is one of the client's propagation modes, or of its
/// satellites, exactly as written there (the client compares letter case).
bool IsLotwPropagationMode(std::string_view value);
bool IsLotwSatellite(std::string_view value);

/// The longest value the client reads of \a field (upper case), or 0 when
/// it reads no such field.
int LotwLongestValue(std::string_view field);

/// True when the client accepts the type indicator \a type (any case).
bool LotwTakesTypeIndicator(std::string_view type);

/// The client's test of an amateur call sign, on \a call in capitals:
/// capitals, digits and "/" only, a letter and a digit at least, three
/// characters at least, no empty part between "/"; not starting with 0 or
/// Q, nor with 1 but for 1A, 1M and 1S.
bool IsLotwAmateurCall(std::string_view call);

#endif  // LOGWEAVE_ADIF_LOTW_RULES_H_

// bands.h: frequencies and bands. A frequency is placed in a band by whole
// hertz, compared with the band edges of the standard's table: one rule for
// the checker and for mending old values. Beside it, the readings of old
// logs: frequencies in kilohertz or with a unit, and bands named in the
// many ways loggers wrote them.

#ifndef LOGWEAVE_STANDARD_BANDS_H_
#define LOGWEAVE_STANDARD_BANDS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "standard/adif_standard.h"
#include "standard/numbers.h"

/// Frequencies above this (ten terahertz) are all held as it.
constexpr std::uint64_t kHighestHertz = 10000000000000ULL;

/// True when \a hz lies in \a band, edges included.
inline bool BandHolds(const AdifBand& band, std::uint64_t hz) {
  return hz >= band.lower_hz && hz <= band.upper_hz;
}

/// The band \a hz lies in, or nullptr.
const AdifBand* BandOfHertz(std::uint64_t hz);

/// The hertz of a number written as \a whole digits and \a fraction digits
/// in a unit of 10^\a places hertz (6: megahertz, 3: kilohertz); digits
/// below one hertz are dropped, and a number above kHighestHertz is
/// kHighestHertz.
std::uint64_t HertzOfDigits(std::string_view whole, std::string_view fraction,
                            int places);

/// The standard's form of a frequency in megahertz (a Number: digits with
/// at most one point, no sign, no blanks), with its hertz in \a hz. False
/// when \a text is no such number.
bool ReadMegahertz(std::string_view text, std::uint64_t* hz);

/// "7.085" for 7085000 Hz: \a hz in megahertz, without trailing zeros.
std::string MegahertzText(std::uint64_t hz);

// ---- the forms of old logs ----

/// The hertz \a number stands for, read in kilohertz when \a kilohertz,
/// else in megahertz.
std::uint64_t HertzOf(const DecimalText& number, bool kilohertz);

/// The megahertz of \a number read in kilohertz when \a kilohertz, as text:
/// the digits as written with the point moved; nothing is rounded.
std::string MegahertzDigits(const DecimalText& number, bool kilohertz);

/// Which readings of a frequency lie in an ADIF band: as megahertz, as
/// kilohertz (up to the 23 cm band); when \a band is given, only in that
/// band. A unit written after the number leaves only its own reading.
enum FrequencyReading : unsigned { kAsMegahertz = 1, kAsKilohertz = 2 };
unsigned FrequencyReadings(const DecimalText& number, const AdifBand* band);

/// The band \a text names: "40m", "40M", "40 m", "40MTS", "70CM", a bare
/// number of metres of a band ("40", "2"), or else a number of megahertz
/// that lies in a band ("14", "3.5"). nullptr for anything else.
const AdifBand* ReadBand(std::string_view text);

#endif  // LOGWEAVE_STANDARD_BANDS_H_

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

/// Reads a frequency as old logs wrote it: a decimal number with a point
/// or a comma and perhaps its unit (ReadDecimal), or digits in groups of
/// three between thousands separators ("14.074.000", "1,296,550"), which
/// \a number then reads from \a buffer.
bool ReadFrequencyText(std::string_view text, std::string* buffer,
                       DecimalText* number);

/// The hertz \a number stands for, read in kilohertz when \a kilohertz,
/// else in megahertz.
std::uint64_t HertzOf(const DecimalText& number, bool kilohertz);

/// The megahertz of \a number read in kilohertz when \a kilohertz, as text:
/// the digits as written with the point moved; nothing is rounded.
std::string MegahertzDigits(const DecimalText& number, bool kilohertz);

/// How likely a contact is on \a band: 2 for the bands most contacts are on
/// (160 m to 70 cm, and 23 cm), 1 for the other bands below 30 GHz, 0 for
/// the millimetre bands and above.
int BandLikelihood(const AdifBand* band);

/// Which readings of a frequency lie in an ADIF band: as megahertz, as
/// kilohertz (up to the 23 cm band), as hertz (a whole number); when \a band
/// is given, only in that band. A unit written after the number leaves only
/// its own reading.
enum FrequencyReading : unsigned {
  kAsMegahertz = 1,
  kAsKilohertz = 2,
  kAsHertz = 4,
};
unsigned FrequencyReadings(const DecimalText& number, const AdifBand* band);

/// The hertz of \a number read as \a reading (one of FrequencyReading).
std::uint64_t HertzAs(const DecimalText& number, unsigned reading);

/// The megahertz of \a number read as \a reading, as text: the digits as
/// written with the point moved; nothing is rounded.
std::string MegahertzDigitsAs(const DecimalText& number, unsigned reading);

/// "MHz", "kHz" or "Hz" for one reading.
const char* FrequencyUnitName(unsigned reading);

/// How a column names its bands when it writes a bare number.
enum class BandNotation : unsigned char {
  kEither,     ///< a band of so many metres when there is one, else MHz
  kMetres,     ///< metres, or centimetres where no metre band has the
               ///< number ("70" is 70 cm); 75 is the 80 m band
  kMegahertz,  ///< megahertz ("3.5", "7", "10" is 30 m)
};

/// The readings of a bare number as a band, as bits: 1 in metres (as
/// kMetres reads it), 2 in megahertz. 0 for a band written with its unit
/// ("40M", "70CM") or for no band at all.
unsigned BareBandReadings(std::string_view text);

/// True when \a text, read as a band in megahertz, is rather a frequency
/// (two or more decimals: "21.295"), which a column of bands should not
/// lose.
bool BandTextIsFrequency(std::string_view text);

/// The band \a text names: "40m", "40M", "40 m", "40MTS", "70CM", or a bare
/// number read in \a notation: with kEither, metres of a band ("40", "2"),
/// or else megahertz that lie in a band ("14", "3.5"). nullptr for anything
/// else.
const AdifBand* ReadBand(std::string_view text,
                         BandNotation notation = BandNotation::kEither);

#endif  // LOGWEAVE_STANDARD_BANDS_H_

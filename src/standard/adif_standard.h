// adif_standard.h: the ADIF standard's own tables: every field with its data
// type, the enumerations and the bands, generated from the standard's export
// files (tools/make_adif_tables.py) for the version kAdifVersion names. The
// rules of each type of value (dates.h, bands.h, ...) and through them the
// checker and the value mending know what an ADIF field, band or mode is
// from these tables alone.

#ifndef LOGWEAVE_STANDARD_ADIF_STANDARD_H_
#define LOGWEAVE_STANDARD_ADIF_STANDARD_H_

#include <cstdint>
#include <string_view>

/// The version of the standard these tables are of ("3.1.6").
extern const char kAdifVersion[];

enum class AdifType {
  kAwardList,
  kBoolean,
  kCharacter,
  kCreditList,
  kDate,
  kDigit,
  kEnumeration,
  kGridSquare,
  kGridSquareExt,
  kGridSquareList,
  kInteger,
  kIntlCharacter,
  kIntlMultilineString,
  kIntlString,
  kIOTARefNo,
  kLocation,
  kMultilineString,
  kNumber,
  kPOTARef,
  kPOTARefList,
  kPositiveInteger,
  kSecondaryAdministrativeSubdivisionListAlt,
  kSecondarySubdivisionList,
  kSOTARef,
  kSponsoredAwardList,
  kString,
  kTime,
  kWWFFRef,
};

/// One field of the standard.
struct AdifFieldDefinition {
  const char* name;  ///< upper case
  AdifType type;
  /// The enumeration its values come from, as the standard writes it
  /// ("Band", "Submode[MODE]", "Primary_Administrative_Subdivision[DXCC]"),
  /// or nullptr.
  const char* enumeration;
  const char* minimum;  ///< for numbers, or nullptr
  const char* maximum;  ///< for numbers, or nullptr
  bool header;          ///< a header field, not a record field
  bool import_only;     ///< only to be read, no longer written
};

/// One value of an enumeration.
struct AdifEnumerationValue {
  const char* enumeration;  ///< "Band", "Mode", "DXCC_Entity_Code" ...
  const char* value;        ///< as the standard writes it
  /// What the value belongs to: the MODE of a submode, the DXCC entity code
  /// of a subdivision; "" for the others.
  const char* qualifier;
  bool import_only;
  bool deleted;  ///< a DXCC entity or subdivision that no longer exists
};

struct AdifBand {
  const char* name;                  ///< "40m", "70cm", ...
  std::uint64_t lower_hz, upper_hz;  ///< the edges, both in the band
};

extern const AdifFieldDefinition kAdifFields[];  ///< sorted by name
extern const int kAdifFieldCount;
/// Sorted by enumeration, then value without regard to case.
extern const AdifEnumerationValue kAdifEnumerationValues[];
extern const int kAdifEnumerationValueCount;
/// A Data Type Indicator: the letter a tag (<NAME:LEN:T>) or a USERDEF
/// gives a value's type by.
struct AdifTypeIndicator {
  char letter;  ///< upper case
  AdifType type;
};
extern const AdifTypeIndicator kAdifTypeIndicators[];  ///< by letter
extern const int kAdifTypeIndicatorCount;

extern const AdifBand kAdifBands[];  ///< by frequency
extern const int kAdifBandCount;

/// The field named \a name in any letter case, or nullptr.
const AdifFieldDefinition* FindAdifField(std::string_view name);

/// The value \a value (any letter case) of \a enumeration, or nullptr. With
/// a \a qualifier, only a value that belongs to it (a submode of that mode).
const AdifEnumerationValue* FindAdifEnumerationValue(
    std::string_view enumeration, std::string_view value,
    std::string_view qualifier = std::string_view());

/// The band named \a name in any letter case ("40M", "70cm"), or nullptr.
const AdifBand* FindAdifBand(std::string_view name);

/// The type the indicator \a text stands for (one letter, any case); false
/// when it is none of the standard's.
bool FindAdifTypeIndicator(std::string_view text, AdifType* type);

/// The indicator letter of \a type, or 0 when the standard gives it none
/// (Integer, GridSquare ...).
char AdifTypeIndicatorOf(AdifType type);

#endif  // LOGWEAVE_STANDARD_ADIF_STANDARD_H_

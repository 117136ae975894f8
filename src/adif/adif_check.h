// adif_check.h: the validation report on an ADIF file: per record, what the
// logbook services (LoTW, Club Log, eQSL, QRZ) would refuse or misread.
//
// A record needs CALL, QSO_DATE, TIME_ON, MODE and BAND or FREQ; dates,
// times, bands, modes, submodes, QSL flags and frequencies must be values
// of the ADIF 3.1 standard; every field's data must be printable ASCII and
// its length must agree with the text around it. Blanks around a value are
// tolerated, as readers trim them (this program writes numeric columns right
// aligned). The report only reads: it never changes the file.

#ifndef LOGWEAVE_ADIF_ADIF_CHECK_H_
#define LOGWEAVE_ADIF_ADIF_CHECK_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "adif/adif_reader.h"

/// What a finding is about. The order is the order of the summary line.
enum class FindingKind {
  kMissingField,     ///< a required field absent or blank
  kBadDate,          ///< QSO_DATE(_OFF) not a real YYYYMMDD from 1930 on
  kBadTime,          ///< TIME_ON/TIME_OFF not HHMM or HHMMSS
  kBadBand,          ///< BAND(_RX) not in the band list
  kBadMode,          ///< MODE not in the mode list
  kBadSubmode,       ///< SUBMODE belongs to another MODE
  kBadQsl,           ///< QSL_SENT/QSL_RCVD not in its list
  kBadFreq,          ///< FREQ(_RX) not a positive number
  kFreqOutsideBand,  ///< FREQ outside its BAND, or in no band at all
  kBadLength,        ///< a length that disagrees with the data
  kBadTag,           ///< a malformed tag
  kNonAscii,         ///< bytes outside printable ASCII in field data
  kEmptyRecord,      ///< <EOR> with no field
  kMissingEor,       ///< the file ends inside a record
  kMissingEoh,       ///< header text without <EOH>
  kNoRecords,        ///< the file holds no record at all
};
constexpr int kFindingKindCount = static_cast<int>(FindingKind::kNoRecords) + 1;

/// The stable short name of \a kind: "missing-field", "bad-date", ...
const char* FindingKindName(FindingKind kind);

/// One finding. \a record counts from 1; 0 stands for the file as a whole.
/// \a field is the upper-cased field name, or "-" for the record itself.
struct Finding {
  std::size_t record = 0;
  std::string field;
  FindingKind kind = FindingKind::kMissingField;
  std::string message;
};

/// The findings on a whole file, in file order.
struct CheckReport {
  std::size_t record_count = 0;
  std::vector<Finding> findings;
};

/// Checks one record, numbered \a number, appending its findings (syntax
/// problems first, then field values, then missing fields).
void CheckRecord(const AdifRecord& record, std::size_t number,
                 std::vector<Finding>* findings);

/// Reads and checks the ADIF file held in \a bytes.
CheckReport CheckAdif(std::string_view bytes);

/// "record 3: MODE: message", or "file: -: message" for record 0.
std::string FormatFinding(const Finding& finding);

/// "no findings in 36 records", or "12 findings in 3 of 36 records:
/// 2 missing-field, 1 bad-band, ..." with the kinds in enumeration order.
std::string SummaryLine(const CheckReport& report);

/// Every finding line and the summary line, each ended by "\n".
std::string FormatReport(const CheckReport& report);

#endif  // LOGWEAVE_ADIF_ADIF_CHECK_H_

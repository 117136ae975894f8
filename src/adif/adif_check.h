// adif_check.h: the validation report on an ADIF file, read a record at a
// time: every field judged by its ADIF data type and enumeration (the rules
// of standard/), the types a file declares for its own fields, and, when
// asked, what a logbook service's own software would refuse or drop
// (services.h).
//
// A record needs CALL, QSO_DATE, TIME_ON, MODE and BAND or FREQ; dates are
// from 1930 on; a frequency lies in its band; every field's data is printable
// ASCII (line ends in multiline fields; any UTF-8 in the international fields
// of the XML form) and its length agrees with the text around it. Blanks
// around a value are passed over, except around numbers, dates and times,
// where strict readers refuse them. Each finding is an error (what the
// standard forbids or a service refuses) or a warning (allowed but suspect).
// Findings are handed over as they are found and only counted, so memory
// does not grow with the file. The report only reads: it never changes the
// file.
//
// The work is split by idea: checker.h judges records, type_rules.h holds
// the rule and the words of each simple data type, check_words.h words the
// report, services.h holds the services' rules, and check_halves.cpp reads a
// large file in two halves at once.

#ifndef LOGWEAVE_ADIF_ADIF_CHECK_H_
#define LOGWEAVE_ADIF_ADIF_CHECK_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "adif/adif_reader.h"
#include "mapping/language.h"

/// What a finding is about. The order is the order of the summary line.
enum class FindingKind {
  kMissingField,     ///< a required field absent or blank
  kBadDate,          ///< a Date not a real YYYYMMDD from 1930 on
  kBadTime,          ///< a Time not HHMM or HHMMSS
  kBadBand,          ///< BAND(_RX) not in the band list
  kBadMode,          ///< MODE not in the mode list
  kBadSubmode,       ///< SUBMODE not one of its MODE's (warning)
  kBadQsl,           ///< a QSL status not in its list
  kBadFreq,          ///< FREQ(_RX) not a positive number
  kFreqOutsideBand,  ///< FREQ outside its BAND, or in no band at all
  kPaddedNumber,     ///< blanks around a number, a date or a time
  kBadNumber,        ///< a Number or Integer malformed or out of its range
  kBadGrid,          ///< a Maidenhead locator malformed
  kBadLocation,      ///< a latitude or longitude malformed
  kBadBoolean,       ///< a Boolean not Y or N
  kBadEnumeration,   ///< a value of no other enumeration
  kBadValue,         ///< a value of another type malformed
  kBadType,          ///< a type indicator unknown or unfit for its field
  kRepeatedField,    ///< a field twice in a record, with two values
  kImportOnly,       ///< an import-only field, value or form (warning)
  kUnknownField,     ///< a field name ADIF does not define (warning)
  kIntlField,        ///< an international field in the tagged form (warning)
  kBadHeader,        ///< a USERDEF that declares no field of the file's own
  kBadLength,        ///< a length that disagrees with the data
  kTextAfterValue,   ///< text after a value that may belong to it (warning)
  kBadTag,           ///< a malformed tag
  kBadXml,           ///< malformed XML in the XML form
  kNonAscii,         ///< bytes outside printable ASCII in field data
  kServiceRefuses,   ///< what the service asked for refuses (--for)
  kServiceDrops,     ///< what it drops and goes on without (warning)
  kEmptyRecord,      ///< <EOR> with no field (warning)
  kMissingEor,       ///< the file ends inside a record
  kMissingEoh,       ///< header text without <EOH>
  kNoRecords,        ///< the file holds no record at all (warning)
};
constexpr int kFindingKindCount = static_cast<int>(FindingKind::kNoRecords) + 1;

enum class FindingLevel { kError, kWarning };

/// The stable short name of \a kind: "missing-field", "bad-date", ...
const char* FindingKindName(FindingKind kind);

/// The level of every finding of \a kind.
FindingLevel LevelOf(FindingKind kind);

/// "error" / "warning", or "error" / "aviso".
const char* LevelWord(FindingLevel level, Language language);

/// One finding. \a record counts from 1; 0 stands for the file as a whole.
/// \a field is the upper-cased field name, or "-" for the record itself.
struct Finding {
  std::uint64_t record = 0;
  std::string field;
  FindingKind kind = FindingKind::kMissingField;
  std::string message;
};

struct CheckService;  // services.h

struct CheckOptions {
  Language language = kEnglish;
  /// How many findings of each kind are handed over; the rest are counted.
  /// 0: every one.
  std::uint64_t shown_per_kind = 100;
  /// CheckAdifFile checks a file of the tagged form at least this large in
  /// two halves at once (when shown_per_kind is not 0).
  std::uint64_t halves_from = 1 << 20;
  /// The service whose rules are checked too (FindCheckService), or none.
  const CheckService* service = nullptr;
};

/// What the check found, in counts.
struct CheckTotals {
  std::uint64_t records = 0;
  std::uint64_t records_with_findings = 0;
  std::uint64_t by_kind[kFindingKindCount] = {};
  std::uint64_t hidden_by_kind[kFindingKindCount] = {};
  std::uint64_t errors = 0;
  std::uint64_t warnings = 0;
  std::uint64_t findings() const { return errors + warnings; }
};

/// Receives each finding to show as it is found; returns false to stop the
/// check (when the report cannot be written).
using FindingSink = std::function<bool(const Finding&)>;

/// How a check ended.
enum class CheckEnd { kDone, kReadFailed, kStopped };

/// Checks every record \a reader reads (of the form \a form), handing the
/// findings to \a sink, and adds them up in \a totals.
CheckEnd CheckAdifRecords(AdifRecordReader* reader, AdifForm form,
                          const CheckOptions& options, const FindingSink& sink,
                          CheckTotals* totals);

/// Checks the ADIF file of the form \a form that \a file reads, as
/// CheckAdifRecords does, to the same report. A file of the tagged form of
/// options.halves_from bytes or more is checked in two halves at once, the
/// second on another thread through \a second, another handle on the same
/// file (nullptr: one thread): the halves meet just past the first <EOR>
/// from the middle on, and when the first half's records do not end there
/// (that <EOR> lay in a value) the first goes on alone. The second half's
/// findings to show are held (at most shown_per_kind of each kind) and
/// handed over when the first half is done. \a error is set when reading
/// failed.
CheckEnd CheckAdifFile(InputFile* file, InputFile* second, AdifForm form,
                       const CheckOptions& options, const FindingSink& sink,
                       CheckTotals* totals, SystemError* error);

/// Checks the ADIF file held in \a bytes (either form), every finding kept:
/// for tests and tools. It is checked in halves as CheckAdifFile does.
CheckTotals CheckAdifText(std::string_view bytes,
                          std::vector<Finding>* findings,
                          const CheckOptions& options = CheckOptions());

/// The words for a syntax problem of a file of the form \a form.
std::string SyntaxProblemText(const AdifSyntaxProblem& problem, AdifForm form,
                              Language language);

/// "record 3: MODE: error: message", or "file: -: error: message".
std::string FormatFinding(const Finding& finding, Language language);

/// "... and 2,345,678 more bad-tag findings", one per kind with findings
/// not shown, in kind order.
std::vector<std::string> HiddenLines(const CheckTotals& totals,
                                     Language language);

/// "no findings in 36 records", or "12 findings in 3 of 36 records:
/// 2 missing-field, 1 bad-band, ..." with the kinds in enumeration order.
std::string SummaryLine(const CheckTotals& totals, Language language);

/// "21 errors, 1 warning".
std::string LevelCountsLine(const CheckTotals& totals, Language language);

#endif  // LOGWEAVE_ADIF_ADIF_CHECK_H_

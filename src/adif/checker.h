// checker.h: judges the records a reader hands over, a part at a time, and
// counts and hands over its findings. Each field is judged by its type: the
// standard's for the standard's fields, the one the header declares for the
// file's own (USERDEFn, with their values or range), the type indicator's
// for an application's (APP_); then the record's rules that relate fields
// to each other, and those of the service asked for.
//
// What is known of a field name is looked up once and kept in a table of
// names; values a field held lately are kept with it, so that a band, a
// mode or a number seen before is judged by one look-up.

#ifndef LOGWEAVE_ADIF_CHECKER_H_
#define LOGWEAVE_ADIF_CHECKER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "adif/adif_check.h"
#include "adif/name_table.h"
#include "adif/services.h"
#include "standard/adif_standard.h"

class Checker {
 public:
  Checker(AdifForm form, const CheckOptions& options, const FindingSink& sink,
          CheckTotals* totals);
  ~Checker();

  /// True when the sink asked to stop.
  bool stopped() const { return stopped_; }

  /// Takes the header: the fields the file declares, and, when \a report,
  /// the findings on the header and on the file as a whole (not for the
  /// second half of a check in halves). Called once, before the first part.
  void Header(const std::vector<AdifHeaderField>& fields, bool report);

  /// Problems of the file as a whole, and those only counted.
  void FileProblems(const AdifFileProblems& problems);

  /// Judges a record or a part of one.
  void Part(const AdifRecord& part);

  /// Adds the counts of the records that follow those checked here, checked
  /// apart (numbered from 1), and hands over those of their findings
  /// \a shown that a check of the whole would have shown: of each kind, as
  /// many as are still to show.
  void AddLaterRecords(const CheckTotals& later, std::vector<Finding>* shown);

  /// The file held no record.
  void NoRecords();

 private:
  enum class Role {
    kOther,
    kCall,
    kQsoDate,
    kTimeOn,
    kMode,
    kBand,
    kBandRx,
    kFreq,
    kFreqRx,
    kDxcc,
    kMyDxcc,
  };
  enum class Quick {
    kOther,
    kText,
    kDate,
    kTime,
    kGrid,
    kNumber,
    kEnumeration,
    kBand,
    kMode,
  };
  static constexpr int kQuickKinds = static_cast<int>(Quick::kMode) + 1;
  struct UserField;
  struct NameEntry;
  struct Last;
  struct Deferred;
  struct Kept;
  struct Spelled;

  // ---- counting and handing over ----
  template <typename Message>
  void Report(FindingKind kind, std::string_view field, Message message) {
    if (Count(kind)) Show(kind, field, message());
  }
  // Counts a finding of \a kind; true when it is one to show.
  bool Count(FindingKind kind) {
    const int k = static_cast<int>(kind);
    ++totals_->by_kind[k];
    ++(error_kind_[k] ? totals_->errors : totals_->warnings);
    if (record_ != 0 && !record_has_findings_) {
      record_has_findings_ = true;
      ++totals_->records_with_findings;
    }
    if (options_.shown_per_kind != 0 &&
        totals_->by_kind[k] > options_.shown_per_kind) {
      ++totals_->hidden_by_kind[k];
      return false;
    }
    return !stopped_;
  }
  void CountHidden(FindingKind kind, std::uint64_t count);
  void Show(FindingKind kind, std::string_view field, std::string message);
  std::string T(const char* spanish, const char* english) const;
  ServiceReport ServiceReporter();

  // ---- the header ----
  void Declare(const AdifHeaderField& field, bool report);
  void BadHeader(std::string_view name, const std::string& why);

  // ---- names ----
  NameEntry* Lookup(std::string_view name);
  NameEntry* Added(std::string_view name);
  NameEntry* SlotAt(const AdifField& field);
  void Describe(NameEntry* entry);
  static Quick QuickOf(const NameEntry& entry);
  void ForgetNames();

  // ---- values seen before ----
  template <typename Result, typename Find>
  const Result* Remembered(std::string_view value, Find find);
  Last* Remember(std::string_view value, const void* result);
  void RememberNumber(std::string_view data, std::string_view number,
                      std::uint64_t hertz = 0);
  const Last* Recall(std::string_view value);
  template <typename Result>
  bool Recalled(std::string_view value, const Result** result);
  Last& PlaceFor(std::string_view value);

  // ---- a record ----
  void StartRecord();
  void Syntax(const AdifSyntaxProblem& problem);
  void Field(const AdifField& field, std::size_t index);
  void FieldInFull(const AdifField& field);
  void Seen(const AdifField& field);
  static bool Usual(const NameEntry& entry, const AdifField& field);
  void Judge(const AdifField& field);
  bool FieldsByKind(const AdifRecord& part);
  template <Quick kKind>
  std::size_t JudgedEarly(const AdifField* fields, const std::size_t* counts,
                          std::uint8_t* late, std::size_t late_count);
  bool SameNames(const AdifRecord& part) const;
  void KeepNames(const AdifRecord& part);
  NameEntry* Known(const AdifField& field);
  void UsualField(const AdifField& field);
  template <bool kInFull>
  bool Judged(const AdifField& field, Quick kind);
  template <bool kInFull>
  bool PlainBytes(const AdifField& field, AdifType type);
  template <bool kInFull>
  bool JudgedText(const AdifField& field);
  template <bool kInFull>
  bool JudgedDateOrTime(const AdifField& field, AdifType type);
  template <bool kInFull>
  bool JudgedGrid(const AdifField& field);
  template <bool kInFull>
  bool JudgedNumber(const AdifField& field);
  template <bool kInFull>
  bool JudgedEnumeration(const AdifField& field, Quick kind);
  bool TypeOfField(const AdifField& field, AdifType* type);
  void Repeated(const AdifField& field);
  void KeepRepeatedValues(const AdifRecord& part);
  void ForService(const AdifField& field, std::string_view value);
  bool Unusual(const AdifField& field, AdifType type);
  void Unknown(const AdifField& field);
  bool NumberAsBefore(const AdifField& field);
  bool JudgedAtOnce(std::string_view value);
  bool EnumeratedAtOnce(std::string_view value);
  void Bytes(const AdifField& field, AdifType type);
  void Typed(const AdifField& field, AdifType type, std::string_view value);
  void Date(std::string_view name, std::string_view value);
  bool Padded(std::string_view name, std::string_view data,
              std::string_view value, AdifType type);
  void Numeric(const AdifField& field, std::string_view value, AdifType type);
  void Frequency(std::string_view name, std::string_view data,
                 std::string_view value);
  void KeepFrequency(std::string_view value, std::uint64_t hz);
  void Location(std::string_view name, std::string_view value);
  void UserEnumerated(std::string_view name, std::string_view value);
  void Enumerated(std::string_view name, std::string_view value);
  void ImportOnlyValue(std::string_view name, std::string_view value,
                       const std::string& hint = std::string());
  void StringValue(std::string_view name, std::string_view value);
  void Band(std::string_view name, std::string_view value);
  void Mode(std::string_view value);
  void Credits(std::string_view name, std::string_view value);
  void EndRecord(bool terminated);
  void Submode();
  void InBand(const char* field, std::string_view value, std::uint64_t hz,
              const AdifBand* band);
  void Subdivision(const Deferred& later);

  static constexpr std::size_t kPlaced = 128;
  static constexpr int kDeferredSlots = 8;

  const AdifForm form_;
  const Language language_;
  const CheckOptions options_;
  const CheckService* const service_;
  const FindingSink& sink_;
  CheckTotals* totals_;
  bool error_kind_[kFindingKindCount];  // the level of each kind
  bool stopped_ = false;

  // The fields the header declares, by name in upper case.
  std::unordered_map<std::string, UserField> user_fields_;
  // What is known of each name met, in any letter case, by its number in
  // the table of names, which never grows past its room (then it starts
  // again), so that the entries never move.
  NameTable name_table_;
  std::vector<NameEntry> names_;
  // The entries of the names the reader numbered lately, by their number
  // (AdifField::spelling).
  static constexpr std::size_t kSpelled = 1024;
  std::unique_ptr<Spelled[]> spelled_;
  NameEntry* slot_ = nullptr;  // the field at hand
  // By place, the entries of the first fields of the part at hand (nullptr
  // once the names are forgotten).
  NameEntry* placed_[kPlaced] = {};
  // For FieldsByKind: the entries of the fields of a part, and their places
  // by kind; the list of Quick::kOther grows into that of all the fields
  // judged the long way.
  NameEntry* entries_[kPlaced] = {};
  std::uint8_t by_kind_[kQuickKinds][kPlaced] = {};
  // The numbers the reader gave the names of the first names_in_entries_
  // entries_, when they are known and in order.
  std::uint64_t spellings_[kPlaced] = {};
  std::size_t names_in_entries_ = 0;

  // The record at hand.
  std::uint64_t record_ = 0;
  std::uint64_t part_serial_ = 0;
  bool record_has_findings_ = false;
  bool has_fields_ = false;
  // CALL, QSO_DATE, TIME_ON, MODE, BAND or FREQ; and a place the fields
  // not required are marked in, never read.
  static constexpr int kNotRequired = 5;
  bool has_[kNotRequired + 1] = {};
  const AdifEnumerationValue* mode_ = nullptr;  // a valid MODE
  std::string submode_;
  bool has_submode_ = false;
  const AdifBand* band_ = nullptr;
  const AdifBand* band_rx_ = nullptr;
  std::unique_ptr<Kept> freq_, freq_rx_;  // as written, when numbers
  std::uint64_t freq_hz_ = 0, freq_rx_hz_ = 0;
  std::string dxcc_, my_dxcc_;
  std::unique_ptr<Deferred[]> deferred_;
  int deferred_count_ = 0;
  ServiceRecord service_record_;
};

#endif  // LOGWEAVE_ADIF_CHECKER_H_

// services.h: the logbook services `check --for` speaks for, one row each
// in a table: what the service's own software takes of a file and of a
// record, and what it refuses or drops. LoTW's rules are those of its
// signing client (lotw_rules.h).

#ifndef LOGWEAVE_ADIF_SERVICES_H_
#define LOGWEAVE_ADIF_SERVICES_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "adif/adif_check.h"

/// The fields whose values a service's rules look at.
enum class ServiceField {
  kCall,
  kQsoDate,
  kTimeOn,
  kBand,
  kBandRx,
  kFreq,
  kFreqRx,
  kMode,
  kSubmode,
  kPropMode,
  kSatName,
};
constexpr int kServiceFieldCount = static_cast<int>(ServiceField::kSatName) + 1;

/// The name of \a field ("CALL").
const char* ServiceFieldName(ServiceField field);

/// The ServiceField named \a name (in any letter case), or -1.
int ServiceFieldOf(std::string_view name);

/// A value of a record as a service's software reads it: without the
/// blanks around it, its first 64 bytes kept; and the length the file gave
/// it, blanks included.
struct ServiceValue {
  bool present = false;
  char bytes[64];
  std::size_t size = 0;
  std::uint64_t length = 0;
  void Keep(std::string_view value, std::uint64_t whole_length);
  std::string_view view() const { return std::string_view(bytes, size); }
};

/// What a service's rules are given of a record at its end.
struct ServiceRecord {
  ServiceValue values[kServiceFieldCount];
  /// The first field whose type indicator the service's software refuses,
  /// upper case, and that indicator.
  std::string refused_type_field, refused_type;
  bool has_fields = false;
  bool terminated = false;  ///< ended by <EOR>
  const ServiceValue& operator[](ServiceField field) const {
    return values[static_cast<int>(field)];
  }
  void Clear();
};

/// Receives a finding of a service's rules: its kind, its field ("-" for
/// the record or the file) and its words.
using ServiceReport = std::function<void(FindingKind, std::string_view field,
                                         const std::string& message)>;

struct CheckService {
  const char* option;  ///< as --for names it: "lotw"
  const char* name;    ///< as messages name it: "LoTW"
  /// Judges the file as a whole by its form.
  void (*file)(AdifForm form, Language language, const ServiceReport& report);
  /// True when the service's software takes the type indicator \a type.
  bool (*takes_type)(std::string_view type);
  /// Judges a record at its end.
  void (*record)(const ServiceRecord& record, Language language,
                 const ServiceReport& report);
};

/// The service --for names \a option (any letter case), or nullptr.
const CheckService* FindCheckService(std::string_view option);

/// The options --for takes, for the command line: "lotw".
std::string CheckServiceOptions();

#endif  // LOGWEAVE_ADIF_SERVICES_H_

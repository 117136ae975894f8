// duplicate_contacts.h: finding a contact logged twice when several logs are
// written into one file. Two contacts are the same when their CALL, BAND and
// MODE are equal without regard to letter case and blanks (ADIF values are
// read so), and their QSO_DATE and TIME_ON (HHMM or HHMMSS) lie at most two
// minutes apart, across midnight too. A date or time written some other way
// matches only the same date and time as written. A contact that lacks one
// of the five fields is never a duplicate.
//
// Memory: per contact kept, 20 bytes and half a slot of the index (2 to 4
// bytes); each different call, and each band and mode, is held once. Ten
// million contacts, a lifetime of a big station's logs, take 240 MB
// (bench/merge_memory_bench.sh).

#ifndef LOGWEAVE_CONVERT_DUPLICATE_CONTACTS_H_
#define LOGWEAVE_CONVERT_DUPLICATE_CONTACTS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// The values that say which contact a record is.
struct ContactKey {
  std::string_view call, qso_date, band, mode, time_on;
  /// True when all five are given.
  bool Complete() const;
};

/// The first CALL, QSO_DATE, BAND, MODE and TIME_ON values of a record line
/// as the conversion writes it ("<CALL:6>EA4ABC <BAND:3>40M ... <EOR>\r\n");
/// the views point into \a line.
ContactKey ContactOfLine(std::string_view line);

/// "EA4ABC 20050102 0916 40M SSB": the contact as written, for a message.
std::string ContactText(const ContactKey& contact);

/// Where a contact comes from: the table's place in the run (from 0) and
/// the record's number in its table (from 1).
struct ContactOrigin {
  std::uint32_t table = 0;
  std::uint32_t record = 0;
};

class DuplicateFinder {
 public:
  DuplicateFinder();
  ~DuplicateFinder();
  DuplicateFinder(const DuplicateFinder&) = delete;
  DuplicateFinder& operator=(const DuplicateFinder&) = delete;

  /// True, with the contact it repeats in \a earlier, when \a contact is the
  /// same as one seen before; otherwise remembers it (when complete) as
  /// coming from \a origin and returns false. A duplicate is not remembered,
  /// so each contact is compared with the ones kept. Origins come in the
  /// order of the run: by table, and by record within a table.
  bool Check(const ContactKey& contact, ContactOrigin origin,
             ContactOrigin* earlier);

 private:
  struct Contacts;
  std::unique_ptr<Contacts> contacts_;
};

#endif  // LOGWEAVE_CONVERT_DUPLICATE_CONTACTS_H_

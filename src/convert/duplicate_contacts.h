// duplicate_contacts.h: finding a contact logged twice when several logs are
// written into one file. Two contacts are the same when their CALL (in any
// letter case), QSO_DATE, BAND and MODE are equal as written and their
// TIME_ON values (HHMM or HHMMSS) lie at most two minutes apart; a TIME_ON
// written some other way matches only itself. A contact that lacks one of
// the five fields is never a duplicate.
//
// Only the keys of the contacts kept are held, never their records: about
// 120 bytes plus the four values per contact, some 13 MB for a log of
// 100,000 contacts.

#ifndef LOGWEAVE_CONVERT_DUPLICATE_CONTACTS_H_
#define LOGWEAVE_CONVERT_DUPLICATE_CONTACTS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
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

/// Where a contact comes from: the table's place in the run (from 0) and
/// the record's number in its table (from 1).
struct ContactOrigin {
  std::uint32_t table = 0;
  std::uint32_t record = 0;
};

class DuplicateFinder {
 public:
  /// True, with the contact it repeats in \a earlier, when \a contact is the
  /// same as one seen before; otherwise remembers it (when complete) as
  /// coming from \a origin and returns false. A duplicate is not remembered,
  /// so each contact is compared with the ones kept.
  bool Check(const ContactKey& contact, ContactOrigin origin,
             ContactOrigin* earlier);

 private:
  struct Seen {
    std::int32_t seconds;    // TIME_ON as seconds into the day
    std::uint32_t previous;  // the one seen before with the same key, + 1
    ContactOrigin origin;
  };
  // The key's newest entry in seen_.
  std::unordered_map<std::string, std::uint32_t> newest_;
  std::vector<Seen> seen_;
};

#endif  // LOGWEAVE_CONVERT_DUPLICATE_CONTACTS_H_

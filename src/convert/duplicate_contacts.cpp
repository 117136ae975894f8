// duplicate_contacts.cpp: the contact key of a record line and the finder.
//
// Each contact kept is 20 bytes: its call and its band and mode, each as
// the place of its text in a pool that holds every different text once,
// the moment of the contact in seconds, its place in the run, and the
// contact seen before it in the same slot of the index. The index slot is
// chosen by call, band, mode and the two minutes the moment falls in, so a
// contact is compared only with those of its own two minutes and of the
// two minutes on either side.

#include "convert/duplicate_contacts.h"

#include <algorithm>
#include <cstring>

#include "convert/record_lines.h"
#include "platform/text.h"
#include "standard/dates.h"
#include "standard/times.h"

namespace {

constexpr std::uint32_t kSameContactSeconds = 2 * 60;
// The index keeps contacts by spans of twice that, so that the contacts
// close enough to one lie in its span or the next one on a side.
constexpr std::uint32_t kSpanSeconds = 2 * kSameContactSeconds;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// Moments count seconds from the start of the first year of ADIF dates,
// 1930, plus one; 2^32 seconds reach into 2066. 0 stands for a date or time
// written some other way.
constexpr int kLastYear = 2065;

// Days from the first day of 1930 to \a year-\a month-\a day of the Gregorian calendar.
std::uint32_t DaysSinceEarliestYear(int year, int month, int day) {
  auto days_from_zero = [](int y, int m, int d) {
    y -= m <= 2;
    const int era = y / 400;
    const int year_of_era = y - era * 400;
    const int day_of_year = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int day_of_era =
        year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era;
  };
  return static_cast<std::uint32_t>(days_from_zero(year, month, day) -
                                    days_from_zero(kEarliestAdifYear, 1, 1));
}

// The moment of a QSO_DATE written YYYYMMDD and a TIME_ON written HHMM or
// HHMMSS; 0 when either is written some other way.
std::uint32_t MomentOf(std::string_view date, std::string_view time) {
  if (!IsAdifDate(date) || !IsAdifTime(time)) return 0;
  const int year = DigitsValue(date.substr(0, 4));
  if (year > kLastYear) return 0;
  const int hour = DigitsValue(time.substr(0, 2));
  const int minute = DigitsValue(time.substr(2, 2));
  const int second = time.size() == 6 ? DigitsValue(time.substr(4, 2)) : 0;
  const std::uint32_t days = DaysSinceEarliestYear(
      year, DigitsValue(date.substr(4, 2)), DigitsValue(date.substr(6, 2)));
  return days * 86400u +
         static_cast<std::uint32_t>(hour * 3600 + minute * 60 + second) + 1;
}

// \a value in upper case and without blanks, appended to \a key.
void AppendFolded(std::string_view value, std::string* key) {
  for (char c : value)
    if (!IsSpaceOrTab(c)) *key += AsciiUpper(c);
}

std::uint64_t HashBytes(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

std::uint64_t Mix(std::uint64_t a, std::uint64_t b) {
  std::uint64_t x = (a ^ (b + 0x9E3779B97F4A7C15ull + (a << 6) + (a >> 2)));
  x ^= x >> 31;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 29;
  return x;
}

// Every different text once, each named by a number that stays.
class TextPool {
 public:
  // The number of \a text, held from now on; kNone when the pool is full.
  std::uint32_t Intern(std::string_view text) {
    if (count_ + 1 > slots_.size() / 2) Grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = HashBytes(text) & mask;; i = (i + 1) & mask) {
      if (slots_[i] == 0) {
        const std::uint32_t id = Add(text);
        if (id == kNone) return kNone;
        slots_[i] = id + 1;
        ++count_;
        return id;
      }
      if (TextOf(slots_[i] - 1) == text) return slots_[i] - 1;
    }
  }

 private:
  static constexpr std::uint32_t kBlockBits = 20;  // blocks of a megabyte
  static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
  static constexpr std::size_t kMostBlocks = std::size_t{1}
                                             << (32 - kBlockBits);

  std::string_view TextOf(std::uint32_t id) const {
    const std::vector<char>& block = blocks_[id >> kBlockBits];
    const char* at = block.data() + (id & (kBlockSize - 1));
    std::uint32_t size;
    std::memcpy(&size, at, sizeof size);
    return std::string_view(at + sizeof size, size);
  }

  // Stores \a text with its length in front; a text longer than a block
  // gets a block of its own.
  std::uint32_t Add(std::string_view text) {
    const std::size_t needed = sizeof(std::uint32_t) + text.size();
    if (text.size() > 0xFFFFFFFFu - sizeof(std::uint32_t)) return kNone;
    if (blocks_.empty() || used_ + needed > blocks_.back().size()) {
      if (blocks_.size() == kMostBlocks) return kNone;
      blocks_.emplace_back(std::max(kBlockSize, needed));
      used_ = 0;
    }
    const std::uint32_t id = static_cast<std::uint32_t>(
        ((blocks_.size() - 1) << kBlockBits) | used_);
    char* at = blocks_.back().data() + used_;
    const std::uint32_t size = static_cast<std::uint32_t>(text.size());
    std::memcpy(at, &size, sizeof size);
    if (size) std::memcpy(at + sizeof size, text.data(), size);
    used_ += needed;
    return id;
  }

  void Grow() {
    std::vector<std::uint32_t> old(
        std::max<std::size_t>(64, slots_.size() * 2));
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (std::uint32_t slot : old) {
      if (slot == 0) continue;
      std::size_t i = HashBytes(TextOf(slot - 1)) & mask;
      while (slots_[i] != 0) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }

  std::vector<std::vector<char>> blocks_;
  std::size_t used_ = 0;              // in the last block
  std::vector<std::uint32_t> slots_;  // a text's number + 1; 0: free
  std::size_t count_ = 0;
};

}  // namespace

struct DuplicateFinder::Contacts {
  struct Kept {
    std::uint32_t call;       // the call (and an odd date and time) in texts
    std::uint32_t band_mode;  // band and mode in texts
    std::uint32_t moment;     // see MomentOf
    std::uint32_t place;      // in the run, see PlaceOf
    std::uint32_t older;      // the contact kept before in its slot, or kNone
  };
  static constexpr std::size_t kChunk = std::size_t{1} << 16;

  TextPool texts;
  std::vector<std::unique_ptr<Kept[]>> chunks;  // kChunk contacts each
  std::size_t count = 0;
  std::vector<std::uint32_t> newest;  // per slot of the index, or kNone
  // Where each table's records start in the run, and the last record seen.
  std::vector<std::uint64_t> table_starts;
  std::uint32_t last_record = 0;
  std::string key;  // reused

  Kept& At(std::uint32_t index) {
    return chunks[index / kChunk][index % kChunk];
  }

  std::size_t SlotOf(std::uint32_t call, std::uint32_t band_mode,
                     std::uint32_t window) const {
    return Mix(Mix(call, band_mode), window) & (newest.size() - 1);
  }

  // The contact's place among all the records of the run.
  std::uint64_t PlaceOf(ContactOrigin origin) {
    while (table_starts.size() <= origin.table) {
      table_starts.push_back(
          table_starts.empty() ? 0 : table_starts.back() + last_record);
      last_record = 0;
    }
    last_record = std::max(last_record, origin.record);
    return table_starts[origin.table] + origin.record - 1;
  }

  ContactOrigin OriginOf(std::uint32_t place) const {
    auto after = std::upper_bound(table_starts.begin(), table_starts.end(),
                                  std::uint64_t{place});
    ContactOrigin origin;
    origin.table = static_cast<std::uint32_t>(after - table_starts.begin() - 1);
    origin.record =
        static_cast<std::uint32_t>(place - table_starts[origin.table] + 1);
    return origin;
  }

  // Two slots per contact on average; the index doubles when they fill.
  void GrowIndex() {
    if (count < newest.size() * 2) return;
    std::vector<std::uint32_t> grown(
        std::max<std::size_t>(1024, newest.size() * 2), kNone);
    newest.swap(grown);
    for (std::uint32_t i = 0; i < count; ++i) At(i).older = kNone;
    // Oldest first, so that each slot lists its contacts newest first.
    for (std::uint32_t i = 0; i < count; ++i) {
      Kept& kept = At(i);
      std::size_t slot =
          SlotOf(kept.call, kept.band_mode, kept.moment / kSpanSeconds);
      kept.older = newest[slot];
      newest[slot] = i;
    }
  }

  bool Same(const Kept& kept, std::uint32_t call, std::uint32_t band_mode,
            std::uint32_t moment) const {
    if (kept.call != call || kept.band_mode != band_mode) return false;
    if (moment == 0 || kept.moment == 0) return moment == kept.moment;
    const std::uint32_t apart =
        moment > kept.moment ? moment - kept.moment : kept.moment - moment;
    return apart <= kSameContactSeconds;
  }
};

bool ContactKey::Complete() const {
  return !call.empty() && !qso_date.empty() && !band.empty() && !mode.empty() &&
         !time_on.empty();
}

ContactKey ContactOfLine(std::string_view line) {
  ContactKey key;
  int missing = 5;
  std::size_t at = 0;
  while (missing > 0) {
    const LinePartRead read = ReadLinePart(line, &at);
    if (read.part != LinePart::kField) break;
    std::string_view* field = read.name == "CALL"       ? &key.call
                              : read.name == "QSO_DATE" ? &key.qso_date
                              : read.name == "BAND"     ? &key.band
                              : read.name == "MODE"     ? &key.mode
                              : read.name == "TIME_ON"  ? &key.time_on
                                                        : nullptr;
    if (field && field->empty()) {
      *field = read.value;
      --missing;
    }
  }
  return key;
}

std::string ContactText(const ContactKey& contact) {
  std::string text;
  for (std::string_view part : {contact.call, contact.qso_date, contact.time_on,
                                contact.band, contact.mode})
    text += (text.empty() ? "" : " ") + std::string(part);
  return text;
}

DuplicateFinder::DuplicateFinder() : contacts_(std::make_unique<Contacts>()) {}
DuplicateFinder::~DuplicateFinder() = default;

bool DuplicateFinder::Check(const ContactKey& contact, ContactOrigin origin,
                            ContactOrigin* earlier) {
  Contacts& c = *contacts_;
  const std::uint64_t place = c.PlaceOf(origin);
  if (!contact.Complete()) return false;

  const std::uint32_t moment = MomentOf(contact.qso_date, contact.time_on);
  std::string& key = c.key;
  key.clear();
  AppendFolded(contact.call, &key);
  if (moment == 0) {
    // Written some other way: the same only as written.
    key.append(1, '\0').append(contact.qso_date);
    key.append(1, '\0').append(contact.time_on);
  }
  const std::uint32_t call = c.texts.Intern(key);
  key.clear();
  AppendFolded(contact.band, &key);
  key += '\0';
  AppendFolded(contact.mode, &key);
  const std::uint32_t band_mode = c.texts.Intern(key);
  if (call == kNone || band_mode == kNone) return false;

  if (!c.newest.empty()) {
    const std::uint32_t first =
        (moment < kSameContactSeconds ? 0 : moment - kSameContactSeconds) /
        kSpanSeconds;
    const std::uint32_t last = (moment + kSameContactSeconds) / kSpanSeconds;
    for (std::uint32_t w = first; w <= last; ++w) {
      for (std::uint32_t i = c.newest[c.SlotOf(call, band_mode, w)]; i != kNone;
           i = c.At(i).older) {
        const Contacts::Kept& kept = c.At(i);
        if (!c.Same(kept, call, band_mode, moment)) continue;
        *earlier = c.OriginOf(kept.place);
        return true;
      }
    }
  }

  // Remembered, while places and numbers fit.
  if (place > 0xFFFFFFFEu || c.count >= kNone - 1) return false;
  c.GrowIndex();
  if (c.count % Contacts::kChunk == 0)
    c.chunks.push_back(std::make_unique<Contacts::Kept[]>(Contacts::kChunk));
  const std::uint32_t index = static_cast<std::uint32_t>(c.count++);
  Contacts::Kept& kept = c.At(index);
  const std::size_t slot = c.SlotOf(call, band_mode, moment / kSpanSeconds);
  kept = {call, band_mode, moment, static_cast<std::uint32_t>(place),
          c.newest[slot]};
  c.newest[slot] = index;
  return false;
}

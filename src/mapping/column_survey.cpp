// column_survey.cpp: reading the records once and profiling their values.

#include "mapping/column_survey.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

#include "mapping/texts.h"
#include "platform/text.h"
#include "standard/bands.h"
#include "standard/calls.h"
#include "standard/locators.h"
#include "standard/modes.h"
#include "standard/numbers.h"
#include "standard/qsl.h"
#include "standard/reports.h"
#include "standard/times.h"

namespace {

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kExamples = 3;
constexpr std::size_t kExampleBytes = 24;

// The value of a column as the conversion reads it: up to a NUL byte,
// without the blanks around it.
std::string_view ValueOf(const char* bytes, std::size_t size) {
  if (const void* nul = std::memchr(bytes, 0, size))
    size = static_cast<const char*>(nul) - bytes;
  return TrimSpaces(std::string_view(bytes, size));
}

// The bytes of a record: its deletion flag and its columns.
std::size_t RecordSizeOf(const DbfLayout& layout) {
  std::size_t size = 1;
  for (const DbfFieldDescriptor& column : layout.columns) size += column.length;
  return size;
}

void NoteExample(std::string_view value, ColumnProfile* profile) {
  if (profile->examples.size() >= kExamples) return;
  std::string example(value.substr(0, kExampleBytes));
  if (std::find(profile->examples.begin(), profile->examples.end(), example) ==
      profile->examples.end())
    profile->examples.push_back(example);
}

void KeepExample(std::string_view value, std::vector<std::string>* examples) {
  if (examples->size() >= kExamplesKept) return;
  const std::string_view example = value.substr(0, kExampleBytes);
  for (const std::string& kept : *examples)
    if (kept == example) return;
  examples->emplace_back(example);
}

// A date as the survey reads it.
struct DateReading {
  bool date = false;        // a date in some order, or YYYYMMDD already
  bool open = false;        // its form leaves the order open
  unsigned orders = 0;      // the orders it fits
  long day[3] = {0, 0, 0};  // its DayNumber in each of them
};

DateReading ReadDateForSurvey(std::string_view value, bool numeric) {
  DateReading reading;
  if (IsAdifDate(value)) {
    reading.date = true;
    return reading;
  }
  DateText date;
  if (!ReadDateText(value, &date, numeric)) return reading;
  // The orders it fits (DateOrdersOf), with its day in each.
  const DateOrder kOrders[3] = {kDayMonthYear, kMonthDayYear, kYearMonthDay};
  for (int o = 0; o < 3; ++o) {
    CalendarDate day;
    if (!DateUnder(date, kOrders[o], &day)) continue;
    reading.orders |= kOrders[o];
    reading.day[o] = DayNumber(day);
  }
  reading.date = reading.orders != 0;
  reading.open = reading.date && !date.ordered_by_form();
  return reading;
}

// The units a frequency lies in a band in, \a record_band (when not null)
// excepted; the first of them; whether two are alike likely.
struct FrequencyReadingOf {
  unsigned units = 0;
  int likelihood[kUnitCount] = {0, 0, 0};  // BandLikelihood of each
  bool tie = false;
};

// \a record_band: the record's band, or nullptr; a value it contradicts
// counts for no unit.
FrequencyReadingOf ReadFrequencyForSurvey(std::string_view value,
                                          const AdifBand* record_band) {
  FrequencyReadingOf reading;
  DecimalText number;
  std::string buffer;
  if (!ReadFrequencyText(value, &buffer, &number)) return reading;
  const unsigned readings = FrequencyReadings(number, nullptr);
  int best = -1, best_count = 0;
  for (int u = 0; u < kUnitCount; ++u) {
    if (!(readings & (1u << u))) continue;
    const AdifBand* band = BandOfHertz(HertzAs(number, 1u << u));
    if (!band || (record_band && band != record_band)) continue;
    reading.units |= 1u << u;
    const int likelihood = BandLikelihood(band);
    reading.likelihood[u] = likelihood;
    if (likelihood > best) best = likelihood, best_count = 0;
    if (likelihood == best) ++best_count;
  }
  reading.tie = best_count > 1;
  return reading;
}

// A band as the survey reads it: its bare-number readings (BareBandReadings)
// and whether it is rather a frequency.
struct BandReading {
  unsigned readings = 0;
  bool frequency = false;
};

BandReading ReadBandForSurvey(std::string_view value) {
  return BandReading{BareBandReadings(value), BandTextIsFrequency(value)};
}

// Everything else the guesses read of a value, as bits, and its number.
enum Kind : unsigned {
  kTime = 1,
  kMarkedTime = 2,
  kNumber = 4,
  kInteger = 8,
  kBand = 16,
  kNamedBand = 32,
  kMode = 64,
  kCall = 128,
  kLocator = 256,
  kQslFlag = 512,
  kReport = 1024,
};
struct KindsReading {
  unsigned kinds = 0;
  double number = 0;
};

// Each reading is tried only where the value's first byte and length allow
// it.
KindsReading ReadKinds(std::string_view value, unsigned char type,
                       int code_page) {
  KindsReading reading;
  const char first = value[0];
  const bool digit = first >= '0' && first <= '9';
  const bool short_value = value.size() <= 16;
  TimeOfDay time;
  if (digit && ReadTime(value,
                        type == 'N' || type == 'F' ? TimeDigits::kNumericHhmm
                                                   : TimeDigits::kWritten,
                        &time)) {
    reading.kinds |= kTime;
    if (TimeHasSeparator(value)) reading.kinds |= kMarkedTime;
  }
  DecimalText number;
  if ((digit || first == '.' || first == ',') &&
      ReadDecimal(value, false, &number)) {
    reading.number = number.Value();
    reading.kinds |= kNumber;
    if (number.separator == 0) reading.kinds |= kInteger;
  }
  if (digit && short_value && ReadBand(value)) {
    reading.kinds |= kBand;
    if (value.find_first_not_of("0123456789., ") != std::string_view::npos)
      reading.kinds |= kNamedBand;
  }
  ModeReading mode;
  if (short_value && !digit && ReadMode(value, &mode, code_page))
    reading.kinds |= kMode;
  if (short_value && LooksLikeCall(value)) reading.kinds |= kCall;
  if (!digit && value.size() <= 8 && LooksLikeLocator(value))
    reading.kinds |= kLocator;
  if (value.size() <= 6 && ReadQslFlag(value, code_page, type == 'L'))
    reading.kinds |= kQslFlag;
  if (value.size() <= 6 && LooksLikeReport(value)) reading.kinds |= kReport;
  return reading;
}

// How the survey reads one column: its bytes, the looks that apply to its
// type, and the column whose band settles its frequencies.
struct ColumnLook {
  std::size_t column = 0;
  std::size_t offset = 0, length = 0;  // of its bytes in the record
  unsigned look = 0;                   // SurveyLook bits that apply
  bool everything = false;             // kLookAtEverything
  unsigned char type = 'C';
  int band_column = -1;  // -1: none
  std::size_t band_offset = 0, band_length = 0;
  // A value is remembered by the column's bytes when they are 16 or fewer
  // (and the band column's when they are 8 or fewer), else by its bytes
  // without the blanks around it.
  bool raw = false, band_raw = false;
  std::uint64_t mask[3] = {0, 0, 0};
};

// The columns \a request looks at.
std::vector<ColumnLook> LooksOf(const DbfLayout& layout,
                                const SurveyRequest& request) {
  const std::size_t columns = layout.columns.size();
  std::vector<std::size_t> offsets(columns);
  std::size_t record_size = 1;
  for (std::size_t c = 0; c < columns; ++c) {
    offsets[c] = record_size;
    record_size += layout.columns[c].length;
  }
  std::vector<ColumnLook> looks;
  for (std::size_t c = 0; c < columns && c < request.look.size(); ++c) {
    const unsigned char type = layout.columns[c].type;
    if (request.look[c] == 0 || type == 'M') continue;
    ColumnLook look;
    look.column = c;
    look.offset = offsets[c];
    look.length = layout.columns[c].length;
    look.type = type;
    look.everything = request.look[c] == kLookAtEverything;
    look.look = request.look[c];
    if (type == 'L') look.look &= ~unsigned{kLookAtDates};
    if (type == 'D' || type == 'L')
      look.look &=
          ~unsigned{kLookAtFrequencies | kLookAtBands | kLookAtNumbers};
    if (look.look & kLookAtFrequencies && c < request.band_column.size()) {
      const int b = request.band_column[c];
      if (b >= 0 && b < static_cast<int>(columns)) {
        look.band_column = b;
        look.band_offset = offsets[b];
        look.band_length = layout.columns[b].length;
      }
    }
    look.raw = look.length <= 16;
    look.band_raw = look.band_length <= 8;
    look.mask[0] = FirstBytesMask(look.length);
    look.mask[1] = look.length > 8 ? FirstBytesMask(look.length - 8) : 0;
    look.mask[2] = FirstBytesMask(look.band_length);
    looks.push_back(look);
  }
  return looks;
}

// The example lists of a profile, as bits: a value remembers the lists it
// has been kept in.
enum ExampleList : std::uint32_t {
  kInOrderExamples = 1u << 0,  // and the next 7 bits: order_examples[0..7]
  kInUnitExamples = 1u << 8,   // and the next 2: unit_examples[0..2]
  kInTieExamples = 1u << 11,
};

// What the looks of a column read of one value.
struct ValueReadings {
  bool empty = true;
  // Digits alone, five or six of them: a time with seconds.
  bool with_seconds = false;
  DateReading date;
  FrequencyReadingOf frequency;
  BandReading band;
  unsigned separators = 0;
  KindsReading kinds;
};

// A value read once, remembered by its key, and the times it was seen
// since: its counts join the profile when it leaves the memory.
struct Remembered {
  std::uint64_t key[3] = {0, 0, 0};
  std::uint16_t sizes = 0xFFFF;  // 0xFFFF: none
  std::uint32_t count = 0;
  ValueReadings readings;
};

// The key of a value: the bytes that decide it.
struct ValueKey {
  std::uint64_t words[3];
  std::uint16_t sizes;
};

// Remembered values of one column. A log repeats its dates, frequencies
// and bands, and reading each once keeps the survey's pass short. The memo
// starts small, since most columns hold few values at a time, and grows
// (up to an entry per record) while most of the values looked up are not
// in it.
class ValueMemo {
 public:
  explicit ValueMemo(std::uint32_t records) {
    while (most_bits_ < kMostBits && (std::uint32_t{1} << most_bits_) < records)
      ++most_bits_;
    Resize(std::min(kFirstBits, most_bits_));
  }
  // The entry \a key is kept in, or the one it would replace.
  Remembered& Slot(const ValueKey& key) {
    const std::uint64_t hash = (key.words[0] * 0x9E3779B97F4A7C15ull) ^
                               (key.words[1] * 0xC2B2AE3D27D4EB4Full) ^
                               (key.words[2] * 0x165667B19E3779F9ull) ^
                               key.sizes;
    return entries_[hash >> shift_];
  }
  static bool Holds(const Remembered& entry, const ValueKey& key) {
    return entry.sizes == key.sizes && entry.key[0] == key.words[0] &&
           entry.key[1] == key.words[1] && entry.key[2] == key.words[2];
  }
  void NoteFound() { ++found_; }
  // Notes a value that was not in the memo; true when the memo should
  // grow: it has missed more values than it holds, and more than one in
  // five.
  bool NoteMissed() {
    ++missed_;
    return bits_ < most_bits_ && missed_ > entries_.size() &&
           missed_ * 4 > found_;
  }
  // Eight times the entries, all empty: the caller has counted what they
  // held.
  void Grow() { Resize(std::min(bits_ + 3, most_bits_)); }
  std::vector<Remembered>& entries() { return entries_; }

 private:
  static constexpr int kFirstBits = 8;
  static constexpr int kMostBits = 13;
  void Resize(int bits) {
    bits_ = bits;
    shift_ = 64 - bits;
    entries_.assign(std::size_t{1} << bits, Remembered());
    found_ = missed_ = 0;
  }
  int bits_ = 0, most_bits_ = 6;
  int shift_ = 58;
  std::uint64_t found_ = 0, missed_ = 0;
  std::vector<Remembered> entries_;
};

// Keeps \a value in \a examples, once, and says so in \a lists.
void Keep(std::string_view value, std::uint32_t list,
          std::vector<std::string>* examples, std::uint32_t* lists) {
  if ((*lists & list) || examples->size() >= kExamplesKept) return;
  KeepExample(value, examples);
  *lists |= list;
}

void NoteDistinct(std::string_view value, ColumnProfile* p) {
  if (p->many_distinct) return;
  std::string kept(value.substr(0, kExampleBytes));
  if (std::find(p->distinct.begin(), p->distinct.end(), kept) !=
      p->distinct.end())
    return;
  if (p->distinct.size() == kDistinctKept)
    p->many_distinct = true;
  else
    p->distinct.push_back(kept);
}

// What a value gives a profile when it is first read: the examples in the
// order of the records, the first value, the separators, the range of the
// numbers.
void NoteFirst(const ColumnLook& look, std::string_view value,
               const ValueReadings& r, char* any_number, ColumnProfile* p) {
  if (p->first_value.empty()) p->first_value = std::string(value);
  if (look.everything) {
    if (p->one_value && value != p->first_value) p->one_value = false;
    NoteExample(value, p);
    NoteDistinct(value, p);
  }
  std::uint32_t lists = 0;
  if (r.date.open) {
    p->open_orders &= r.date.orders;
    Keep(value, kInOrderExamples << r.date.orders,
         &p->order_examples[r.date.orders], &lists);
  }
  const unsigned units = r.frequency.units;
  for (int u = 0; u < kUnitCount; ++u)
    if (units == 1u << u)
      Keep(value, kInUnitExamples << u, &p->unit_examples[u], &lists);
  if (r.frequency.tie) Keep(value, kInTieExamples, &p->tie_examples, &lists);
  if (r.band.readings >= 1 && r.band.readings <= 3)
    KeepExample(value, &p->notation_examples[r.band.readings - 1]);
  const unsigned evidence = r.separators;
  if ((look.look & kLookAtNumbers) && evidence != kNotANumber) {
    p->separators |= evidence;
    if (evidence & (kPointOpen | kCommaOpen))
      KeepExample(value, &p->open_separator_examples);
    if (evidence & (kPointIsDecimal | kCommaGroups))
      KeepExample(value, &p->separator_examples[0]);
    if (evidence & (kCommaIsDecimal | kPointGroups))
      KeepExample(value, &p->separator_examples[1]);
  }
  if (r.kinds.kinds & kNumber) {
    const double x = r.kinds.number;
    if (!*any_number || x < p->least) p->least = x;
    if (!*any_number || x > p->most) p->most = x;
    *any_number = true;
  }
}

// What a value seen \a count times gives a profile's counts.
void NoteCounts(const ColumnLook& look, const ValueReadings& r,
                std::uint32_t count, long latest_day, ColumnProfile* p) {
  if (r.empty || count == 0) return;
  p->values += count;
  if (r.date.date) {
    p->dates += count;
    if (r.date.open) {
      p->open_dates += count;
      for (int o = 0; o < 3; ++o) {
        if (!(r.date.orders & (1u << o))) continue;
        p->by_order[o].explained += count;
        if (r.date.day[o] > latest_day) p->by_order[o].after_latest += count;
      }
    }
  }
  const unsigned units = r.frequency.units;
  if (units) {
    p->frequencies += count;
    for (int u = 0; u < kUnitCount; ++u) {
      if (!(units & (1u << u))) continue;
      p->by_unit[u].explained += count;
      p->by_unit[u].likelihood +=
          std::uint64_t{count} *
          static_cast<std::uint64_t>(r.frequency.likelihood[u]);
    }
    if (r.frequency.tie) p->unit_ties += count;
  }
  if ((look.look & kLookAtTimes) && r.with_seconds)
    p->times_with_seconds += count;
  if (r.band.frequency) p->band_frequencies += count;
  switch (r.band.readings) {
    case 1:
      p->metre_bands += count;
      break;
    case 2:
      p->megahertz_bands += count;
      break;
    case 3:
      p->either_bands += count;
      break;
  }
  const unsigned kinds = r.kinds.kinds;
  if (kinds & kTime) p->times += count;
  if (kinds & kMarkedTime) p->marked_times += count;
  if (kinds & kNumber) p->numbers += count;
  if (kinds & kInteger) p->integers += count;
  if (kinds & kBand) p->bands += count;
  if (kinds & kNamedBand) p->named_bands += count;
  if (kinds & kMode) p->modes += count;
  if (kinds & kCall) p->calls += count;
  if (kinds & kLocator) p->locators += count;
  if (kinds & kQslFlag) p->qsl_flags += count;
  if (kinds & kReport) p->reports += count;
}

// The steps between the dates of the records, in each order they fit.
void NoteDateStep(const DateReading& reading, ColumnProfile* p) {
  for (int o = 0; o < 3; ++o) {
    if (!(reading.orders & (1u << o))) continue;
    OrderEvidence& evidence = p->by_order[o];
    const long number = reading.day[o];
    if (evidence.any) {
      const long step = number > evidence.last_day ? number - evidence.last_day
                                                   : evidence.last_day - number;
      ++evidence.steps;
      evidence.travel += static_cast<std::uint64_t>(step < 3650 ? step : 3650);
    } else {
      evidence.first_day = number;
    }
    evidence.any = true;
    evidence.last_day = number;
  }
}

// Reads every value of its columns and notes it in their profiles.
class Surveyor {
 public:
  Surveyor(const DbfLayout& layout, const SurveyRequest& request,
           std::uint32_t records, std::vector<ColumnProfile>* profiles)
      : request_(request),
        looks_(LooksOf(layout, request)),
        profiles_(profiles) {
    for (std::size_t i = 0; i < looks_.size(); ++i)
      memos_.emplace_back(records);
    any_number_.assign(looks_.size(), 0);
  }

  // Notes the \a count records from \a first on, \a size bytes each (which
  // may be read 16 bytes past each column's start): a column at a time, in
  // a short loop, since the profiles of the columns are apart.
  void Look(const char* first, std::size_t count, std::size_t size) {
    const bool skip_deleted = request_.skip_deleted;
    for (std::size_t r = 0; r < count; ++r)
      if (!skip_deleted ||
          static_cast<unsigned char>(first[r * size]) != kDeletedFlag)
        ++records_;
    ValueMemo* memo = memos_.data();
    for (const ColumnLook& look : looks_) {
      ColumnProfile& p = (*profiles_)[look.column];
      const char* record = first;
      for (std::size_t r = 0; r < count; ++r, record += size) {
        if (skip_deleted &&
            static_cast<unsigned char>(record[0]) == kDeletedFlag)
          continue;
        ValueKey key;
        Remembered* entry;
        if (!KeyOf(look, record, &key)) {
          Remembered once;
          Read(look, record, &once);
          ++once.count;
          if (once.readings.date.open) NoteDateStep(once.readings.date, &p);
          NoteCounts(look, once.readings, once.count, request_.latest_day, &p);
        } else if (ValueMemo::Holds(*(entry = &memo->Slot(key)), key)) {
          ++entry->count;
          memo->NoteFound();
          if (entry->readings.date.open) NoteDateStep(entry->readings.date, &p);
        } else {
          if (memo->NoteMissed()) {
            Forget(look, memo);
            memo->Grow();
            entry = &memo->Slot(key);
          }
          Remember(look, record, key, entry);
        }
      }
      ++memo;
    }
  }

  // The counts of the values still remembered, and the records looked at.
  void Finish() {
    for (std::size_t i = 0; i < looks_.size(); ++i) {
      Forget(looks_[i], &memos_[i]);
      (*profiles_)[looks_[i].column].records = records_;
    }
  }

 private:
  // The key of the value of \a look in \a record; false when there is none
  // that short.
  static bool KeyOf(const ColumnLook& look, const char* record, ValueKey* key) {
    const char* bytes = record + look.offset;
    std::size_t size = look.length;
    if (look.raw) {
      std::memcpy(key->words, bytes, 16);
      key->words[0] &= look.mask[0];
      key->words[1] &= look.mask[1];
    } else {
      const std::string_view value = ValueOf(bytes, look.length);
      size = value.size();
      if (size > 16) return false;
      key->words[0] = key->words[1] = 0;
      std::memcpy(key->words, value.data(), size);
    }
    key->words[2] = 0;
    std::size_t band_size = 0;
    if (look.band_column >= 0) {
      const char* band = record + look.band_offset;
      band_size = look.band_length;
      if (look.band_raw) {
        std::memcpy(&key->words[2], band, 8);
        key->words[2] &= look.mask[2];
      } else {
        const std::string_view value = ValueOf(band, look.band_length);
        band_size = value.size();
        if (band_size > 8) return false;
        std::memcpy(&key->words[2], value.data(), band_size);
      }
    }
    key->sizes = static_cast<std::uint16_t>(size | band_size << 8);
    return true;
  }

  // Counts the values \a memo of \a look holds in its profile, and
  // forgets how often they were seen.
  void Forget(const ColumnLook& look, ValueMemo* memo) {
    ColumnProfile& p = (*profiles_)[look.column];
    for (Remembered& entry : memo->entries()) {
      NoteCounts(look, entry.readings, entry.count, request_.latest_day, &p);
      entry.count = 0;
    }
  }

  // Puts the value of \a look in \a record, of key \a key, in the place
  // of \a entry, whose counts join the profile.
  void Remember(const ColumnLook& look, const char* record, const ValueKey& key,
                Remembered* entry) {
    ColumnProfile& p = (*profiles_)[look.column];
    NoteCounts(look, entry->readings, entry->count, request_.latest_day, &p);
    std::memcpy(entry->key, key.words, sizeof entry->key);
    entry->sizes = key.sizes;
    entry->count = 1;
    Read(look, record, entry);
    if (entry->readings.date.open) NoteDateStep(entry->readings.date, &p);
  }

  // Reads the value of \a look in \a record into \a entry and notes
  // what it gives when first read.
  void Read(const ColumnLook& look, const char* record, Remembered* entry) {
    const std::string_view value = ValueOf(record + look.offset, look.length);
    ValueReadings& r = entry->readings;
    r = ValueReadings();
    r.empty = value.empty();
    if (r.empty) return;
    const unsigned char type = look.type;
    if (look.look & kLookAtDates)
      r.date = ReadDateForSurvey(value, type == 'N' || type == 'F');
    if (look.look & kLookAtFrequencies) {
      const AdifBand* record_band =
          look.band_column < 0
              ? nullptr
              : ReadBand(ValueOf(record + look.band_offset, look.band_length));
      r.frequency = ReadFrequencyForSurvey(value, record_band);
    }
    r.with_seconds =
        (value.size() == 5 || value.size() == 6) && AllDigits(value);
    if (look.look & kLookAtBands) r.band = ReadBandForSurvey(value);
    if (look.look & kLookAtNumbers) r.separators = SeparatorsOf(value);
    if (look.everything && type != 'D')
      r.kinds = ReadKinds(value, type, request_.code_page);
    NoteFirst(look, value, r, &any_number_[&look - looks_.data()],
              &(*profiles_)[look.column]);
  }

  const SurveyRequest& request_;
  std::vector<ColumnLook> looks_;
  std::vector<ValueMemo> memos_;
  // Per look: a number has been read (for the least and the most).
  std::vector<char> any_number_;
  std::vector<ColumnProfile>* profiles_;
  std::uint32_t records_ = 0;
};

}  // namespace

std::uint32_t SurveyRecords(ByteSource* in, std::uint32_t record_count,
                            const DbfLayout& layout,
                            const SurveyRequest& request,
                            std::vector<ColumnProfile>* profiles) {
  profiles->assign(layout.columns.size(), ColumnProfile());
  const std::uint32_t wanted = std::min(record_count, request.most_records);
  Surveyor surveyor(layout, request, wanted, profiles);
  const std::size_t record_size = RecordSizeOf(layout);
  // A value is read 16 bytes at a time: the buffer keeps room after its
  // last record.
  constexpr std::size_t kSlack = 16;
  const std::size_t capacity = std::max(kReadBlock, 2 * record_size);
  std::vector<char> buffer(capacity + kSlack);
  std::size_t position = 0, end = 0;
  bool ended = false;
  std::uint32_t read = 0;
  while (read < wanted) {
    if (end - position < record_size) {
      std::memmove(buffer.data(), buffer.data() + position, end - position);
      end -= position;
      position = 0;
      while (end < record_size && !ended) {
        std::size_t got = in->Read(buffer.data() + end, capacity - end);
        if (got < capacity - end) ended = true;
        end += got;
      }
      if (end < record_size) break;
    }
    // Every whole record the buffer holds, up to those wanted.
    const std::size_t count =
        std::min<std::size_t>((end - position) / record_size, wanted - read);
    surveyor.Look(buffer.data() + position, count, record_size);
    position += count * record_size;
    read += static_cast<std::uint32_t>(count);
  }
  surveyor.Finish();
  return read;
}

namespace {

// Keeps the examples of \a later after those of \a examples, as a reading
// of both would have kept them.
void JoinExamples(const std::vector<std::string>& later,
                  std::vector<std::string>* examples) {
  for (const std::string& example : later) KeepExample(example, examples);
}

void JoinOrderEvidence(const OrderEvidence& later, OrderEvidence* earlier) {
  earlier->explained += later.explained;
  earlier->after_latest += later.after_latest;
  if (!later.any) return;
  if (earlier->any) {
    // The step from the last date of the one to the first of the other.
    const long step = later.first_day > earlier->last_day
                          ? later.first_day - earlier->last_day
                          : earlier->last_day - later.first_day;
    earlier->steps += later.steps + 1;
    earlier->travel +=
        later.travel + static_cast<std::uint64_t>(step < 3650 ? step : 3650);
  } else {
    earlier->first_day = later.first_day;
    earlier->steps = later.steps;
    earlier->travel = later.travel;
  }
  earlier->any = true;
  earlier->last_day = later.last_day;
}

void JoinProfile(const ColumnProfile& later, bool everything,
                 ColumnProfile* p) {
  if (everything && later.values > 0) {
    if (p->values > 0 && later.first_value != p->first_value)
      p->one_value = false;
    if (!later.one_value) p->one_value = false;
  }
  if (p->first_value.empty()) p->first_value = later.first_value;
  p->records += later.records;
  p->values += later.values;
  for (const std::string& example : later.examples) NoteExample(example, p);
  p->dates += later.dates;
  p->open_dates += later.open_dates;
  p->open_orders &= later.open_orders;
  for (int set = 0; set < 8; ++set)
    JoinExamples(later.order_examples[set], &p->order_examples[set]);
  for (int o = 0; o < 3; ++o)
    JoinOrderEvidence(later.by_order[o], &p->by_order[o]);
  p->times += later.times;
  p->marked_times += later.marked_times;
  if (later.numbers > 0) {
    if (p->numbers == 0 || later.least < p->least) p->least = later.least;
    if (p->numbers == 0 || later.most > p->most) p->most = later.most;
  }
  p->numbers += later.numbers;
  p->integers += later.integers;
  p->times_with_seconds += later.times_with_seconds;
  p->frequencies += later.frequencies;
  for (int u = 0; u < kUnitCount; ++u) {
    p->by_unit[u].explained += later.by_unit[u].explained;
    p->by_unit[u].likelihood += later.by_unit[u].likelihood;
    JoinExamples(later.unit_examples[u], &p->unit_examples[u]);
  }
  p->unit_ties += later.unit_ties;
  JoinExamples(later.tie_examples, &p->tie_examples);
  p->metre_bands += later.metre_bands;
  p->megahertz_bands += later.megahertz_bands;
  p->either_bands += later.either_bands;
  for (int n = 0; n < 3; ++n)
    JoinExamples(later.notation_examples[n], &p->notation_examples[n]);
  p->band_frequencies += later.band_frequencies;
  p->separators |= later.separators;
  JoinExamples(later.open_separator_examples, &p->open_separator_examples);
  for (int s = 0; s < 2; ++s)
    JoinExamples(later.separator_examples[s], &p->separator_examples[s]);
  // The first different values: past the most kept, there are many.
  for (const std::string& value : later.distinct) NoteDistinct(value, p);
  if (later.many_distinct) p->many_distinct = true;
  p->bands += later.bands;
  p->named_bands += later.named_bands;
  p->modes += later.modes;
  p->calls += later.calls;
  p->locators += later.locators;
  p->qsl_flags += later.qsl_flags;
  p->reports += later.reports;
}

std::string ReadErrorText(const std::string& path, InputFile* in,
                          Language language) {
  SystemError cause = in->Error();
  if (!cause.failed()) cause = ErrnoError(EIO);
  return Choose(language, "No se puede leer ", "Cannot read ") + path + ": " +
         SystemErrorText(cause, language);
}

// Surveys \a count records from the one at \a first, through \a in; false
// when reading fails.
bool SurveyFrom(InputFile* in, const DbfLayout& layout, std::uint32_t first,
                std::uint32_t count, const SurveyRequest& request,
                std::vector<ColumnProfile>* profiles) {
  if (!in->Seek(layout.header.header_length +
                std::uint64_t{first} * RecordSizeOf(layout)))
    return false;
  SurveyRecords(in, count, layout, request, profiles);
  return !in->Failed();
}

}  // namespace

void JoinProfiles(const SurveyRequest& request,
                  const std::vector<ColumnProfile>& later,
                  std::vector<ColumnProfile>* earlier) {
  for (std::size_t c = 0; c < later.size() && c < earlier->size(); ++c)
    JoinProfile(later[c],
                c < request.look.size() && request.look[c] == kLookAtEverything,
                &(*earlier)[c]);
}

bool SurveyTable(FileSystem& files, const std::string& path,
                 const DbfLayout& layout, const SurveyRequest& request,
                 Language language, std::vector<ColumnProfile>* profiles,
                 std::string* error) {
  OpenError open_error;
  std::unique_ptr<InputFile> in = files.OpenForReading(path, &open_error);
  if (!in) {
    *error = OpenErrorText(path, open_error, language);
    return false;
  }
  return SurveyOpenedTable(in.get(), &files, path, layout, request, language,
                           profiles, error);
}

bool SurveyOpenedTable(InputFile* in, FileSystem* files,
                       const std::string& path, const DbfLayout& layout,
                       const SurveyRequest& request, Language language,
                       std::vector<ColumnProfile>* profiles,
                       std::string* error) {
  const std::uint32_t wanted =
      std::min(layout.header.record_count, request.most_records);
  const std::uint64_t bytes = std::uint64_t{wanted} * RecordSizeOf(layout);
  // Halves only over records the file holds whole, through a handle on a
  // file of the same size.
  std::unique_ptr<InputFile> second;
  if (files && wanted >= 2 && bytes >= request.halves_from &&
      in->Size() >= layout.header.header_length + bytes) {
    OpenError open_error;
    second = files->OpenForReading(path, &open_error);
    if (second && second->Size() != in->Size()) second.reset();
  }
  if (!second) {
    if (SurveyFrom(in, layout, 0, wanted, request, profiles)) return true;
    *error = ReadErrorText(path, in, language);
    return false;
  }
  const std::uint32_t half = wanted / 2;
  std::vector<ColumnProfile> later;
  bool later_read = false;
  std::thread thread([&] {
    later_read =
        SurveyFrom(second.get(), layout, half, wanted - half, request, &later);
  });
  const bool read = SurveyFrom(in, layout, 0, half, request, profiles);
  thread.join();
  if (read && later_read) {
    JoinProfiles(request, later, profiles);
    return true;
  }
  *error = ReadErrorText(path, read ? second.get() : in, language);
  return false;
}

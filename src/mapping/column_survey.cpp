// column_survey.cpp: reading the records once and profiling their values.

#include "mapping/column_survey.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

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
  reading.orders = DateOrdersOf(date);
  reading.date = reading.orders != 0;
  reading.open = reading.date && !date.ordered_by_form();
  const DateOrder kOrders[3] = {kDayMonthYear, kMonthDayYear, kYearMonthDay};
  for (int o = 0; o < 3; ++o) {
    CalendarDate day;
    if (DateUnder(date, kOrders[o], &day)) reading.day[o] = DayNumber(day);
  }
  return reading;
}

// The example lists of a profile, as bits: a value remembers the lists it
// is known to be in, so that it is not looked for again.
enum ExampleList : std::uint32_t {
  kInExamples = 1u << 0,
  kInDistinct = 1u << 1,
  kInOrderExamples = 1u << 2,  // and the next 7 bits: order_examples[0..7]
  kInUnitExamples = 1u << 10,  // and the next 2: unit_examples[0..2]
  kInTieExamples = 1u << 13,
  kInNotationExamples = 1u << 14,  // and the next 2
  kInOpenSeparatorExamples = 1u << 17,
  kInSeparatorExamples = 1u << 18,  // and the next one
};

// A frequency as the survey reads it: the band it lies on in each unit, and
// how likely a contact is on each (BandLikelihood).
struct FrequencyReadingOf {
  const AdifBand* band[kUnitCount] = {nullptr, nullptr, nullptr};
  int likelihood[kUnitCount] = {0, 0, 0};
};

FrequencyReadingOf ReadFrequencyForSurvey(std::string_view value) {
  FrequencyReadingOf reading;
  DecimalText number;
  std::string buffer;
  if (!ReadFrequencyText(value, &buffer, &number)) return reading;
  const unsigned readings = FrequencyReadings(number, nullptr);
  for (int u = 0; u < kUnitCount; ++u) {
    if (!(readings & (1u << u))) continue;
    reading.band[u] = BandOfHertz(HertzAs(number, 1u << u));
    reading.likelihood[u] = BandLikelihood(reading.band[u]);
  }
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

// What the looks of one column read of one value: the value's place in
// its bytes, and each reading its column's looks ask for.
struct ValueReadings {
  std::uint8_t start = 0, size = 0;  // of the value in the column's bytes
  bool same_as_first = false;         // the column's first value
  bool five_digits = false;           // digits alone, five of them
  std::uint32_t lists = 0;            // ExampleList bits it is known in
  DateReading date;
  FrequencyReadingOf frequency;
  BandReading band;
  unsigned separators = 0;
  KindsReading kinds;
};

// How the survey reads one column.
struct ColumnLook {
  std::size_t column = 0;
  std::size_t offset = 0, length = 0;  // of its bytes in the record
  unsigned look = 0;
  unsigned char type = 'C';
  int band_column = -1;  // the index in the looks of the record's band
  bool band_only = false;  // looked at for another column's band alone
};

// What the survey reads of one column, for every value: it calls \a read
// on a value not remembered. Values are remembered by their column bytes
// (when the column has at most 16) or by their bytes without the blanks
// around them (up to 16): a log repeats its dates, frequencies and bands,
// and reading each once keeps the survey's pass short.
template <typename Reading>
class ValueMemo {
 public:
  explicit ValueMemo(std::uint32_t records) {
    // No more entries than records to remember.
    while (bits_ < kMostBits && (std::uint32_t{1} << bits_) < records)
      ++bits_;
  }

  // The readings of \a value, found at \a bytes: \a raw says that the key
  // is the column's \a length bytes, which may be read as 16.
  template <typename Read>
  Reading& Get(const char* bytes, std::size_t length, bool raw,
               std::string_view value, Read read) {
    std::uint64_t key[2] = {0, 0};
    std::size_t size = raw ? length : value.size();
    if (size > 16) {
      spare_ = read(value);
      return spare_;
    }
    if (raw) {
      std::memcpy(key, bytes, 16);
      if (size < 8) {
        key[0] &= (std::uint64_t{1} << (8 * size)) - 1;
        key[1] = 0;
      } else if (size < 16) {
        key[1] &= (std::uint64_t{1} << (8 * (size - 8))) - 1;
      }
    } else {
      std::memcpy(key, value.data(), size);
    }
    const std::uint64_t hash = (key[0] * 0x9E3779B97F4A7C15ull) ^
                               (key[1] * 0xC2B2AE3D27D4EB4Full) ^ size;
    if (entries_.empty()) entries_.resize(std::size_t{1} << bits_);
    Entry& entry = entries_[hash >> (64 - bits_)];
    if (entry.size != size || entry.key[0] != key[0] ||
        entry.key[1] != key[1]) {
      entry.key[0] = key[0];
      entry.key[1] = key[1];
      entry.size = static_cast<std::uint8_t>(size);
      entry.reading = read(value);
    }
    return entry.reading;
  }

 private:
  static constexpr int kMostBits = 13;
  struct Entry {
    std::uint64_t key[2] = {0, 0};
    std::uint8_t size = 0xFF;
    Reading reading = {};
  };
  int bits_ = 6;
  std::vector<Entry> entries_;
  Reading spare_ = {};
};

// Keeps \a value in the example list \a list of \a examples unless it is
// known there (\a readings' lists).
void Keep(std::string_view value, std::uint32_t list,
          std::vector<std::string>* examples, ValueReadings* readings) {
  if ((readings->lists & list) || examples->size() >= kExamplesKept) return;
  KeepExample(value, examples);
  readings->lists |= list;  // kept now, or there already
}

void LookAtDate(std::string_view value, ValueReadings* readings,
                long latest_day, ColumnProfile* p) {
  const DateReading& reading = readings->date;
  if (!reading.date) return;
  ++p->dates;
  if (!reading.open) return;
  ++p->open_dates;
  p->open_orders &= reading.orders;
  Keep(value, kInOrderExamples << reading.orders,
       &p->order_examples[reading.orders], readings);
  for (int o = 0; o < 3; ++o) {
    if (!(reading.orders & (1u << o))) continue;
    OrderEvidence& evidence = p->by_order[o];
    const long number = reading.day[o];
    ++evidence.explained;
    if (number > latest_day) ++evidence.after_latest;
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

// \a record_band: the record's band, or nullptr; a value it contradicts
// counts for no unit.
void LookAtFrequency(std::string_view value, ValueReadings* readings,
                     const AdifBand* record_band, ColumnProfile* p) {
  const FrequencyReadingOf& reading = readings->frequency;
  unsigned units = 0;
  for (int u = 0; u < kUnitCount; ++u)
    if (reading.band[u] && (!record_band || reading.band[u] == record_band))
      units |= 1u << u;
  if (units == 0) return;
  ++p->frequencies;
  int best = -1, best_count = 0;
  for (int u = 0; u < kUnitCount; ++u) {
    const unsigned bit = 1u << u;
    if (!(units & bit)) continue;
    const int likelihood = reading.likelihood[u];
    ++p->by_unit[u].explained;
    p->by_unit[u].likelihood += static_cast<std::uint64_t>(likelihood);
    if (likelihood > best) best = likelihood, best_count = 0;
    if (likelihood == best) ++best_count;
    if (units == bit)
      Keep(value, kInUnitExamples << u, &p->unit_examples[u], readings);
  }
  if (best_count > 1) {
    ++p->unit_ties;
    Keep(value, kInTieExamples, &p->tie_examples, readings);
  }
}

void LookAtBand(std::string_view value, ValueReadings* readings,
                ColumnProfile* p) {
  const BandReading& reading = readings->band;
  if (reading.frequency) ++p->band_frequencies;
  switch (reading.readings) {
    case 1:
      ++p->metre_bands;
      break;
    case 2:
      ++p->megahertz_bands;
      break;
    case 3:
      ++p->either_bands;
      break;
    default:
      return;
  }
  const unsigned notation = reading.readings - 1;
  Keep(value, kInNotationExamples << notation,
       &p->notation_examples[notation], readings);
}

void LookAtNumber(std::string_view value, ValueReadings* readings,
                  ColumnProfile* p) {
  const unsigned evidence = readings->separators;
  if (evidence == kNotANumber) return;
  p->separators |= evidence;
  if (evidence & (kPointOpen | kCommaOpen))
    Keep(value, kInOpenSeparatorExamples, &p->open_separator_examples,
         readings);
  if (evidence & (kPointIsDecimal | kCommaGroups))
    Keep(value, kInSeparatorExamples, &p->separator_examples[0], readings);
  if (evidence & (kCommaIsDecimal | kPointGroups))
    Keep(value, kInSeparatorExamples << 1, &p->separator_examples[1],
         readings);
}

void NoteDistinct(std::string_view value, ValueReadings* readings,
                  ColumnProfile* p) {
  if (p->many_distinct || (readings->lists & kInDistinct)) return;
  std::string kept(value.substr(0, kExampleBytes));
  if (std::find(p->distinct.begin(), p->distinct.end(), kept) ==
      p->distinct.end()) {
    if (p->distinct.size() == kDistinctKept) {
      p->many_distinct = true;
      return;
    }
    p->distinct.push_back(kept);
  }
  readings->lists |= kInDistinct;
}

void LookAtKinds(const KindsReading& reading, ColumnProfile* p) {
  const unsigned kinds = reading.kinds;
  if (kinds & kTime) {
    ++p->times;
    if (kinds & kMarkedTime) ++p->marked_times;
  }
  if (kinds & kNumber) {
    const double x = reading.number;
    if (p->numbers == 0 || x < p->least) p->least = x;
    if (p->numbers == 0 || x > p->most) p->most = x;
    ++p->numbers;
    if (kinds & kInteger) ++p->integers;
  }
  if (kinds & kBand) {
    ++p->bands;
    if (kinds & kNamedBand) ++p->named_bands;
  }
  if (kinds & kMode) ++p->modes;
  if (kinds & kCall) ++p->calls;
  if (kinds & kLocator) ++p->locators;
  if (kinds & kQslFlag) ++p->qsl_flags;
  if (kinds & kReport) ++p->reports;
}

// The columns \a request looks at, with the band columns their
// frequencies are settled by.
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
  std::vector<int> index(columns, -1);
  auto add = [&](std::size_t c, unsigned look) {
    if (index[c] < 0) {
      index[c] = static_cast<int>(looks.size());
      ColumnLook entry;
      entry.column = c;
      entry.offset = offsets[c];
      entry.length = layout.columns[c].length;
      entry.type = layout.columns[c].type;
      entry.band_only = look == 0;
      looks.push_back(entry);
    }
    ColumnLook& entry = looks[index[c]];
    entry.look |= look;
    if (look != 0) entry.band_only = false;
    return index[c];
  };
  for (std::size_t c = 0; c < columns && c < request.look.size(); ++c)
    if (request.look[c] != 0 && layout.columns[c].type != 'M')
      add(c, request.look[c]);
  for (std::size_t i = 0; i < looks.size(); ++i) {
    const std::size_t c = looks[i].column;
    if (!(looks[i].look & kLookAtFrequencies) ||
        c >= request.band_column.size())
      continue;
    const int b = request.band_column[c];
    if (b >= 0 && b < static_cast<int>(columns)) {
      const int band = add(static_cast<std::size_t>(b), 0);
      looks[i].band_column = band;
    }
  }
  return looks;
}

// The value of a record's column and what its column's looks read of it.
struct ValueLooked {
  std::string_view value;
  ValueReadings* readings;
};

// Reads every value of its columns and notes it in their profiles.
class Surveyor {
 public:
  Surveyor(const DbfLayout& layout, const SurveyRequest& request,
           std::uint32_t records)
      : layout_(layout), request_(request), looks_(LooksOf(layout, request)) {
    for (std::size_t i = 0; i < looks_.size(); ++i) {
      memos_.emplace_back(records);
      bands_.emplace_back(records);
    }
  }

  std::size_t record_size() const {
    std::size_t size = 1;
    for (const DbfFieldDescriptor& column : layout_.columns)
      size += column.length;
    return size;
  }

  // Notes the record at \a record (which may be read 16 bytes past each
  // column's start) in \a profiles.
  void Look(const char* record, std::vector<ColumnProfile>* profiles) {
    if (request_.skip_deleted &&
        static_cast<unsigned char>(record[0]) == kDeletedFlag)
      return;
    for (std::size_t i = 0; i < looks_.size(); ++i) {
      const ColumnLook& look = looks_[i];
      if (look.band_only) continue;
      ColumnProfile& p = (*profiles)[look.column];
      ++p.records;
      const ValueLooked value = Read(i, record);
      if (value.value.empty()) continue;
      Note(look, value, record, &p);
    }
  }

 private:
  ValueLooked Read(std::size_t i, const char* record) {
    const ColumnLook& look = looks_[i];
    const char* bytes = record + look.offset;
    const bool raw = look.length <= 16;
    std::string_view value;
    if (!raw) value = ValueOf(bytes, look.length);
    ValueReadings& readings = memos_[i].Get(
        bytes, look.length, raw, value, [&](std::string_view) {
          return ReadAll(look, ValueOf(bytes, look.length), bytes);
        });
    if (raw) value = std::string_view(bytes + readings.start, readings.size);
    return ValueLooked{value, &readings};
  }

  // The record's band, of the column of index \a b in the looks.
  const AdifBand* RecordBand(int b, const char* record) {
    if (b < 0) return nullptr;
    const ColumnLook& look = looks_[b];
    const char* bytes = record + look.offset;
    const bool raw = look.length <= 16;
    std::string_view value;
    if (!raw) value = ValueOf(bytes, look.length);
    return bands_[b].Get(bytes, look.length, raw, value, [&](std::string_view) {
      return ReadBand(ValueOf(bytes, look.length));
    });
  }

  ValueReadings ReadAll(const ColumnLook& look, std::string_view value,
                        const char* bytes) {
    ValueReadings readings;
    readings.start = static_cast<std::uint8_t>(value.data() - bytes);
    readings.size = static_cast<std::uint8_t>(value.size());
    if (value.empty()) return readings;
    const unsigned char type = look.type;
    if (look.look & kLookAtDates)
      readings.date = ReadDateForSurvey(value, type == 'N' || type == 'F');
    if (look.look & kLookAtFrequencies)
      readings.frequency = ReadFrequencyForSurvey(value);
    readings.five_digits = value.size() == 5 && AllDigits(value);
    if (look.look & kLookAtBands) readings.band = ReadBandForSurvey(value);
    if (look.look & kLookAtNumbers) readings.separators = SeparatorsOf(value);
    if (look.look == kLookAtEverything && type != 'D')
      readings.kinds = ReadKinds(value, type, request_.code_page);
    return readings;
  }

  void Note(const ColumnLook& look, const ValueLooked& looked,
            const char* record, ColumnProfile* p) {
    const std::string_view value = looked.value;
    ValueReadings* readings = looked.readings;
    const unsigned char type = look.type;
    if (p->values == 0) p->first_value = std::string(value);
    if (look.look == kLookAtEverything) {
      if (p->one_value && value != p->first_value) p->one_value = false;
      if (!(readings->lists & kInExamples)) NoteExample(value, readings, p);
      NoteDistinct(value, readings, p);
    }
    ++p->values;
    if ((look.look & kLookAtDates) && type != 'L')
      LookAtDate(value, readings, request_.latest_day, p);
    if ((look.look & kLookAtFrequencies) && type != 'D' && type != 'L')
      LookAtFrequency(value, readings, RecordBand(look.band_column, record), p);
    if ((look.look & kLookAtTimes) && readings->five_digits)
      ++p->five_digit_times;
    if ((look.look & kLookAtBands) && type != 'D' && type != 'L')
      LookAtBand(value, readings, p);
    if ((look.look & kLookAtNumbers) && type != 'D' && type != 'L')
      LookAtNumber(value, readings, p);
    if (look.look == kLookAtEverything && type != 'D')
      LookAtKinds(readings->kinds, p);
  }

  void NoteExample(std::string_view value, ValueReadings* readings,
                   ColumnProfile* p) {
    if (p->examples.size() >= kExamples) return;
    ::NoteExample(value, p);
    readings->lists |= kInExamples;
  }

  const DbfLayout& layout_;
  const SurveyRequest& request_;
  std::vector<ColumnLook> looks_;
  std::vector<ValueMemo<ValueReadings>> memos_;
  std::vector<ValueMemo<const AdifBand*>> bands_;
};

}  // namespace

std::uint32_t SurveyRecords(ByteSource* in, std::uint32_t record_count,
                            const DbfLayout& layout,
                            const SurveyRequest& request,
                            std::vector<ColumnProfile>* profiles) {
  profiles->assign(layout.columns.size(), ColumnProfile());
  const std::uint32_t wanted = std::min(record_count, request.most_records);
  Surveyor surveyor(layout, request, wanted);
  const std::size_t record_size = surveyor.record_size();
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
    const char* record = buffer.data() + position;
    position += record_size;
    ++read;
    surveyor.Look(record, profiles);
  }
  return read;
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
  return SurveyOpenedTable(in.get(), path, layout, request, language, profiles,
                           error);
}

bool SurveyOpenedTable(InputFile* in, const std::string& path,
                       const DbfLayout& layout, const SurveyRequest& request,
                       Language language, std::vector<ColumnProfile>* profiles,
                       std::string* error) {
  bool read = in->Seek(layout.header.header_length);
  if (read) {
    SurveyRecords(in, layout.header.record_count, layout, request, profiles);
    read = !in->Failed();
  }
  if (read) return true;
  SystemError cause = in->Error();
  if (!cause.failed()) cause = ErrnoError(EIO);
  *error = Choose(language, "No se puede leer ", "Cannot read ") + path + ": " +
           SystemErrorText(cause, language);
  return false;
}

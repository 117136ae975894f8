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

// What reading gave for values seen before in a column, remembered by their
// bytes (up to 16): a log repeats its dates, frequencies and bands, and
// reading each once keeps the survey's pass short.
template <typename Reading>
class ValueMemo {
 public:
  // The reading of \a value, from \a read when not remembered.
  template <typename Read>
  const Reading& Get(std::string_view value, Read read) {
    if (value.size() > 16) {
      spare_ = read(value);
      return spare_;
    }
    std::uint64_t key[2] = {0, 0};
    std::memcpy(key, value.data(), value.size());
    const std::uint64_t hash = (key[0] * 0x9E3779B97F4A7C15ull) ^
                               (key[1] * 0xC2B2AE3D27D4EB4Full) ^ value.size();
    if (entries_.empty()) entries_.resize(std::size_t{1} << kBits);
    Entry& entry = entries_[hash >> (64 - kBits)];
    if (entry.size != value.size() || entry.key[0] != key[0] ||
        entry.key[1] != key[1]) {
      entry.key[0] = key[0];
      entry.key[1] = key[1];
      entry.size = static_cast<std::uint8_t>(value.size());
      entry.reading = read(value);
    }
    return entry.reading;
  }

 private:
  static constexpr int kBits = 13;
  struct Entry {
    std::uint64_t key[2] = {0, 0};
    std::uint8_t size = 0xFF;
    Reading reading = {};
  };
  std::vector<Entry> entries_;
  Reading spare_ = {};
};

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

void LookAtDate(std::string_view value, const DateReading& reading,
                long latest_day, ColumnProfile* p) {
  if (!reading.date) return;
  ++p->dates;
  if (!reading.open) return;
  ++p->open_dates;
  p->open_orders &= reading.orders;
  KeepExample(value, &p->order_examples[reading.orders]);
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
    }
    evidence.any = true;
    evidence.last_day = number;
  }
}

// A frequency as the survey reads it: the band it lies on in each unit.
struct FrequencyReadingOf {
  const AdifBand* band[kUnitCount] = {nullptr, nullptr, nullptr};
};

FrequencyReadingOf ReadFrequencyForSurvey(std::string_view value) {
  FrequencyReadingOf reading;
  DecimalText number;
  std::string buffer;
  if (!ReadFrequencyText(value, &buffer, &number)) return reading;
  const unsigned readings = FrequencyReadings(number, nullptr);
  for (int u = 0; u < kUnitCount; ++u)
    if (readings & (1u << u))
      reading.band[u] = BandOfHertz(HertzAs(number, 1u << u));
  return reading;
}

// \a record_band: the record's band, or nullptr; a value it contradicts
// counts for no unit.
void LookAtFrequency(std::string_view value, const FrequencyReadingOf& reading,
                     const AdifBand* record_band, ColumnProfile* p) {
  unsigned readings = 0;
  for (int u = 0; u < kUnitCount; ++u)
    if (reading.band[u] && (!record_band || reading.band[u] == record_band))
      readings |= 1u << u;
  if (readings == 0) return;
  ++p->frequencies;
  int best = -1, best_count = 0;
  for (int u = 0; u < kUnitCount; ++u) {
    const unsigned bit = 1u << u;
    if (!(readings & bit)) continue;
    const int likelihood = BandLikelihood(reading.band[u]);
    ++p->by_unit[u].explained;
    p->by_unit[u].likelihood += static_cast<std::uint64_t>(likelihood);
    if (likelihood > best) best = likelihood, best_count = 0;
    if (likelihood == best) ++best_count;
    if (readings == bit) KeepExample(value, &p->unit_examples[u]);
  }
  if (best_count > 1) {
    ++p->unit_ties;
    KeepExample(value, &p->tie_examples);
  }
}

void LookAtTime(std::string_view value, ColumnProfile* p) {
  if (value.size() == 5 && AllDigits(value)) ++p->five_digit_times;
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

void LookAtBand(std::string_view value, const BandReading& reading,
                ColumnProfile* p) {
  if (reading.frequency) ++p->band_frequencies;
  switch (reading.readings) {
    case 1:
      ++p->metre_bands;
      KeepExample(value, &p->notation_examples[0]);
      break;
    case 2:
      ++p->megahertz_bands;
      KeepExample(value, &p->notation_examples[1]);
      break;
    case 3:
      ++p->either_bands;
      KeepExample(value, &p->notation_examples[2]);
      break;
  }
}

void LookAtNumber(std::string_view value, unsigned evidence,
                  ColumnProfile* p) {
  if (evidence == kNotANumber) return;
  p->separators |= evidence;
  if (evidence & (kPointOpen | kCommaOpen))
    KeepExample(value, &p->open_separator_examples);
  if (evidence & (kPointIsDecimal | kCommaGroups))
    KeepExample(value, &p->separator_examples[0]);
  if (evidence & (kCommaIsDecimal | kPointGroups))
    KeepExample(value, &p->separator_examples[1]);
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

// Everything else the guesses read of a value. Each reading is tried only
// where the value's first byte and length allow it.
void LookAtKinds(std::string_view value, unsigned char type, int code_page,
                 ColumnProfile* p) {
  const char first = value[0];
  const bool digit = first >= '0' && first <= '9';
  const bool short_value = value.size() <= 16;
  TimeOfDay time;
  if (digit && ReadTime(value,
                        type == 'N' || type == 'F' ? TimeDigits::kNumericHhmm
                                                   : TimeDigits::kWritten,
                        &time)) {
    ++p->times;
    if (TimeHasSeparator(value)) ++p->marked_times;
  }
  DecimalText number;
  if ((digit || first == '.' || first == ',') &&
      ReadDecimal(value, false, &number)) {
    double x = number.Value();
    if (p->numbers == 0 || x < p->least) p->least = x;
    if (p->numbers == 0 || x > p->most) p->most = x;
    ++p->numbers;
    if (number.separator == 0) ++p->integers;
  }
  if (digit && short_value && ReadBand(value)) {
    ++p->bands;
    if (value.find_first_not_of("0123456789., ") != std::string_view::npos)
      ++p->named_bands;
  }
  ModeReading mode;
  if (short_value && !digit && ReadMode(value, &mode, code_page)) ++p->modes;
  if (short_value && LooksLikeCall(value)) ++p->calls;
  if (!digit && value.size() <= 8 && LooksLikeLocator(value)) ++p->locators;
  if (value.size() <= 6 && ReadQslFlag(value, code_page, type == 'L'))
    ++p->qsl_flags;
  if (value.size() <= 6 && LooksLikeReport(value)) ++p->reports;
}

}  // namespace

std::uint32_t SurveyRecords(ByteSource* in, std::uint32_t record_count,
                            const DbfLayout& layout,
                            const SurveyRequest& request,
                            std::vector<ColumnProfile>* profiles) {
  const std::size_t columns = layout.columns.size();
  profiles->assign(columns, ColumnProfile());
  std::vector<std::size_t> offsets(columns);
  std::size_t record_size = 1;
  for (std::size_t c = 0; c < columns; ++c) {
    offsets[c] = record_size;
    record_size += layout.columns[c].length;
  }
  std::vector<unsigned> look(columns, 0);
  std::vector<int> band_column(columns, -1);
  std::vector<std::string> first_values(columns);
  std::vector<ValueMemo<DateReading>> dates(columns);
  std::vector<ValueMemo<FrequencyReadingOf>> frequencies(columns);
  std::vector<ValueMemo<const AdifBand*>> bands(columns);
  std::vector<ValueMemo<BandReading>> band_names(columns);
  std::vector<ValueMemo<unsigned>> separators(columns);
  for (std::size_t c = 0; c < columns; ++c) {
    if (c < request.look.size() && layout.columns[c].type != 'M')
      look[c] = request.look[c];
    if (c < request.band_column.size()) band_column[c] = request.band_column[c];
  }

  const std::size_t capacity = std::max(kReadBlock, 2 * record_size);
  std::vector<char> buffer(capacity);
  std::size_t position = 0, end = 0;
  bool ended = false;
  std::uint32_t read = 0;
  const std::uint32_t wanted = std::min(record_count, request.most_records);
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
    if (request.skip_deleted &&
        static_cast<unsigned char>(record[0]) == kDeletedFlag)
      continue;
    for (std::size_t c = 0; c < columns; ++c) {
      if (look[c] == 0) continue;
      ++(*profiles)[c].records;
      std::string_view value =
          ValueOf(record + offsets[c], layout.columns[c].length);
      if (value.empty()) continue;
      ColumnProfile& p = (*profiles)[c];
      const unsigned char type = layout.columns[c].type;
      if (look[c] == kLookAtEverything) {
        if (p.values == 0)
          first_values[c] = std::string(value);
        else if (p.one_value && value != first_values[c])
          p.one_value = false;
        NoteExample(value, &p);
        NoteDistinct(value, &p);
      }
      ++p.values;
      if ((look[c] & kLookAtDates) && type != 'L') {
        const bool numeric = type == 'N' || type == 'F';
        LookAtDate(value,
                   dates[c].Get(value,
                                [numeric](std::string_view v) {
                                  return ReadDateForSurvey(v, numeric);
                                }),
                   request.latest_day, &p);
      }
      if ((look[c] & kLookAtFrequencies) && type != 'D' && type != 'L') {
        const AdifBand* record_band = nullptr;
        const int b = band_column[c];
        if (b >= 0 && b < static_cast<int>(columns))
          record_band = bands[b].Get(
              ValueOf(record + offsets[b], layout.columns[b].length),
              [](std::string_view v) { return ReadBand(v); });
        LookAtFrequency(value, frequencies[c].Get(value, ReadFrequencyForSurvey),
                        record_band, &p);
      }
      if (look[c] & kLookAtTimes) LookAtTime(value, &p);
      if ((look[c] & kLookAtBands) && type != 'D' && type != 'L')
        LookAtBand(value, band_names[c].Get(value, ReadBandForSurvey), &p);
      if ((look[c] & kLookAtNumbers) && type != 'D' && type != 'L')
        LookAtNumber(value, separators[c].Get(value, SeparatorsOf), &p);
      if (look[c] == kLookAtEverything && type != 'D')
        LookAtKinds(value, type, request.code_page, &p);
    }
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

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

void LookAtDate(std::string_view value, ColumnProfile* p) {
  if (IsAdifDate(value)) {
    ++p->dates;
    return;
  }
  DateText date;
  if (!ReadDateText(value, &date)) return;
  unsigned orders = DateOrdersOf(date);
  if (orders == 0) return;
  ++p->dates;
  if (date.ordered_by_form()) return;
  ++p->open_dates;
  p->open_orders &= orders;
  std::vector<std::string>& examples = p->order_examples[orders];
  std::string example(value.substr(0, kExampleBytes));
  if (examples.size() < 2 &&
      std::find(examples.begin(), examples.end(), example) == examples.end())
    examples.push_back(example);
}

// The band the record gives in \a band_column, or nullptr.
const AdifBand* BandOfRecord(const char* record,
                             const std::vector<std::size_t>& offsets,
                             const DbfLayout& layout, int band_column) {
  if (band_column < 0 || band_column >= static_cast<int>(offsets.size()))
    return nullptr;
  return ReadBand(ValueOf(record + offsets[band_column],
                          layout.columns[band_column].length));
}

void LookAtFrequency(std::string_view value, const char* record,
                     const std::vector<std::size_t>& offsets,
                     const DbfLayout& layout, int band_column,
                     ColumnProfile* p) {
  DecimalText number;
  if (!ReadDecimal(value, true, &number)) return;
  unsigned readings = FrequencyReadings(number, nullptr);
  if (readings == 0) return;
  ++p->frequencies;
  if (readings == (kAsMegahertz | kAsKilohertz)) {
    if (const AdifBand* band =
            BandOfRecord(record, offsets, layout, band_column))
      readings = FrequencyReadings(number, band);
  }
  if (readings == kAsMegahertz) ++p->megahertz_only;
  if (readings == kAsKilohertz) ++p->kilohertz_only;
}

// Everything else the guesses read of a value. Each reading is tried only
// where the value's first byte and length allow it.
void LookAtKinds(std::string_view value, unsigned char type, int code_page,
                 ColumnProfile* p) {
  const char first = value[0];
  const bool digit = first >= '0' && first <= '9';
  const bool short_value = value.size() <= 16;
  TimeOfDay time;
  if (digit && ReadTime(value, type == 'N' || type == 'F', &time)) {
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
  if (short_value && !digit && ReadMode(value, &mode)) ++p->modes;
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
      }
      ++p.values;
      if ((look[c] & kLookAtDates) && type != 'L') LookAtDate(value, &p);
      if ((look[c] & kLookAtFrequencies) && type != 'D' && type != 'L')
        LookAtFrequency(value, record, offsets, layout, band_column[c], &p);
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

// make_bench_log.cpp: writes a large, realistic contact log for the
// benchmark, streamed so that memory stays small: with ADIF names and
// values, or with --messy as an old logger kept it (Spanish column names,
// text dates in three forms, times in four, kilohertz with a decimal comma,
// USB and FT4, SI and NO).
//
// usage: make_bench_log [--messy] OUT.dbf [RECORDS]   (default 1,000,000)

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dbf_builder.h"

namespace {

// One record of the messy log, from the same draws as the clean one.
std::vector<std::string> MessyRow(unsigned year, unsigned month, unsigned day,
                                  unsigned hour, unsigned minute, int band,
                                  unsigned pick, const std::string& call) {
  static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR",
                                        "MAY", "JUN", "JUL", "AUG",
                                        "SEP", "OCT", "NOV", "DEC"};
  static const char* const kKilohertz[] = {"1830,5", "3650",    "7085,5",
                                           "14195",  "21295,5", "28495"};
  static const char* const kBandNames[] = {"160", "80", "40", "20", "15", "10"};
  static const char* const kModes[] = {"USB", "LSB", "CW", "FT4", "FT8"};
  char date[32], time[32];
  switch (pick % 3) {
    case 0:
      std::snprintf(date, sizeof date, "%04u-%02u-%02u", year, month, day);
      break;
    case 1:
      std::snprintf(date, sizeof date, "%02u-%s-%02u", day, kMonths[month - 1],
                    year % 100);
      break;
    default:
      std::snprintf(date, sizeof date, "%02u/%02u/%04u", day, month, year);
  }
  switch (pick / 3 % 4) {
    case 0:
      std::snprintf(time, sizeof time, "%02u:%02u", hour, minute);
      break;
    case 1:
      std::snprintf(time, sizeof time, "%u:%02u", hour, minute);
      break;
    case 2:
      std::snprintf(time, sizeof time, "%02u%02u", hour, minute);
      break;
    default:
      std::snprintf(time, sizeof time, "%02u.%02uz", hour, minute);
  }
  return {call,
          date,
          time,
          kKilohertz[band],
          kBandNames[band],
          kModes[pick % 5],
          "59",
          "5 7",
          pick % 2 ? "SI" : "NO",
          pick % 3 ? "NO" : "SI",
          "Jos\xE9",
          " 100"};
}

}  // namespace

int main(int argc, char** argv) {
  const bool messy = argc > 1 && std::string(argv[1]) == "--messy";
  if (messy) {
    --argc;
    ++argv;
  }
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: make_bench_log [--messy] OUT.dbf [RECORDS]\n");
    return 2;
  }
  std::uint32_t count =
      argc == 3 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10))
                : 1000000u;
  BuilderTable table;
  // clang-format off
  table.columns = {
      {"CALL", 'C', 12, 0},     {"QSO_DATE", 'D', 8, 0},
      {"TIME_ON", 'C', 5, 0},   {"TIME_OFF", 'C', 5, 0},
      {"BAND", 'C', 5, 0},      {"MODE", 'C', 6, 0},
      {"FREQ", 'N', 10, 4},     {"RST_SENT", 'C', 3, 0},
      {"RST_RCVD", 'C', 3, 0},  {"NAME", 'C', 24, 0},
      {"QTH", 'C', 30, 0},      {"QSL_SENT", 'C', 1, 0},
      {"QSL_RCVD", 'C', 1, 0},  {"GRIDSQUARE", 'C', 6, 0},
      {"COMMENT", 'C', 40, 0},  {"TX_PWR", 'N', 5, 0},
  };
  // clang-format on
  static const char* const kPrefixes[] = {"EA4", "F6",  "DL1", "G3",  "I2",
                                          "W1",  "JA1", "VK2", "PY2", "LU1"};
  static const char* const kBands[] = {"160M", "80M", "40M",
                                       "20M",  "15M", "10M"};
  static const char* const kFreqs[] = {"1.8300",  "3.6500",  "7.0850",
                                       "14.1950", "21.2950", "28.4950"};
  static const char* const kModes[] = {"SSB", "CW", "RTTY", "FT8"};
  static const char* const kNames[] = {"Jos\xE9 Mar\xED"
                                       "a",
                                       "Fran\xE7ois",
                                       "J\xFCrgen",
                                       "Peter",
                                       "Bego\xF1"
                                       "a",
                                       "Takeshi",
                                       "Bruce",
                                       "N\xFAria"};
  static const char* const kQths[] = {
      "Madrid", "Lyon",   "M\xFCnchen", "London", "Las Palmas de Gran Canaria",
      "Tokyo",  "Sydney", "Barcelona"};
  if (messy)
    // clang-format off
    table.columns = {
        {"INDICATIVO", 'C', 12, 0}, {"FECHA", 'C', 10, 0},
        {"HORA", 'C', 6, 0},        {"FREC", 'C', 8, 0},
        {"BANDA", 'C', 4, 0},       {"MODO", 'C', 4, 0},
        {"RST_E", 'C', 3, 0},       {"RST_R", 'C', 3, 0},
        {"QSL_E", 'C', 2, 0},       {"QSL_R", 'C', 2, 0},
        {"NOMBRE", 'C', 20, 0},     {"POT", 'C', 5, 0},
    };
  // clang-format on
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::string header = TableHeader(table, count);
  std::fwrite(header.data(), 1, header.size(), out);
  std::uint32_t seed = 12345;
  auto next = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  char buffer[64];
  for (std::uint32_t r = 0; r < count; ++r) {
    int band = next() % 6;
    std::snprintf(buffer, sizeof buffer, "%s%c%c%c", kPrefixes[next() % 10],
                  'A' + next() % 26, 'A' + next() % 26, 'A' + next() % 26);
    std::string call = buffer;
    std::snprintf(buffer, sizeof buffer, "20%02u%02u%02u", 0 + next() % 25,
                  1 + next() % 12, 1 + next() % 28);
    std::string date = buffer;
    unsigned hour = next() % 24, minute = next() % 60;
    std::snprintf(buffer, sizeof buffer, "%02u:%02u", hour, minute);
    std::string on = buffer;
    std::snprintf(buffer, sizeof buffer, "%02u:%02u", hour, (minute + 5) % 60);
    std::string off = buffer;
    if (messy) {
      // A log kept in time order: a few dozen contacts a day.
      const unsigned days = r / 40;
      const unsigned year = 2000 + days / 336 % 25, month = 1 + days / 28 % 12,
                     day = 1 + days % 28;
      const unsigned minutes = (r % 40) * 36 + next() % 30;
      const unsigned hour = minutes / 60, minute = minutes % 60;
      std::vector<std::string> row =
          MessyRow(year, month, day, hour, minute, band, next(), call);
      std::string record = TableRecord(table, row, false);
      std::fwrite(record.data(), 1, record.size(), out);
      continue;
    }
    std::vector<std::string> row = {
        call,
        date,
        on,
        off,
        kBands[band],
        kModes[next() % 4],
        kFreqs[band],
        "59",
        "57",
        kNames[next() % 8],
        kQths[next() % 8],
        next() % 2 ? "S" : "N",
        next() % 3 ? "N" : "S",
        "IN80dk",
        next() % 4 ? "" : "Nice QSO, thanks for the contact",
        "100"};
    std::string record = TableRecord(table, row, next() % 50 == 0);
    std::fwrite(record.data(), 1, record.size(), out);
  }
  std::fputc(0x1A, out);
  if (std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

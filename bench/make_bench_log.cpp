// make_bench_log.cpp: writes a large, realistic contact log for the
// benchmark, streamed so that memory stays small.
//
// usage: make_bench_log OUT.dbf [RECORDS]   (default 1,000,000 records)

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dbf_builder.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: make_bench_log OUT.dbf [RECORDS]\n");
    return 2;
  }
  std::uint32_t count =
      argc == 3 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10))
                : 1000000u;
  BuilderTable table;
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
  static const char* const kPrefixes[] = {"EA4", "F6", "DL1", "G3", "I2",
                                          "W1", "JA1", "VK2", "PY2", "LU1"};
  static const char* const kBands[] = {"160M", "80M", "40M", "20M", "15M", "10M"};
  static const char* const kFreqs[] = {"1.8300", "3.6500", "7.0850",
                                       "14.1950", "21.2950", "28.4950"};
  static const char* const kModes[] = {"SSB", "CW", "RTTY", "FT8"};
  static const char* const kNames[] = {"Jos\xE9 Mar\xED""a", "Fran\xE7ois",
                                       "J\xFCrgen", "Peter", "Bego\xF1""a",
                                       "Takeshi", "Bruce", "N\xFAria"};
  static const char* const kQths[] = {"Madrid", "Lyon", "M\xFCnchen",
                                      "London", "Las Palmas de Gran Canaria",
                                      "Tokyo", "Sydney", "Barcelona"};
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
    std::vector<std::string> row = {
        call, date, on, off, kBands[band], kModes[next() % 4], kFreqs[band],
        "59", "57", kNames[next() % 8], kQths[next() % 8],
        next() % 2 ? "S" : "N", next() % 3 ? "N" : "S", "IN80dk",
        next() % 4 ? "" : "Nice QSO, thanks for the contact", "100"};
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

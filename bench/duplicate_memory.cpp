// duplicate_memory.cpp: the memory the duplicate finder of --merge holds per
// contact, measured on contacts like those of make_bench_log (ten prefixes
// and three letters for the call, 25 years of dates, six bands, four
// modes), fed straight to the finder so that ten million contacts need no
// table of gigabytes.
//
// usage: duplicate_memory [CONTACTS]   (default 10,000,000)

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "convert/duplicate_contacts.h"

namespace {

long PeakKilobytes() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned long count =
      argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000000ul;
  static const char* const kPrefixes[] = {"EA4", "F6",  "DL1", "G3",  "I2",
                                          "W1",  "JA1", "VK2", "PY2", "LU1"};
  static const char* const kBands[] = {"160M", "80M", "40M",
                                       "20M",  "15M", "10M"};
  static const char* const kModes[] = {"SSB", "CW", "RTTY", "FT8"};
  std::uint32_t seed = 12345;
  auto next = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  DuplicateFinder finder;
  const long before = PeakKilobytes();
  unsigned long duplicates = 0;
  char call[16], date[16], time[16];
  for (unsigned long i = 0; i < count; ++i) {
    std::snprintf(call, sizeof call, "%s%c%c%c", kPrefixes[next() % 10],
                  'A' + next() % 26, 'A' + next() % 26, 'A' + next() % 26);
    std::snprintf(date, sizeof date, "20%02u%02u%02u", next() % 25,
                  1 + next() % 12, 1 + next() % 28);
    std::snprintf(time, sizeof time, "%02u%02u", next() % 24, next() % 60);
    ContactKey key;
    key.call = call;
    key.qso_date = date;
    key.time_on = time;
    key.band = kBands[next() % 6];
    key.mode = kModes[next() % 4];
    ContactOrigin earlier;
    const ContactOrigin origin{static_cast<std::uint32_t>(i / 100000),
                               static_cast<std::uint32_t>(i % 100000 + 1)};
    if (finder.Check(key, origin, &earlier)) ++duplicates;
  }
  const long peak = PeakKilobytes();
  std::printf("%lu contacts, %lu found again; peak memory %ld kB more than "
              "before: %.1f bytes per contact\n",
              count, duplicates, peak - before,
              (peak - before) * 1024.0 / static_cast<double>(count));
  return 0;
}

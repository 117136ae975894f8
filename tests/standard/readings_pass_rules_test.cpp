// readings_pass_rules_test.cpp: whatever a reading of an old form gives
// passes the standard's rule for its type, the one the check judges by.
// Each test walks many written forms, well and badly made, and holds every
// reading to the strict rule.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standard/bands.h"
#include "standard/dates.h"
#include "standard/locators.h"
#include "standard/modes.h"
#include "standard/numbers.h"
#include "standard/qsl.h"
#include "standard/times.h"

namespace {

std::string Padded(int number, int width) {
  std::string digits = std::to_string(number);
  return std::string(width > static_cast<int>(digits.size())
                         ? width - digits.size()
                         : 0,
                     '0') +
         digits;
}

TEST(ReadingsPassRules, EveryDateReadIsAnAdifDate) {
  std::vector<std::string> parts;
  for (int n = 0; n <= 32; ++n) {
    parts.push_back(std::to_string(n));
    parts.push_back(Padded(n, 2));
  }
  for (int year : {1899, 1900, 1929, 1930, 1931, 1999, 2000, 2024, 2099, 2100})
    parts.push_back(std::to_string(year));
  for (const char* name : {"JUN", "feb", "Septiembre"}) parts.push_back(name);
  int read = 0;
  for (const std::string& a : parts)
    for (const std::string& b : parts)
      for (const std::string& c : parts)
        for (const char* separator : {"/", "-", ". ", ""}) {
          const std::string text = a + separator + b + separator + c;
          DateText date;
          if (!ReadDateText(text, &date)) continue;
          const unsigned orders = DateOrdersOf(date);
          for (DateOrder order :
               {kDayMonthYear, kMonthDayYear, kYearMonthDay}) {
            CalendarDate day;
            const bool under = DateUnder(date, order, &day);
            EXPECT_EQ(under, (orders & order) != 0) << text;
            if (!under) continue;
            ++read;
            EXPECT_TRUE(IsAdifDate(AdifDateText(day)))
                << text << " as " << DateOrderName(order) << " gave "
                << AdifDateText(day);
          }
        }
  EXPECT_GT(read, 10000);
  // Eight digits in a row, in every order, around the earliest year.
  for (int year : {1929, 1930, 2029})
    for (int month = 0; month <= 13; ++month)
      for (int day = 0; day <= 32; ++day) {
        for (const std::string& text :
             {Padded(year, 4) + Padded(month, 2) + Padded(day, 2),
              Padded(day, 2) + Padded(month, 2) + Padded(year, 4)}) {
          DateText date;
          ASSERT_TRUE(ReadDateText(text, &date));
          for (DateOrder order :
               {kDayMonthYear, kMonthDayYear, kYearMonthDay}) {
            CalendarDate read_day;
            if (DateUnder(date, order, &read_day)) {
              EXPECT_TRUE(IsAdifDate(AdifDateText(read_day))) << text;
            }
          }
        }
      }
}

TEST(ReadingsPassRules, EveryTimeReadIsAnAdifTime) {
  std::vector<std::string> texts;
  for (int n = 0; n < 250000; n += 7) {
    const std::string digits = std::to_string(n);
    texts.push_back(digits);
    texts.push_back(Padded(n, 6));
    if (digits.size() >= 3) {
      const std::string h = digits.substr(0, digits.size() - 2);
      const std::string m = digits.substr(digits.size() - 2);
      for (const char* separator : {":", ".", "h"})
        texts.push_back(h + separator + m + " UTC");
    }
  }
  for (const std::string& text : texts)
    for (TimeDigits digits : {TimeDigits::kWritten, TimeDigits::kNumericHhmm,
                              TimeDigits::kNumericHhmmss}) {
      TimeOfDay time;
      if (ReadTime(text, digits, &time)) {
        EXPECT_TRUE(IsAdifTime(AdifTimeText(time))) << text;
      }
    }
}

TEST(ReadingsPassRules, EveryFrequencyReadLiesInItsBandWhenWrittenInMegahertz) {
  std::vector<std::string> texts;
  for (const char* whole :
       {"0", "1", "3", "7", "14", "50", "144", "145", "432", "1296", "3500",
        "7074", "14074", "145525", "433250", "1296550", "10368", "14074000"})
    for (const char* fraction : {"", ".0", ",5", ".074", ",074", ".5255"})
      for (const char* unit : {"", " kHz", "MHz"})
        texts.push_back(std::string(whole) + fraction + unit);
  for (const std::string& text : texts) {
    DecimalText number;
    if (!ReadDecimal(text, true, &number)) continue;
    const unsigned readings = FrequencyReadings(number, nullptr);
    for (FrequencyReading reading : {kAsMegahertz, kAsKilohertz}) {
      if (!(readings & reading)) continue;
      const std::string written =
          MegahertzDigits(number, reading == kAsKilohertz);
      std::uint64_t hz = 0;
      ASSERT_TRUE(ReadMegahertz(written, &hz)) << text << " gave " << written;
      EXPECT_NE(nullptr, BandOfHertz(hz)) << text << " gave " << written;
      EXPECT_EQ(BandOfHertz(hz),
                BandOfHertz(HertzOf(number, reading == kAsKilohertz)))
          << text;
    }
  }
}

TEST(ReadingsPassRules, EveryBandModeLocatorAndFlagReadIsTheStandards) {
  for (const char* text :
       {"40", "40m", "40 M", "40MTS", "70CM", "2", "6", "14", "3.5", "3,5",
        "10.1", "23cm", "1.25", "160", "13CM", "630m", "0", "999", "x"}) {
    if (const AdifBand* band = ReadBand(text)) {
      EXPECT_EQ(band, FindAdifBand(band->name)) << text;
    }
  }
  std::vector<std::string> modes = {"USB",    "lsb",    "FT-8",
                                    "PSK 31", "BPSK63", "PACKET",
                                    "cw",     "RTTY",   "olivia 8/250"};
  for (int i = 0; i < kAdifEnumerationValueCount; ++i) {
    const AdifEnumerationValue& row = kAdifEnumerationValues[i];
    if (std::string(row.enumeration) == "Mode" ||
        std::string(row.enumeration) == "Submode")
      modes.push_back(row.value);
  }
  for (const std::string& text : modes) {
    ModeReading mode;
    if (!ReadMode(text, &mode)) continue;
    const AdifEnumerationValue* found = FindAdifMode(mode.mode);
    ASSERT_NE(nullptr, found) << text;
    EXPECT_FALSE(found->import_only) << text;
    if (mode.submode) {
      EXPECT_NE(nullptr, FindAdifSubmode(mode.submode, mode.mode)) << text;
    }
  }
  for (const char* text :
       {"jn10", "JN10ab", "in80 dk", "JN10AB12", "SS99", "JN1"})
    if (LooksLikeLocator(text)) {
      std::string squeezed;
      for (const char* c = text; *c; ++c)
        if (*c != ' ') squeezed += *c;
      EXPECT_TRUE(IsGridSquare(squeezed)) << text;
    }
  for (const char* text : {"S", "si", "YES", "x", "1", "0", "NO", "n", "r", "Q",
                           "i", "V", "F", "\xA1S\xCD", "maybe"})
    for (bool logical : {false, true})
      if (char flag = ReadQslFlag(text, 1252, logical)) {
        const std::string letter(1, flag);
        EXPECT_TRUE(FindAdifEnumerationValue("QSL_Sent", letter) ||
                    FindAdifEnumerationValue("QSL_Rcvd", letter))
            << text;
      }
}

}  // namespace

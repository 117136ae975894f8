// adif_check.cpp: the value rules, the ADIF enumerations they use and the
// report's text.

#include "adif/adif_check.h"

#include <cstdint>
#include <cstdio>

namespace {

// The enumerations below are those of the ADIF 3.1.5 specification
// (released 2024-11-28): Band with its edges in MHz, Mode with the Submodes
// of each, QSL_Sent and QSL_Rcvd. The import-only modes of that version
// (PSK31, JT65A, C4FM, ...) are all submodes of a mode listed here, so they
// are reported as a submode written as the mode.
constexpr char kAdifVersion[] = "ADIF 3.1.5";

struct Band {
  const char* name;
  std::uint64_t lower_hz;
  std::uint64_t upper_hz;
};

constexpr Band kBands[] = {
    {"2190m", 135700, 137800},
    {"630m", 472000, 479000},
    {"560m", 501000, 504000},
    {"160m", 1800000, 2000000},
    {"80m", 3500000, 4000000},
    {"60m", 5060000, 5450000},
    {"40m", 7000000, 7300000},
    {"30m", 10100000, 10150000},
    {"20m", 14000000, 14350000},
    {"17m", 18068000, 18168000},
    {"15m", 21000000, 21450000},
    {"12m", 24890000, 24990000},
    {"10m", 28000000, 29700000},
    {"8m", 40000000, 45000000},
    {"6m", 50000000, 54000000},
    {"5m", 54000001, 69900000},
    {"4m", 70000000, 71000000},
    {"2m", 144000000, 148000000},
    {"1.25m", 222000000, 225000000},
    {"70cm", 420000000, 450000000},
    {"33cm", 902000000, 928000000},
    {"23cm", 1240000000, 1300000000},
    {"13cm", 2300000000, 2450000000},
    {"9cm", 3300000000, 3500000000},
    {"6cm", 5650000000, 5925000000},
    {"3cm", 10000000000, 10500000000},
    {"1.25cm", 24000000000, 24250000000},
    {"6mm", 47000000000, 47200000000},
    {"4mm", 75500000000, 81000000000},
    {"2.5mm", 119980000000, 123000000000},
    {"2mm", 134000000000, 149000000000},
    {"1mm", 241000000000, 250000000000},
    {"submm", 300000000000, 7500000000000},
};

struct Mode {
  const char* name;
  const char* submodes;  // comma-separated
};

constexpr Mode kModes[] = {
    {"AM", ""},
    {"ARDOP", ""},
    {"ATV", ""},
    {"CHIP", "CHIP64,CHIP128"},
    {"CLO", ""},
    {"CONTESTI", ""},
    {"CW", "PCW"},
    {"DIGITALVOICE", "C4FM,DMR,DSTAR,FREEDV,M17"},
    {"DOMINO",
     "DOM-M,DOM4,DOM5,DOM8,DOM11,DOM16,DOM22,DOM44,DOM88,DOMINOEX,DOMINOF"},
    {"DYNAMIC", "VARA HF,VARA SATELLITE,VARA FM 1200,VARA FM 9600"},
    {"FAX", ""},
    {"FM", ""},
    {"FSK441", ""},
    {"FT8", ""},
    {"HELL",
     "FMHELL,FSKH105,FSKH245,FSKHELL,HELL80,HELLX5,HELLX9,HFSK,PSKHELL,"
     "SLOWHELL"},
    {"ISCAT", "ISCAT-A,ISCAT-B"},
    {"JT4", "JT4A,JT4B,JT4C,JT4D,JT4E,JT4F,JT4G"},
    {"JT6M", ""},
    {"JT9",
     "JT9-1,JT9-2,JT9-5,JT9-10,JT9-30,JT9A,JT9B,JT9C,JT9D,JT9E,JT9E FAST,"
     "JT9F,JT9F FAST,JT9G,JT9G FAST,JT9H,JT9H FAST"},
    {"JT44", ""},
    {"JT65", "JT65A,JT65B,JT65B2,JT65C,JT65C2"},
    {"MFSK",
     "FSQCALL,FST4,FST4W,FT4,JS8,JTMS,MFSK4,MFSK8,MFSK11,MFSK16,MFSK22,"
     "MFSK31,MFSK32,MFSK64,MFSK64L,MFSK128,MFSK128L,Q65"},
    {"MSK144", ""},
    {"MT63", ""},
    {"OLIVIA",
     "OLIVIA 4/125,OLIVIA 4/250,OLIVIA 8/250,OLIVIA 8/500,OLIVIA 16/500,"
     "OLIVIA 16/1000,OLIVIA 32/1000"},
    {"OPERA", "OPERA-BEACON,OPERA-QSO"},
    {"PAC", "PAC2,PAC3,PAC4"},
    {"PAX", "PAX2"},
    {"PKT", ""},
    {"PSK",
     "8PSK125,8PSK125F,8PSK125FL,8PSK250,8PSK250F,8PSK250FL,8PSK500,"
     "8PSK500F,8PSK1000,8PSK1000F,8PSK1200F,FSK31,PSK10,PSK31,PSK63,PSK63F,"
     "PSK63RC4,PSK63RC5,PSK63RC10,PSK63RC20,PSK63RC32,PSK125,PSK125C12,"
     "PSK125R,PSK125RC10,PSK125RC12,PSK125RC16,PSK125RC4,PSK125RC5,PSK250,"
     "PSK250C6,PSK250R,PSK250RC2,PSK250RC3,PSK250RC5,PSK250RC6,PSK250RC7,"
     "PSK500,PSK500C2,PSK500C4,PSK500R,PSK500RC2,PSK500RC3,PSK500RC4,"
     "PSK800C2,PSK800RC2,PSK1000,PSK1000C2,PSK1000R,PSK1000RC2,PSKAM10,"
     "PSKAM31,PSKAM50,PSKFEC31,QPSK31,QPSK63,QPSK125,QPSK250,QPSK500,"
     "SIM31"},
    {"PSK2K", ""},
    {"Q15", ""},
    {"QRA64", "QRA64A,QRA64B,QRA64C,QRA64D,QRA64E"},
    {"ROS", "ROS-EME,ROS-HF,ROS-MF"},
    {"RTTY", "ASCI"},
    {"RTTYM", ""},
    {"SSB", "LSB,USB"},
    {"SSTV", ""},
    {"T10", ""},
    {"THOR",
     "THOR-M,THOR4,THOR5,THOR8,THOR11,THOR16,THOR22,THOR25X4,THOR50X1,"
     "THOR50X2,THOR100"},
    {"THRB", "THRBX,THRBX1,THRBX2,THRBX4,THROB1,THROB2,THROB4"},
    {"TOR", "AMTORFEC,GTOR,NAVTEX,SITORB"},
    {"V4", ""},
    {"VOI", ""},
    {"WINMOR", ""},
    {"WSPR", ""},
};

constexpr char kQslSent[] = "YNRQI";
constexpr char kQslRcvd[] = "YNRIV";  // V is import-only, still accepted

// Fields of the MultilineString type, whose data may hold line ends.
constexpr const char* kMultilineFields[] = {"ADDRESS", "NOTES", "QSLMSG",
                                            "QSLMSG_RCVD", "RIG"};

constexpr int kEarliestYear = 1930;

constexpr const char* kKindNames[kFindingKindCount] = {
    "missing-field", "bad-date",          "bad-time",   "bad-band",
    "bad-mode",      "bad-submode",       "bad-qsl",    "bad-freq",
    "freq-outside-band", "bad-length",    "bad-tag",    "non-ascii",
    "empty-record",  "missing-eor",       "missing-eoh", "no-records",
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

std::string UpperText(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = Upper(c);
  return upper;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (!IsDigit(c)) return false;
  return true;
}

int Number(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

std::string_view TrimBlanks(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

std::string Quoted(std::string_view value) {
  return "\"" + PrintableText(value) + "\"";
}

const Band* FindBand(std::string_view upper_name) {
  for (const Band& band : kBands)
    if (UpperText(band.name) == upper_name) return &band;
  return nullptr;
}

const Band* BandOfFrequency(std::uint64_t hz) {
  for (const Band& band : kBands)
    if (hz >= band.lower_hz && hz <= band.upper_hz) return &band;
  return nullptr;
}

bool IsMode(std::string_view upper_name) {
  for (const Mode& mode : kModes)
    if (upper_name == mode.name) return true;
  return false;
}

// The mode whose submode \a upper_name is, or nullptr.
const char* ParentMode(std::string_view upper_name) {
  for (const Mode& mode : kModes) {
    std::string_view list = mode.submodes;
    while (!list.empty()) {
      std::size_t comma = list.find(',');
      if (list.substr(0, comma) == upper_name) return mode.name;
      if (comma == std::string_view::npos) break;
      list.remove_prefix(comma + 1);
    }
  }
  return nullptr;
}

// Frequencies above ten terahertz are all held as this.
constexpr std::uint64_t kCeiling = 10000000000000ULL;

// "7.085" as 7085000 Hz: digits with at most one decimal point; places
// beyond the sixth are dropped. False when \a text is no such number.
bool ParseMegahertz(std::string_view text, std::uint64_t* hz) {
  std::uint64_t whole = 0, fraction = 0, scale = 1000000;
  bool point = false, digits = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (IsDigit(c)) {
      digits = true;
      if (!point) {
        if (whole < kCeiling) whole = whole * 10 + (c - '0');
      } else if (scale > 1) {
        scale /= 10;
        fraction += (c - '0') * scale;
      }
    } else {
      return false;
    }
  }
  if (!digits) return false;
  *hz = whole >= kCeiling / 1000000 ? kCeiling : whole * 1000000 + fraction;
  return true;
}

std::string MegahertzText(std::uint64_t hz) {
  std::string fraction = std::to_string(hz % 1000000);
  fraction.insert(0, 6 - fraction.size(), '0');
  while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
  return std::to_string(hz / 1000000) + "." + fraction;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30,
                                31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Collects the findings of one record.
class RecordChecker {
 public:
  RecordChecker(std::size_t number, std::vector<Finding>* findings)
      : number_(number), findings_(findings) {}

  void Add(FindingKind kind, const std::string& field,
           const std::string& message) {
    Finding finding;
    finding.record = number_;
    finding.field = field;
    finding.kind = kind;
    finding.message = message;
    findings_->push_back(std::move(finding));
  }

  void CheckDate(const std::string& field, std::string_view value) {
    if (value.size() != 8 || !AllDigits(value)) {
      Add(FindingKind::kBadDate, field,
          Quoted(value) + " is not a date written YYYYMMDD");
      return;
    }
    int year = Number(value.substr(0, 4));
    int month = Number(value.substr(4, 2));
    int day = Number(value.substr(6, 2));
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
      Add(FindingKind::kBadDate, field,
          Quoted(value) + " is not a date of the calendar");
    else if (year < kEarliestYear)
      Add(FindingKind::kBadDate, field,
          Quoted(value) + " is before 19300101, the earliest date ADIF allows");
  }

  void CheckTime(const std::string& field, std::string_view value) {
    bool ok = (value.size() == 4 || value.size() == 6) && AllDigits(value) &&
              Number(value.substr(0, 2)) <= 23 &&
              Number(value.substr(2, 2)) <= 59 &&
              (value.size() == 4 || Number(value.substr(4, 2)) <= 59);
    if (!ok)
      Add(FindingKind::kBadTime, field,
          Quoted(value) + " is not a time written HHMM or HHMMSS");
  }

  // Returns the band, or nullptr when \a value is none.
  const Band* CheckBand(const std::string& field, std::string_view value) {
    const Band* band = FindBand(UpperText(value));
    if (band) return band;
    std::string message = Quoted(value) + " is not a band of " + kAdifVersion;
    if (!value.empty() && AllDigits(value) && FindBand(UpperText(value) + "M"))
      message += " (" + std::string(value) + "m?)";
    Add(FindingKind::kBadBand, field, message);
    return nullptr;
  }

  // Returns the upper-cased mode when it is one of the list, else "".
  std::string CheckMode(std::string_view value) {
    std::string upper = UpperText(value);
    if (IsMode(upper)) return upper;
    const char* parent = ParentMode(upper);
    if (parent)
      Add(FindingKind::kBadMode, "MODE",
          Quoted(value) + " is a submode: write MODE " + parent +
              ", SUBMODE " + upper);
    else
      Add(FindingKind::kBadMode, "MODE",
          Quoted(value) + " is not a mode of " + kAdifVersion);
    return "";
  }

  void CheckSubmode(std::string_view value, const std::string& mode) {
    const char* parent = ParentMode(UpperText(value));
    if (parent && mode != parent)
      Add(FindingKind::kBadSubmode, "SUBMODE",
          Quoted(value) + " is a submode of " + parent + ", not of " + mode);
  }

  void CheckQsl(const std::string& field, std::string_view value,
                const char* allowed) {
    std::string upper = UpperText(value);
    if (upper.size() == 1 && std::string_view(allowed).find(upper[0]) !=
                                 std::string_view::npos)
      return;
    std::string list;
    for (const char* p = allowed; *p; ++p)
      list += std::string(list.empty() ? "" : ", ") + *p;
    Add(FindingKind::kBadQsl, field, Quoted(value) + " is not one of " + list);
  }

  // Returns false when \a value is no frequency.
  bool CheckFrequency(const std::string& field, std::string_view value,
                      std::uint64_t* hz) {
    if (ParseMegahertz(value, hz) && *hz > 0) return true;
    std::string message = Quoted(value) + " is not a frequency in MHz";
    std::uint64_t ignored;
    if (value.find(',') != std::string_view::npos && value.find('.') ==
            std::string_view::npos) {
      std::string pointed(value);
      for (char& c : pointed)
        if (c == ',') c = '.';
      if (ParseMegahertz(pointed, &ignored))
        message += " (the decimal separator is a point)";
    }
    Add(FindingKind::kBadFreq, field, message);
    return false;
  }

  // \a value is the frequency as written, \a hz as read.
  void CheckFrequencyInBand(const std::string& field, std::string_view value,
                            std::uint64_t hz, const Band* band) {
    std::string written = PrintableText(value) + " MHz";
    if (band) {
      if (hz >= band->lower_hz && hz <= band->upper_hz) return;
      Add(FindingKind::kFreqOutsideBand, field,
          written + " is outside band " + band->name + " (" +
              MegahertzText(band->lower_hz) + " to " +
              MegahertzText(band->upper_hz) + " MHz)");
      return;
    }
    if (BandOfFrequency(hz)) return;
    std::string message = written + " is in no amateur band";
    if (hz < kCeiling && BandOfFrequency(hz / 1000))
      message += " (kHz written as MHz?)";
    Add(FindingKind::kFreqOutsideBand, field, message);
  }

  void CheckAscii(const std::string& field, std::string_view data) {
    bool multiline = false;
    for (const char* name : kMultilineFields)
      if (field == name) multiline = true;
    std::size_t count = 0, first = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(data[i]);
      if (c >= 0x20 && c < 0x7F) continue;
      if (multiline && (c == '\r' || c == '\n')) continue;
      if (count++ == 0) first = i;
    }
    if (count == 0) return;
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X",
                  static_cast<unsigned>(static_cast<unsigned char>(data[first])));
    Add(FindingKind::kNonAscii, field,
        std::to_string(count) + (count == 1 ? " byte" : " bytes") +
            " outside printable ASCII, the first " + byte + " at position " +
            std::to_string(first + 1) + ": .ADI files hold ASCII only");
  }

 private:
  std::size_t number_;
  std::vector<Finding>* findings_;
};

FindingKind KindOfSyntax(AdifSyntax syntax) {
  switch (syntax) {
    case AdifSyntax::kBadTag:
      return FindingKind::kBadTag;
    case AdifSyntax::kBadLength:
      return FindingKind::kBadLength;
    case AdifSyntax::kMissingEor:
      return FindingKind::kMissingEor;
    case AdifSyntax::kMissingEoh:
      return FindingKind::kMissingEoh;
  }
  return FindingKind::kBadTag;
}

// The values of one record that the checks relate to each other.
struct RecordValues {
  bool has[5] = {};  // CALL, QSO_DATE, TIME_ON, MODE, BAND or FREQ
  std::string mode;  // upper-cased, when valid
  std::string_view submode;
  bool has_submode = false;
  const Band* band = nullptr;
  const Band* band_rx = nullptr;
  std::string_view freq, freq_rx;  // as written, when numbers
  std::uint64_t freq_hz = 0, freq_rx_hz = 0;
};

constexpr const char* kRequired[] = {"CALL", "QSO_DATE", "TIME_ON", "MODE"};

void CheckValue(RecordChecker* checker, const std::string& name,
                std::string_view value, RecordValues* values) {
  for (int i = 0; i < 4; ++i)
    if (name == kRequired[i]) values->has[i] = true;
  if (name == "BAND" || name == "FREQ") values->has[4] = true;

  if (name == "QSO_DATE" || name == "QSO_DATE_OFF") {
    checker->CheckDate(name, value);
  } else if (name == "TIME_ON" || name == "TIME_OFF") {
    checker->CheckTime(name, value);
  } else if (name == "BAND") {
    values->band = checker->CheckBand(name, value);
  } else if (name == "BAND_RX") {
    values->band_rx = checker->CheckBand(name, value);
  } else if (name == "MODE") {
    values->mode = checker->CheckMode(value);
  } else if (name == "SUBMODE") {
    values->submode = value;
    values->has_submode = true;
  } else if (name == "QSL_SENT") {
    checker->CheckQsl(name, value, kQslSent);
  } else if (name == "QSL_RCVD") {
    checker->CheckQsl(name, value, kQslRcvd);
  } else if (name == "FREQ") {
    if (checker->CheckFrequency(name, value, &values->freq_hz))
      values->freq = value;
  } else if (name == "FREQ_RX") {
    if (checker->CheckFrequency(name, value, &values->freq_rx_hz))
      values->freq_rx = value;
  }
}

}  // namespace

const char* FindingKindName(FindingKind kind) {
  return kKindNames[static_cast<int>(kind)];
}

void CheckRecord(const AdifRecord& record, std::size_t number,
                 std::vector<Finding>* findings) {
  RecordChecker checker(number, findings);
  for (const AdifSyntaxProblem& problem : record.problems)
    checker.Add(KindOfSyntax(problem.kind), problem.field, problem.message);
  if (record.fields.empty()) {
    if (record.terminated)
      checker.Add(FindingKind::kEmptyRecord, "-", "<EOR> with no field");
    return;
  }
  RecordValues values;
  for (const AdifField& field : record.fields) {
    std::string name = PrintableText(UpperText(field.name));
    checker.CheckAscii(name, field.data);
    std::string_view value = TrimBlanks(field.data);
    // A blank value is as good as none: the required-field check reports it.
    if (!value.empty()) CheckValue(&checker, name, value, &values);
  }
  if (!values.mode.empty() && values.has_submode)
    checker.CheckSubmode(values.submode, values.mode);
  if (!values.freq.empty())
    checker.CheckFrequencyInBand("FREQ", values.freq, values.freq_hz,
                                 values.band);
  if (!values.freq_rx.empty())
    checker.CheckFrequencyInBand("FREQ_RX", values.freq_rx, values.freq_rx_hz,
                                 values.band_rx);
  for (int i = 0; i < 4; ++i)
    if (!values.has[i])
      checker.Add(FindingKind::kMissingField, kRequired[i],
                  std::string(kRequired[i]) + " is missing or blank");
  if (!values.has[4])
    checker.Add(FindingKind::kMissingField, "BAND",
                "neither BAND nor FREQ is given");
}

CheckReport CheckAdif(std::string_view bytes) {
  AdifFile file = ReadAdif(bytes);
  CheckReport report;
  report.record_count = file.records.size();
  for (const AdifSyntaxProblem& problem : file.file_problems) {
    Finding finding;
    finding.kind = KindOfSyntax(problem.kind);
    finding.field = problem.field;
    finding.message = problem.message;
    report.findings.push_back(std::move(finding));
  }
  if (file.records.empty()) {
    Finding finding;
    finding.kind = FindingKind::kNoRecords;
    finding.field = "-";
    finding.message = "the file holds no ADIF record";
    report.findings.push_back(std::move(finding));
  }
  for (std::size_t i = 0; i < file.records.size(); ++i)
    CheckRecord(file.records[i], i + 1, &report.findings);
  return report;
}

std::string FormatFinding(const Finding& finding) {
  std::string where = finding.record == 0
                          ? std::string("file")
                          : "record " + std::to_string(finding.record);
  return where + ": " + finding.field + ": " + finding.message;
}

std::string SummaryLine(const CheckReport& report) {
  std::string records = std::to_string(report.record_count) +
                        (report.record_count == 1 ? " record" : " records");
  if (report.findings.empty()) return "no findings in " + records;
  std::size_t counts[kFindingKindCount] = {};
  std::size_t records_with_findings = 0, last_record = 0;
  for (const Finding& finding : report.findings) {
    ++counts[static_cast<int>(finding.kind)];
    if (finding.record != 0 && finding.record != last_record) {
      ++records_with_findings;
      last_record = finding.record;
    }
  }
  std::size_t total = report.findings.size();
  std::string line = std::to_string(total) +
                     (total == 1 ? " finding in " : " findings in ") +
                     std::to_string(records_with_findings) + " of " + records +
                     ":";
  const char* separator = " ";
  for (int kind = 0; kind < kFindingKindCount; ++kind) {
    if (counts[kind] == 0) continue;
    line += separator + std::to_string(counts[kind]) + " " +
            FindingKindName(static_cast<FindingKind>(kind));
    separator = ", ";
  }
  return line;
}

std::string FormatReport(const CheckReport& report) {
  std::string text;
  for (const Finding& finding : report.findings)
    text += FormatFinding(finding) + "\n";
  return text + SummaryLine(report) + "\n";
}

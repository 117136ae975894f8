// services.cpp: the table of services and the rules of each, with their
// words.

#include "adif/services.h"

#include <algorithm>
#include <cstring>

#include "adif/check_words.h"
#include "adif/lotw_rules.h"
#include "platform/text.h"
#include "standard/bands.h"
#include "standard/dates.h"

namespace {

constexpr const char* kServiceFieldNames[kServiceFieldCount] = {
    "CALL",    "QSO_DATE", "TIME_ON", "BAND",      "BAND_RX",  "FREQ",
    "FREQ_RX", "MODE",     "SUBMODE", "PROP_MODE", "SAT_NAME",
};

// ---- LoTW: its signing client, TrustedQSL ----

std::string LotwRefuses(Language language, const std::string& why) {
  return Say(language,
             "LoTW rechaza el registro: ", "LoTW refuses the record: ") +
         why;
}

void LotwFile(AdifForm form, Language language, const ServiceReport& report) {
  if (form != AdifForm::kXml) return;
  report(FindingKind::kServiceRefuses, "-",
         Say(language,
             "el programa de LoTW no lee ficheros .ADX: dele el fichero .ADI",
             "LoTW's client reads no .ADX files: give it the .ADI form"));
}

// The band of the record as the client takes it: BAND, or else the band
// of FREQ. \a hz is set to FREQ's hertz, 0 when there is none to read.
void LotwBandAndFrequency(const ServiceValue& band, const ServiceValue& freq,
                          const LotwBand** lotw_band, std::uint64_t* hz) {
  *hz = 0;
  if (freq.present && !ReadMegahertz(freq.view(), hz)) *hz = 0;
  *lotw_band = band.present ? FindLotwBand(band.view())
                            : (*hz != 0 ? LotwBandOfHertz(*hz) : nullptr);
}

void LotwBands(const ServiceRecord& r, Language language,
               const ServiceReport& report) {
  auto T = [language](const char* spanish, const char* english) {
    return Say(language, spanish, english);
  };
  const struct {
    ServiceField band, freq;
  } pairs[] = {{ServiceField::kBand, ServiceField::kFreq},
               {ServiceField::kBandRx, ServiceField::kFreqRx}};
  for (const auto& pair : pairs) {
    const ServiceValue& band = r[pair.band];
    const ServiceValue& freq = r[pair.freq];
    const char* band_name = ServiceFieldName(pair.band);
    const char* freq_name = ServiceFieldName(pair.freq);
    const LotwBand* lotw_band = nullptr;
    std::uint64_t hz = 0;
    LotwBandAndFrequency(band, freq, &lotw_band, &hz);
    if (band.present && !lotw_band) {
      report(FindingKind::kServiceRefuses, band_name,
             LotwRefuses(language,
                         Quoted(band.view()) + T(" no es una banda de LoTW",
                                                 " is not a band of LoTW")));
      continue;
    }
    if (!band.present && pair.band == ServiceField::kBand && hz != 0 &&
        !lotw_band) {
      report(FindingKind::kServiceRefuses, freq_name,
             LotwRefuses(language, EscapedToken(freq.view()) +
                                       T(" MHz no cae en ninguna banda de LoTW",
                                         " MHz lies in no band of LoTW")));
      continue;
    }
    if (!band.present || hz == 0 ||
        (hz >= lotw_band->lower_hz && hz <= lotw_band->upper_hz))
      continue;
    report(FindingKind::kServiceDrops, freq_name,
           T("LoTW descarta ", "LoTW drops ") + std::string(freq_name) + " " +
               EscapedToken(freq.view()) +
               T(" MHz: est\xE1 fuera de su banda ",
                 " MHz: it lies outside its band ") +
               lotw_band->name + " (" + MegahertzText(lotw_band->lower_hz) +
               T(" a ", " to ") + MegahertzText(lotw_band->upper_hz) +
               T(" MHz); guarda el contacto sin frecuencia",
                 " MHz) and keeps the contact without a frequency"));
  }
}

void LotwPropagation(const ServiceRecord& r, Language language,
                     const ServiceReport& report) {
  auto T = [language](const char* spanish, const char* english) {
    return Say(language, spanish, english);
  };
  const ServiceValue& prop = r[ServiceField::kPropMode];
  const ServiceValue& sat = r[ServiceField::kSatName];
  if (prop.present && !IsLotwPropagationMode(prop.view()))
    report(FindingKind::kServiceRefuses, "PROP_MODE",
           LotwRefuses(language, Quoted(prop.view()) +
                                     T(" no es un modo de propagaci\xF3n de "
                                       "LoTW (se escribe en may\xFAsculas)",
                                       " is not a propagation mode of LoTW "
                                       "(written in capitals)")));
  if (sat.present && !IsLotwSatellite(sat.view()))
    report(FindingKind::kServiceRefuses, "SAT_NAME",
           LotwRefuses(language,
                       Quoted(sat.view()) + T(" no es un sat\xE9lite de LoTW",
                                              " is not a satellite of LoTW")));
  const bool by_satellite = prop.present && prop.view() == "SAT";
  if (by_satellite && !sat.present)
    report(
        FindingKind::kServiceRefuses, "SAT_NAME",
        LotwRefuses(language, T("PROP_MODE es SAT pero falta SAT_NAME",
                                "PROP_MODE is SAT but SAT_NAME is missing")));
  if (sat.present && !by_satellite)
    report(
        FindingKind::kServiceRefuses, "PROP_MODE",
        LotwRefuses(language, T("hay SAT_NAME pero PROP_MODE no es SAT",
                                "SAT_NAME is given but PROP_MODE is not SAT")));
}

void LotwRecord(const ServiceRecord& r, Language language,
                const ServiceReport& report) {
  auto T = [language](const char* spanish, const char* english) {
    return Say(language, spanish, english);
  };
  if (!r.has_fields) {
    if (r.terminated)
      report(FindingKind::kServiceRefuses, "-",
             LotwRefuses(language, T("no tiene CALL", "it has no CALL")));
    return;
  }
  if (!r.terminated)
    report(
        FindingKind::kServiceRefuses, "-",
        T("el programa de LoTW descarta este registro sin avisar: le falta "
          "el <EOR>",
          "LoTW's client drops this record without a word: it has no <EOR>"));
  if (!r.refused_type.empty())
    report(FindingKind::kServiceRefuses, r.refused_type_field,
           LotwRefuses(language, T("el programa de LoTW no acepta el indicador "
                                   "de tipo ",
                                   "LoTW's client takes no type indicator ") +
                                     EscapedToken(r.refused_type)));
  for (int f = 0; f < kServiceFieldCount; ++f) {
    const ServiceValue& value = r.values[f];
    const int longest = LotwLongestValue(kServiceFieldNames[f]);
    if (!value.present || longest == 0 ||
        value.length <= std::uint64_t(longest))
      continue;
    report(FindingKind::kServiceRefuses, kServiceFieldNames[f],
           LotwRefuses(language, T("su programa lee a lo sumo ",
                                   "its client reads at most ") +
                                     std::to_string(longest) +
                                     T(" caracteres de ", " characters of ") +
                                     kServiceFieldNames[f] +
                                     T(", y este tiene ", ", and this has ") +
                                     std::to_string(value.length)));
  }
  const ServiceValue& call = r[ServiceField::kCall];
  if (call.present && !IsLotwAmateurCall(AsciiUpperText(call.view())))
    report(FindingKind::kServiceRefuses, "CALL",
           LotwRefuses(language, Quoted(call.view()) +
                                     T(" no es un indicativo de aficionado",
                                       " is not an amateur call sign")));
  const ServiceValue& date = r[ServiceField::kQsoDate];
  if (date.present && IsAdifDate(date.view()) &&
      date.view() < std::string_view(kLotwEarliestDate))
    report(FindingKind::kServiceRefuses, "QSO_DATE",
           LotwRefuses(language, Quoted(date.view()) +
                                     T(" es anterior a 19451101: ning\xFAn "
                                       "certificado de LoTW llega tan atr\xE1s",
                                       " is before 19451101: no LoTW "
                                       "certificate reaches back so far")));
  LotwBands(r, language, report);
  const ServiceValue& mode = r[ServiceField::kMode];
  const ServiceValue& submode = r[ServiceField::kSubmode];
  if (mode.present &&
      !LotwModeOf(mode.view(), submode.present ? submode.view() : ""))
    report(FindingKind::kServiceRefuses, "MODE",
           LotwRefuses(
               language,
               T("MODE ", "MODE ") + Quoted(mode.view()) +
                   (submode.present ? ", SUBMODE " + Quoted(submode.view())
                                    : std::string()) +
                   T(" no es ninguno de sus modos", " is none of its modes")));
  LotwPropagation(r, language, report);
}

// clang-format off
const CheckService kServices[] = {
    {"lotw", "LoTW", LotwFile, LotwTakesTypeIndicator, LotwRecord},
};
// clang-format on

}  // namespace

const char* ServiceFieldName(ServiceField field) {
  return kServiceFieldNames[static_cast<int>(field)];
}

int ServiceFieldOf(std::string_view name) {
  for (int f = 0; f < kServiceFieldCount; ++f)
    if (EqualIgnoringCase(name, kServiceFieldNames[f])) return f;
  return -1;
}

void ServiceValue::Keep(std::string_view value, std::uint64_t whole_length) {
  present = true;
  size = std::min(value.size(), sizeof bytes);
  std::memcpy(bytes, value.data(), size);
  length = whole_length;
}

void ServiceRecord::Clear() {
  for (ServiceValue& value : values) value.present = false;
  refused_type_field.clear();
  refused_type.clear();
  has_fields = false;
  terminated = false;
}

const CheckService* FindCheckService(std::string_view option) {
  for (const CheckService& service : kServices)
    if (EqualIgnoringCase(option, service.option)) return &service;
  return nullptr;
}

std::string CheckServiceOptions() {
  std::string options;
  for (const CheckService& service : kServices)
    options += std::string(options.empty() ? "" : ", ") + service.option;
  return options;
}

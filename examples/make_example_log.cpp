// make_example_log.cpp: writes the small sample logs the documents convert.
//
// log2005.dbf: a Spanish station's contacts with Spanish column names,
// accented names (Windows-1252), times with colons, QSL flags and one record
// marked as deleted.
// fox2006.dbf with fox2006.FPT: a FoxPro table from a DOS logger, its text in
// code page 850 (as its header says), with a memo column of notes.
// oldlog.dbf: a log kept for twenty years in a DOS logger (code page 850),
// with every trap of an old log: column names that are no ADIF names,
// dates as text day first with two- and four-digit years and a month name,
// times as 9:15, 915, 14.31z and 18h20, frequencies in kilohertz or with a
// decimal comma, bands as 40, 20 m and 70CM, modes that ADIF writes as
// MODE and SUBMODE, call signs in lower case or with blanks, QSL flags as
// SI, NO, X and a logical column, right-aligned numbers, the station's own
// call sign repeated in a column named CALLSIGN, locators in a column
// whose name says nothing, and a contact whose call sign was lost.
//
// usage: make_example_log FOLDER

#include <cstdio>
#include <string>

#include "dbf_builder.h"

namespace {

bool Save(const std::string& path, const std::string& bytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
      std::fclose(out) != 0) {
    std::perror(path.c_str());
    return false;
  }
  return true;
}

// Code page 850 bytes of the accented letters used below.
#define E_ACUTE "\x82"
#define A_ACUTE_CAPITAL "\xB5"
#define I_ACUTE "\xA1"
#define O_ACUTE "\xA2"
#define N_TILDE "\xA4"
#define U_UMLAUT "\x81"

bool WriteFoxProLog(const std::string& folder) {
  std::vector<std::uint32_t> blocks;
  std::string memo = BuildMemoFile(
      MemoLayout::kFoxPro,
      {"Primer QSO con Canarias en 10 metros.\r\nQSL directa, sobre "
       "enviado.",
       "Concurso CQ WW, intercambio 14.",
       "Muy buena se" N_TILDE "al. Jos" E_ACUTE " es operador de la radio "
       "del club de Le" O_ACUTE "n."},
      &blocks);
  BuilderTable table;
  table.version = 0xF5;    // FoxPro 2 with memo
  table.code_page = 0x02;  // code page 850
  table.year = 106;
  table.month = 11;
  table.day = 3;
  table.columns = {{"CALL", 'C', 10, 0},    {"QSO_DATE", 'D', 8, 0},
                   {"TIME_ON", 'C', 5, 0},  {"BAND", 'C', 4, 0},
                   {"MODE", 'C', 4, 0},     {"NAME", 'C', 16, 0},
                   {"QSL_SENT", 'C', 1, 0}, {"NOTES", 'M', 10, 0}};
  // clang-format off
  table.rows = {
      {"EA8XY", "20060412", "16:20", "10M", "SSB", "Mar" I_ACUTE "a",
       "S", MemoNumber(blocks[0])},
      {"DL1MUE", "20061125", "08:02", "20M", "CW", "J" U_UMLAUT "rgen",
       "N", MemoNumber(blocks[1])},
      {"EA1GHI", "20061130", "19:45", "80M", "SSB", "Jos" E_ACUTE " " A_ACUTE_CAPITAL
       "ngel", "S", MemoNumber(blocks[2])},
      {"OH2XYZ", "20061201", "07:30", "40M", "CW", "Mikko", "N",
       MemoNumber(0)},
  };
  // clang-format on
  return Save(folder + "/fox2006.FPT", memo) &&
         Save(folder + "/fox2006.dbf", BuildTable(table));
}

bool WriteOldLog(const std::string& folder) {
  BuilderTable table;
  table.code_page = 0x02;  // code page 850
  table.year = 119;
  table.month = 6;
  table.day = 30;
  // clang-format off
  table.columns = {
      {"INDICATIV", 'C', 10, 0}, {"FECHA", 'C', 10, 0}, {"HORA", 'C', 6, 0},
      {"FREC", 'C', 8, 0},       {"BANDA", 'C', 5, 0},  {"MODO", 'C', 6, 0},
      {"RST_S", 'C', 3, 0},      {"RST_R", 'C', 3, 0},  {"NOMBRE", 'C', 16, 0},
      {"CALLSIGN", 'C', 8, 0},   {"CAMPO1", 'C', 6, 0}, {"F_QSL", 'D', 8, 0},
      {"QSL_E", 'C', 2, 0},      {"QSL_R", 'L', 1, 0},  {"POT", 'N', 4, 0},
      {"NOTAS", 'C', 20, 0},
  };
  // clang-format on
  // clang-format off
  table.rows = {
      {"ea4abc", "14/06/98", "9:15", "7085", "40", "LSB", "59", "57", "Jos" E_ACUTE " Mar" I_ACUTE "a", "EA4XYZ", "IN80dk", "19980620", "SI", "T", "100", ""},
      {"F 6XYZ", "14/06/98", "9:42", "7012", "40M", "cw", "599", "579", "Fran\x87ois", "EA4XYZ", "", "", "NO", "F", "100", "QRM"},
      {"dl1mue", "2/7/03", "1405", "14,195", "20 m", "USB", "5 9", "5 9", "J" U_UMLAUT "rgen", "EA4XYZ", "JN58", "20030710", "X", "T", "50", ""},
      {"g3abc", "2/7/03", "14.31z", "14025", "20", "CW", "579", "559", "Peter", "EA4XYZ", "IO91", "20030712", "S", "?", "100", ""},
      {"ea8xy", "25-12-2005", "18h20", "21295", "15m", "SSB", "59", "59", "Bego" N_TILDE "a", "EA4XYZ", "", "20060115", "SI", "T", "100", "Islas Canarias"},
      {"ct1aaa", "14-JUN-05", "0805", "21,310", "15M", "SSB", "57", "55", "Jo\xC6o", "EA4XYZ", "IM58", "", "NO", "F", "100", ""},
      {"oh2xyz", "3.1.2010", "16:05", "7040", "40", "RTTY", "599", "599", "Mikko", "EA4XYZ", "KP20", "20100201", "SI", "T", "100", ""},
      {"ea5jkl", "22/01/2010", "9:00", "145500", "2 M", "FM", "59", "59", "Vicente", "EA4XYZ", "IM99", "", "NO", "F", "5", "Repetidor"},
      {"", "22/01/2010", "11:00", "14200", "20", "SSB", "59", "", "", "EA4XYZ", "", "", "", "", "100", "Indicativo perdido"},
      {"w1aw", "30/11/2015", "22:10", "14047", "20M", "PSK31", "599", "599", "Hiram", "EA4XYZ", "FN31", "20151201", "X", "T", "50", "ARRL HQ"},
      {"ja1xyz", "05/06/2019", "0755", "21074", "15", "FT8", "-10", "-15", "Takeshi", "EA4XYZ", "PM95", "", "NO", "F", "50", ""},
      {"vk2abc", "17/06/2019", "812", "14080", "20", "FT4", "-05", "+02", "Bruce", "EA4XYZ", "QF56", "", "SI", "T", "50", "Long path"},
      {"ea3def", "18/06/2019", "11:30", "3.650", "80", "LSB", "59", "59", "N\xA3ria", "EA4XYZ", "JN11", "", "SI", "T", "100", ""},
      {"9a2abc", "20/06/2019", "10:10", "10120", "30M", "CW", "579", "579", "Ivan", "EA4XYZ", "JN75", "", "NO", "?", "100", ""},
      {"ok1xyz", "21/06/2019", "10:35", "10125", "30", "JS8", "599", "589", "Jiri", "EA4XYZ", "JO70", "", "S", "T", "100", ""},
      {"ea7mno", "22/06/2019", "9:20", "432200", "70CM", "FM", "59", "59", "Roc" I_ACUTE "o", "EA4XYZ", "IM67", "", "NO", "F", "5", ""},
      {"lu1abc", "25/06/2019", "23:05", "14180", "20", "USB", "57", "55", "Mart" I_ACUTE "n", "EA4XYZ", "GF05", "", "SI", "F", "100", ""},
      {"pa3abc", "26/06/2019", "19:58", "7095", "40M", "LSB", "5 7", "5 7", "Jan", "EA4XYZ", "JO22", "", "NO", "F", "100", ""},
  };
  // clang-format on
  return Save(folder + "/oldlog.dbf", BuildTable(table));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_example_log FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  if (!WriteFoxProLog(folder) || !WriteOldLog(folder)) return 1;
  BuilderTable table;
  // clang-format off
  table.columns = {
      {"INDICATIVO", 'C', 12, 0}, {"FECHA", 'D', 8, 0},
      {"HORA", 'C', 5, 0},        {"BANDA", 'C', 5, 0},
      {"MODO", 'C', 5, 0},        {"FRECUENCIA", 'N', 9, 3},
      {"RST_ENV", 'C', 3, 0},     {"RST_REC", 'C', 3, 0},
      {"NOMBRE", 'C', 20, 0},     {"QTH", 'C', 20, 0},
      {"QSL_ENV", 'C', 1, 0},     {"QSL_REC", 'C', 1, 0},
      {"NOTAS", 'C', 30, 0},
  };
  // clang-format on
  // clang-format off
  table.rows = {
      {"EA4ABC", "20050102", "09:15", "40M", "SSB", "7.085", "59", "57", "Jos\xE9 Mar\xED""a", "Madrid", "S", "S", ""},
      {"F6XYZ", "20050102", "09:42", "40M", "CW", "7.012", "599", "579", "Fran\xE7ois", "Lyon", "S", "N", "QRM"},
      {"DL1MUE", "20050103", "14:05", "20M", "SSB", "14.195", "59", "59", "J\xFCrgen M\xFCller", "M\xFCnchen", "S", "S", ""},
      {"G3ABC", "20050103", "14:31", "20M", "CW", "14.025", "579", "559", "Peter", "London", "N", "N", ""},
      {"EA8XY", "20050105", "18:20", "15M", "SSB", "21.295", "59", "59", "Bego\xF1""a", "Las Palmas", "S", "T", "Islas Canarias"},
      {"CT1AAA", "20050105", "18:47", "15M", "SSB", "21.310", "57", "55", "Jo\xE3o", "Lisboa", "s", "N", ""},
      {"I2XYZ", "20050108", "10:02", "10M", "SSB", "28.495", "59", "59", "Giovanni", "Milano", "S", "S", "Sporadic E"},
      {"W1AW", "20050109", "22:10", "20M", "CW", "14.047", "599", "599", "Hiram", "Newington", "S", "S", "ARRL HQ"},
      {"JA1XYZ", "20050110", "07:55", "15M", "CW", "21.030", "579", "569", "Takeshi", "Tokyo", "S", "N", "Long path"},
      {"VK2ABC", "20050112", "08:12", "20M", "SSB", "14.220", "55", "53", "Bruce", "Sydney", "S", "N", ""},
      {"EA3DEF", "20050115", "11:30", "80M", "SSB", "3.650", "59", "59", "N\xFAria", "Barcelona", "S", "S", ""},
      {"EA1GHI", "20050115", "11:48", "80M", "SSB", "3.655", "59", "58", "\xC1ngel", "Le\xF3n", "T", "S", ""},
      {"OH2XYZ", "20050116", "16:05", "40M", "RTTY", "7.040", "599", "599", "Mikko", "Helsinki", "S", "S", ""},
      {"SM5ABC", "20050116", "16:22", "40M", "RTTY", "7.042", "599", "599", "\xC5sa", "Stockholm", "N", "N", ""},
      {"ON4XYZ", "20050118", "19:40", "40M", "SSB", "7.090", "59", "59", "Luc", "Bruxelles", "S", "S", ""},
      {"PA3ABC", "20050118", "19:58", "40M", "SSB", "7.095", "57", "57", "Jan", "Utrecht", "S", "N", ""},
      {"HB9XYZ", "20050120", "13:13", "20M", "CW", "14.030", "599", "589", "Ren\xE9", "Gen\xE8ve", "S", "S", ""},
      {"OE1ABC", "20050120", "13:35", "20M", "SSB", "14.250", "59", "59", "Wolfgang", "Wien", "S", "S", ""},
      {"EA5JKL", "20050122", "09:00", "2M", "FM", "145.500", "59", "59", "Vicente", "Val\xE8ncia", "N", "N", "Repetidor"},
      {"EA7MNO", "20050122", "09:20", "2M", "FM", "145.525", "59", "59", "Roc\xEDo", "Sevilla", "N", "N", ""},
      {"LU1ABC", "20050125", "23:05", "20M", "SSB", "14.180", "57", "55", "Mart\xEDn", "Buenos Aires", "S", "N", ""},
      {"PY2XYZ", "20050125", "23:30", "20M", "SSB", "14.185", "59", "57", "Jo\xE3o Paulo", "S\xE3o Paulo", "S", "S", ""},
      {"XE1ABC", "20050127", "02:15", "40M", "CW", "7.020", "579", "559", "Jes\xFAs", "M\xE9xico", "S", "N", ""},
      {"CE3XYZ", "20050127", "02:40", "40M", "CW", "7.022", "559", "539", "Ignacio", "Santiago", "S", "N", ""},
      {"ZS6ABC", "20050129", "17:10", "15M", "SSB", "21.250", "59", "59", "Pieter", "Pretoria", "S", "S", ""},
      {"5B4XYZ", "20050129", "17:35", "15M", "SSB", "21.260", "59", "59", "Andreas", "Limassol", "S", "S", ""},
      {"EA6PQR", "20050201", "12:00", "17M", "SSB", "18.130", "59", "59", "Catalina", "Palma", "S", "S", "Baleares"},
      {"EA9STU", "20050201", "12:25", "17M", "SSB", "18.135", "57", "57", "Mohamed", "Ceuta", "S", "N", ""},
      {"4X4ABC", "20050203", "15:45", "12M", "CW", "24.900", "599", "599", "Avi", "Tel Aviv", "S", "S", ""},
      {"SV1XYZ", "20050203", "16:02", "12M", "SSB", "24.950", "59", "59", "Giorgos", "Athina", "S", "N", ""},
      {"9A2ABC", "20050205", "10:10", "30M", "CW", "10.120", "579", "579", "Ivan", "Zagreb", "N", "N", ""},
      {"OK1XYZ", "20050205", "10:35", "30M", "CW", "10.125", "599", "589", "Ji\xF8\xED", "Praha", "S", "S", ""},
      {"", "20050206", "11:00", "20M", "SSB", "14.200", "59", "", "", "", "", "", "Indicativo perdido"},
      {"EA4ZZZ", "20050207", "20:20", "40M", "SSB", "7.150", "59", "59", "Duplicado", "Madrid", "N", "N", "Borrado"},
      {"EA2VWX", "20050208", "21:15", "160M", "CW", "1.830", "569", "559", "I\xF1""aki", "Bilbao", "S", "S", ""},
      {"UA3ABC", "20050210", "06:45", "20M", "CW", "14.010", "599", "579", "Sergei", "Moskva", "S", "N", ""},
  };
  // clang-format on
  table.deleted.assign(table.rows.size(), false);
  table.deleted[33] = true;  // the duplicate contact, marked as deleted
  return Save(folder + "/log2005.dbf", BuildTable(table)) ? 0 : 1;
}

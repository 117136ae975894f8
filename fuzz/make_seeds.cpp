// make_seeds.cpp: writes the seed corpora of the fuzz targets: small valid
// tables of each flavour (dBase III, dBase III and FoxPro with memo columns,
// Visual FoxPro with its 263-byte trailer), the same tables cut short, and
// tables whose headers lie. Run as
//   make_seeds OUTPUT_FOLDER
// to fill OUTPUT_FOLDER/layout, OUTPUT_FOLDER/convert, OUTPUT_FOLDER/mapping
// and OUTPUT_FOLDER/memo. The output is the same on every run.

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "dbf_builder.h"
#include "mapping/catalogue.h"

namespace {

std::string folder;

void Write(const std::string& target, const std::string& name,
           const std::string& bytes) {
  std::string path = folder + "/" + target + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file ||
      std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
      std::fclose(file) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
}

BuilderTable Log(unsigned char version) {
  BuilderTable t;
  t.version = version;
  t.columns = {{"CALL", 'C', 10},    {"QSO_DATE", 'D', 8}, {"TIME_ON", 'C', 5},
               {"BAND", 'C', 4},     {"MODE", 'C', 4},     {"FREQ", 'N', 8, 3},
               {"QSL_SENT", 'C', 1}, {"QSL_RCVD", 'C', 4}, {"NAME", 'C', 14},
               {"COMMENT", 'C', 20}};
  // clang-format off
  t.rows = {
      {"EA4ABC", "20040915", "12:34", "20M", "SSB", "14.195", "S", "Sent",
       "Jos\xE9 Mar\xED" "a", "buen QSO"},
      {"N0CALL", "20041001", "08:05", "40M", "CW", "7.020", "N", "R",
       "John", "a:b <EOR>\r\n"},
      {"", "20041002", "09:00", "80M", "CW", "3.5", "T", "t", "Nobody", ""},
      {"G4XYZ", "20041003", "23:59", "2M", "FM", "145.5", "s", "Y",
       "\xC1ngel Pe\xF1" "a", "tab\t"},
  };
  // clang-format on
  t.deleted = {false, false, true, false};
  return t;
}

// The convert target's control bytes: flags, then one keyword selector per
// column: the catalogue row of the column's name, or the skip word.
std::string Control(const BuilderTable& t, unsigned char flags,
                    Language language) {
  std::string control(1, static_cast<char>(flags));
  control += static_cast<char>(t.columns.size());
  for (const BuilderColumn& c : t.columns) {
    int row = FindCatalogueRow(c.name, language);
    control += static_cast<char>(row > 0 ? row : 0);
  }
  control += '\xFF';  // output limit: 4080 bytes
  control += '\xFF';  // input limit: 2040 bytes
  return control;
}

void Put(const std::string& name, const BuilderTable& t,
         const std::string& bytes) {
  Write("layout", name, bytes);
  Write("convert", name + "-en", Control(t, 1, kEnglish) + bytes);
  Write("convert", name + "-es-skipdel-failing",
        Control(t, 2 | 8 | 16, kSpanish) + bytes);
  std::string maps = "CALL=call,#2=QSO_DATE\nTIME_ON=TIME_ON,band=BAND, "
                     "MODE = mode,#6=Skip\nQSL_SENT=QSL_SENT,QSL_RCVD=Omitir";
  Write("mapping", name + "-map", std::string("\x01") + maps + '\0' + bytes);
  Write("mapping", name + "-auto", std::string("\x02") + '\0' + bytes);
}

void SetLittle(std::string* bytes, std::size_t at, std::uint32_t value,
               int count) {
  PutLittle(bytes, at, value, count);
}

void PutBig(std::string* out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    (*out)[at + i] = static_cast<char>((value >> (8 * (3 - i))) & 0xFF);
}

// Memo files holding "first memo" in block 1 and a text of 700 bytes after
// it, in each layout: 0 dBase III, 1 dBase IV, 2 FoxPro, 3 Visual FoxPro
// (the same as FoxPro). Returns the file and the blocks of the two texts.
std::string MemoFileBytes(int layout, std::uint32_t* first_block,
                          std::uint32_t* second_block) {
  *first_block = 1;
  const std::string first = "first memo: Jos\xE9 worked us on 20M";
  const std::string second(700, 'm');
  std::string out;
  if (layout == 0) {
    out.assign(512, '\0');
    out += first + "\x1A\x1A";
    out.resize(1024, '\0');
    *second_block = 2;
    out += second + "\x1A\x1A";
    out.resize(2048, '\0');
    PutLittle(&out, 0, 4, 4);
  } else if (layout == 1) {
    out.assign(64, '\0');
    PutLittle(&out, 20, 64, 2);
    for (const std::string* text : {&first, &second}) {
      std::string block =
          std::string("\xFF\xFF\x08\x00", 4) + std::string(4, '\0') + *text;
      PutLittle(&block, 4, static_cast<std::uint32_t>(block.size()), 4);
      block.resize((block.size() + 63) / 64 * 64, '\0');
      out += block;
    }
    *second_block = 2;
  } else {
    out.assign(512, '\0');
    out[7] = 64;  // block size 64, big-endian at 6
    for (const std::string* text : {&first, &second}) {
      std::string block(8, '\0');
      PutBig(&block, 0, 1);
      PutBig(&block, 4, static_cast<std::uint32_t>(text->size()));
      block += *text;
      block.resize((block.size() + 63) / 64 * 64, '\0');
      out += block;
    }
    *first_block = 8;  // the blocks after the 512-byte header
    *second_block = 9;
  }
  return out;
}

std::string BlockField(int layout, std::uint32_t block) {
  if (layout == 3) {
    std::string field(4, '\0');
    PutLittle(&field, 0, block, 4);
    return field;
  }
  std::string digits = std::to_string(block);
  return std::string(10 - digits.size(), ' ') + digits;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds OUTPUT_FOLDER\n");
    return 2;
  }
  folder = argv[1];
  for (const char* target : {"", "/layout", "/convert", "/mapping", "/memo"})
    mkdir((folder + target).c_str(), 0777);

  // Valid tables of each flavour.
  BuilderTable dbase3 = Log(0x03);
  std::string dbase3_bytes = BuildTable(dbase3);
  Put("dbase3", dbase3, dbase3_bytes);

  BuilderTable memo = Log(0x83);
  memo.columns.push_back({"NOTES", 'M', 10});
  for (auto& row : memo.rows) row.push_back("         1");
  Put("dbase3-memo", memo, BuildTable(memo));

  BuilderTable foxpro = Log(0xF5);
  foxpro.columns.push_back({"NOTES", 'M', 10});
  for (auto& row : foxpro.rows) row.push_back("        12");
  foxpro.end_marker = false;
  Put("foxpro2", foxpro, BuildTable(foxpro));

  BuilderTable vfp = Log(0x30);
  vfp.foxpro_trailer = true;
  vfp.code_page = 0x03;
  vfp.columns.push_back({"_NullFlags", '0', 1});
  for (auto& row : vfp.rows) row.push_back(std::string(1, '\0'));
  std::string vfp_bytes = BuildTable(vfp);
  // Visual FoxPro stores each column's offset in the record and flags.
  std::size_t offset = 1;
  for (std::size_t i = 0; i < vfp.columns.size(); ++i) {
    SetLittle(&vfp_bytes, 32 + 32 * i + 12, static_cast<std::uint32_t>(offset),
              4);
    offset += vfp.columns[i].length;
  }
  vfp_bytes[32 + 32 * (vfp.columns.size() - 1) + 18] = 0x05;
  Put("visual-foxpro", vfp, vfp_bytes);

  BuilderTable empty = Log(0x03);
  empty.rows.clear();
  Put("no-records", empty, BuildTable(empty));

  BuilderTable bare;
  bare.rows = {{}, {}, {}};
  Put("no-columns", bare, BuildTable(bare));

  // Odd but legal columns: zero length, 255 bytes, names without a NUL, with
  // blanks, control bytes or nothing at all, a NUL type byte; values with
  // NUL, 0xFF and trailing blanks.
  BuilderTable odd;
  odd.columns = {{"CALL", 'C', 6},      {"ZERO", 'C', 0},
                 {"WIDE", 'C', 255},    {"ELEVENCHARS", 'C', 3},
                 {"TWO WORDS", 'C', 2}, {"", 'C', 2},
                 {"CTL\x01", '\0', 2},  {"TIME_OFF", 'N', 8}};
  odd.rows = {
      {"AB\0CD", "", std::string(255, 'x'), "abc", "x ", "  ", "\xFF\xFF",
       "12:34:56"},
      {"K1ABC", "", std::string(254, ' ') + "y", "\0\0\0", "", "", "", ""}};
  odd.rows[0][0] = std::string("AB\0CD", 5);
  odd.rows[1][3] = std::string(3, '\0');
  Put("odd-columns", odd, BuildTable(odd));

  // Cut short: inside the header, inside the descriptors, on the
  // terminator, inside a record, and one byte short of the end.
  std::size_t header_size = TableHeader(dbase3, 4).size();
  Put("cut-header", dbase3, dbase3_bytes.substr(0, 20));
  Put("cut-descriptors", dbase3, dbase3_bytes.substr(0, 32 + 32 * 3 + 10));
  Put("cut-terminator", dbase3, dbase3_bytes.substr(0, header_size - 1));
  Put("cut-record", dbase3, dbase3_bytes.substr(0, header_size + 100));
  Put("cut-last-byte", dbase3, dbase3_bytes.substr(0, dbase3_bytes.size() - 2));
  Put("cut-vfp-trailer", vfp, vfp_bytes.substr(0, 32 + 32 * 11 + 1 + 100));

  // Lying headers.
  auto lie = [&](const std::string& name, std::size_t at, std::uint32_t value,
                 int count) {
    std::string bytes = dbase3_bytes;
    SetLittle(&bytes, at, value, count);
    Put(name, dbase3, bytes);
  };
  lie("header-length-0", 8, 0, 2);
  lie("header-length-31", 8, 31, 2);
  lie("header-length-64", 8, 64, 2);
  lie("header-length-32n", 8, static_cast<std::uint32_t>(header_size - 1), 2);
  lie("header-length-32n-plus-7", 8,
      static_cast<std::uint32_t>(header_size + 6), 2);
  lie("header-length-65535", 8, 65535, 2);
  lie("record-count-max", 4, 0xFFFFFFFFu, 4);
  lie("record-count-3e9", 4, 3000000000u, 4);
  lie("record-length-short", 10, 5, 2);
  {
    std::string bytes = dbase3_bytes;
    bytes[32 + 32 * 9 + 16] = static_cast<char>(255);  // COMMENT: 20 -> 255
    Put("columns-past-record", dbase3, bytes);
    std::string no_terminator = dbase3_bytes;
    no_terminator[header_size - 1] = 'X';
    Put("no-terminator", dbase3, no_terminator);
  }
  // A dBase 7 table read as if it were dBase III: 48-byte descriptors.
  {
    std::string bytes(68, '\0');
    bytes[0] = 0x04;
    SetLittle(&bytes, 4, 2, 4);
    SetLittle(&bytes, 8, 68 + 48 * 2 + 1, 2);
    SetLittle(&bytes, 10, 1 + 10 + 8, 2);
    for (auto [name, type, length] :
         {std::tuple<const char*, char, int>{"CALL", 'C', 10},
          {"QSO_DATE", 'D', 8}}) {
      std::string d(48, '\0');
      for (std::size_t i = 0; name[i]; ++i) d[i] = name[i];
      d[32] = type;
      d[33] = static_cast<char>(length);
      bytes += d;
    }
    bytes += '\x0D';
    bytes += " EA4ABC    20040915 N0CALL    20041001\x1A";
    BuilderTable shape;
    shape.columns = {{"CALL", 'C', 10}, {"QSO_DATE", 'D', 8}};
    Put("dbase7", shape, bytes);
  }

  // Memo files: each layout, read by the memo target directly and through
  // a conversion of a table with a memo column.
  static const unsigned char kVersions[4] = {0x03, 0x8B, 0xF5, 0x30};
  static const char* const kLayouts[4] = {"dbase3", "dbase4", "foxpro",
                                          "visual-foxpro"};
  for (int layout = 0; layout < 4; ++layout) {
    std::uint32_t first = 0, second = 0;
    std::string memo = MemoFileBytes(layout, &first, &second);
    std::string fields;
    int count = 0;
    for (std::string field :
         {BlockField(layout, first), BlockField(layout, second),
          std::string(10, ' '), BlockField(layout, 999999)}) {
      fields += static_cast<char>(field.size());
      fields += field;
      ++count;
    }
    std::string name = std::string(kLayouts[layout]);
    Write("memo", name,
          std::string(1, static_cast<char>(layout)) + static_cast<char>(count) +
              fields + memo);
    Write("memo", name + "-cut",
          std::string(1, static_cast<char>(layout)) + static_cast<char>(count) +
              fields + memo.substr(0, memo.size() - 100));

    BuilderTable t = Log(kVersions[layout]);
    int width = layout == 3 ? 4 : 10;
    t.columns.push_back({"NOTES", 'M', width});
    t.rows[0].push_back(BlockField(layout, first));
    t.rows[1].push_back(BlockField(layout, second));
    t.rows[2].push_back(layout == 3 ? std::string(4, '\0') : "");
    t.rows[3].push_back(BlockField(layout, first));
    std::string with_memo = Control(t, 1 | 64, kEnglish);
    with_memo += static_cast<char>(layout);
    with_memo += '\0';  // no further memo columns
    with_memo += static_cast<char>(memo.size() & 0xFF);
    with_memo += static_cast<char>(memo.size() >> 8);
    with_memo += memo;
    Write("convert", "memo-" + name, with_memo + BuildTable(t));
  }

  // Re-encoded values: the first three code pages, in ASCII and in UTF-8
  // (the fuzzer reaches the others through the same byte).
  for (int choice = 0; choice < 6; ++choice) {
    std::string control = Control(dbase3, 1 | 32, kEnglish);
    control += static_cast<char>(choice % 3 | (choice >= 3 ? 4 : 0));
    Write("convert", "charset-" + std::to_string(choice),
          control + dbase3_bytes);
  }
  return 0;
}

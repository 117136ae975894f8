// dbf_builder.h: writes small dBase III tables for the examples, the
// benchmark and the tests. Not part of the program.

#ifndef LOGWEAVE_TOOLS_DBF_BUILDER_H_
#define LOGWEAVE_TOOLS_DBF_BUILDER_H_

#include <cstdint>
#include <string>
#include <vector>

struct BuilderColumn {
  std::string name;  // at most 11 bytes
  char type = 'C';
  int length = 0;
  int decimals = 0;
};

struct BuilderTable {
  std::vector<BuilderColumn> columns;
  std::vector<std::vector<std::string>> rows;
  std::vector<bool> deleted;  // per row; missing means not deleted
  unsigned char version = 0x03;
  unsigned char year = 105, month = 6, day = 14;
  unsigned char code_page = 0;
  bool foxpro_trailer = false;  // 263 bytes after the terminator
  bool end_marker = true;       // 0x1A after the last record
};

inline void PutLittle(std::string* out, std::size_t at, std::uint32_t value,
                      int bytes) {
  for (int i = 0; i < bytes; ++i)
    (*out)[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// One value laid out in its column: numbers to the right, the rest to the
// left, filled with blanks, cut at the column length.
inline std::string LayValue(const BuilderColumn& column,
                            const std::string& value) {
  std::string cell = value.substr(0, column.length);
  std::size_t fill = column.length - cell.size();
  if (column.type == 'N' || column.type == 'F')
    return std::string(fill, ' ') + cell;
  return cell + std::string(fill, ' ');
}

inline std::string TableHeader(const BuilderTable& table,
                               std::uint32_t record_count) {
  std::size_t descriptors = 32 * table.columns.size();
  std::size_t header_length =
      32 + descriptors + 1 + (table.foxpro_trailer ? 263 : 0);
  std::size_t record_length = 1;
  for (const BuilderColumn& c : table.columns) record_length += c.length;
  std::string out(32, '\0');
  out[0] = static_cast<char>(table.version);
  out[1] = static_cast<char>(table.year);
  out[2] = static_cast<char>(table.month);
  out[3] = static_cast<char>(table.day);
  PutLittle(&out, 4, record_count, 4);
  PutLittle(&out, 8, static_cast<std::uint32_t>(header_length), 2);
  PutLittle(&out, 10, static_cast<std::uint32_t>(record_length), 2);
  out[29] = static_cast<char>(table.code_page);
  for (const BuilderColumn& c : table.columns) {
    std::string d(32, '\0');
    for (std::size_t i = 0; i < c.name.size() && i < 11; ++i) d[i] = c.name[i];
    d[11] = c.type;
    d[16] = static_cast<char>(c.length);
    d[17] = static_cast<char>(c.decimals);
    out += d;
  }
  out += '\x0D';
  if (table.foxpro_trailer) out += std::string(263, '\0');
  return out;
}

inline std::string TableRecord(const BuilderTable& table,
                               const std::vector<std::string>& row,
                               bool deleted) {
  std::string out(1, deleted ? '*' : ' ');
  for (std::size_t c = 0; c < table.columns.size(); ++c)
    out += LayValue(table.columns[c], c < row.size() ? row[c] : "");
  return out;
}

inline std::string BuildTable(const BuilderTable& table) {
  std::string out =
      TableHeader(table, static_cast<std::uint32_t>(table.rows.size()));
  for (std::size_t r = 0; r < table.rows.size(); ++r)
    out += TableRecord(table, table.rows[r],
                       r < table.deleted.size() && table.deleted[r]);
  if (table.end_marker) out += '\x1A';
  return out;
}

// Memo files. Each builder lays the texts out one after the other and returns
// the file's bytes; \a blocks receives the block number of each text.
enum class MemoLayout { kDbase3, kDbase4, kFoxPro };

inline std::string BuildMemoFile(MemoLayout layout,
                                 const std::vector<std::string>& texts,
                                 std::vector<std::uint32_t>* blocks,
                                 std::uint32_t block_size = 0) {
  if (block_size == 0) block_size = layout == MemoLayout::kFoxPro ? 64 : 512;
  std::string out(layout == MemoLayout::kFoxPro ? 512 : block_size, '\0');
  if (layout == MemoLayout::kDbase4) PutLittle(&out, 20, block_size, 2);
  if (layout == MemoLayout::kFoxPro) {
    out[6] = static_cast<char>(block_size >> 8);
    out[7] = static_cast<char>(block_size & 0xFF);
  }
  auto big32 = [](std::uint32_t v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>(v >> (24 - 8 * i));
    return b;
  };
  for (const std::string& text : texts) {
    blocks->push_back(static_cast<std::uint32_t>(out.size() / block_size));
    std::string block;
    if (layout == MemoLayout::kDbase3) {
      block = text + "\x1A\x1A";
    } else if (layout == MemoLayout::kDbase4) {
      block = std::string("\xFF\xFF\x08\x00", 4) + std::string(4, '\0') + text;
      PutLittle(&block, 4, static_cast<std::uint32_t>(text.size() + 8), 4);
    } else {
      block = big32(1) + big32(static_cast<std::uint32_t>(text.size())) + text;
    }
    block.resize((block.size() + block_size - 1) / block_size * block_size,
                 '\0');
    out += block;
  }
  std::uint32_t next = static_cast<std::uint32_t>(out.size() / block_size);
  if (layout == MemoLayout::kFoxPro)
    out.replace(0, 4, big32(next));
  else
    PutLittle(&out, 0, next, 4);
  return out;
}

// A block number as a memo column stores it: ten digits, blank-padded on the
// left, or blanks for no memo.
inline std::string MemoNumber(std::uint32_t block) {
  if (block == 0) return std::string(10, ' ');
  std::string digits = std::to_string(block);
  return std::string(10 - digits.size(), ' ') + digits;
}

#endif  // LOGWEAVE_TOOLS_DBF_BUILDER_H_

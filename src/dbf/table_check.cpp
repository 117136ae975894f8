// table_check.cpp: the rules of a sound table.

#include "dbf/table_check.h"

bool IsKnownDbfVersion(std::uint8_t version) {
  switch (version) {
    case 0x02:  // FoxBASE
    case 0x03:  // dBase III, FoxPro, Clipper, most writers, no memo
    case 0x04:  // dBase IV / 7
    case 0x05:  // dBase V
    case 0x07:  // Visual Objects
    case 0x13:
    case 0x23:
    case 0x33:  // Flagship
    case 0x30:
    case 0x31:
    case 0x32:  // Visual FoxPro
    case 0x43:
    case 0x63:  // dBase IV SQL
    case 0x7B:  // dBase IV with memo
    case 0x83:  // dBase III with memo
    case 0x87:  // Visual Objects with memo
    case 0x8B:  // dBase IV with memo
    case 0x8E:  // dBase IV with SQL table
    case 0xB3:  // Flagship with memo
    case 0xCB:  // dBase IV SQL with memo
    case 0xE5:  // Clipper SMT with memo
    case 0xF5:  // FoxPro with memo
    case 0xFB:  // FoxBASE with memo
      return true;
    default:
      return false;
  }
}

NotATable JudgeHeader(const DbfHeader& header) {
  if (!IsKnownDbfVersion(header.version)) return NotATable::kUnknownVersion;
  bool no_date = header.year == 0 && header.month == 0 && header.day == 0;
  if (!no_date && (header.month < 1 || header.month > 12 || header.day < 1 ||
                   header.day > 31))
    return NotATable::kBadDate;
  return NotATable::kNone;
}

NotATable JudgeLayout(const DbfLayout& layout, int first_descriptor_byte) {
  const DbfHeader& header = layout.header;
  NotATable judged = JudgeHeader(header);
  if (judged != NotATable::kNone) return judged;
  if (layout.columns.empty() && first_descriptor_byte != kHeaderTerminator)
    return NotATable::kNoColumns;
  std::size_t needed =
      kDbfHeaderSize + kFieldDescriptorSize * layout.columns.size() + 1;
  if (header.header_length < needed) return NotATable::kHeaderTooShort;
  return NotATable::kNone;
}

HeaderDamage CheckHeader(const DbfLayout& layout, std::uint64_t file_size) {
  HeaderDamage damage;
  std::uint32_t columns = 1;
  for (const DbfFieldDescriptor& column : layout.columns)
    columns += column.length;
  damage.header_record_length = layout.header.record_length;
  damage.columns_record_length = columns;
  damage.record_length_differs = columns != layout.header.record_length;
  // The records are read as long as their columns, whatever the header
  // says; a wrong record length is said above, not twice.
  std::uint64_t expected = layout.header.header_length +
                           std::uint64_t{layout.header.record_count} * columns;
  // One byte more is the end mark 0x1A most writers add.
  if (file_size > expected + 1) {
    damage.surplus = true;
    damage.surplus_bytes = file_size - expected;
  }
  return damage;
}

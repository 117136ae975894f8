// dbf_table.cpp: decoding the header and column descriptors of a table.

#include "dbf/dbf_table.h"

#include <cstring>

namespace {

std::uint16_t Little16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Little32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) |
         (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) |
         (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

DbfHeader DecodeHeader(const unsigned char* bytes) {
  DbfHeader header;
  header.version = bytes[0];
  header.year = bytes[1];
  header.month = bytes[2];
  header.day = bytes[3];
  header.record_count = Little32(bytes + 4);
  header.header_length = Little16(bytes + 8);
  header.record_length = Little16(bytes + 10);
  header.code_page_mark = bytes[29];
  return header;
}

DbfFieldDescriptor DecodeDescriptor(const unsigned char* bytes) {
  DbfFieldDescriptor column;
  const void* nul = std::memchr(bytes, 0, kFieldNameBytes);
  std::size_t name_length =
      nul ? static_cast<const unsigned char*>(nul) - bytes : kFieldNameBytes;
  column.name.assign(reinterpret_cast<const char*>(bytes), name_length);
  column.type = bytes[11];
  column.length = bytes[16];
  column.decimals = bytes[17];
  return column;
}

int ColumnCount(std::uint16_t header_length) {
  int count = header_length / 32 - 1;
  return count > 0 ? count : 0;
}

LayoutError ReadDbfLayout(ByteSource* in, DbfLayout* layout) {
  *layout = DbfLayout();
  unsigned char block[kFieldDescriptorSize];
  auto cut = [in](LayoutError short_read) {
    return in->Failed() ? LayoutError::kReadFailed : short_read;
  };
  if (!ReadExactly(in, block, kDbfHeaderSize))
    return cut(LayoutError::kShortHeader);
  DbfLayout result;
  result.header = DecodeHeader(block);
  int announced = ColumnCount(result.header.header_length);
  for (int i = 0; i < announced; ++i) {
    // The terminator is the first byte after the last descriptor; one byte
    // is enough to tell, and a table may end right after it.
    if (!ReadExactly(in, block, 1)) return cut(LayoutError::kShortDescriptors);
    if (block[0] == kHeaderTerminator) break;
    if (!ReadExactly(in, block + 1, kFieldDescriptorSize - 1))
      return cut(LayoutError::kShortDescriptors);
    result.columns.push_back(DecodeDescriptor(block));
  }
  *layout = std::move(result);
  return LayoutError::kNone;
}

LayoutError ReadDbfLayout(const unsigned char* data, std::size_t size,
                          DbfLayout* layout) {
  MemorySource in(data, size);
  return ReadDbfLayout(&in, layout);
}

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

// Reads exactly \a size bytes; false on a short read.
bool ReadExactly(std::FILE* in, unsigned char* buffer, std::size_t size) {
  return std::fread(buffer, 1, size, in) == size;
}

}  // namespace

DbfHeader DecodeHeader(const unsigned char* bytes) {
  DbfHeader header;
  header.year = bytes[1];
  header.month = bytes[2];
  header.day = bytes[3];
  header.record_count = Little32(bytes + 4);
  header.header_length = Little16(bytes + 8);
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

std::string InformationLine(const DbfHeader& header, Language language) {
  char line[96];
  std::snprintf(line, sizeof line, "%s: %02i-%02i-%02i %s %u Qso's",
                Choose(language, "Creado el", "Created in"), header.day,
                header.month, header.year, Choose(language, "con", "with"),
                static_cast<unsigned>(header.record_count));
  return line;
}

LayoutError ReadDbfLayout(std::FILE* in, DbfLayout* layout) {
  *layout = DbfLayout();
  unsigned char block[kFieldDescriptorSize];
  if (!ReadExactly(in, block, kDbfHeaderSize))
    return std::ferror(in) ? LayoutError::kReadFailed
                           : LayoutError::kShortHeader;
  DbfLayout result;
  result.header = DecodeHeader(block);
  int announced = ColumnCount(result.header.header_length);
  for (int i = 0; i < announced; ++i) {
    // The terminator is the first byte after the last descriptor; one byte
    // is enough to tell, and a table may end right after it.
    int first = std::fgetc(in);
    if (first == EOF)
      return std::ferror(in) ? LayoutError::kReadFailed
                             : LayoutError::kShortDescriptors;
    if (first == kHeaderTerminator) break;
    block[0] = static_cast<unsigned char>(first);
    if (!ReadExactly(in, block + 1, kFieldDescriptorSize - 1))
      return std::ferror(in) ? LayoutError::kReadFailed
                             : LayoutError::kShortDescriptors;
    result.columns.push_back(DecodeDescriptor(block));
  }
  *layout = std::move(result);
  return LayoutError::kNone;
}

LayoutError ReadDbfLayout(const unsigned char* data, std::size_t size,
                          DbfLayout* layout) {
  *layout = DbfLayout();
  if (size < kDbfHeaderSize) return LayoutError::kShortHeader;
  DbfLayout result;
  result.header = DecodeHeader(data);
  int announced = ColumnCount(result.header.header_length);
  std::size_t offset = kDbfHeaderSize;
  for (int i = 0; i < announced; ++i) {
    if (offset >= size) return LayoutError::kShortDescriptors;
    if (data[offset] == kHeaderTerminator) break;
    if (size - offset < kFieldDescriptorSize)
      return LayoutError::kShortDescriptors;
    result.columns.push_back(DecodeDescriptor(data + offset));
    offset += kFieldDescriptorSize;
  }
  *layout = std::move(result);
  return LayoutError::kNone;
}

std::string LayoutErrorText(LayoutError error, Language language) {
  switch (error) {
    case LayoutError::kNone:
      return "";
    case LayoutError::kShortHeader:
      return Choose(language,
                    "el fichero es m\xE1s corto que la cabecera de 32 bytes",
                    "the file is shorter than the 32-byte header");
    case LayoutError::kShortDescriptors:
      return Choose(language,
                    "el fichero termina dentro de la descripci\xF3n de los "
                    "campos",
                    "the file ends inside the column descriptions");
    case LayoutError::kReadFailed:
      return Choose(language, "error de lectura", "read error");
  }
  return "";
}

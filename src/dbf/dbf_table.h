// dbf_table.h: the 32-byte header and the 32-byte column descriptors of a
// dBase table, decoded from raw bytes.
//
// All numbers in a DBF file are unsigned and little-endian. Nothing here
// touches a file: the reader below takes an already opened byte stream.

#ifndef LOGWEAVE_DBF_DBF_TABLE_H_
#define LOGWEAVE_DBF_DBF_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/byte_stream.h"

constexpr std::size_t kDbfHeaderSize = 32;
constexpr std::size_t kFieldDescriptorSize = 32;
constexpr std::size_t kFieldNameBytes = 11;
constexpr unsigned char kHeaderTerminator = 0x0D;
constexpr unsigned char kDeletedFlag = '*';

/// The parts of the table header the program uses.
struct DbfHeader {
  std::uint8_t version = 0;  ///< byte 0: which program wrote the table
  std::uint8_t year = 0;  ///< years since 1900, printed as stored (105 = 2005)
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint32_t record_count = 0;
  std::uint16_t header_length = 0;  ///< offset of the first record
  std::uint16_t record_length = 0;  ///< as the header says
  std::uint8_t code_page_mark = 0;  ///< byte 29, the language driver id
};

/// One column description.
struct DbfFieldDescriptor {
  std::string name;  ///< bytes up to the first NUL, at most 11
  unsigned char type = 0;
  std::uint8_t length = 0;
  std::uint8_t decimals = 0;
};

/// Decodes the first 32 bytes of a table.
DbfHeader DecodeHeader(const unsigned char* bytes);

/// Decodes one 32-byte column descriptor.
DbfFieldDescriptor DecodeDescriptor(const unsigned char* bytes);

/// The number of columns a header length announces: length / 32 - 1, or 0
/// when that is not positive.
int ColumnCount(std::uint16_t header_length);

/// What the program learns of a table when it is opened: its header and the
/// columns it lists.
struct DbfLayout {
  DbfHeader header;
  std::vector<DbfFieldDescriptor> columns;
};

/// Why a table could not be read.
enum class LayoutError {
  kNone,
  kShortHeader,       ///< fewer than 32 bytes
  kShortDescriptors,  ///< the file ends inside a column descriptor
  kReadFailed,        ///< the stream reported an I/O error
};

/// Reads the header and the column descriptors from \a in, which stands at
/// the start of the table. Reading stops at the descriptor terminator 0x0D or
/// after the number of columns the header length announces, whichever comes
/// first, so bytes behind the terminator (such as the 263-byte trailer of
/// Visual FoxPro tables) are never taken for columns. Returns kNone and fills
/// \a layout, or an error and leaves \a layout empty; bytes that were not read
/// are never used.
LayoutError ReadDbfLayout(ByteSource* in, DbfLayout* layout);

/// The same over a buffer holding the start of a table.
LayoutError ReadDbfLayout(const unsigned char* data, std::size_t size,
                          DbfLayout* layout);

#endif  // LOGWEAVE_DBF_DBF_TABLE_H_

// table_check.h: telling a table from a file that only looks like one (a
// CSV file, a memo file, a picture), and a damaged header from a sound one.
//
// A table is accepted when its first byte names a DBF version, its date is
// a date (or all zero, as some writers leave it), it describes at least one
// column (or none, ended at once by the end mark), and its header length
// holds the descriptions and their end mark.
// Every writer of dBase III/IV, FoxPro, Visual FoxPro and Clipper tables
// meets these; no text file, memo file or picture does.

#ifndef LOGWEAVE_DBF_TABLE_CHECK_H_
#define LOGWEAVE_DBF_TABLE_CHECK_H_

#include <cstdint>

#include "dbf/dbf_table.h"

/// Why bytes read as a table header are no table at all.
enum class NotATable {
  kNone,
  kUnknownVersion,  ///< the first byte names no DBF version
  kBadDate,         ///< month or day out of range
  kNoColumns,       ///< no column description, and no end mark after none
  kHeaderTooShort,  ///< the header length does not hold the descriptions
};

/// True for the version bytes DBF writers put first.
bool IsKnownDbfVersion(std::uint8_t version);

/// Judges the 32-byte header alone: its version byte and its date.
NotATable JudgeHeader(const DbfHeader& header);

/// Judges a layout read by ReadDbfLayout: its header, then its columns.
/// \a first_descriptor_byte is the byte after the 32-byte header (-1 when
/// the file ends there): a table without columns has the end mark there.
NotATable JudgeLayout(const DbfLayout& layout, int first_descriptor_byte);

/// Where a readable header disagrees with itself or with the file.
struct HeaderDamage {
  /// The record length the header gives, against the deletion flag and the
  /// columns: the columns may be misread when they differ.
  bool record_length_differs = false;
  std::uint32_t header_record_length = 0;
  std::uint32_t columns_record_length = 0;
  /// The file holds more bytes than the header and its records as long as
  /// their columns (beyond one end mark): the record count or the lengths
  /// may be damaged. A file that
  /// holds fewer is a cut table, reported when it is converted.
  bool surplus = false;
  std::uint64_t surplus_bytes = 0;
  bool any() const { return record_length_differs || surplus; }
};

/// Compares \a layout with itself and with the size of its file.
HeaderDamage CheckHeader(const DbfLayout& layout, std::uint64_t file_size);

#endif  // LOGWEAVE_DBF_TABLE_CHECK_H_

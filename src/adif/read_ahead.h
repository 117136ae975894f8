// read_ahead.h: a record reader that reads on a thread of its own, a batch of
// records ahead of its caller, so that reading the file and judging its
// records take turns on two processors instead of one.
//
// Each batch holds a copy of its records' bytes (a record's views are copied
// in one piece and pointed at the copy), so memory stays bounded by three
// batches of at most kReadAheadRecords records or about kReadAheadBytes bytes
// of records, fields and problems (more only for a single record, or part of
// one, that is larger).

#ifndef LOGWEAVE_ADIF_READ_AHEAD_H_
#define LOGWEAVE_ADIF_READ_AHEAD_H_

#include <memory>

#include "adif/adif_reader.h"

constexpr std::size_t kReadAheadRecords = 256;
constexpr std::size_t kReadAheadBytes = 1 << 18;

/// Reads \a inner's records on another thread; hands over the same records,
/// problems and header as \a inner would.
std::unique_ptr<AdifRecordReader> ReadAhead(
    std::unique_ptr<AdifRecordReader> inner);

#endif  // LOGWEAVE_ADIF_READ_AHEAD_H_

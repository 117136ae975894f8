// merge_files.h: several tables written into one ADIF file, in the order
// given: one header, then the records of each table. Contacts logged twice
// (see duplicate_contacts.h) are reported, and left out when asked.
//
// Tables are opened one at a time, so any number of them can be merged.
// A file is written through one temporary file that takes the place of the
// output only when every table was converted, so any failure (a table that
// cannot be read or ends early, a memo, a full disk) leaves no half file and
// an earlier output as it was; the tables after a failing one are still
// read, so that every table that fails is reported. What goes to a pipe or
// a device cannot be taken back: every table is read through once before
// the first byte goes out. No table may be the output.

#ifndef LOGWEAVE_CONVERT_MERGE_FILES_H_
#define LOGWEAVE_CONVERT_MERGE_FILES_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "convert/convert_file.h"
#include "convert/duplicate_contacts.h"

/// A contact that repeats one written before it.
struct DuplicateContact {
  ContactKey contact;  ///< its values as written, valid during the call
  ContactOrigin origin;
  ContactOrigin earlier;
};

/// What a merge does about contacts logged twice.
struct DuplicateChoice {
  bool drop = false;  ///< a duplicate contact gives no line
  /// Told of each duplicate as it is found, when set.
  std::function<void(const DuplicateContact&)> report;
};

/// A table that could not be converted into the merged output.
struct TableFailure {
  std::size_t table = 0;  ///< its place in the run
  ConvertStatus status = ConvertStatus::kDone;
  std::string message;  ///< one line naming the table and the cause
};

struct MergeOutcome {
  ConvertStatus status = ConvertStatus::kDone;
  std::string output_path;
  /// Summed over the tables written: records read and written, values
  /// changed.
  ConvertStats stats;
  /// The completion text on success. On a failure of the output itself,
  /// one line naming it and the cause. When tables failed, with several
  /// tables, a line saying the output was not written and which were not
  /// converted; empty when the output received records before a failure.
  std::string message;
  std::vector<TableFailure> failures;  ///< in the order of the tables
  /// Each naming its table.
  std::vector<std::string> warnings;
  std::uint64_t duplicates = 0;
  bool ok() const { return status == ConvertStatus::kDone; }
};

/// Writes \a tables, in order, into \a output (ADI; a path, or standard
/// output). The run's progress counts the records of all the tables
/// together.
MergeOutcome MergeFiles(const std::vector<TableJob>& tables,
                        const OutputJob& output, const RunJob& run,
                        const DuplicateChoice& duplicates);

/// "OUT was not written; not converted: a.dbf, b.dbf" in \a language.
std::string NotWrittenText(const std::string& output,
                           const std::vector<std::string>& not_converted,
                           Language language);

/// "B.dbf record 12 repeats A.dbf record 3: EA4ABC 20050102 0916 40M SSB"
/// in \a language.
std::string DuplicateText(const std::vector<TableJob>& tables,
                          const DuplicateContact& found, Language language);

/// The progress of one part of a run: record r of the part is record
/// done + r of the \a total records of the run, told to \a run (scaled down
/// when the run counts more than 32 bits hold). Null when \a run is.
ProgressFn ProgressWithin(const ProgressFn& run, std::uint64_t done,
                          std::uint64_t total);

#endif  // LOGWEAVE_CONVERT_MERGE_FILES_H_

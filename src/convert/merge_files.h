// merge_files.h: several tables written into one ADIF file, in the order
// given: one header, then the records of each table. Contacts logged twice
// (see duplicate_contacts.h) are reported, and left out when asked.
//
// The whole file goes through one temporary file that takes the place of
// the output only when every table was converted, so any failure (a table
// that cannot be read or ends early, a memo, a full disk) leaves no half
// file and an earlier output as it was. No file any table reads may be the
// output.

#ifndef LOGWEAVE_CONVERT_MERGE_FILES_H_
#define LOGWEAVE_CONVERT_MERGE_FILES_H_

#include <cstdint>
#include <string>
#include <vector>

#include "convert/convert_file.h"
#include "convert/duplicate_contacts.h"

struct MergeJob {
  /// The tables in the order their records are written, each with its own
  /// mapping and options; their output and progress are not used, and
  /// the run's language takes the place of theirs.
  std::vector<ConvertJob> tables;
  std::string output_path;
  bool drop_duplicates = false;  ///< a duplicate contact gives no line
  Language language = kEnglish;  ///< of the header and the messages
  /// Over the records of all the tables counted together.
  ProgressFn progress;
  FileSystem* files = nullptr;  ///< the system's when null
};

/// A contact that repeats one written before it.
struct DuplicateContact {
  ContactOrigin contact;
  ContactOrigin earlier;
};

struct MergeOutcome : ConvertOutcome {
  /// Summed over the tables: records read and written, values changed.
  /// On a failure, \a message names the table and the cause.
  std::vector<DuplicateContact> duplicates;
};

MergeOutcome MergeFiles(const MergeJob& job);

/// "B.dbf record 12 repeats A.dbf record 3" in \a job's language.
std::string DuplicateText(const MergeJob& job, const DuplicateContact& found);

/// The progress of one part of a run: record r of the part is record
/// done + r of the \a total records of the run, told to \a run (scaled down
/// when the run counts more than 32 bits hold). Null when \a run is.
ProgressFn ProgressWithin(const ProgressFn& run, std::uint64_t done,
                          std::uint64_t total);

#endif  // LOGWEAVE_CONVERT_MERGE_FILES_H_

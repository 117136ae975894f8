// block_input.h: a window on a file read forward in blocks, for the ADIF
// readers. The bytes before the position last asked for are let go, so the
// window never holds more than a block and the look-ahead asked for.

#ifndef LOGWEAVE_ADIF_BLOCK_INPUT_H_
#define LOGWEAVE_ADIF_BLOCK_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

class BlockInput {
 public:
  /// Reads \a file at most \a block_size bytes at a time; the look-ahead
  /// asked of At() is at most \a most_ahead bytes.
  BlockInput(InputFile* file, std::size_t block_size, std::size_t most_ahead);

  /// The bytes from \a position (not before the last position asked for)
  /// that are at hand: at least \a ahead of them, or all up to the end of the
  /// file. Empty at the end of the file or after a read error.
  std::string_view At(std::uint64_t position, std::size_t ahead = 1);

  /// True when \a view, given by At(), runs to the end of the file.
  bool ReachesEnd(std::string_view view) const {
    return at_end_ && !failed_ &&
           view.data() + view.size() == buffer_.data() + used_;
  }

  /// Starts again from \a offset of the file; false on failure.
  bool Restart(std::uint64_t offset);

  bool failed() const { return failed_; }
  const SystemError& error() const { return error_; }

 private:
  InputFile* file_;
  std::size_t block_size_;
  std::vector<char> buffer_;
  std::uint64_t start_ = 0;  // file offset of buffer_[0]
  std::size_t used_ = 0;     // bytes held in buffer_
  bool at_end_ = false;
  bool failed_ = false;
  SystemError error_;
};

#endif  // LOGWEAVE_ADIF_BLOCK_INPUT_H_

// block_input.cpp: the window on a file read in blocks.

#include "adif/block_input.h"

#include <algorithm>
#include <cstring>

BlockInput::BlockInput(InputFile* file, std::size_t block_size,
                       std::size_t most_ahead)
    : file_(file),
      block_size_(block_size ? block_size : 1),
      buffer_(block_size_ + most_ahead) {}

std::string_view BlockInput::At(std::uint64_t position, std::size_t ahead) {
  if (position < start_) position = start_;  // bytes let go are not kept
  for (;;) {
    if (position <= start_ + used_) {
      std::size_t from = static_cast<std::size_t>(position - start_);
      std::size_t held = used_ - from;
      if (held >= ahead || at_end_ || failed_)
        return std::string_view(buffer_.data() + from, held);
      // More is needed: let go of what lies before the position.
      std::memmove(buffer_.data(), buffer_.data() + from, held);
      start_ = position;
      used_ = held;
    } else {
      start_ += used_;
      used_ = 0;
      if (at_end_ || failed_) return std::string_view();
    }
    std::size_t room = std::min(block_size_, buffer_.size() - used_);
    if (room == 0) return std::string_view(buffer_.data(), used_);
    std::size_t got = file_->Read(buffer_.data() + used_, room);
    used_ += got;
    if (got < room) {
      at_end_ = true;
      if (file_->Failed()) {
        failed_ = true;
        error_ = file_->Error();
      }
    }
  }
}

bool BlockInput::Restart(std::uint64_t offset) {
  start_ = offset;
  used_ = 0;
  at_end_ = false;
  if (failed_) return false;
  if (!file_->Seek(offset)) {
    failed_ = true;
    error_ = file_->Error();
    return false;
  }
  return true;
}

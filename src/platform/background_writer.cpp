// background_writer.cpp: two buffers, one being filled while the other is
// written.

#include "platform/background_writer.h"

namespace {

// Bytes gathered before they are handed to the writing thread.
constexpr std::size_t kHandOffSize = 1 << 20;

}  // namespace

BackgroundWriter::BackgroundWriter(ByteSink* target)
    : target_(target), thread_(&BackgroundWriter::Run, this) {}

BackgroundWriter::~BackgroundWriter() {
  Finish();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

bool BackgroundWriter::Write(const char* data, std::size_t size) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failed_ || stopping_) return false;
  }
  filling_.insert(filling_.end(), data, data + size);
  if (filling_.size() >= kHandOffSize) HandOff();
  std::lock_guard<std::mutex> lock(mutex_);
  return !failed_;
}

bool BackgroundWriter::WriteBlock(std::vector<char>* block, std::size_t size) {
  if (!filling_.empty()) HandOff();
  std::unique_lock<std::mutex> lock(mutex_);
  if (!WaitIdle(&lock) || stopping_) return false;
  writing_.swap(*block);
  writing_size_ = size;
  busy_ = true;
  changed_.notify_all();
  return true;
}

bool BackgroundWriter::WaitIdle(std::unique_lock<std::mutex>* lock) {
  changed_.wait(*lock, [this] { return !busy_; });
  return !failed_;
}

void BackgroundWriter::HandOff() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (WaitIdle(&lock)) {
    writing_.swap(filling_);
    writing_size_ = writing_.size();
    busy_ = true;
    changed_.notify_all();
  }
  filling_.clear();
}

bool BackgroundWriter::Finish() {
  if (!filling_.empty()) HandOff();
  std::unique_lock<std::mutex> lock(mutex_);
  return WaitIdle(&lock);
}

SystemError BackgroundWriter::Error() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}

void BackgroundWriter::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    changed_.wait(lock, [this] { return busy_ || stopping_; });
    if (!busy_) return;
    // Written without the lock, so that the next block fills meanwhile.
    lock.unlock();
    bool written = target_->Write(writing_.data(), writing_size_);
    SystemError error = written ? SystemError() : target_->Error();
    lock.lock();
    if (!written && !failed_) {
      failed_ = true;
      error_ = error;
    }
    busy_ = false;
    changed_.notify_all();
  }
}

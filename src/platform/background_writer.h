// background_writer.h: a sink that writes on another thread, so that the
// conversion builds the next block of records while the system takes the
// last one. Half the time of a conversion used to go to writing its output.

#ifndef LOGWEAVE_PLATFORM_BACKGROUND_WRITER_H_
#define LOGWEAVE_PLATFORM_BACKGROUND_WRITER_H_

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

#include "platform/byte_stream.h"

class BackgroundWriter : public ByteSink {
 public:
  /// Writes to \a target, which must outlive this object.
  explicit BackgroundWriter(ByteSink* target);
  ~BackgroundWriter() override;
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  /// Takes a copy of the bytes; they reach the target in order. False once
  /// a write of the target has failed.
  bool Write(const char* data, std::size_t size) override;
  /// Takes the block itself, without a copy.
  bool WriteBlock(std::vector<char>* block, std::size_t size) override;
  /// Waits until everything taken has been written; false when a write
  /// failed. Later writes fail.
  bool Finish();
  SystemError Error() const override;

 private:
  void Run();
  // Waits until the thread is idle; false when a write has failed.
  bool WaitIdle(std::unique_lock<std::mutex>* lock);
  void HandOff();

  ByteSink* target_;
  std::vector<char> filling_;  // taken, not yet handed to the thread
  std::vector<char> writing_;  // handed to the thread
  std::size_t writing_size_ = 0;
  bool busy_ = false;  // the thread has writing_ to write
  bool stopping_ = false;
  bool failed_ = false;
  SystemError error_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
};

#endif  // LOGWEAVE_PLATFORM_BACKGROUND_WRITER_H_

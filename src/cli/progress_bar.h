// progress_bar.h: "[#####     ]  45%" on the messages' stream while a large
// table is converted on a terminal.

#ifndef LOGWEAVE_CLI_PROGRESS_BAR_H_
#define LOGWEAVE_CLI_PROGRESS_BAR_H_

#include <cstdint>
#include <cstdio>

class ProgressBar {
 public:
  explicit ProgressBar(std::FILE* stream) : stream_(stream) {}

  /// Tables with at least this many records get a bar.
  static constexpr std::uint32_t kLeastRecords = 20000;

  /// Draws the bar for record \a record of \a count, at most once a percent.
  void Show(std::uint32_t record, std::uint32_t count) {
    int percent = static_cast<int>(100.0 * record / count);
    if (percent == shown_) return;
    shown_ = percent;
    char bar[64];
    int filled = percent / 5;
    std::snprintf(bar, sizeof bar, "\r[%-20.*s] %3d%%", filled,
                  "####################", percent);
    std::fputs(bar, stream_);
    std::fflush(stream_);
  }
  /// Clears the bar, when one was drawn.
  void Finish() {
    if (shown_ >= 0) std::fputs("\r                             \r", stream_);
    shown_ = -1;
  }

 private:
  std::FILE* stream_;
  int shown_ = -1;
};

#endif  // LOGWEAVE_CLI_PROGRESS_BAR_H_

// progress.h: how often the progress line is redrawn during a conversion.
//
// Setting a static control's text repaints it at once, which costs far more
// than converting one record. Small tables show every "r/N"; large ones show
// at most about thirty texts a second, and the last text reported is always
// shown at the end, so a complete run ends on "N/N".

#ifndef LOGWEAVE_APP_PROGRESS_H_
#define LOGWEAVE_APP_PROGRESS_H_

#include <cstdint>
#include <functional>
#include <string>

class ProgressThrottle {
 public:
  /// Tables of up to this many records show every record number.
  static constexpr std::uint32_t kEveryRecordLimit = 1000;
  /// Least time between two texts of a larger table, in milliseconds.
  static constexpr std::uint32_t kIntervalMs = 33;

  using ShowFn = std::function<void(const std::string& text)>;
  using ClockFn = std::function<std::uint32_t()>;  ///< milliseconds

  ProgressThrottle(ShowFn show, ClockFn clock)
      : show_(std::move(show)), clock_(std::move(clock)) {}

  /// Record \a record of \a count is about to be read.
  void Report(std::uint32_t record, std::uint32_t count);
  /// Shows the last reported text if it was held back.
  void Finish();

 private:
  void Show(std::uint32_t record, std::uint32_t count);

  ShowFn show_;
  ClockFn clock_;
  bool shown_any_ = false;
  bool pending_ = false;
  std::uint32_t last_shown_at_ = 0;
  std::uint32_t pending_record_ = 0;
  std::uint32_t pending_count_ = 0;
};

#endif  // LOGWEAVE_APP_PROGRESS_H_

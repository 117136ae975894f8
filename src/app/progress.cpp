// progress.cpp: the progress line's redraw policy.

#include "app/progress.h"

#include "convert/convert_records.h"

void ProgressThrottle::Report(std::uint32_t record, std::uint32_t count) {
  if (count <= kEveryRecordLimit || !shown_any_ ||
      clock_() - last_shown_at_ >= kIntervalMs) {
    Show(record, count);
    return;
  }
  pending_ = true;
  pending_record_ = record;
  pending_count_ = count;
}

void ProgressThrottle::Finish() {
  if (pending_) Show(pending_record_, pending_count_);
}

void ProgressThrottle::Show(std::uint32_t record, std::uint32_t count) {
  show_(ProgressText(record, count));
  shown_any_ = true;
  pending_ = false;
  last_shown_at_ = clock_();
}

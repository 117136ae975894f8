// progress_test.cpp: how often the progress line changes during a run.

#include "app/progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Recorder {
  std::vector<std::string> shown;
  std::uint32_t now = 0;
  ProgressThrottle Make() {
    return ProgressThrottle(
        [this](const std::string& t) { shown.push_back(t); },
        [this] { return now; });
  }
};

TEST(ProgressThrottle, SmallTablesShowEveryRecord) {
  for (std::uint32_t count :
       {1u, 3u, 120u, ProgressThrottle::kEveryRecordLimit}) {
    Recorder recorder;
    ProgressThrottle throttle = recorder.Make();
    for (std::uint32_t r = 1; r <= count; ++r) throttle.Report(r, count);
    throttle.Finish();
    ASSERT_EQ(recorder.shown.size(), count);
    for (std::uint32_t r = 1; r <= count; ++r)
      EXPECT_EQ(recorder.shown[r - 1],
                std::to_string(r) + "/" + std::to_string(count));
  }
}

TEST(ProgressThrottle, LargeTablesShowAboutThirtyTextsASecondEndingOnTheLast) {
  const std::uint32_t count = 100000;
  // One record every 10 microseconds: one second in all.
  Recorder recorder;
  ProgressThrottle throttle = recorder.Make();
  for (std::uint32_t r = 1; r <= count; ++r) {
    recorder.now = r / 100;
    throttle.Report(r, count);
  }
  throttle.Finish();
  EXPECT_EQ(recorder.shown.front(), "1/100000");
  EXPECT_EQ(recorder.shown.back(), "100000/100000");
  EXPECT_GE(recorder.shown.size(), 25u);
  EXPECT_LE(recorder.shown.size(), 35u);
}

TEST(ProgressThrottle, AnInstantRunShowsTheFirstAndTheLast) {
  Recorder recorder;
  ProgressThrottle throttle = recorder.Make();
  for (std::uint32_t r = 1; r <= 5000; ++r) throttle.Report(r, 5000);
  throttle.Finish();
  EXPECT_EQ(recorder.shown, (std::vector<std::string>{"1/5000", "5000/5000"}));
  throttle.Finish();
  EXPECT_EQ(recorder.shown.size(), 2u) << "nothing shown twice";
}

TEST(ProgressThrottle, AStoppedRunEndsOnTheLastRecordReported) {
  Recorder recorder;
  ProgressThrottle throttle = recorder.Make();
  for (std::uint32_t r = 1; r <= 1234; ++r) throttle.Report(r, 3000000000u);
  throttle.Finish();
  EXPECT_EQ(recorder.shown.back(), "1234/3000000000");
}

TEST(ProgressThrottle, NoRecordsShowNothing) {
  Recorder recorder;
  ProgressThrottle throttle = recorder.Make();
  throttle.Finish();
  EXPECT_TRUE(recorder.shown.empty());
}

}  // namespace

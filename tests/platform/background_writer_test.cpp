// Tests of writing on another thread: order kept, failures reported.

#include "platform/background_writer.h"

#include <gtest/gtest.h>

namespace {

// Takes \a limit writes, then refuses with "no space".
class LimitedSink : public ByteSink {
 public:
  explicit LimitedSink(int limit) : limit_(limit) {}
  bool Write(const char* data, std::size_t size) override {
    if (writes_++ >= limit_) return false;
    text.append(data, size);
    return true;
  }
  SystemError Error() const override { return ErrnoError(28); }
  std::string text;

 private:
  int limit_;
  int writes_ = 0;
};

TEST(BackgroundWriter, EverythingArrivesInOrder) {
  LimitedSink sink(1 << 30);
  std::string expected;
  {
    BackgroundWriter writer(&sink);
    for (int i = 0; i < 3000; ++i) {
      std::string piece = std::to_string(i) + std::string(i % 700, 'x');
      expected += piece;
      if (i % 3 == 0) {
        std::vector<char> block(piece.begin(), piece.end());
        block.resize(block.size() + 5, '?');  // only the first bytes count
        ASSERT_TRUE(writer.WriteBlock(&block, piece.size()));
      } else {
        ASSERT_TRUE(writer.Write(piece.data(), piece.size()));
      }
    }
    ASSERT_TRUE(writer.Finish());
    EXPECT_EQ(expected, sink.text);
  }
  EXPECT_EQ(expected, sink.text);
}

TEST(BackgroundWriter, AFailedWriteIsReportedAndStopsTheRest) {
  for (int limit : {0, 1, 3}) {
    LimitedSink sink(limit);
    BackgroundWriter writer(&sink);
    std::vector<char> block(1 << 20, 'b');
    bool refused = false;
    for (int i = 0; i < 8 && !refused; ++i) {
      std::vector<char> copy = block;
      refused = !writer.WriteBlock(&copy, copy.size());
    }
    EXPECT_FALSE(writer.Finish()) << limit;
    EXPECT_EQ(28, writer.Error().code);
    EXPECT_EQ(static_cast<std::size_t>(limit) << 20, sink.text.size());
    EXPECT_FALSE(writer.Write("x", 1));
  }
}

}  // namespace

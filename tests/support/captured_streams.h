// captured_streams.h: the two streams a command speaks on, as temporary
// files whose text the test reads back.

#ifndef LOGWEAVE_TESTS_SUPPORT_CAPTURED_STREAMS_H_
#define LOGWEAVE_TESTS_SUPPORT_CAPTURED_STREAMS_H_

#include <cstdio>
#include <string>

#include "cli/console.h"

class CapturedStreams {
 public:
  CapturedStreams() {
    streams_.out = std::tmpfile();
    streams_.err = std::tmpfile();
  }
  ~CapturedStreams() {
    std::fclose(streams_.out);
    std::fclose(streams_.err);
  }
  CapturedStreams(const CapturedStreams&) = delete;
  CapturedStreams& operator=(const CapturedStreams&) = delete;

  const Streams& streams() const { return streams_; }
  /// Everything written to each so far.
  std::string Out() const { return Text(streams_.out); }
  std::string Err() const { return Text(streams_.err); }

 private:
  static std::string Text(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
  }
  Streams streams_;
};

#endif  // LOGWEAVE_TESTS_SUPPORT_CAPTURED_STREAMS_H_

// check_halves.cpp: checking a file, and a large one in two halves at
// once: the second half from just past the first <EOR> after the middle, on
// a thread of its own, its findings held and handed over when the first
// half reaches it, so that the report is that of one reading.

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "adif/adif_check.h"
#include "adif/checker.h"
#include "platform/text.h"

namespace {

// What the first half of a check in halves does after a record: goes on, or
// leaves off where the second half starts.
struct Meeting {
  std::uint64_t at = 0;  // where the second half starts; 0: there is none
  bool met = false;      // the first half's records ended there
  bool missed = false;   // they ran past it
};

// Checks the records \a reader reads, to its end or to \a meeting.
CheckEnd CheckRecords(AdifRecordReader* reader, Checker* checker,
                      const std::function<void()>& on_header,
                      Meeting* meeting) {
  AdifRecord part;
  bool first = true;
  auto file_problems = [&] {
    if (reader->has_file_problems())
      checker->FileProblems(reader->TakeFileProblems());
  };
  while (reader->Next(&part)) {
    if (first) {
      checker->Header(reader->header_fields(), /*report=*/true);
      if (on_header) on_header();
    }
    first = false;
    file_problems();
    checker->Part(part);
    if (checker->stopped()) return CheckEnd::kStopped;
    if (meeting->at != 0 && !meeting->missed && part.complete &&
        part.terminated && reader->position() >= meeting->at) {
      if (reader->position() == meeting->at) {
        meeting->met = true;
        return CheckEnd::kDone;
      }
      meeting->missed = true;
    }
  }
  if (reader->failed()) return CheckEnd::kReadFailed;
  // A file of no record: its header is judged all the same.
  if (first) checker->Header(reader->header_fields(), /*report=*/true);
  file_problems();
  return checker->stopped() ? CheckEnd::kStopped : CheckEnd::kDone;
}

// The offset just past the first \a mark (in any letter case: "<EOR>" or
// "</RECORD>") that starts at \a from or later, within a megabyte; 0 when
// there is none or reading fails.
std::uint64_t RecordEndFrom(InputFile* file, std::uint64_t from,
                            std::string_view mark) {
  constexpr std::size_t kBlock = 1 << 16;
  constexpr std::uint64_t kFarthest = 1 << 20;
  if (!file->Seek(from)) return 0;
  std::string text;  // the mark's size less one of the block before, a block
  std::uint64_t text_at = from;
  std::vector<char> block(kBlock);
  while (text_at - from < kFarthest) {
    std::size_t got = file->Read(block.data(), block.size());
    if (got == 0) return 0;
    text.append(block.data(), got);
    for (std::size_t i = text.find('<');
         i != std::string::npos && i + mark.size() <= text.size();
         i = text.find('<', i + 1))
      if (EqualIgnoringCase(std::string_view(text).substr(i, mark.size()),
                            mark))
        return text_at + i + mark.size();
    std::size_t keep = std::min<std::size_t>(text.size(), mark.size() - 1);
    text_at += text.size() - keep;
    text.erase(0, text.size() - keep);
  }
  return 0;
}

// The second half of a check in halves: the records from an offset on,
// checked on a thread of their own into counts and the findings to show.
class LaterHalf {
 public:
  LaterHalf(InputFile* file, std::uint64_t offset, AdifForm form,
            const CheckOptions& options)
      : file_(file), offset_(offset), form_(form), options_(options) {}
  ~LaterHalf() { Finish(); }

  // Starts the thread; \a header is the file's header.
  void Start(const std::vector<AdifHeaderField>& header) {
    header_ = header;
    thread_ = std::thread([this] { Run(); });
  }
  // Tells the thread to leave off soon: its records are read otherwise.
  void Abandon() { abandon_ = true; }
  // Waits for the thread to end.
  void Finish() {
    if (thread_.joinable()) thread_.join();
  }

  // After Finish.
  CheckTotals totals;
  std::vector<Finding> shown;
  bool failed = false;
  SystemError error;

 private:
  void Run() {
    std::unique_ptr<AdifRecordReader> reader =
        MakeAdifReaderAfterRecord(file_, offset_, form_);
    const FindingSink keep = [this](const Finding& finding) {
      shown.push_back(finding);
      return true;
    };
    Checker checker(form_, options_, keep, &totals);
    checker.Header(header_, /*report=*/false);
    AdifRecord part;
    while (!abandon_.load(std::memory_order_relaxed) && reader->Next(&part)) {
      if (reader->has_file_problems())
        checker.FileProblems(reader->TakeFileProblems());
      checker.Part(part);
    }
    // What the end of the file left open.
    checker.FileProblems(reader->TakeFileProblems());
    failed = reader->failed();
    error = reader->error();
  }

  InputFile* const file_;
  const std::uint64_t offset_;
  const AdifForm form_;
  const CheckOptions options_;
  std::vector<AdifHeaderField> header_;
  std::atomic<bool> abandon_{false};
  std::thread thread_;
};

}  // namespace

CheckEnd CheckAdifRecords(AdifRecordReader* reader, AdifForm form,
                          const CheckOptions& options, const FindingSink& sink,
                          CheckTotals* totals) {
  Checker checker(form, options, sink, totals);
  Meeting none;
  CheckEnd end = CheckRecords(reader, &checker, nullptr, &none);
  if (end == CheckEnd::kDone && totals->records == 0) checker.NoRecords();
  return end == CheckEnd::kDone && checker.stopped() ? CheckEnd::kStopped : end;
}

CheckEnd CheckAdifFile(InputFile* file, InputFile* second, AdifForm form,
                       const CheckOptions& options, const FindingSink& sink,
                       CheckTotals* totals, SystemError* error) {
  std::unique_ptr<AdifRecordReader> reader = MakeAdifReader(file, form);
  const std::uint64_t size = file->Size();
  Meeting meeting;
  // The second handle must show a file of the same size: not one put in
  // the place of the first in between.
  if (second && options.shown_per_kind != 0 && size >= options.halves_from &&
      size >= 2 && second->Size() == size)
    meeting.at = RecordEndFrom(second, size / 2,
                               form == AdifForm::kXml ? "</RECORD>" : "<EOR>");
  if (meeting.at == 0) {
    CheckEnd end = CheckAdifRecords(reader.get(), form, options, sink, totals);
    if (end == CheckEnd::kReadFailed) *error = reader->error();
    return end;
  }
  // The second half starts once the header is known.
  Checker checker(form, options, sink, totals);
  LaterHalf later(second, meeting.at, form, options);
  CheckEnd end = CheckRecords(
      reader.get(), &checker, [&] { later.Start(reader->header_fields()); },
      &meeting);
  if (!meeting.met) later.Abandon();
  later.Finish();
  if (end == CheckEnd::kReadFailed) *error = reader->error();
  if (end != CheckEnd::kDone) return end;
  if (!meeting.met) {
    if (totals->records == 0) checker.NoRecords();
    return checker.stopped() ? CheckEnd::kStopped : CheckEnd::kDone;
  }
  checker.AddLaterRecords(later.totals, &later.shown);
  if (later.failed) {
    *error = later.error;
    return CheckEnd::kReadFailed;
  }
  return checker.stopped() ? CheckEnd::kStopped : CheckEnd::kDone;
}

CheckTotals CheckAdifText(std::string_view bytes,
                          std::vector<Finding>* findings,
                          const CheckOptions& options) {
  MemoryInputFile input(bytes), second(bytes);
  AdifForm form = DetectAdifForm(bytes);
  CheckTotals totals;
  SystemError error;
  CheckAdifFile(
      &input, &second, form, options,
      [findings](const Finding& finding) {
        findings->push_back(finding);
        return true;
      },
      &totals, &error);
  return totals;
}

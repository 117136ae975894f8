// read_ahead.cpp: batches of records filled on one thread, judged on another.

#include "adif/read_ahead.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

namespace {

struct Batch {
  std::vector<AdifRecord> records;
  /// The file problems found before each record.
  std::vector<std::vector<AdifSyntaxProblem>> problems_before;
  std::size_t count = 0;
  std::size_t weight = 0;  // the memory its records take, roughly
  std::string bytes;  // the records' bytes; its capacity is never exceeded
  bool last = false;  // the inner reader has ended after these records
  std::vector<AdifSyntaxProblem> problems_after;  // with the last batch
};

// The bytes a record's views span, when it has any: all of them lie in one
// block (the reader's window or its storage).
bool Span(const AdifRecord& record, const char** begin, const char** end) {
  bool any = false;
  auto take = [&](std::string_view view) {
    if (view.empty()) return;
    if (!any || view.data() < *begin) *begin = view.data();
    if (!any || view.data() + view.size() > *end)
      *end = view.data() + view.size();
    any = true;
  };
  for (const AdifField& field : record.fields) {
    take(field.name);
    take(field.type);
    take(field.data);
  }
  return any;
}

// Points \a view, which lay in [from, ...), at the same bytes copied to \a to.
void Move(std::string_view* view, const char* from, const char* to) {
  *view = view->empty() ? std::string_view()
                        : std::string_view(to + (view->data() - from),
                                           view->size());
}

class ReadAheadReader : public AdifRecordReader {
 public:
  explicit ReadAheadReader(std::unique_ptr<AdifRecordReader> inner)
      : inner_(std::move(inner)) {
    for (Batch& batch : batches_) {
      batch.bytes.reserve(kReadAheadBytes);
      free_.push_back(&batch);
    }
    thread_ = std::thread(&ReadAheadReader::Fill, this);
  }

  ~ReadAheadReader() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  bool Next(AdifRecord* record) override {
    while (!current_ || next_ == current_->count) {
      if (current_ && current_->last) return Finish();
      std::unique_lock<std::mutex> lock(mutex_);
      if (current_) free_.push_back(current_);
      current_ = nullptr;
      changed_.notify_all();
      changed_.wait(lock, [this] { return !full_.empty(); });
      current_ = full_.front();
      full_.erase(full_.begin());
      next_ = 0;
      if (!header_taken_) {
        header_taken_ = true;
        has_header_ = inner_header_;
        header_fields_ = inner_header_fields_;
      }
    }
    for (AdifSyntaxProblem& problem : current_->problems_before[next_])
      file_problems_.push_back(std::move(problem));
    std::swap(*record, current_->records[next_]);
    ++next_;
    return true;
  }

 private:
  bool Finish() {
    for (AdifSyntaxProblem& problem : current_->problems_after)
      file_problems_.push_back(std::move(problem));
    current_->problems_after.clear();
    failed_ = inner_failed_;
    error_ = inner_error_;
    return false;
  }

  // The thread: fills free batches until the inner reader ends.
  void Fill() {
    AdifRecord pending;
    std::vector<AdifSyntaxProblem> pending_problems;
    bool has_pending = false;
    bool first = true;
    for (;;) {
      Batch* batch;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return stop_ || !free_.empty(); });
        if (stop_) return;
        batch = free_.front();
        free_.erase(free_.begin());
      }
      Empty(batch);
      for (;;) {
        if (!has_pending) {
          if (!inner_->Next(&pending)) {
            batch->last = true;
            batch->problems_after = inner_->TakeFileProblems();
            inner_failed_ = inner_->failed();
            inner_error_ = inner_->error();
            break;
          }
          pending_problems = inner_->TakeFileProblems();
          has_pending = true;
        }
        if (!Add(batch, &pending, &pending_problems)) break;  // batch full
        has_pending = false;
        if (batch->count == kReadAheadRecords ||
            batch->weight >= kReadAheadBytes)
          break;
      }
      if (first) {
        first = false;
        inner_header_ = inner_->has_header();
        inner_header_fields_ = inner_->header_fields();
      }
      bool last = batch->last;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        full_.push_back(batch);
      }
      changed_.notify_all();
      if (last) return;
    }
  }

  // Makes \a batch ready to be filled again. The storage of a record that was
  // large is let go, so that only the batches in flight hold much memory.
  static void Empty(Batch* batch) {
    for (std::size_t i = 0; i < batch->count; ++i) {
      AdifRecord& record = batch->records[i];
      if (record.fields.capacity() > kSmall) record.fields = {};
      if (record.problems.capacity() > kSmall) record.problems = {};
      batch->problems_before[i] = {};
    }
    batch->count = 0;
    batch->weight = 0;
    batch->bytes.clear();
    batch->last = false;
  }

  // Copies \a record into \a batch; false when it does not fit and the batch
  // holds records already.
  bool Add(Batch* batch, AdifRecord* record,
           std::vector<AdifSyntaxProblem>* problems) {
    const char* begin = nullptr;
    const char* end = nullptr;
    std::size_t size = Span(*record, &begin, &end) ? end - begin : 0;
    std::string& bytes = batch->bytes;
    if (bytes.size() + size > bytes.capacity()) {
      if (batch->count > 0) return false;
      bytes.reserve(size);  // a single large record
    }
    const char* to = bytes.data() + bytes.size();
    bytes.append(begin, size);  // within the capacity: nothing moves
    for (AdifField& field : record->fields) {
      Move(&field.name, begin, to);
      Move(&field.type, begin, to);
      Move(&field.data, begin, to);
    }
    if (batch->records.size() == batch->count) {
      batch->records.emplace_back();
      batch->problems_before.emplace_back();
    }
    batch->weight += size + record->fields.size() * sizeof(AdifField) +
                     record->problems.size() * sizeof(AdifSyntaxProblem);
    for (const AdifSyntaxProblem& problem : record->problems)
      batch->weight += problem.text.size() + problem.value.size();
    std::swap(batch->records[batch->count], *record);
    std::swap(batch->problems_before[batch->count], *problems);
    problems->clear();
    ++batch->count;
    return true;
  }

  static constexpr std::size_t kSmall = 64;  // fields or problems

  std::unique_ptr<AdifRecordReader> inner_;
  Batch batches_[3];
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Batch*> free_;  // guarded by mutex_
  std::vector<Batch*> full_;  // guarded by mutex_, in file order
  bool stop_ = false;         // guarded by mutex_
  // Written by the thread before it hands over the batch they come with.
  bool inner_header_ = false;
  std::vector<AdifHeaderField> inner_header_fields_;
  bool inner_failed_ = false;
  SystemError inner_error_;
  // The caller's side.
  Batch* current_ = nullptr;
  std::size_t next_ = 0;
  bool header_taken_ = false;
};

}  // namespace

std::unique_ptr<AdifRecordReader> ReadAhead(
    std::unique_ptr<AdifRecordReader> inner) {
  return std::make_unique<ReadAheadReader>(std::move(inner));
}

#include "history/history_writer.h"

#include <utility>

namespace history {

HistoryWriter::HistoryWriter(HistoryRecorderOptions options, const HistoryClock& clock,
                             Notify notify)
    : clock_(clock), notify_(std::move(notify)), options_(std::move(options)) {
  thread_ = std::thread([this] { Run(); });
}

HistoryWriter::~HistoryWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void HistoryWriter::Poll(const device::ReadingSet& readings) {
  const HistoryTime time = clock_.Now();
  std::lock_guard lock(mutex_);
  if (!enabled_) return;
  jobs_.push_back(
      [time, readings](HistoryRecorder& recorder) { return recorder.RecordPoll(time, readings); });
  ++queued_;
  if (jobs_.size() > kMaxQueued) {
    jobs_.pop_front();
    ++finished_;
  }
  wake_.notify_one();
}

void HistoryWriter::Event(HistoryEventKind kind, std::string_view row) {
  const HistoryTime time = clock_.Now();
  std::lock_guard lock(mutex_);
  if (!enabled_) return;
  jobs_.push_back([time, kind, row = std::string(row)](HistoryRecorder& recorder) {
    return recorder.RecordEvent(time, kind, row);
  });
  ++queued_;
  if (jobs_.size() > kMaxQueued) {
    jobs_.pop_front();
    ++finished_;
  }
  wake_.notify_one();
}

void HistoryWriter::SetEnabled(bool enabled) {
  std::lock_guard lock(mutex_);
  enabled_ = enabled;
}

bool HistoryWriter::Enabled() const {
  std::lock_guard lock(mutex_);
  return enabled_;
}

void HistoryWriter::SetRetentionDays(int days) {
  std::lock_guard lock(mutex_);
  ++queued_;
  jobs_.push_back([days](HistoryRecorder& recorder) {
    recorder.SetRetentionDays(days);
    return true;
  });
  wake_.notify_one();
}

bool HistoryWriter::Flush(std::chrono::milliseconds deadline) {
  std::unique_lock lock(mutex_);
  const std::uint64_t target = queued_;
  return done_.wait_for(lock, deadline, [&] { return finished_ >= target; });
}

void HistoryWriter::Run() {
  HistoryRecorder recorder(options_, clock_);
  bool failing = false;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // stopping, and everything written
    std::function<bool(HistoryRecorder&)> job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    const bool done = job(recorder);
    std::vector<std::string> tell = recorder.TakeNotices();
    // A failure is told once, and again only after recording worked in between.
    if (!done && !failing) tell.push_back(recorder.LastError());
    if (done && failing)
      tell.push_back("recording the history works again: " + recorder.File().string());
    failing = !done;
    if (notify_)
      for (const std::string& text : tell) notify_(text);
    lock.lock();
    ++finished_;
    done_.notify_all();
  }
}

}  // namespace history

#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "device/reading_set.h"
#include "history/history_clock.h"
#include "history/history_event.h"
#include "history/history_recorder.h"

namespace history {

// A HistoryRecorder on a thread of its own: callers (the UI thread, the service's loop) hand
// over a copy and go on; opening, writing, folding and fsync all happen here. Calls are
// stamped with the clock when made, so the record keeps their order and time however late
// the disk is. Callable from any one thread at a time.
class HistoryWriter {
 public:
  // Told, on the writer's thread, of every notice and every failure (once until recording
  // works again): the caller posts it where the user will see it.
  using Notify = std::function<void(const std::string&)>;

  // Starts the thread; the file is opened there, with the first record.
  HistoryWriter(HistoryRecorderOptions options, const HistoryClock& clock, Notify notify);
  // Writes what is queued, then joins.
  ~HistoryWriter();
  HistoryWriter(const HistoryWriter&) = delete;
  HistoryWriter& operator=(const HistoryWriter&) = delete;

  // Never waits for the disk. While switched off, nothing is queued.
  void Poll(const device::ReadingSet& readings);
  void Event(HistoryEventKind kind, std::string_view row = {});

  // On by default. Switching off drops nothing already queued.
  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetRetentionDays(int days);

  // Waits until everything handed over so far is written (or failed), at most `deadline`.
  // False when the deadline passed first.
  bool Flush(std::chrono::milliseconds deadline);

  // More than this many waiting records (a disk that stalls for hours) and the oldest go.
  static constexpr std::size_t kMaxQueued = 10000;

 private:
  void Run();

  const HistoryClock& clock_;
  Notify notify_;
  HistoryRecorderOptions options_;
  // Guards everything below; the writer thread holds it only to take jobs, never while writing.
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::deque<std::function<bool(HistoryRecorder&)>> jobs_;
  std::uint64_t queued_ = 0;    // jobs ever handed over
  std::uint64_t finished_ = 0;  // jobs ever run (or dropped)
  bool enabled_ = true;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace history

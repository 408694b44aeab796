#pragma once

#include <functional>
#include <thread>

namespace app::ctl {

// Turns SIGTERM and SIGINT into a call on a thread of its own, so a service ends the way it
// ends for any other reason (its loop quits, its workers are joined, its sockets closed).
// Made before any other thread: the signals are blocked in the thread that makes it, and
// threads started afterwards inherit that, so only this watcher ever takes them. The mask is
// put back when it is destroyed.
class TerminationSignals {
 public:
  // `onSignal` runs on the watcher's thread, once per signal, with the signal's number.
  explicit TerminationSignals(std::function<void(int)> onSignal);
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;
  ~TerminationSignals();

  // False when the watcher could not be set up (the error stream should say so).
  bool Watching() const { return thread_.joinable(); }

 private:
  void Watch();

  std::function<void(int)> onSignal_;
  int signalFd_ = -1;
  int wakeFd_ = -1;
  bool masked_ = false;
  std::thread thread_;
};

}  // namespace app::ctl

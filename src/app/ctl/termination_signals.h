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

  // Calls `onSignal` with 0 on the watcher's thread, as a signal would: how a host that runs
  // the service in its own process stops it. Any thread, while this lives. Going through the
  // watcher matters: its thread is joined before what `onSignal` touches goes away, where a
  // call from the host's thread could still be inside it.
  void Raise();

 private:
  void Watch();

  std::function<void(int)> onSignal_;
  int signalFd_ = -1;
  int wakeFd_ = -1;   // ends the watcher
  int raiseFd_ = -1;  // Raise()
  bool masked_ = false;
  std::thread thread_;
};

}  // namespace app::ctl

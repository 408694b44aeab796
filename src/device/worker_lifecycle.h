#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>

namespace device {

// Where a worker is in its life. Only the moves below are made; any other is refused and
// changes nothing (a termination request reaching a worker that has finished, a start-up
// that ends after termination was asked for).
//
// Starting -> Polling       the worker: its start-up reads succeeded
// Starting -> Finished      the worker: it could not start (no handles, no reference)
// Starting, Polling -> Terminating
//                           any thread: end after the cycle in progress and its pause
// Starting, Polling, Terminating -> Abandoned
//                           any thread: the program ends; the pause is cut short and nothing
//                           more is handed over
// Terminating, Abandoned -> Finished
//                           the worker, last: its thread has nothing more to do
enum class WorkerState : std::uint8_t { Starting, Polling, Terminating, Abandoned, Finished };

constexpr bool IsAllowedMove(WorkerState from, WorkerState to) {
  using enum WorkerState;
  switch (to) {
    case Starting:
      return false;
    case Polling:
      return from == Starting;
    case Terminating:
      return from == Starting || from == Polling;
    case Abandoned:
      return from == Starting || from == Polling || from == Terminating;
    case Finished:
      return from == Starting || from == Terminating || from == Abandoned;
  }
  return false;
}

// A worker's state, shared between the worker thread and whoever asks it to end. The state
// is one atomic value; every move is one checked compare-and-swap. The waits the worker makes
// (for the ready flag, for another holder of the access mutex, between cycles) take stop
// tokens; the two stop sources here only wake them and are requested by the moves alone:
// ending on Terminating and Abandoned, abandoning on Abandoned.
class WorkerLifecycle {
 public:
  WorkerState State() const { return state_.load(); }
  // Makes the move when it is allowed from the state at that moment; returns whether it did.
  bool MoveTo(WorkerState to);

  // Terminating, Abandoned or Finished: the worker is not to start another cycle.
  bool EndRequested() const;
  bool Abandoned() const { return State() == WorkerState::Abandoned; }
  bool Finished() const { return State() == WorkerState::Finished; }

  // Requested once the worker is to end: cuts short the waits for the device and the lock.
  std::stop_token EndToken() const { return ending_.get_token(); }
  // Requested once the worker is abandoned: cuts short the pause between cycles too.
  std::stop_token AbandonToken() const { return abandoning_.get_token(); }

  // Sleeps `duration`, or less when the worker is asked to end meanwhile.
  void Sleep(std::chrono::milliseconds duration);

 private:
  std::atomic<WorkerState> state_{WorkerState::Starting};
  std::stop_source ending_;
  std::stop_source abandoning_;
  // Guards nothing: the condition variable of Sleep needs a mutex to wait on.
  std::mutex sleepMutex_;
  std::condition_variable_any sleeping_;
};

}  // namespace device

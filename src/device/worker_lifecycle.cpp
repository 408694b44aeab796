#include "device/worker_lifecycle.h"

namespace device {

bool WorkerLifecycle::MoveTo(WorkerState to) {
  WorkerState from = state_.load();
  do {
    if (!IsAllowedMove(from, to)) return false;
  } while (!state_.compare_exchange_weak(from, to));
  if (to == WorkerState::Terminating || to == WorkerState::Abandoned) ending_.request_stop();
  if (to == WorkerState::Abandoned) abandoning_.request_stop();
  return true;
}

bool WorkerLifecycle::EndRequested() const {
  const WorkerState state = State();
  return state == WorkerState::Terminating || state == WorkerState::Abandoned ||
         state == WorkerState::Finished;
}

void WorkerLifecycle::Sleep(std::chrono::milliseconds duration) {
  std::unique_lock lock(sleepMutex_);
  sleeping_.wait_for(lock, ending_.get_token(), duration, [] { return false; });
}

}  // namespace device

#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "device/quelta_device_thread.h"
#include "device/worker_handle.h"

namespace device {

// Owns every worker the program has started until it has finished: a worker replaced by a
// restart or a reconnection keeps running to the end of its cycle beside its successor and
// is joined afterwards, never detached. UI thread only.
class WorkerPool {
 public:
  WorkerPool() = default;
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;
  // Abandons and joins every worker.
  ~WorkerPool();

  // Starts a worker and keeps it; the handle lets its starter ask it to terminate or give it
  // commands. Workers that have finished meanwhile are joined and dropped first.
  std::unique_ptr<WorkerHandle> Start(WorkerContext context);

  // Joins and drops every worker that has ended.
  void ReapFinished();
  // The end of the program: every worker is told to end at once, then joined.
  void StopAll();

  std::size_t Count() const { return workers_.size(); }

 private:
  std::vector<std::shared_ptr<TQueltaDeviceThread>> workers_;
};

}  // namespace device

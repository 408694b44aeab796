#include "device/worker_pool.h"

#include <algorithm>

namespace device {
namespace {

// The starter's view of a pooled worker. It shares the worker with the pool: once the worker
// has finished, it refuses commands and termination changes nothing (see WorkerState), so a
// handle kept past the pool's join does no harm.
class PooledWorkerHandle final : public WorkerHandle {
 public:
  explicit PooledWorkerHandle(std::shared_ptr<TQueltaDeviceThread> worker)
      : worker_(std::move(worker)) {}

  void Terminate() override { worker_->Terminate(); }
  bool Place(const DeviceCommand& command) override { return worker_->Place(command); }

 private:
  const std::shared_ptr<TQueltaDeviceThread> worker_;
};

}  // namespace

WorkerPool::~WorkerPool() {
  StopAll();
}

std::unique_ptr<WorkerHandle> WorkerPool::Start(WorkerContext context) {
  ReapFinished();
  auto worker = std::make_shared<TQueltaDeviceThread>(std::move(context));
  workers_.push_back(worker);
  return std::make_unique<PooledWorkerHandle>(std::move(worker));
}

void WorkerPool::ReapFinished() {
  std::erase_if(workers_, [](const std::shared_ptr<TQueltaDeviceThread>& worker) {
    if (!worker->Finished()) return false;
    worker->Join();
    return true;
  });
}

void WorkerPool::StopAll() {
  // Tell all first, then wait for each, so their ends overlap.
  for (const auto& worker : workers_) worker->Abandon();
  for (const auto& worker : workers_) worker->Join();
  workers_.clear();
}

}  // namespace device

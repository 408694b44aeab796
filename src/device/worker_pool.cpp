#include "device/worker_pool.h"

#include <algorithm>

namespace device {
namespace {

// The starter's view of a pooled worker. It holds the worker weakly: once the pool has
// dropped it, requests go nowhere.
class PooledWorkerHandle : public WorkerHandle {
 public:
  explicit PooledWorkerHandle(std::weak_ptr<TQueltaDeviceThread> worker)
      : worker_(std::move(worker)) {}

  void Terminate() override {
    if (const auto worker = worker_.lock()) worker->Terminate();
  }
  bool Place(const DeviceCommand& command) override {
    const auto worker = worker_.lock();
    return worker && worker->Place(command);
  }

 private:
  std::weak_ptr<TQueltaDeviceThread> worker_;
};

}  // namespace

WorkerPool::~WorkerPool() {
  StopAll();
}

std::unique_ptr<WorkerHandle> WorkerPool::Start(WorkerContext context) {
  ReapFinished();
  auto worker = std::make_shared<TQueltaDeviceThread>(std::move(context));
  workers_.push_back(worker);
  return std::make_unique<PooledWorkerHandle>(worker);
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

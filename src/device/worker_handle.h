#pragma once

namespace device {

// What the connection keeps of a running worker. Terminate asks it to stop after its
// current cycle. Destroying the handle must not wait for the worker: a worker whose
// handle is gone finishes on its own, as a free-on-terminate thread does.
class WorkerHandle {
 public:
  virtual ~WorkerHandle() = default;
  virtual void Terminate() = 0;
};

}  // namespace device

#pragma once

#include "device/command_requests.h"

namespace device {

// What the connection keeps of a running worker. Terminate asks it to stop after its
// current cycle. Destroying the handle does not wait for the worker: whoever started it
// (the worker pool) keeps it until it has finished and joins it. Place (and with it every
// request setter) puts a command in the worker's slot; ignored while the device is not ready
// and once the worker has finished.
class WorkerHandle : public CommandRequests {
 public:
  virtual ~WorkerHandle() = default;
  virtual void Terminate() = 0;
};

}  // namespace device

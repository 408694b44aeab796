#pragma once

#include "device/device_command.h"

namespace device {

// What the connection keeps of a running worker. Terminate asks it to stop after its
// current cycle. Destroying the handle does not wait for the worker: whoever started it
// (the worker pool) keeps it until it has finished and joins it.
class WorkerHandle {
 public:
  virtual ~WorkerHandle() = default;
  virtual void Terminate() = 0;
  // Places a command in the worker's slot (ignored while the device is not ready); returns
  // whether it was accepted.
  virtual bool Place(const DeviceCommand& command) = 0;
};

}  // namespace device

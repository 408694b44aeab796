#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/hid/hid_handle.h"

namespace platform {

// One HID interface as the bus lists it.
struct HidInterfaceInfo {
  std::string path;  // what Open takes
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  // Instance-id text "HID\VID_vvvv&PID_pppp\<suffix>" (four upper-case hexadecimal digits
  // each), e.g. "HID\VID_1044&PID_4001\...", on every backend: a substring test for
  // "VID_1044&PID_4001" finds the device.
  std::string instanceId;
};

enum class HidAccess { ReadWrite, WriteOnly };

// Why an interface did not open.
enum class HidOpenError {
  None,              // it opened
  PermissionDenied,  // the node is there but this user may not open it (EACCES, EPERM)
  Gone,              // no such node any more (ENOENT, ENODEV, ENXIO)
  Other,             // any other failure, or a backend that cannot tell
};

// The error an open(2) that failed with `error` (an errno value) stands for.
HidOpenError HidOpenErrorFromErrno(int error);

// An open with its outcome: a handle, or null and why.
struct HidOpenResult {
  std::unique_ptr<HidHandle> handle;
  HidOpenError error = HidOpenError::None;
};

// The HID devices of the machine. Listing and opening may be called from several threads.
class HidBus {
 public:
  virtual ~HidBus() = default;

  // Every HID interface present now, in the bus's own order.
  virtual std::vector<HidInterfaceInfo> Interfaces() = 0;

  // The instance id of every device present now, of any class (USB devices, their HID
  // interfaces, and others). An empty optional stands for a present device whose id could
  // not be read.
  virtual std::vector<std::optional<std::string>> PresentDeviceIds() = 0;

  // Opens an interface for reading and writing, or for writing only (reads then fail).
  // Returns null when it cannot be opened. Every handle is closed before its bus is destroyed.
  virtual std::unique_ptr<HidHandle> Open(const std::string& path, HidAccess access) = 0;

  // Open, and when it fails, why. A backend that cannot tell leaves this one: its failures
  // are HidOpenError::Other.
  virtual HidOpenResult OpenExplained(const std::string& path, HidAccess access) {
    HidOpenResult result{Open(path, access)};
    if (!result.handle) result.error = HidOpenError::Other;
    return result;
  }

  // `listener` runs whenever a device appears or vanishes, on whatever thread noticed it,
  // so it should only post work to its owner's thread. A new listener replaces the old;
  // an empty one removes it. A backend that cannot notice changes never calls it.
  virtual void SetChangeListener(std::function<void()> listener) = 0;
};

}  // namespace platform

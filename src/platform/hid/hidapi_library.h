#pragma once

namespace platform {

// hidapi's process-wide set-up, held by the bus and every handle it opened, so the library
// is shut down only after the last handle is closed.
class HidapiLibrary {
 public:
  HidapiLibrary();
  HidapiLibrary(const HidapiLibrary&) = delete;
  HidapiLibrary& operator=(const HidapiLibrary&) = delete;
  ~HidapiLibrary();

  bool Ready() const { return ready_; }

 private:
  bool ready_ = false;
};

}  // namespace platform

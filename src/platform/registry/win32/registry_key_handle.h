#pragma once

#include <windows.h>

namespace platform {

// An open key of the system's registry, closed when it goes. Open it through Out(); Get() is
// null until then, or when the open failed.
class RegistryKeyHandle {
 public:
  RegistryKeyHandle() = default;
  ~RegistryKeyHandle() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  RegistryKeyHandle(const RegistryKeyHandle&) = delete;
  RegistryKeyHandle& operator=(const RegistryKeyHandle&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace platform

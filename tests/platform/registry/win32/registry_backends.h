#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/registry/reg_lookup.h"
#include "platform/registry/registry.h"

namespace platform {

// The registry backend: a key of its own below HKEY_CURRENT_USER\Software\QueltaTests as the
// user's layer, over the factory tree held in memory. The key goes with the backend.
class Win32RegistryBackend {
 public:
  explicit Win32RegistryBackend(const std::string& factoryText);
  ~Win32RegistryBackend();
  Win32RegistryBackend(const Win32RegistryBackend&) = delete;
  Win32RegistryBackend& operator=(const Win32RegistryBackend&) = delete;

  std::unique_ptr<RegistryStore> Store() const;

  // Puts a value straight into the user's key: a REG_SZ, or a REG_DWORD (`dword` set).
  void PutUserValue(const std::string& path, const std::string& name, const std::string& text,
                    std::optional<std::uint32_t> dword = std::nullopt) const;
  // A REG_SZ or REG_EXPAND_SZ of the user's key as text; nullopt when it is not there.
  std::optional<std::string> UserText(const std::string& path, const std::string& name) const;
  bool UserHasKey(const std::string& path) const;

 private:
  // The key below HKEY_CURRENT_USER that stands for `path` (below SOFTWARE\NORVANE\Quelta).
  std::string UserPath(const std::string& path) const;

  std::string userKey_;
  std::shared_ptr<const RegLookup> factory_;
};

using RegistryBackends = ::testing::Types<Win32RegistryBackend>;

}  // namespace platform

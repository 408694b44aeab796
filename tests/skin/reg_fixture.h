#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace skin::testing {

// A read-only settings tree held in memory, loaded from .reg text:
//   [HKEY_LOCAL_MACHINE\SOFTWARE\...]   "Name"="text"   "Name"=dword:00000001
// A key exists when it is listed or when a listed key lies below it. Text values read as
// text; values of any other type throw platform::RegistryReadError. Every ReadString and
// OpenKey is logged, so tests can check reading orders.
class RegFixture : public platform::RegistryStore {
 public:
  explicit RegFixture(std::string_view regText);

  std::unique_ptr<platform::Registry> Open(platform::RegistryAccess access) override;

  // "OpenKey <path>" and "<path> : <value name>" lines, in call order, paths as given.
  const std::vector<std::string>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  int AccessorsOpened() const { return accessorsOpened_; }

  struct Value {
    bool isText = true;
    std::string text;
  };
  using Key = std::map<std::string, Value>;  // by lower-case value name

  const Key* Find(std::string_view path) const;
  void Note(std::string line) { log_.push_back(std::move(line)); }

 private:
  std::map<std::string, Key> keys_;  // by normalised lower-case path
  std::vector<std::string> log_;
  int accessorsOpened_ = 0;
};

// Normalised form of a key path: no leading or trailing backslash, lower case.
std::string NormalKeyPath(std::string_view path);

}  // namespace skin::testing

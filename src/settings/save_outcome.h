#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/registry/registry.h"

namespace settings {

// Runs the opens and writes of one save and remembers whether each key opened and each value
// was written, so the save can say whether it really reached the store.
class SaveOutcome {
 public:
  explicit SaveOutcome(platform::Registry& registry) : registry_(registry) {}

  // nullptr (and an incomplete save) when the key does not exist.
  std::unique_ptr<platform::RegistryKey> Open(std::string_view path) {
    auto key = registry_.OpenKey(path);
    if (!key) complete_ = false;
    return key;
  }

  void Write(platform::RegistryKey& key, std::string_view name, const std::string& text) {
    if (!key.WriteString(name, text)) complete_ = false;
  }

  // Commits what could be written, even when a key was missing; true when all of it was
  // written and committed.
  bool Finish() {
    const bool committed = registry_.Commit();
    return committed && complete_;
  }

 private:
  platform::Registry& registry_;
  bool complete_ = true;
};

}  // namespace settings

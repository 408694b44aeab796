#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/memory_registry_store.h"
#include "platform/registry/registry.h"

namespace testing_support {

// A settings store that passes everything through to another one and notes in `log`, in order,
// what was done to it, paths and names as the caller gave them:
//   "open read" / "open write"         an accessor opened
//   "OpenKey <path>" (+ " missing")    a key opened (or not found)
//   "<path> : <name>"                  a value read
//   "write <name>=<text>"              a value written
//   "commit"                           a commit
class RecordingRegistryStore : public platform::RegistryStore {
 public:
  // On top of another store.
  explicit RecordingRegistryStore(platform::RegistryStore& inner);
  // On top of its own in-memory tree loaded from .reg text (the header line is added when the
  // text lacks it).
  explicit RecordingRegistryStore(std::string_view regText);

  std::unique_ptr<platform::Registry> Open(platform::RegistryAccess access) override;
  std::string LastCommitError() const override { return inner_.LastCommitError(); }

  // Only the value writes, as "Name=text".
  std::vector<std::string> Writes() const;
  int AccessorsOpened() const;

  std::vector<std::string> log;

 private:
  std::optional<platform::MemoryRegistryStore> own_;
  platform::RegistryStore& inner_;
};

}  // namespace testing_support

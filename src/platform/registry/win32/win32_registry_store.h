#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/registry/reg_lookup.h"
#include "platform/registry/registry.h"

namespace platform {

// Where the user's settings live in the registry, below HKEY_CURRENT_USER. The machine's tree
// (HKEY_LOCAL_MACHINE) is not writable by a normal user, so every value the programs save,
// alarm thresholds included, goes here.
inline constexpr char kUserSettingsKey[] = "Software\\NORVANE\\Quelta";

// The user's settings in the registry over the factory tree beside the program, by the rules
// of the settings file: a value in the user's key wins over the factory's, a key exists when
// either has it, and a save writes only the user's key (creating the keys below it that only
// the factory tree lists). The skin is read from the factory tree alone and is not written.
// Paths are those of the port (below HKEY_LOCAL_MACHINE); SOFTWARE\NORVANE\Quelta and what is
// below it map to `userKey`, anything else has the factory tree alone. Text and expandable
// text values read as text, unexpanded; a value of any other type is a RegistryReadError.
// Registry calls go through the ANSI entry points: texts are in the process's code page.
class Win32RegistryStore : public RegistryStore {
 public:
  // `factory` may be null: then the user's key is the whole tree.
  Win32RegistryStore(std::string userKey, std::shared_ptr<const RegLookup> factory);

  std::unique_ptr<Registry> Open(RegistryAccess access) override;
  std::string LastCommitError() const override;

  // What accessors share with the store.
  struct Shared {
    std::string userKey;
    std::shared_ptr<const RegLookup> factory;
    std::string skinFolded;         // the skin key, folded, when the factory tree has one
    mutable std::mutex errorMutex;  // guards lastError: accessors may commit on any thread
    std::string lastError;
  };

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace platform

#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/registry/registry.h"

namespace platform {

// The settings tree held in memory as .reg text, with the same rules as the file backend
// (accessors see a snapshot, commits apply only their own writes). For tests of the code that
// uses the tree: fill it from .reg text, inspect the text afterwards.
class MemoryRegistryStore : public RegistryStore {
 public:
  // Throws RegistryFileError (source "memory") when `regText` is malformed.
  explicit MemoryRegistryStore(std::string regText);

  std::unique_ptr<Registry> Open(RegistryAccess access) override;

  // The tree as .reg text, every committed write included.
  std::string Text() const;

  // While set, every commit fails and stores nothing, as a full disk would.
  void SetCommitsFail(bool fail);

  // How many commits stored something.
  int Commits() const;

 private:
  // Guards the three members below: a commit runs on whichever thread holds an open
  // Registry, which need not be the one that reads Text() or Commits() or sets the failure.
  mutable std::mutex mutex_;
  std::string text_;
  bool commitsFail_ = false;
  int commits_ = 0;
};

}  // namespace platform

#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "platform/registry/reg_document.h"
#include "platform/registry/registry.h"

namespace platform {

// The settings tree kept in one .reg text file. Every accessor reads the file fresh; a commit
// takes an exclusive lock on "<file>.lock", reads the file again, applies only that accessor's
// writes and replaces the file atomically, so a crash never leaves a torn file and processes
// saving at the same time never lose each other's values. A malformed file is refused (Open
// throws RegistryFileError with the line) and never overwritten.
class RegFileStore : public RegistryStore {
 public:
  explicit RegFileStore(std::filesystem::path file);

  // Throws RegistryFileError when the file is missing, unreadable or malformed.
  std::unique_ptr<Registry> Open(RegistryAccess access) override;

  const std::filesystem::path& File() const { return file_; }

 private:
  // Where writes really go: a settings file reached through a symbolic link stays a link.
  std::filesystem::path Target() const;
  bool CommitEdits(const std::vector<RegEdit>& edits) const;

  std::filesystem::path file_;
};

// The file backend of the settings tree for the file at `file`. The store must outlive the
// accessors it hands out.
std::unique_ptr<RegistryStore> OpenRegistryFile(const std::filesystem::path& file);

}  // namespace platform

#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/registry/reg_document.h"
#include "platform/registry/registry.h"

namespace platform {

// The settings tree kept in one .reg text file. Every accessor reads the file fresh; a commit
// takes an exclusive lock on "<file>.lock", reads the file again, applies only that accessor's
// writes and replaces the file atomically, so a crash never leaves a torn file and processes
// saving at the same time never lose each other's values. A malformed file is refused (Open
// throws RegistryFileError with the line) and never overwritten; so is a file its owner made
// read-only, and a commit whose new text would not read back as written is dropped.
class RegFileStore : public RegistryStore {
 public:
  explicit RegFileStore(std::filesystem::path file);

  // Throws RegistryFileError when the file is missing, unreadable or malformed.
  std::unique_ptr<Registry> Open(RegistryAccess access) override;

  const std::filesystem::path& File() const { return file_; }
  std::string LastCommitError() const override;

  // The file as it is now. Throws RegistryFileError when it is missing, unreadable or malformed.
  RegDocument Read() const;

  // Applies `edits` to the file as it is now and replaces it, as an accessor's commit does. A
  // key the file lacks is added when `keysFrom` has it. False when that failed.
  bool CommitEdits(const std::vector<RegEdit>& edits, const RegLookup* keysFrom = nullptr) const;

 private:
  // Where writes really go: a settings file reached through a symbolic link stays a link.
  std::filesystem::path Target() const;
  // The reason of a commit that failed, "" for one that succeeded.
  bool Committed(std::string reason) const;

  std::filesystem::path file_;
  mutable std::mutex errorMutex_;  // guards lastError_: accessors may commit on any thread
  mutable std::string lastError_;
};

// The file backend of the settings tree for the file at `file`. The store must outlive the
// accessors it hands out.
std::unique_ptr<RegistryStore> OpenRegistryFile(const std::filesystem::path& file);

}  // namespace platform

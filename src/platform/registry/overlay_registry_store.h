#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/registry/reg_document.h"
#include "platform/registry/reg_file_store.h"
#include "platform/registry/registry.h"

namespace platform {

// The skin tree: it belongs to the program, so it is read from the factory tree alone.
inline constexpr char kSkinKeyPath[] = "SOFTWARE\\NORVANE\\Quelta\\Skin";

// The user's settings file over the factory tree. A value in the user's file wins over the
// factory's, a key exists when either has it, and a save writes only the user's file: the
// values it saves, with the key line of a key only the factory lists. When the factory tree
// holds the skin, the skin is read from there alone (an older version copied the whole tree,
// skin included, into the user's file; those records are left in place and no longer read).
// The factory tree is never written.
class OverlayRegistryStore : public RegistryStore {
 public:
  OverlayRegistryStore(std::filesystem::path userFile, std::shared_ptr<const RegLookup> factory);

  // Throws RegistryFileError when the user's file is missing, unreadable or malformed.
  std::unique_ptr<Registry> Open(RegistryAccess access) override;
  std::string LastCommitError() const override { return user_.LastCommitError(); }

 private:
  RegFileStore user_;
  std::shared_ptr<const RegLookup> factory_;
  std::string ownPath_;
};

// The factory tree in `file`, read and checked once per process (later calls hand out the same
// tree; a key's values are parsed when it is first read); nullptr when there is no such file.
// Throws RegistryFileError naming the file when it cannot be read or is malformed.
std::shared_ptr<const RegLookup> FactoryTree(const std::filesystem::path& file);

// The settings of the programs: the user's file over the factory tree beside the programs in
// `programFolder`, or the user's file alone when there is no factory file there (or when the
// user's file is the factory file). Throws RegistryFileError when the factory file is spoilt.
std::unique_ptr<RegistryStore> OpenSettingsStore(const std::filesystem::path& userFile,
                                                 const std::filesystem::path& programFolder);

}  // namespace platform

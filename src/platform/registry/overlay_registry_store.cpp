#include "platform/registry/overlay_registry_store.h"

#include <map>
#include <mutex>
#include <optional>

#include "platform/registry/atomic_file.h"
#include "platform/registry/document_registry.h"
#include "platform/registry/indexed_reg_tree.h"
#include "platform/registry/registry_file_error.h"
#include "platform/registry/registry_location.h"

namespace platform {

OverlayRegistryStore::OverlayRegistryStore(std::filesystem::path userFile,
                                           std::shared_ptr<const RegLookup> factory)
    : user_(std::move(userFile)), factory_(std::move(factory)) {
  if (factory_->HasKey(kSkinKeyPath)) ownPath_ = kSkinKeyPath;
}

std::unique_ptr<Registry> OverlayRegistryStore::Open(RegistryAccess access) {
  return std::make_unique<DocumentRegistry>(
      user_.Read(), access,
      [this](const std::vector<RegEdit>& edits) {
        return user_.CommitEdits(edits, factory_.get());
      },
      RegBeneath{factory_, ownPath_});
}

std::shared_ptr<const RegLookup> FactoryTree(const std::filesystem::path& file) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const RegLookup>> parsed;
  const std::lock_guard lock(mutex);
  const auto found = parsed.find(file.string());
  if (found != parsed.end()) return found->second;

  std::error_code missing;
  if (!std::filesystem::exists(file, missing)) return nullptr;
  std::string error;
  std::optional<std::string> text = ReadWholeFile(file, error);
  if (!text) {
    throw RegistryFileError("Cannot read the factory settings file " + file.string() + ": " +
                            error);
  }
  std::shared_ptr<const RegLookup> tree = IndexedRegTree::Parse(std::move(*text), file.string());
  parsed.emplace(file.string(), tree);
  return tree;
}

std::unique_ptr<RegistryStore> OpenSettingsStore(const std::filesystem::path& userFile,
                                                 const std::filesystem::path& programFolder) {
  const std::filesystem::path factoryFile = programFolder / kFactoryFileName;
  std::error_code notSame;
  if (std::filesystem::equivalent(userFile, factoryFile, notSame)) {
    return std::make_unique<RegFileStore>(userFile);
  }
  std::shared_ptr<const RegLookup> factory = FactoryTree(factoryFile);
  if (!factory) return std::make_unique<RegFileStore>(userFile);
  return std::make_unique<OverlayRegistryStore>(userFile, std::move(factory));
}

}  // namespace platform

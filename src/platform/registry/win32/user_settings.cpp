#include "platform/registry/user_settings.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/registry/document_registry.h"
#include "platform/registry/indexed_reg_tree.h"
#include "platform/registry/registry_file_error.h"
#include "platform/registry/registry_location.h"
#include "platform/registry/win32/win32_registry_store.h"

namespace platform {
namespace {

// No settings tree is nearly this large; a larger file is refused rather than read.
constexpr std::uintmax_t kMaxTreeBytes = std::uintmax_t{16} * 1024 * 1024;
constexpr char kEmptyTree[] = "Windows Registry Editor Version 5.00\r\n";

// The tree in `file`; nullptr when there is no such file.
std::shared_ptr<const RegLookup> ReadTree(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return nullptr;
  if (!std::filesystem::is_regular_file(file, error)) {
    throw RegistryFileError("The settings file " + file.string() + " is not a regular file");
  }
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error || size > kMaxTreeBytes) {
    throw RegistryFileError("The settings file " + file.string() +
                            (error ? " cannot be read: " + error.message() : " is too large"));
  }
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) throw RegistryFileError("Cannot read the settings file " + file.string());
  return IndexedRegTree::Parse(text.str(), file.string());
}

// A tree given with --registry: read as it stands; saves are refused with the reason.
class ReadOnlyTreeStore : public RegistryStore {
 public:
  explicit ReadOnlyTreeStore(std::shared_ptr<const RegLookup> tree) : tree_(std::move(tree)) {}

  std::unique_ptr<Registry> Open(RegistryAccess access) override {
    return std::make_unique<DocumentRegistry>(
        RegDocument::Parse(kEmptyTree, "empty"), access,
        [](const std::vector<RegEdit>&) { return false; }, RegBeneath{tree_, {}});
  }
  std::string LastCommitError() const override {
    return "a settings file given with --registry is only read on Windows; the settings are "
           "saved in HKEY_CURRENT_USER\\Software\\NORVANE\\Quelta";
  }

 private:
  std::shared_ptr<const RegLookup> tree_;
};

}  // namespace

std::unique_ptr<RegistryStore> OpenUserSettings(
    const std::optional<std::filesystem::path>& registryFile,
    const std::filesystem::path& programFolder) {
  if (registryFile) {
    std::shared_ptr<const RegLookup> tree = ReadTree(*registryFile);
    if (!tree) throw RegistryFileError("No settings file at " + registryFile->string());
    return std::make_unique<ReadOnlyTreeStore>(std::move(tree));
  }
  return std::make_unique<Win32RegistryStore>(kUserSettingsKey,
                                              ReadTree(programFolder / kFactoryFileName));
}

}  // namespace platform

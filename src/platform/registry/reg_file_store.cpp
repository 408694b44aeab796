#include "platform/registry/reg_file_store.h"

#include <sys/stat.h>

#include "platform/registry/atomic_file.h"
#include "platform/registry/document_registry.h"
#include "platform/registry/file_lock.h"
#include "platform/registry/registry_file_error.h"

namespace platform {
namespace {

constexpr mode_t kPermissionBits = 07777;

RegDocument ReadDocument(const std::filesystem::path& file) {
  std::string error;
  const std::optional<std::string> text = ReadWholeFile(file, error);
  if (!text)
    throw RegistryFileError("Cannot read the settings file " + file.string() + ": " + error);
  return RegDocument::Parse(*text, file.string());
}

}  // namespace

RegFileStore::RegFileStore(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path RegFileStore::Target() const {
  std::error_code error;
  std::filesystem::path target = std::filesystem::canonical(file_, error);
  return error ? file_ : target;
}

std::unique_ptr<Registry> RegFileStore::Open(RegistryAccess access) {
  return std::make_unique<DocumentRegistry>(
      ReadDocument(Target()), access,
      [this](const std::vector<RegEdit>& edits) { return CommitEdits(edits); });
}

bool RegFileStore::CommitEdits(const std::vector<RegEdit>& edits) const {
  const std::filesystem::path target = Target();
  const FileLock lock(target.string() + ".lock");
  if (!lock.Held()) return false;

  // What another process committed since this accessor read the file is kept: only this
  // accessor's own writes are applied to the file as it is now.
  std::string error;
  const std::optional<std::string> before = ReadWholeFile(target, error);
  if (!before) return false;
  std::string after;
  try {
    RegDocument document = RegDocument::Parse(*before, target.string());
    if (!document.Apply(edits)) return false;
    after = document.Text();
  } catch (const RegistryFileError&) {
    return false;  // a file spoilt meanwhile is left as it is
  }
  if (after == *before) return true;

  struct stat info {};
  const mode_t mode = ::stat(target.c_str(), &info) == 0 ? (info.st_mode & kPermissionBits) : 0600;
  return WriteFileAtomically(target, after, mode, true) == AtomicWriteResult::Written;
}

std::unique_ptr<RegistryStore> OpenRegistryFile(const std::filesystem::path& file) {
  return std::make_unique<RegFileStore>(file);
}

}  // namespace platform

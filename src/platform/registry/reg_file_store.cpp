#include "platform/registry/reg_file_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <utility>

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

// Whether `text` parses and holds every edit's text (the last edit of a value wins).
bool ReadsBack(const std::string& text, const std::vector<RegEdit>& edits,
               const std::string& source) {
  try {
    const RegDocument document = RegDocument::Parse(text, source);
    std::map<std::pair<std::string, std::string>, const RegEdit*> last;
    for (const RegEdit& edit : edits) {
      const std::optional<std::string> path = NormalizeKeyPath(edit.path);
      if (!path) return false;
      last[{FoldCase(*path), FoldCase(edit.name)}] = &edit;
    }
    for (const auto& [where, edit] : last) {
      const RegValue* value = document.FindValue(edit->path, edit->name);
      if (value == nullptr || TextOf(*value, false) != edit->text) return false;
    }
    return true;
  } catch (const RegistryFileError&) {
    return false;
  }
}

}  // namespace

RegFileStore::RegFileStore(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path RegFileStore::Target() const {
  std::error_code error;
  std::filesystem::path target = std::filesystem::canonical(file_, error);
  return error ? file_ : target;
}

RegDocument RegFileStore::Read() const {
  return ReadDocument(Target());
}

std::unique_ptr<Registry> RegFileStore::Open(RegistryAccess access) {
  return std::make_unique<DocumentRegistry>(
      Read(), access, [this](const std::vector<RegEdit>& edits) { return CommitEdits(edits); });
}

std::string RegFileStore::LastCommitError() const {
  const std::lock_guard lock(errorMutex_);
  return lastError_;
}

bool RegFileStore::Committed(std::string reason) const {
  const std::lock_guard lock(errorMutex_);
  lastError_ = std::move(reason);
  return lastError_.empty();
}

bool RegFileStore::CommitEdits(const std::vector<RegEdit>& edits, const RegLookup* keysFrom) const {
  const std::filesystem::path target = Target();
  const std::string name = target.string();
  const FileLock lock(name + ".lock");
  if (!lock.Held()) return Committed("cannot lock " + name + ".lock");
  // Under the lock no other save is under way: temporaries by that name are leftovers.
  RemoveStaleTemporaries(target);

  // What another process committed since this accessor read the file is kept: only this
  // accessor's own writes are applied to the file as it is now.
  std::string error;
  const std::optional<std::string> before = ReadWholeFile(target, error);
  if (!before) return Committed("cannot read " + name + ": " + error);
  std::string after;
  try {
    RegDocument document = RegDocument::Parse(*before, name);
    if (!document.Apply(edits, keysFrom))
      return Committed(name + " lacks a key the save writes to");
    after = document.Text();
  } catch (const RegistryFileError& spoilt) {
    return Committed(spoilt.what());  // a file spoilt meanwhile is left as it is
  }
  if (after == *before) return Committed({});
  // A file the reader would refuse could never be loaded again: every later start and command
  // would fail on it.
  if (after.size() > kMaxSettingsFileBytes) {
    return Committed("the new text of " + name + " would be larger than the " +
                     std::to_string(kMaxSettingsFileBytes / (1024 * 1024)) +
                     " MiB a settings file may hold; left as it was");
  }
  if (!ReadsBack(after, edits, name)) {
    return Committed("the new text of " + name + " would not read back as written; left as it was");
  }

  struct stat info {};
  if (::stat(target.c_str(), &info) != 0) return Committed("cannot read " + name);
  if ((info.st_mode & S_IWUSR) == 0) {
    return Committed(name + " is read-only; make it writable to save settings");
  }
  const mode_t mode = info.st_mode & kPermissionBits;
  if (WriteFileAtomically(target, after, mode, true) != AtomicWriteResult::Written) {
    return Committed("cannot write " + name);
  }
  return Committed({});
}

std::unique_ptr<RegistryStore> OpenRegistryFile(const std::filesystem::path& file) {
  return std::make_unique<RegFileStore>(file);
}

}  // namespace platform

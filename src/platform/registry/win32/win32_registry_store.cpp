#include "platform/registry/win32/win32_registry_store.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/registry/overlay_registry_store.h"
#include "platform/registry/reg_syntax.h"
#include "platform/registry/win32/registry_key_handle.h"

namespace platform {
namespace {

constexpr std::string_view kProgramKey = "SOFTWARE\\NORVANE\\Quelta";
constexpr std::string_view kNotInNames("\r\n\0", 3);

bool AtOrBelow(const std::string& folded, std::string_view foldedKey) {
  return folded.starts_with(foldedKey) &&
         (folded.size() == foldedKey.size() || folded[foldedKey.size()] == '\\');
}

std::string TypeName(DWORD type) {
  switch (type) {
    case REG_DWORD:
      return "dword";
    case REG_BINARY:
      return "hex";
    default:
      return "hex(" + std::to_string(type) + ")";
  }
}

struct Edit {
  std::string path;
  std::string name;
  std::string text;
};

// What an accessor and its keys share.
struct AccessorState {
  std::shared_ptr<Win32RegistryStore::Shared> store;
  bool writable = false;
  std::vector<Edit> pending;

  bool Owned(const std::string& path) const {
    return !store->skinFolded.empty() && AtOrBelow(FoldCase(path), store->skinFolded);
  }

  // The user's key for `path`; nullopt when the path lies outside the program key.
  std::optional<std::string> UserPath(const std::string& path) const {
    static const std::string programFolded = FoldCase(kProgramKey);
    if (!AtOrBelow(FoldCase(path), programFolded)) return std::nullopt;
    return store->userKey + path.substr(kProgramKey.size());
  }

  bool UserHasKey(const std::string& path) const {
    const std::optional<std::string> user = UserPath(path);
    if (!user || Owned(path)) return false;
    RegistryKeyHandle key;
    return ::RegOpenKeyExA(HKEY_CURRENT_USER, user->c_str(), 0, KEY_READ, key.Out()) ==
           ERROR_SUCCESS;
  }

  bool HasKey(const std::string& path) const {
    return (store->factory && store->factory->HasKey(path)) || UserHasKey(path);
  }

  [[noreturn]] void NotText(const std::string& path, std::string_view name,
                            const std::string& type) const {
    const std::string shown = name.empty() ? std::string("(default)") : std::string(name);
    throw RegistryReadError("Invalid data type for '" + shown + "' under " + path +
                            ": the value is " + type + ", not text");
  }

  // The value in the user's key; nullopt when it is not there.
  std::optional<std::string> UserValue(const std::string& path, std::string_view name) const {
    const std::optional<std::string> user = UserPath(path);
    if (!user || Owned(path)) return std::nullopt;
    RegistryKeyHandle key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, user->c_str(), 0, KEY_READ, key.Out()) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    const std::string valueName(name);
    // The value may grow between asking its size and reading it: ask again then.
    std::vector<char> data;
    while (true) {
      DWORD type = 0;
      DWORD size = static_cast<DWORD>(data.size());
      const LONG result =
          ::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                             data.empty() ? nullptr : reinterpret_cast<BYTE*>(data.data()), &size);
      if (result == ERROR_FILE_NOT_FOUND) return std::nullopt;
      if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && data.empty() && size > 0)) {
        data.resize(size + 1);
        continue;
      }
      if (result != ERROR_SUCCESS) {
        throw RegistryReadError("Cannot read '" + valueName + "' under HKEY_CURRENT_USER\\" +
                                *user + ": error " + std::to_string(result));
      }
      if (type != REG_SZ && type != REG_EXPAND_SZ) NotText(path, name, TypeName(type));
      std::string text(data.data(), std::min<std::size_t>(size, data.size()));
      // A stored text ends with its NUL, or may not: the registry does not insist.
      while (!text.empty() && text.back() == '\0') text.pop_back();
      return text;
    }
  }

  std::string Read(const std::string& path, std::string_view name) const {
    const std::string folded = FoldCase(name);
    for (auto it = pending.rbegin(); it != pending.rend(); ++it) {
      if (FoldCase(it->path) == FoldCase(path) && FoldCase(it->name) == folded) return it->text;
    }
    if (std::optional<std::string> user = UserValue(path, name)) return std::move(*user);
    const RegValue* value = store->factory ? store->factory->FindValue(path, name) : nullptr;
    if (value == nullptr) return {};
    std::optional<std::string> text = TextOf(*value, true);
    if (!text) NotText(path, name, value->TypeName());
    return std::move(*text);
  }

  // Writes every pending edit; false at the first that fails, with the reason kept.
  bool Commit() {
    std::vector<Edit> edits;
    edits.swap(pending);
    for (const Edit& edit : edits) {
      const std::string user = *UserPath(edit.path);
      RegistryKeyHandle key;
      LONG result =
          ::RegCreateKeyExA(HKEY_CURRENT_USER, user.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_SET_VALUE, nullptr, key.Out(), nullptr);
      if (result == ERROR_SUCCESS) {
        result = ::RegSetValueExA(key.Get(), edit.name.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(edit.text.c_str()),
                                  static_cast<DWORD>(edit.text.size() + 1));
      }
      if (result != ERROR_SUCCESS) {
        const std::lock_guard lock(store->errorMutex);
        store->lastError = "Cannot write '" + edit.name + "' under HKEY_CURRENT_USER\\" + user +
                           ": error " + std::to_string(result);
        return false;
      }
    }
    const std::lock_guard lock(store->errorMutex);
    store->lastError.clear();
    return true;
  }
};

class Win32Key : public RegistryKey {
 public:
  Win32Key(std::shared_ptr<AccessorState> state, std::string path)
      : state_(std::move(state)), path_(std::move(path)) {}

  std::string ReadString(std::string_view name) override { return state_->Read(path_, name); }

  bool WriteString(std::string_view name, std::string_view text) override {
    // A registry text cannot hold a NUL: it would end the text early. Names follow the rule
    // of the settings file, so both backends take the same names.
    if (!state_->writable || text.find('\0') != std::string_view::npos ||
        name.find_first_of(kNotInNames) != std::string_view::npos) {
      return false;
    }
    if (state_->Owned(path_) || !state_->UserPath(path_)) return false;
    state_->pending.push_back(Edit{path_, std::string(name), std::string(text)});
    return true;
  }

 private:
  std::shared_ptr<AccessorState> state_;
  std::string path_;
};

class Win32Registry : public Registry {
 public:
  Win32Registry(std::shared_ptr<Win32RegistryStore::Shared> store, RegistryAccess access)
      : state_(std::make_shared<AccessorState>(
            AccessorState{std::move(store), access == RegistryAccess::Write, {}})) {}
  ~Win32Registry() override {
    // A destructor cannot report failure; callers that need to know call Commit first.
    if (!state_->pending.empty()) state_->Commit();
    state_->writable = false;
  }
  Win32Registry(const Win32Registry&) = delete;
  Win32Registry& operator=(const Win32Registry&) = delete;

  std::unique_ptr<RegistryKey> OpenKey(std::string_view path) override {
    const std::optional<std::string> normal = NormalizeKeyPath(path);
    if (!normal || !state_->HasKey(*normal)) return nullptr;
    return std::make_unique<Win32Key>(state_, *normal);
  }

  bool Commit() override { return state_->pending.empty() || state_->Commit(); }

 private:
  std::shared_ptr<AccessorState> state_;
};

}  // namespace

Win32RegistryStore::Win32RegistryStore(std::string userKey,
                                       std::shared_ptr<const RegLookup> factory)
    : shared_(std::make_shared<Shared>()) {
  shared_->userKey = std::move(userKey);
  shared_->factory = std::move(factory);
  if (shared_->factory && shared_->factory->HasKey(kSkinKeyPath)) {
    shared_->skinFolded = FoldCase(kSkinKeyPath);
  }
}

std::unique_ptr<Registry> Win32RegistryStore::Open(RegistryAccess access) {
  return std::make_unique<Win32Registry>(shared_, access);
}

std::string Win32RegistryStore::LastCommitError() const {
  const std::lock_guard lock(shared_->errorMutex);
  return shared_->lastError;
}

}  // namespace platform

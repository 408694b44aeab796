#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// The framework's registry read error: a value exists but is not text.
class RegistryReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One opened key of the settings tree.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // The text of a string value; "" when the value is absent.
  // Throws RegistryReadError when the value exists with a non-text type.
  virtual std::string ReadString(std::string_view name) = 0;

  // Like ReadString, but an expandable string value is read too, as it stands (unexpanded):
  // the skin tree allows both kinds. Backends without expandable strings need not override it.
  virtual std::string ReadExpandString(std::string_view name) { return ReadString(name); }

  // Creates or replaces a string value under this key. Returns false when the accessor
  // was opened for reading only. The write reaches the store when the accessor commits.
  virtual bool WriteString(std::string_view name, std::string_view text) = 0;
};

// One registry accessor: created for one load or one save and destroyed after it.
// Paths are absolute from HKEY_LOCAL_MACHINE ("SOFTWARE\\NORVANE\\Quelta\\Config"), with or
// without a leading or trailing backslash, matched without regard to case.
class Registry {
 public:
  virtual ~Registry() = default;

  // Opens an existing key; nullptr when it does not exist. Never creates a key.
  virtual std::unique_ptr<RegistryKey> OpenKey(std::string_view path) = 0;

  // Makes every write of this accessor durable at once. Returns false when that failed
  // (nothing of this accessor is then known to be stored). Writes made after a Commit wait for
  // the next one. A write accessor that is destroyed with writes not yet committed commits then.
  virtual bool Commit() = 0;
};

enum class RegistryAccess { Read, Write };

// Where accessors come from: the application holds one and hands it to the stores.
class RegistryStore {
 public:
  virtual ~RegistryStore() = default;
  // A fresh accessor that sees the store as it is now.
  virtual std::unique_ptr<Registry> Open(RegistryAccess access) = 0;
  // Why the latest commit that failed did not reach the store; "" when none failed or the
  // store cannot say.
  virtual std::string LastCommitError() const { return {}; }
};

}  // namespace platform

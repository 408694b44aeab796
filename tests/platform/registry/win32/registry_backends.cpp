#include "tests/platform/registry/win32/registry_backends.h"

#include <windows.h>

#include <random>

#include "platform/registry/indexed_reg_tree.h"
#include "platform/registry/win32/registry_key_handle.h"
#include "platform/registry/win32/win32_registry_store.h"

namespace platform {
namespace {

constexpr std::size_t kProgramKeyLength = sizeof("SOFTWARE\\NORVANE\\Quelta") - 1;

}  // namespace

Win32RegistryBackend::Win32RegistryBackend(const std::string& factoryText)
    : userKey_("Software\\QueltaTests\\" + std::to_string(::GetCurrentProcessId()) + "-" +
               std::to_string(std::random_device()())),
      factory_(IndexedRegTree::Parse(factoryText, "factory")) {}

Win32RegistryBackend::~Win32RegistryBackend() {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, userKey_.c_str());
  ::RegDeleteKeyA(HKEY_CURRENT_USER, userKey_.c_str());
}

std::unique_ptr<RegistryStore> Win32RegistryBackend::Store() const {
  return std::make_unique<Win32RegistryStore>(userKey_, factory_);
}

std::string Win32RegistryBackend::UserPath(const std::string& path) const {
  return userKey_ + path.substr(kProgramKeyLength);
}

void Win32RegistryBackend::PutUserValue(const std::string& path, const std::string& name,
                                        const std::string& text,
                                        std::optional<std::uint32_t> dword) const {
  RegistryKeyHandle key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, UserPath(path).c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Out(), nullptr),
            ERROR_SUCCESS);
  const DWORD number = dword.value_or(0);
  const LONG result = dword
                          ? ::RegSetValueExA(key.Get(), name.c_str(), 0, REG_DWORD,
                                             reinterpret_cast<const BYTE*>(&number), sizeof number)
                          : ::RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ,
                                             reinterpret_cast<const BYTE*>(text.c_str()),
                                             static_cast<DWORD>(text.size() + 1));
  ASSERT_EQ(result, ERROR_SUCCESS);
}

std::optional<std::string> Win32RegistryBackend::UserText(const std::string& path,
                                                          const std::string& name) const {
  RegistryKeyHandle key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, UserPath(path).c_str(), 0, KEY_READ, key.Out()) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::string text(size, '\0');
  ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                     &size);
  text.resize(size);
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

bool Win32RegistryBackend::UserHasKey(const std::string& path) const {
  RegistryKeyHandle key;
  return ::RegOpenKeyExA(HKEY_CURRENT_USER, UserPath(path).c_str(), 0, KEY_READ, key.Out()) ==
         ERROR_SUCCESS;
}

}  // namespace platform

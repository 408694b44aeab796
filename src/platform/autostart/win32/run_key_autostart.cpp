#include "platform/autostart/win32/run_key_autostart.h"

#include <windows.h>

#include "platform/registry/win32/registry_key_handle.h"

namespace platform {
namespace {

std::string Where(const std::string& runKey) {
  return "HKEY_CURRENT_USER\\" + runKey + "\\" + kRunValueName;
}

}  // namespace

std::string RunCommand(const std::filesystem::path& program) {
  return "\"" + program.string() + "\" --tray";
}

bool RunKeyAutostartEnabled(const std::string& runKey) {
  RegistryKeyHandle key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, runKey.c_str(), 0, KEY_QUERY_VALUE, key.Out()) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0;
  DWORD size = 0;
  const LONG result = ::RegQueryValueExA(key.Get(), kRunValueName, nullptr, &type, nullptr, &size);
  // A text holds at least its NUL: more than one byte is a command.
  return result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && size > 1;
}

std::string EnableRunKeyAutostart(const std::string& runKey, const std::filesystem::path& program) {
  RegistryKeyHandle key;
  LONG result =
      ::RegCreateKeyExA(HKEY_CURRENT_USER, runKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.Out(), nullptr);
  if (result == ERROR_SUCCESS) {
    const std::string command = RunCommand(program);
    result = ::RegSetValueExA(key.Get(), kRunValueName, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(command.c_str()),
                              static_cast<DWORD>(command.size() + 1));
  }
  if (result == ERROR_SUCCESS) return {};
  return "cannot write " + Where(runKey) + ": error " + std::to_string(result);
}

std::string DisableRunKeyAutostart(const std::string& runKey) {
  RegistryKeyHandle key;
  LONG result = ::RegOpenKeyExA(HKEY_CURRENT_USER, runKey.c_str(), 0, KEY_SET_VALUE, key.Out());
  if (result == ERROR_FILE_NOT_FOUND) return {};
  if (result == ERROR_SUCCESS) result = ::RegDeleteValueA(key.Get(), kRunValueName);
  if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return {};
  return "cannot remove " + Where(runKey) + ": error " + std::to_string(result);
}

}  // namespace platform

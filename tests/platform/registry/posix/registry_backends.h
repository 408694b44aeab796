#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/registry/overlay_registry_store.h"
#include "platform/registry/reg_document.h"
#include "platform/registry/reg_syntax.h"
#include "platform/registry/registry_location.h"
#include "support/temp_folder.h"

namespace platform {

// The file backend: the user's settings file over the factory file beside the programs.
class FileOverlayBackend {
 public:
  explicit FileOverlayBackend(const std::string& factoryText) {
    std::filesystem::create_directories(folder_ / "bin");
    testing_support::WriteFile(folder_ / "bin" / kFactoryFileName, factoryText);
    testing_support::WriteFile(userFile_, "Windows Registry Editor Version 5.00\r\n");
  }

  std::unique_ptr<RegistryStore> Store() const {
    return OpenSettingsStore(userFile_, folder_ / "bin");
  }

  // Puts a value straight into the user's layer, as an earlier version or the user did: a text,
  // or a dword (`dword` set).
  void PutUserValue(const std::string& path, const std::string& name, const std::string& text,
                    std::optional<std::uint32_t> dword = std::nullopt) const {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", dword.value_or(0));
    const std::string line =
        dword ? "\"" + name + "\"=dword:" + digits + "\r\n" : FormatStringValue(name, text, "\r\n");
    testing_support::WriteFile(userFile_, testing_support::ReadFile(userFile_) + "\r\n" +
                                              FormatKeyLine(path, "\r\n") + line);
  }

  // A value of the user's layer as text; nullopt when it is not there.
  std::optional<std::string> UserText(const std::string& path, const std::string& name) const {
    const RegDocument user = RegDocument::Parse(testing_support::ReadFile(userFile_), "user");
    const RegValue* value = user.FindValue(path, name);
    if (value == nullptr) return std::nullopt;
    return TextOf(*value, false);
  }

  bool UserHasKey(const std::string& path) const {
    return RegDocument::Parse(testing_support::ReadFile(userFile_), "user").HasKey(path);
  }

 private:
  testing_support::TempFolder folder_;
  std::filesystem::path userFile_ = folder_ / "registry.reg";
};

using RegistryBackends = ::testing::Types<FileOverlayBackend>;

}  // namespace platform

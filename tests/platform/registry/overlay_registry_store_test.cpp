#include "platform/registry/overlay_registry_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/registry/registry_file_error.h"
#include "platform/registry/registry_location.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

using ::testing::HasSubstr;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

constexpr char kHeader[] = "Windows Registry Editor Version 5.00\r\n";

// A factory tree with settings and a skin, as the build installs it beside the programs.
constexpr char kFactory[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage]\r\n"
    "\"12V\"=\"12.00\"\r\n"
    "\"5V\"=\"5.00\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt]\r\n"
    "\"Watt\"=\"450.00\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close]\r\n"
    "\"LeaveBmp\"=\"Skin\\\\new_close.bmp\"\r\n";

std::string Read(RegistryStore& store, const char* path, const char* name) {
  const auto registry = store.Open(RegistryAccess::Read);
  const auto key = registry->OpenKey(path);
  if (!key) return "<no key>";
  return key->ReadString(name);
}

// A program folder holding the factory file (read-only, as installed) and a user's file.
struct Install {
  explicit Install(const std::string& user) {
    std::filesystem::create_directories(bin);
    WriteFile(factoryFile, kFactory);
    ::chmod(factoryFile.c_str(), 0444);
    WriteFile(userFile, user);
  }
  std::unique_ptr<RegistryStore> Store() const { return OpenSettingsStore(userFile, bin); }

  TempFolder folder;
  std::filesystem::path bin = folder / "bin";
  std::filesystem::path factoryFile = bin / kFactoryFileName;
  std::filesystem::path userFile = folder / "registry.reg";
};

// The rules every backend keeps are in overlay_rules_test.cpp; these are the file's own.
TEST(OverlayRegistryStore, ASaveWritesOnlyTheValuesSavedToTheUsersFileAndNeverTheFactoryFile) {
  Install install("");
  std::filesystem::remove(install.userFile);
  const auto environment = RegistryEnvironment{(install.folder / "config").string(), "/unused"};
  // First run: the user's file is started empty, not as a copy of the factory tree.
  install.userFile = LocateRegistryFile(std::nullopt, install.bin, environment);
  const std::string started = ReadFile(install.userFile);
  EXPECT_EQ(started.rfind(kHeader, 0), 0u);
  EXPECT_EQ(started.find('['), std::string::npos);
  EXPECT_LT(started.size(), 256u);

  const auto store = install.Store();
  {
    const auto registry = store->Open(RegistryAccess::Write);
    const auto watt = registry->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt");
    const auto voltage = registry->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage");
    const auto skin = registry->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close");
    ASSERT_TRUE(watt && voltage && skin);
    EXPECT_TRUE(watt->WriteString("Watt", "600.00"));
    EXPECT_TRUE(voltage->WriteString("12V", "12.00"));  // equal to the factory's: still written
    EXPECT_FALSE(skin->WriteString("LeaveBmp", "Skin\\mine.bmp"));  // the skin is the program's
    EXPECT_EQ(watt->ReadString("Watt"), "600.00");
    ASSERT_TRUE(registry->Commit());
  }
  EXPECT_EQ(ReadFile(install.userFile),
            started +
                "\r\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt]\r\n"
                "\"Watt\"=\"600.00\"\r\n"
                "\r\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage]\r\n"
                "\"12V\"=\"12.00\"\r\n");
  EXPECT_EQ(ReadFile(install.factoryFile), kFactory);
  EXPECT_EQ(Read(*store, "SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt", "Watt"), "600.00");
  EXPECT_EQ(Read(*store, "SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage", "5V"), "5.00");

  // A second save changes its own line in place.
  {
    const auto registry = store->Open(RegistryAccess::Write);
    ASSERT_TRUE(
        registry->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt")->WriteString("Watt", "450.00"));
    ASSERT_TRUE(registry->Commit());
  }
  const std::string saved = ReadFile(install.userFile);
  EXPECT_NE(saved.find("\"Watt\"=\"450.00\"\r\n\r\n[HKEY"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("600.00"), std::string::npos);
  EXPECT_EQ(ReadFile(install.factoryFile), kFactory);

  // A read-only user's file is refused with the reason and stays as it is.
  ASSERT_EQ(::chmod(install.userFile.c_str(), 0444), 0);
  {
    const auto registry = store->Open(RegistryAccess::Write);
    ASSERT_TRUE(
        registry->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage")->WriteString("5V", "5.10"));
    EXPECT_FALSE(registry->Commit());
  }
  EXPECT_THAT(store->LastCommitError(), HasSubstr("is read-only"));
  EXPECT_EQ(ReadFile(install.userFile), saved);
  EXPECT_EQ(ReadFile(install.factoryFile), kFactory);
}

TEST(OverlayRegistryStore, AnOldFullCopyStillLoadsAndSavesButTheSkinComesFromTheFactory) {
  // An older version copied the factory tree, skin included, into the user's file.
  const std::string old =
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage]\r\n"
      "\"12V\"=\"12.00\"\r\n"
      "\"5V\"=\"5.05\"\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt]\r\n"
      "\"Watt\"=\"450.00\"\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close]\r\n"
      "\"LeaveBmp\"=\"Skin\\\\old_close.bmp\"\r\n"
      "\"OldOnly\"=\"Skin\\\\gone.bmp\"\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Gone]\r\n"
      "\"LeaveBmp\"=\"Skin\\\\gone.bmp\"\r\n";
  const Install install(old);
  const auto store = install.Store();
  EXPECT_EQ(Read(*store, "SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage", "5V"), "5.05");
  EXPECT_EQ(Read(*store, "SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close", "LeaveBmp"),
            "Skin\\new_close.bmp");
  EXPECT_EQ(Read(*store, "SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close", "OldOnly"), "");
  EXPECT_EQ(Read(*store, "SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Gone", "LeaveBmp"),
            "<no key>");

  {
    const auto registry = store->Open(RegistryAccess::Write);
    ASSERT_TRUE(
        registry->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Alarm\\Watt")->WriteString("Watt", "500.00"));
    ASSERT_TRUE(registry->Commit());
  }
  std::string expected = old;
  expected.replace(expected.find("\"Watt\"=\"450.00\""), 15, "\"Watt\"=\"500.00\"");
  EXPECT_EQ(ReadFile(install.userFile), expected);
  EXPECT_EQ(ReadFile(install.factoryFile), kFactory);
}

TEST(OverlayRegistryStore, TheFactoryFileIsParsedOncePerProcessAndASpoiltOneIsRefused) {
  TempFolder folder;
  const auto factory = folder / kFactoryFileName;
  WriteFile(factory, kFactory);
  const std::shared_ptr<const RegLookup> first = FactoryTree(factory);
  ASSERT_NE(first, nullptr);
  // Whatever the file says later, this process keeps the tree it parsed.
  WriteFile(factory, "not a settings file");
  EXPECT_EQ(FactoryTree(factory), first);
  WriteFile(folder / "registry.reg", kHeader);
  EXPECT_EQ(Read(*OpenSettingsStore(folder / "registry.reg", folder.Path()),
                 "SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage", "12V"),
            "12.00");

  // No factory file: the user's file alone.
  TempFolder bare;
  EXPECT_EQ(FactoryTree(bare / kFactoryFileName), nullptr);
  WriteFile(bare / "registry.reg", kHeader);
  EXPECT_EQ(Read(*OpenSettingsStore(bare / "registry.reg", bare.Path()),
                 "SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage", "12V"),
            "<no key>");

  // A malformed factory file, or one that is no regular file, is refused with its name.
  TempFolder spoilt;
  WriteFile(spoilt / kFactoryFileName, std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\X\r\n");
  try {
    FactoryTree(spoilt / kFactoryFileName);
    ADD_FAILURE() << "a malformed factory file was taken";
  } catch (const RegistryFileError& error) {
    EXPECT_THAT(error.what(), HasSubstr(kFactoryFileName));
    EXPECT_EQ(error.Line(), 2u);
  }
  TempFolder folderNamed;
  std::filesystem::create_directory(folderNamed / kFactoryFileName);
  EXPECT_THROW(FactoryTree(folderNamed / kFactoryFileName), RegistryFileError);
}

}  // namespace
}  // namespace platform

#include "platform/registry/registry_location.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/registry/reg_document.h"
#include "platform/registry/registry_file_error.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

using ::testing::HasSubstr;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

mode_t ModeOf(const std::filesystem::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST(RegistryLocation, FollowsTheConfigHomeAndFallsBackToDotConfig) {
  EXPECT_EQ(DefaultRegistryFile({"/cfg", "/home/u"}), "/cfg/quelta/registry.reg");
  EXPECT_EQ(DefaultRegistryFile({"", "/home/u"}), "/home/u/.config/quelta/registry.reg");
  // A relative XDG_CONFIG_HOME is ignored, as the base directory rules say.
  EXPECT_EQ(DefaultRegistryFile({"cfg", "/home/u"}), "/home/u/.config/quelta/registry.reg");
  EXPECT_THROW(DefaultRegistryFile({"", ""}), RegistryFileError);
  // --registry FILE wins and is taken as given.
  EXPECT_EQ(LocateRegistryFile(std::filesystem::path("my.reg"), "/nowhere", {"", ""}), "my.reg");
}

TEST(RegistryLocation, StartsTheUsersFileInAPrivateFolderOnceWithoutCopyingTheFactoryTree) {
  TempFolder folder;
  const auto programFolder = folder / "bin";
  std::filesystem::create_directories(programFolder);
  WriteFile(programFolder / kFactoryFileName, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n");
  const RegistryEnvironment environment{(folder / "config").string(), "/unused"};

  const auto file = LocateRegistryFile(std::nullopt, programFolder, environment);
  EXPECT_EQ(file, folder / "config/quelta/registry.reg");
  // The tree stays in the factory file: the user's file starts with no key and no value.
  const std::string started = ReadFile(file);
  EXPECT_EQ(started.rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u);
  EXPECT_EQ(started.find('['), std::string::npos);
  EXPECT_EQ(started.find('='), std::string::npos);
  EXPECT_NO_THROW(RegDocument::Parse(started, file.string()));
  EXPECT_EQ(ModeOf(file), 0600u);
  EXPECT_EQ(ModeOf(folder / "config"), 0700u);
  EXPECT_EQ(ModeOf(folder / "config/quelta"), 0700u);

  // Later runs keep the user's file, whatever the factory file says now.
  WriteFile(file, "REGEDIT4\n; mine\n");
  WriteFile(programFolder / kFactoryFileName, "REGEDIT4\n; new factory\n");
  EXPECT_FALSE(SeedRegistryFile(file, programFolder / kFactoryFileName));
  EXPECT_EQ(LocateRegistryFile(std::nullopt, programFolder, environment), file);
  EXPECT_EQ(ReadFile(file), "REGEDIT4\n; mine\n");
}

TEST(RegistryLocation, NamesTheFactoryFileWhenThereIsNothingToSeedFrom) {
  TempFolder folder;
  const auto file = folder / "config/quelta/registry.reg";
  try {
    SeedRegistryFile(file, folder / "bin" / kFactoryFileName);
    ADD_FAILURE() << "seeded from nothing";
  } catch (const RegistryFileError& error) {
    EXPECT_THAT(error.what(), HasSubstr(file.string()));
    EXPECT_THAT(error.what(), HasSubstr("quelta-factory.reg"));
  }
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace platform

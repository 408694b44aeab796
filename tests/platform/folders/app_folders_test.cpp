#include "platform/folders/app_folders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace platform {
namespace {

using ::testing::HasSubstr;
using Environment = std::map<std::string, std::string>;
using Pair = std::pair<std::string, std::string>;

EnvironmentLookup From(const Environment& environment) {
  return [&environment](const char* name) -> const char* {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  };
}

Pair Folders(const AppFolders& folders) {
  return {folders.settings.string(), folders.state.string()};
}

TEST(WindowsAppFolders, RoamingSettingsAndLocalStateEachFallingBackToTheProfileAlone) {
  const Environment all = {{"APPDATA", "C:\\Users\\Ann\\AppData\\Roaming"},
                           {"LOCALAPPDATA", "C:\\Users\\Ann\\AppData\\Local\\"},
                           {"USERPROFILE", "D:\\Profiles\\ann"}};
  EXPECT_EQ(Folders(WindowsAppFolders(From(all))), Pair("C:\\Users\\Ann\\AppData\\Roaming\\Quelta",
                                                        "C:\\Users\\Ann\\AppData\\Local\\Quelta"));
  // Unset, empty or relative: the place below the profile, for each folder alone.
  const Environment noRoaming = {{"APPDATA", "AppData"},
                                 {"LOCALAPPDATA", "\\\\server\\ann\\Local"},
                                 {"USERPROFILE", "D:\\Profiles\\ann\\"}};
  EXPECT_EQ(Folders(WindowsAppFolders(From(noRoaming))),
            Pair("D:\\Profiles\\ann\\AppData\\Roaming\\Quelta", "\\\\server\\ann\\Local\\Quelta"));
  const Environment noLocal = {
      {"APPDATA", "E:/roam"}, {"LOCALAPPDATA", ""}, {"USERPROFILE", "F:\\"}};
  EXPECT_EQ(Folders(WindowsAppFolders(From(noLocal))),
            Pair("E:/roam\\Quelta", "F:\\AppData\\Local\\Quelta"));
  const Environment none = {{"APPDATA", "C:\\r"}, {"USERPROFILE", "relative"}};
  EXPECT_THAT([&] { WindowsAppFolders(From(none)); },
              ::testing::ThrowsMessage<AppFoldersError>(HasSubstr("LOCALAPPDATA")));
}

TEST(XdgAppFolders, ConfigAndStateHomesEachFallingBackToHomeAlone) {
  EXPECT_EQ(Folders(XdgAppFolders(From(
                {{"XDG_CONFIG_HOME", "/c"}, {"XDG_STATE_HOME", "/s"}, {"HOME", "/home/ann"}}))),
            Pair("/c/quelta", "/s/quelta"));
  EXPECT_EQ(Folders(XdgAppFolders(
                From({{"XDG_CONFIG_HOME", "rel"}, {"XDG_STATE_HOME", "/s"}, {"HOME", "/h"}}))),
            Pair("/h/.config/quelta", "/s/quelta"));
  EXPECT_EQ(Folders(XdgAppFolders(From({{"XDG_CONFIG_HOME", "/c"}, {"HOME", "/h"}}))),
            Pair("/c/quelta", "/h/.local/state/quelta"));
  EXPECT_THAT(
      [] {
        XdgAppFolders(From({{"XDG_CONFIG_HOME", "/c"}}));
      },
      ::testing::ThrowsMessage<AppFoldersError>(HasSubstr("HOME")));
}

}  // namespace
}  // namespace platform

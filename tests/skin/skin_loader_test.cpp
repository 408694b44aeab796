#include "skin/skin_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

#include "skin/skin_errors.h"
#include "skin/skin_files.h"
#include "skin/skin_keys.h"
#include "support/recording_registry_store.h"
#include "support/temp_folder.h"

namespace skin {
namespace {

using testing_support::RecordingRegistryStore;
using testing_support::TempFolder;

// .reg text of a complete main-window skin for one language folder and rating: every button
// with a rectangle and four paths, every display with all flags off. Keys in `omit` are left
// out.
std::string MainSkinReg(std::string_view folder, int rating, const std::set<std::string>& omit = {},
                        std::string_view osLang = "0") {
  std::string reg =
      "Windows Registry Editor Version "
      "5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta]\n\"osLang\"=\"" +
      std::string(osLang) + "\"\n";
  std::vector<PageKeys> pages = ManagerGroupKeys(rating);
  pages.push_back(ConfigPageKeys());
  pages.push_back(AlarmPageKeys(rating));
  pages.push_back(CtrlPageKeys());
  for (const PageKeys& page : pages) {
    for (const ControlKey& control : page.keys) {
      const std::string key = DisplayKey(PagePath(folder, page.pageName), control.name);
      if (omit.count(key.substr(SkinRoot.size()))) continue;
      reg += "\n[HKEY_LOCAL_MACHINE" + key + "]\n";
      if (control.kind == ControlKind::Button) {
        reg +=
            "\"Left\"=\"1\"\n\"Top\"=\"2\"\n\"Width\"=\"3\"\n\"Height\"=\"4\"\n"
            "\"LeaveBmp\"=\"Skin\\\\up.bmp\"\n\"EnterBmp\"=\"Skin\\\\over.bmp\"\n"
            "\"ClickBmp\"=\"Skin\\\\down.bmp\"\n\"DisBmp\"=\"Skin\\\\dis.bmp\"\n";
      } else {
        reg +=
            "\"ShowDigit\"=\"0\"\n\"ShowStatusBar\"=\"0\"\n\"ShowPosBar\"=\"0\"\n"
            "\"ShowStatusRect\"=\"0\"\n";
      }
    }
  }
  return reg;
}

class SkinLoaderTest : public ::testing::Test {
 protected:
  // The pictures step 6 loads, for one language folder and rating.
  void MakeBitmaps(const std::string& folder, int rating) {
    files_.Touch("Skin/" + folder + "/Manager_BK.bmp");
    files_.Touch("Skin/" + folder + "/CFanSpeed_C.bmp");
    // Stored with a capital W, loaded by the name with a small one.
    files_.Touch("Skin/" + folder + "/Alarm-Watt_" + std::to_string(rating) + "w.bmp");
    for (int n = 1; n <= 9; ++n) {
      files_.Touch("Skin/" + folder + "/" + TempGaugeFile(true, n));
      files_.Touch("Skin/" + folder + "/" + TempGaugeFile(false, n));
    }
  }

  // Runs a load and records what the builders and the bitmap loader saw.
  bool Load(RecordingRegistryStore& store, int rating, LangId userDefault = 1033) {
    SkinLoader loader(store, files_.Path(), userDefault);
    SkinLoader::Builders builders;
    builders.managerGroup = [&](ManagerGroup group, const PageRecords& records) {
      built_.push_back("Manager group " + std::to_string(static_cast<int>(group)) + " " +
                       records.PagePath().substr(SkinRoot.size()));
    };
    builders.configPage = [&](const PageRecords& records) {
      built_.push_back(records.PagePath().substr(SkinRoot.size()));
    };
    builders.alarmPage = builders.configPage;
    builders.ctrlPage = builders.configPage;
    const auto loadBitmap = [&](SkinBitmap role, const std::filesystem::path& file) {
      bitmaps_.push_back(std::to_string(static_cast<int>(role)) + " " +
                         file.lexically_relative(files_.Path()).generic_string());
    };
    const bool result = loader.Load(rating, builders, loadBitmap);
    language_ = loader.Language();
    failures_ = loader.Failures();
    return result;
  }

  // The picture loaded at `index`, as the file system spells it. Where it folds case itself
  // (Windows) the stored spelling finds the file as it is, so only there may the letters'
  // case differ from the file's.
  std::string Picture(std::size_t index) const {
    const std::string& loaded = bitmaps_.at(index);
    const bool foldsCase = std::filesystem::exists(files_.Path() / "SKIN");
    if (!foldsCase) return loaded;
    const std::string file = loaded.substr(loaded.find(' ') + 1);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(files_.Path())) {
      const std::string onDisk = entry.path().lexically_relative(files_.Path()).generic_string();
      if (std::equal(onDisk.begin(), onDisk.end(), file.begin(), file.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
          })) {
        return loaded.substr(0, loaded.find(' ') + 1) + onDisk;
      }
    }
    return loaded;
  }

  TempFolder files_;
  std::vector<std::string> built_;
  std::vector<std::string> bitmaps_;
  std::vector<std::string> failures_;
  LanguageChoice language_;
};

TEST_F(SkinLoaderTest, BuildsEveryPageInOrderThenLoadsThePictures) {
  RecordingRegistryStore store(MainSkinReg("Eng\\", 550));
  MakeBitmaps("Eng", 550);
  EXPECT_TRUE(Load(store, 550));
  EXPECT_EQ(
      built_,
      (std::vector<std::string>{
          "Manager group 0 Eng\\Manager\\Watt", "Manager group 1 Eng\\Manager\\Voltage",
          "Manager group 2 Eng\\Manager\\Current", "Manager group 3 Eng\\Manager\\FanSpeed",
          "Manager group 4 Eng\\Manager\\Temperature", "Eng\\Config", "Eng\\Alarm", "Eng\\Ctrl"}));
  ASSERT_EQ(bitmaps_.size(), 21u);
  EXPECT_EQ(bitmaps_[0], "0 Skin/Eng/Manager_BK.bmp");
  EXPECT_EQ(bitmaps_[1], "1 Skin/Eng/CFanSpeed_C.bmp");
  EXPECT_EQ(Picture(2), "2 Skin/Eng/Alarm-Watt_550w.bmp");
  EXPECT_EQ(bitmaps_[3], "3 Skin/Eng/data_c_01.bmp");
  EXPECT_EQ(bitmaps_[11], "3 Skin/Eng/data_c_09.bmp");
  EXPECT_EQ(bitmaps_[12], "4 Skin/Eng/data_f_01.bmp");
  EXPECT_EQ(bitmaps_[20], "4 Skin/Eng/data_f_09.bmp");
  // One accessor serves the whole load.
  EXPECT_EQ(store.AccessorsOpened(), 1);
}

TEST_F(SkinLoaderTest, At450WattsReadsTheSmallRatingKeysAndPicture) {
  RecordingRegistryStore store(MainSkinReg("Grm\\", 450, {}, "3"));
  MakeBitmaps("Grm", 450);
  EXPECT_TRUE(Load(store, 450));
  EXPECT_EQ(language_.folder, "Grm\\");
  EXPECT_EQ(built_[1], "Manager group 1 Grm\\Manager\\Voltage_450W");
  EXPECT_EQ(built_[2], "Manager group 2 Grm\\Manager\\Current_450W");
  EXPECT_EQ(Picture(2), "2 Skin/Grm/Alarm-Watt_450w.bmp");
  const auto& log = store.log;
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "OpenKey " + std::string(SkinRoot) + "Grm\\Alarm\\Current_450W\\12V1"),
            log.end());
  EXPECT_EQ(std::find(log.begin(), log.end(),
                      "OpenKey " + std::string(SkinRoot) + "Grm\\Manager\\Voltage\\5V"),
            log.end());
}

TEST_F(SkinLoaderTest, AFailedManagerGroupStopsThatPageButNotTheOthers) {
  RecordingRegistryStore store(MainSkinReg("Eng\\", 680, {"Eng\\Manager\\Current\\All"}));
  MakeBitmaps("Eng", 680);
  EXPECT_FALSE(Load(store, 680));
  // Watt and Voltage were built; Current failed; FanSpeed and Temperature were never read.
  EXPECT_EQ(built_, (std::vector<std::string>{"Manager group 0 Eng\\Manager\\Watt",
                                              "Manager group 1 Eng\\Manager\\Voltage",
                                              "Eng\\Config", "Eng\\Alarm", "Eng\\Ctrl"}));
  for (const std::string& line : store.log) {
    EXPECT_EQ(line.find("Manager\\FanSpeed"), std::string::npos) << line;
  }
  ASSERT_EQ(failures_.size(), 1u);
  EXPECT_NE(failures_[0].find("Eng\\Manager\\Current\\All"), std::string::npos);
  EXPECT_EQ(bitmaps_.size(), 21u);  // the pictures are loaded whatever the pages gave
}

TEST_F(SkinLoaderTest, AFailedRecordKeepsItsPageUnbuiltAfterReadingTheRest) {
  // A display whose flagged group is missing fails the Config page; a missing display key
  // does not fail the Alarm page.
  std::string reg = MainSkinReg("Eng\\", 550, {"Eng\\Alarm\\Total"});
  const std::string fsVol = "Config\\FSVol]\n\"ShowDigit\"=\"0\"";
  reg.replace(reg.find(fsVol), fsVol.size(), "Config\\FSVol]\n\"ShowDigit\"=\"1\"");
  RecordingRegistryStore store(reg);
  MakeBitmaps("Eng", 550);
  EXPECT_FALSE(Load(store, 550));
  EXPECT_EQ(std::count(built_.begin(), built_.end(), "Eng\\Config"), 0);
  EXPECT_EQ(std::count(built_.begin(), built_.end(), "Eng\\Alarm"), 1);
  EXPECT_EQ(std::count(built_.begin(), built_.end(), "Eng\\Ctrl"), 1);
  ASSERT_EQ(failures_.size(), 1u);
  EXPECT_NE(failures_[0].find("Config\\FSVol\\Digit"), std::string::npos);
  // The key after the failed one was still read.
  const auto& log = store.log;
  EXPECT_NE(
      std::find(log.begin(), log.end(), "OpenKey " + std::string(SkinRoot) + "Eng\\Config\\FSTemp"),
      log.end());
}

TEST_F(SkinLoaderTest, AMissingPictureIsAFileErrorThatStopsTheRestOfTheLoading) {
  RecordingRegistryStore store(MainSkinReg("Eng\\", 800));
  MakeBitmaps("Eng", 800);
  std::filesystem::remove(files_.Path() / "Skin/Eng/data_c_04.bmp");
  try {
    Load(store, 800);
    ADD_FAILURE() << "no file error";
  } catch (const SkinFileError& e) {
    EXPECT_NE(std::string(e.what()).find("Skin\\Eng\\data_c_04.bmp"), std::string::npos);
  }
  // The pictures before the missing one were loaded, none after it.
  ASSERT_EQ(bitmaps_.size(), 6u);
  EXPECT_EQ(bitmaps_.back(), "3 Skin/Eng/data_c_03.bmp");
  EXPECT_EQ(built_.size(), 8u);
}

TEST_F(SkinLoaderTest, TheLanguageComesFromOsLangOrTheUsersDefault) {
  RecordingRegistryStore forced(MainSkinReg("Twn\\", 550, {}, "8"));
  MakeBitmaps("Twn", 550);
  EXPECT_TRUE(Load(forced, 550, 1049));
  EXPECT_EQ(language_.id, 1028);
  EXPECT_EQ(language_.folder, "Twn\\");

  built_.clear();
  RecordingRegistryStore userDefault(MainSkinReg("Rsa\\", 550));
  MakeBitmaps("Rsa", 550);
  EXPECT_TRUE(Load(userDefault, 550, 1049));
  EXPECT_EQ(language_.id, 1049);
  EXPECT_EQ(built_.front(), "Manager group 0 Rsa\\Manager\\Watt");
}

}  // namespace
}  // namespace skin

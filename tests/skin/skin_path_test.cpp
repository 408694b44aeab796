#include "skin/skin_path.h"

#include <gtest/gtest.h>

#include "skin/skin_errors.h"
#include "support/temp_folder.h"

namespace skin {
namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

class SkinPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = folder_.Path() / "bin";
    fs::create_directories(program_);
    watt_ = folder_.Touch("bin/Skin/Eng/Alarm-Watt_550w.bmp");
    current_ = folder_.Touch("bin/Skin/Twn/Current.Bmp");
    sel_ = folder_.Touch("bin/Skin/M_Sel.bmp");
    outside_ = folder_.Touch("secret.bmp");
  }

  // The message of the SkinFileError that resolving `stored` throws; "" when none is thrown.
  std::string Refusal(std::string_view stored) {
    try {
      ResolveSkinPath(program_, stored);
    } catch (const SkinFileError& e) {
      return e.what();
    }
    return "";
  }

  TempFolder folder_;
  fs::path program_, watt_, current_, sel_, outside_;
};

TEST_F(SkinPathTest, MatchesEachComponentWithoutRegardToCase) {
  EXPECT_EQ(ResolveSkinPath(program_, "Skin\\Eng\\Alarm-watt_550w.bmp"), watt_);
  EXPECT_EQ(ResolveSkinPath(program_, "SKIN\\eng\\ALARM-WATT_550W.BMP"), watt_);
  EXPECT_EQ(ResolveSkinPath(program_, "Skin\\Twn\\Current.bmp"), current_);
}

TEST_F(SkinPathTest, TheBoundResolverResolvesTheSameWay) {
  const auto resolve = SkinFileResolver(program_);
  EXPECT_EQ(resolve("skin\\eng\\alarm-watt_550W.bmp"), watt_);
  EXPECT_THROW(resolve("..\\secret.bmp"), SkinFileError);
}

TEST_F(SkinPathTest, PrefersTheExactNameWhenTwoDifferOnlyInCase) {
  const fs::path lower = folder_.Touch("bin/Skin/m_sel.bmp");
  EXPECT_EQ(ResolveSkinPath(program_, "Skin\\m_sel.bmp"), lower);
  EXPECT_EQ(ResolveSkinPath(program_, "Skin\\M_Sel.bmp"), sel_);
  // Neither is exact: the first by name order.
  EXPECT_EQ(ResolveSkinPath(program_, "Skin\\M_SEL.bmp"), sel_);
}

TEST_F(SkinPathTest, AcceptsEitherSeparatorAndSkipsEmptyAndDotComponents) {
  EXPECT_EQ(ResolveSkinPath(program_, "Skin/Eng/Alarm-Watt_550w.bmp"), watt_);
  EXPECT_EQ(ResolveSkinPath(program_, "Skin\\\\.\\Eng/\\Alarm-Watt_550w.bmp"), watt_);
  // Stepping back stays allowed while it stays inside the program folder.
  EXPECT_EQ(ResolveSkinPath(program_, "Skin\\Eng\\..\\M_Sel.bmp"), sel_);
  EXPECT_EQ(ResolveSkinPath(program_, "Skin\\Nowhere\\..\\M_Sel.bmp"), sel_);
}

TEST_F(SkinPathTest, RefusesEveryWayOutOfTheProgramFolder) {
  for (const char* escape :
       {"..\\secret.bmp", "Skin\\..\\..\\secret.bmp", "../secret.bmp", "Skin\\Eng\\..\\..\\..\\x",
        "\\secret.bmp", "/etc/passwd", "C:\\secret.bmp", "\\\\server\\share\\x.bmp",
        "Skin\\M_Sel.bmp:stream"}) {
    const std::string message = Refusal(escape);
    EXPECT_NE(message, "") << escape;
    EXPECT_NE(message.find(escape), std::string::npos) << message;
  }
}

TEST_F(SkinPathTest, RefusesALinkThatPointsOutside) {
  fs::create_symlink(outside_, program_ / "Skin" / "link.bmp");
  fs::create_directory_symlink(folder_.Path(), program_ / "Skin" / "up");
  EXPECT_NE(Refusal("Skin\\link.bmp").find("leaves the program folder"), std::string::npos);
  EXPECT_NE(Refusal("Skin\\up\\secret.bmp").find("leaves the program folder"), std::string::npos);
  // A link that stays inside is fine.
  fs::create_symlink(sel_, program_ / "Skin" / "same.bmp");
  EXPECT_EQ(ResolveSkinPath(program_, "Skin\\same.bmp"), program_ / "Skin" / "same.bmp");
}

TEST_F(SkinPathTest, MissingFilesFoldersAndEmptyPathsAreFileErrorsNamingThePath) {
  EXPECT_NE(Refusal("Skin\\Eng\\Manager_BK.bmp").find("Skin\\Eng\\Manager_BK.bmp"),
            std::string::npos);
  EXPECT_NE(Refusal("Skin\\Jpn\\Manager_BK.bmp").find("no entry 'Jpn'"), std::string::npos);
  EXPECT_NE(Refusal("Skin\\Eng").find("not a file"), std::string::npos);
  EXPECT_NE(Refusal("Skin\\M_Sel.bmp\\x.bmp"), "");
  EXPECT_NE(Refusal(""), "");
  EXPECT_NE(Refusal(".\\"), "");
  EXPECT_NE(Refusal(std::string_view("Skin\\M_Sel.bmp\0x", 17)), "");
}

}  // namespace
}  // namespace skin

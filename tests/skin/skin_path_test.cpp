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

  // Whether this file system folds case itself (Windows): there a stored spelling finds its
  // file as it is, and two names that differ only in case cannot both be made.
  bool FoldsCase() const { return fs::exists(program_ / "SKIN" / "M_SEL.BMP"); }

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

// The resolved path names the file expected. On Linux only the on-disk spelling names it, so
// this is as strict as comparing the paths; on Windows any spelling does.
#define EXPECT_SAME_FILE(resolved, expected) \
  EXPECT_TRUE(fs::equivalent(resolved, expected)) << (resolved) << " is not " << (expected)

TEST_F(SkinPathTest, MatchesEachComponentWithoutRegardToCase) {
  EXPECT_SAME_FILE(ResolveSkinPath(program_, "Skin\\Eng\\Alarm-watt_550w.bmp"), watt_);
  EXPECT_SAME_FILE(ResolveSkinPath(program_, "SKIN\\eng\\ALARM-WATT_550W.BMP"), watt_);
  EXPECT_SAME_FILE(ResolveSkinPath(program_, "Skin\\Twn\\Current.bmp"), current_);
}

TEST_F(SkinPathTest, TheBoundResolverResolvesTheSameWay) {
  const auto resolve = SkinFileResolver(program_);
  EXPECT_SAME_FILE(resolve("skin\\eng\\alarm-watt_550W.bmp"), watt_);
  EXPECT_THROW(resolve("..\\secret.bmp"), SkinFileError);
}

TEST_F(SkinPathTest, PrefersTheExactNameWhenTwoDifferOnlyInCase) {
  if (FoldsCase()) GTEST_SKIP() << "two names that differ only in case are one file here";
  const fs::path lower = folder_.Touch("bin/Skin/m_sel.bmp");
  EXPECT_SAME_FILE(ResolveSkinPath(program_, "Skin\\m_sel.bmp"), lower);
  EXPECT_SAME_FILE(ResolveSkinPath(program_, "Skin\\M_Sel.bmp"), sel_);
  // Neither is exact: the first by name order.
  EXPECT_SAME_FILE(ResolveSkinPath(program_, "Skin\\M_SEL.bmp"), sel_);
}

TEST_F(SkinPathTest, AcceptsEitherSeparatorAndSkipsEmptyAndDotComponents) {
  EXPECT_SAME_FILE(ResolveSkinPath(program_, "Skin/Eng/Alarm-Watt_550w.bmp"), watt_);
  EXPECT_SAME_FILE(ResolveSkinPath(program_, "Skin\\\\.\\Eng/\\Alarm-Watt_550w.bmp"), watt_);
  // Stepping back stays allowed while it stays inside the program folder.
  EXPECT_SAME_FILE(ResolveSkinPath(program_, "Skin\\Eng\\..\\M_Sel.bmp"), sel_);
  EXPECT_SAME_FILE(ResolveSkinPath(program_, "Skin\\Nowhere\\..\\M_Sel.bmp"), sel_);
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
  std::error_code noLinks;
  fs::create_symlink(outside_, program_ / "Skin" / "link.bmp", noLinks);
  if (noLinks) GTEST_SKIP() << "this system makes no symbolic links: " << noLinks.message();
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

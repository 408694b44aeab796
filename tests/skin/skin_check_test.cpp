#include "skin/skin_check.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/registry/memory_registry_store.h"
#include "platform/registry/reg_file_store.h"
#include "skin/language.h"
#include "support/hostile_bitmaps.h"

namespace skin {
namespace {

namespace fs = std::filesystem;

// The program folder of the build: the generated skin and factory settings lie there.
fs::path BinDir() {
  const char* dir = std::getenv("QUELTA_BIN_DIR");
  return dir != nullptr && *dir != '\0' ? fs::path(dir) : fs::path(QUELTA_TEST_BIN_DIR);
}

std::string FactoryText() {
  std::ifstream file(BinDir() / "quelta-factory.reg", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

struct CheckResult {
  int code;
  std::string out, err;
};

CheckResult Check(platform::RegistryStore& store, std::optional<int> rating,
                  std::optional<int> language) {
  std::ostringstream out, err;
  const int code = RunSkinCheck(store, BinDir(), rating, language, out, err);
  return {code, out.str(), err.str()};
}

// The generated tree with one piece of text replaced: the first `from` after `anchor`.
CheckResult CheckEdited(std::string_view anchor, std::string_view from, std::string_view to,
                        std::optional<int> rating, std::optional<int> language = 1) {
  std::string text = FactoryText();
  const std::size_t at = text.find(from, text.find(anchor));
  if (at == std::string::npos) throw std::logic_error("no '" + std::string(from) + "' to edit");
  text.replace(at, from.size(), to);
  platform::MemoryRegistryStore store(text);
  return Check(store, rating, language);
}

constexpr std::string_view kEng = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\";

class SkinCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (BinDir().empty() || !fs::exists(BinDir() / "quelta-factory.reg")) {
      GTEST_SKIP() << "the generated skin is missing: build the skin_files target first";
    }
  }
};

TEST_F(SkinCheckTest, TheGeneratedSkinPassesForEveryRatingAndLanguage) {
  const auto store = platform::OpenRegistryFile(BinDir() / "quelta-factory.reg");
  const CheckResult result = Check(*store, std::nullopt, std::nullopt);
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out, "skin OK\n");
  EXPECT_EQ(result.err, "");  // every display key exists, so there is nothing to note
}

TEST_F(SkinCheckTest, TheGeneratedSettingsFileKeepsTheFactorySettingsAhead) {
  const std::string text = FactoryText();
  EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00", 0), 0u);
  const auto store = platform::OpenRegistryFile(BinDir() / "quelta-factory.reg");
  const auto registry = store->Open(platform::RegistryAccess::Read);
  // The program key has its language value, so the skin load follows the desktop language.
  EXPECT_EQ(ChooseLanguage(*registry, 1049).folder, "Rsa\\");
  EXPECT_NE(registry->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Config"), nullptr);
  EXPECT_NE(
      registry->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Skin\\Twn\\Manager\\Current_450W\\All\\Close"),
      nullptr);
}

TEST_F(SkinCheckTest, AMissingButtonKeyIsReportedWithItsKey) {
  const CheckResult result =
      CheckEdited(kEng, "Quelta\\Skin\\Eng\\Ctrl\\Close]", "Quelta\\Skin\\Eng\\Ctrl\\Closer]", 550);
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("button key \\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Close does "
                            "not exist"),
            std::string::npos)
      << result.err;
  EXPECT_EQ(result.out, "");
}

TEST_F(SkinCheckTest, APathThatNamesNoFileIsReportedWithTheRecordThatStoresIt) {
  const CheckResult result = CheckEdited(std::string(kEng) + "Ctrl\\Manager]", "Skin\\\\M_up.bmp",
                                         "Skin\\\\M_gone.bmp", 450);
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("Skin\\M_gone.bmp"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("named by \\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Ctrl\\Manager"),
            std::string::npos)
      << result.err;
}

TEST_F(SkinCheckTest, AFileThatIsNoPictureAndAnEscapeAreReported) {
  CheckResult result = CheckEdited(std::string(kEng) + "Ctrl\\Close]", "Skin\\\\LED_x_over.bmp",
                                   "quelta-factory.reg", 550);
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("as a picture"), std::string::npos) << result.err;
  result = CheckEdited(std::string(kEng) + "Ctrl\\Close]", "Skin\\\\LED_x_over.bmp",
                       "..\\\\bin\\\\Skin\\\\LED_x_over.bmp", 550);
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("leaves the program folder"), std::string::npos) << result.err;
}

TEST_F(SkinCheckTest, AShortRatingListFailsOnlyAtTheRatingsThatNeedMorePieces) {
  const std::string anchor = std::string(kEng) + "Alarm\\Total\\StatusRect]";
  EXPECT_EQ(CheckEdited(anchor, "\"550,680,800\"", "\"550\"", 550).code, 0);
  const CheckResult result = CheckEdited(anchor, "\"550,680,800\"", "\"550\"", 680);
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("[Eng, 680 W]"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("Alarm\\Total\\StatusRect"), std::string::npos) << result.err;
}

TEST_F(SkinCheckTest, RangesAndDigitRowsThatWouldBreakADisplayAreReported) {
  const std::string rect = std::string(kEng) + "Manager\\Current\\All\\12V1\\StatusRect]";
  CheckResult result = CheckEdited(rect, "\"Max\"=\"25,30,35\"", "\"Max\"=\"0,0,0\"", 550);
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("Min and Max are both"), std::string::npos) << result.err;
  const std::string digit = std::string(kEng) + "Manager\\Watt\\Total\\Digit]";
  result = CheckEdited(digit, "\"Count\"=\"5\"", "\"Count\"=\"12\"", 550);
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("Count 12"), std::string::npos) << result.err;
  result = CheckEdited(digit, "\"Count\"=\"5\"", "\"Count\"=\"five\"", 550);
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("\"Count\" of key"), std::string::npos) << result.err;
}

TEST_F(SkinCheckTest, AMissingDisplayKeyIsNotedButPasses) {
  // The display key and its group sub-keys all go: a key with keys below it exists.
  std::string text = FactoryText();
  const std::string from = "Quelta\\Skin\\Eng\\Manager\\Watt\\Peak";
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), "Quelta\\Skin\\Eng\\Manager\\Watt\\Peek");
  }
  platform::MemoryRegistryStore store(text);
  const CheckResult result = Check(store, 550, 1);
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out, "skin OK\n");
  EXPECT_NE(result.err.find("display key \\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Watt\\"
                            "Peak does not exist"),
            std::string::npos)
      << result.err;
}

TEST_F(SkinCheckTest, RatingsAndLanguagesOutsideTheirRangesAreRefused) {
  platform::MemoryRegistryStore store(FactoryText());
  EXPECT_EQ(Check(store, 500, std::nullopt).code, 2);
  EXPECT_EQ(Check(store, std::nullopt, 0).code, 2);
  EXPECT_EQ(Check(store, std::nullopt, 9).code, 2);
}

TEST_F(SkinCheckTest, AnOsLangTheWindowRefusesIsRefusedHereToo) {
  const CheckResult result =
      CheckEdited("\"osLang\"", "\"osLang\"=\"0\"", "\"osLang\"=\"abc\"", 550);
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err,
            "skin-check: 'abc' is not a valid integer value (value \"osLang\" of key "
            "\\SOFTWARE\\NORVANE\\Quelta\\)\n");
}

TEST_F(SkinCheckTest, ACutShortBitmapIsReportedAndASharedOneCarriesNoLanguage) {
  // The program folder again, its files hard-linked; two bitmaps replaced by short copies.
  const fs::path program = BinDir().parent_path() / ("skin-check-" + std::to_string(::getpid()));
  fs::remove_all(program);
  fs::create_directories(program);
  fs::copy(BinDir() / "Skin", program / "Skin",
           fs::copy_options::recursive | fs::copy_options::create_hard_links);
  const auto cut = [&](const std::string& name, std::size_t keep) {
    std::ifstream in(BinDir() / "Skin" / name, std::ios::binary);
    std::string bytes(keep, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(keep));
    fs::remove(program / "Skin" / name);
    std::ofstream(program / "Skin" / name, std::ios::binary) << bytes;
  };
  const auto check = [&] {
    platform::RegFileStore store(BinDir() / "quelta-factory.reg");
    std::ostringstream out, err;
    const int code = RunSkinCheck(store, program, 550, 1, out, err);
    return CheckResult{code, out.str(), err.str()};
  };
  // M_Sel.bmp is a run-length compressed picture whose header counts every byte of it; 600
  // keep the header, the palette and some of the runs.
  const std::uintmax_t whole = fs::file_size(BinDir() / "Skin" / "M_Sel.bmp");
  ASSERT_GT(whole, 600u);
  cut("M_Sel.bmp", 600);
  CheckResult result = check();
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err, "skin-check: " + (program / "Skin" / "M_Sel.bmp").string() +
                            " is cut short: 600 bytes where its header needs " +
                            std::to_string(whole) + " (named by the program)\n");
  fs::remove_all(program);
}

TEST_F(SkinCheckTest, EveryHostilePictureIsRefusedNamingItsFile) {
  const fs::path program = BinDir().parent_path() / ("skin-hostile-" + std::to_string(::getpid()));
  fs::remove_all(program);
  fs::create_directories(program);
  fs::copy(BinDir() / "Skin", program / "Skin",
           fs::copy_options::recursive | fs::copy_options::create_hard_links);
  // The first picture the check opens: each case ends at once.
  const fs::path picture = program / "Skin" / "Eng" / "btn_clear_up.bmp";
  platform::RegFileStore store(BinDir() / "quelta-factory.reg");
  for (const auto& [name, bytes] : testing_support::HostileBitmaps()) {
    fs::remove(picture);
    std::ofstream(picture, std::ios::binary) << bytes;
    std::ostringstream out, err;
    EXPECT_EQ(RunSkinCheck(store, program, 550, 1, out, err), 1) << name;
    EXPECT_EQ(err.str().rfind("skin-check: [Eng, 550 W] " + picture.string() + " ", 0), 0u)
        << name << ": " << err.str();
    EXPECT_EQ(out.str(), "") << name;
  }
  fs::remove_all(program);
}

}  // namespace
}  // namespace skin

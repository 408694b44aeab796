#include "skin/language.h"

#include <gtest/gtest.h>

#include <map>

#include "core/numbers.h"
#include "support/recording_registry_store.h"

namespace skin {
namespace {

using testing_support::RecordingRegistryStore;

LanguageChoice ChooseWith(std::string_view osLangLine, LangId userDefault) {
  RecordingRegistryStore store("[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta]\n" +
                               std::string(osLangLine) + "\n");
  auto registry = store.Open(platform::RegistryAccess::Read);
  return ChooseLanguage(*registry, userDefault);
}

TEST(ChooseLanguage, OsLangOneToEightForcesTheLanguage) {
  const std::vector<std::pair<LangId, std::string>> expected = {
      {1033, "Eng\\"}, {1036, "Frn\\"}, {1031, "Grm\\"}, {1041, "Jpn\\"},
      {1049, "Rsa\\"}, {2052, "Cna\\"}, {1034, "Spn\\"}, {1028, "Twn\\"}};
  for (int osLang = 1; osLang <= 8; ++osLang) {
    const LanguageChoice choice = ChooseWith("\"osLang\"=\"" + std::to_string(osLang) + "\"", 1049);
    EXPECT_EQ(choice.id, expected[osLang - 1].first) << osLang;
    EXPECT_EQ(choice.folder, expected[osLang - 1].second) << osLang;
  }
}

TEST(ChooseLanguage, AboveEightGivesNoLanguageAndTheEnglishFolder) {
  const LanguageChoice choice = ChooseWith("\"osLang\"=\"9\"", 1049);
  EXPECT_EQ(choice.id, 0);
  EXPECT_EQ(choice.folder, "Eng\\");
}

TEST(ChooseLanguage, ZeroOrLessTakesTheUsersDefault) {
  EXPECT_EQ(ChooseWith("\"osLang\"=\"0\"", 3082).folder, "Spn\\");
  EXPECT_EQ(ChooseWith("\"osLang\"=\"-2\"", 2057).folder, "Eng\\");
  EXPECT_EQ(ChooseWith("\"osLang\"=\"-2\"", 2057).id, 2057);
  EXPECT_EQ(ChooseWith("\"osLang\"=\"0\"", 3079).folder, "Grm\\");
}

TEST(ChooseLanguage, WithoutTheProgramKeyTheUsersDefaultIsUsed) {
  RecordingRegistryStore store("[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Other]\n");
  auto registry = store.Open(platform::RegistryAccess::Read);
  const LanguageChoice choice = ChooseLanguage(*registry, 1041);
  EXPECT_EQ(choice.id, 1041);
  EXPECT_EQ(choice.folder, "Jpn\\");
}

TEST(ChooseLanguage, AProgramKeyWithoutAValidOsLangIsAConversionError) {
  EXPECT_THROW(ChooseWith("\"Other\"=\"1\"", 1033), core::ConversionError);
  EXPECT_THROW(ChooseWith("\"osLang\"=\"Eng\"", 1033), core::ConversionError);
  EXPECT_THROW(ChooseWith("\"osLang\"=\"2.0\"", 1033), core::ConversionError);
}

TEST(LanguageFolderOf, FollowsTheFolderTableWithEveryListedSubLanguage) {
  // Spanish sub-languages 1 to 20, French and German 1 to 5; the next one is not listed.
  for (int sub = 1; sub <= 21; ++sub) {
    EXPECT_EQ(LanguageFolderOf(static_cast<LangId>(sub << 10 | 0x0A)),
              sub <= 20 ? "Spn\\" : "Eng\\")
        << sub;
  }
  for (int sub = 1; sub <= 6; ++sub) {
    EXPECT_EQ(LanguageFolderOf(static_cast<LangId>(sub << 10 | 0x0C)),
              sub <= 5 ? "Frn\\" : "Eng\\");
    EXPECT_EQ(LanguageFolderOf(static_cast<LangId>(sub << 10 | 0x07)),
              sub <= 5 ? "Grm\\" : "Eng\\");
  }
  EXPECT_EQ(LanguageFolderOf(1028), "Twn\\");
  EXPECT_EQ(LanguageFolderOf(3076), "Eng\\");           // Chinese (Hong Kong) has no folder
  EXPECT_EQ(LanguageFolderOf(0x040A - 1024), "Eng\\");  // Spanish with sub-language 0
  EXPECT_EQ(LanguageFolderOf(0), "Eng\\");
}

TEST(UserDefaultLangId, MapsTheLocaleNames) {
  const std::map<std::string, LangId> expected = {
      {"en_US.UTF-8", 1033},
      {"en_GB", 2057},
      {"fr_FR.UTF-8", 1036},
      {"de_DE@euro", 1031},
      {"es_ES.UTF-8", 3082},
      {"es_MX", 2058},
      {"ja_JP.eucJP", 1041},
      {"ru_RU.KOI8-R", 1049},
      {"zh_CN.GB18030", 2052},
      {"zh_TW.Big5", 1028},
      {"es_PR", 20490},
      {"fr_LU", 5132},
      {"de_LI", 5127},
      {"de-at", 3079},
      {"pt_BR.UTF-8", 0},
      {"C", 0},
      {"POSIX", 0},
      {"C.UTF-8", 0},
      {"", 0},
      {"es_US", 0},
  };
  for (const auto& [locale, id] : expected) {
    EXPECT_EQ(UserDefaultLangId([&](const char* name) {
                return std::string_view(name) == "LANG" ? locale.c_str() : nullptr;
              }),
              id)
        << locale;
  }
}

TEST(UserDefaultLangId, TheFirstSetVariableDecides) {
  std::map<std::string, std::string> environment = {
      {"LC_ALL", ""}, {"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "de_DE.UTF-8"}};
  const auto lookup = [&](const char* name) -> const char* {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  };
  EXPECT_EQ(UserDefaultLangId(lookup), 1041);  // an empty LC_ALL is as good as unset
  environment["LC_ALL"] = "ru_RU.UTF-8";
  EXPECT_EQ(UserDefaultLangId(lookup), 1049);
  // An unknown locale in the first set variable gives 0, without looking further.
  environment["LC_ALL"] = "sv_SE.UTF-8";
  EXPECT_EQ(UserDefaultLangId(lookup), 0);
  EXPECT_EQ(UserDefaultLangId([](const char*) -> const char* { return nullptr; }), 0);
}

}  // namespace
}  // namespace skin

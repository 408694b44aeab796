#include "skin/language.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <string>

#include "core/numbers.h"
#include "skin/skin_keys.h"

namespace skin {
namespace {

constexpr LangId kEnglishUS = 1033;
constexpr LangId kFrench = 1036;
constexpr LangId kGerman = 1031;
constexpr LangId kJapanese = 1041;
constexpr LangId kRussian = 1049;
constexpr LangId kChineseSimplified = 2052;
constexpr LangId kSpanishTraditional = 1034;
constexpr LangId kChineseTraditional = 1028;

// osLang 1 to 8, in order.
constexpr std::array<LangId, 8> kForcedLanguages = {kEnglishUS,
                                                    kFrench,
                                                    kGerman,
                                                    kJapanese,
                                                    kRussian,
                                                    kChineseSimplified,
                                                    kSpanishTraditional,
                                                    kChineseTraditional};

// A LANGID holds the primary language in its low 10 bits, the sub-language above them.
constexpr LangId kPrimaryMask = 0x3FF;
constexpr int kSubLanguageShift = 10;
constexpr LangId kPrimarySpanish = 0x0A;
constexpr LangId kPrimaryFrench = 0x0C;
constexpr LangId kPrimaryGerman = 0x07;
constexpr int kSpanishSubLanguages = 20;
constexpr int kFrenchSubLanguages = 5;
constexpr int kGermanSubLanguages = 5;

bool IsSubLanguageOf(LangId id, LangId primary, int lastSubLanguage) {
  const int sub = id >> kSubLanguageShift;
  return (id & kPrimaryMask) == primary && sub >= 1 && sub <= lastSubLanguage;
}

struct LocaleEntry {
  std::string_view locale;  // language_TERRITORY, or a language alone for its main territory
  LangId id;
};

// The locales whose identifiers the folder table knows, with the English ones besides.
constexpr std::array<LocaleEntry, 48> kLocales = {{
    {"en", 1033},     {"en_US", 1033},  {"en_GB", 2057},  {"fr", 1036},     {"fr_FR", 1036},
    {"fr_BE", 2060},  {"fr_CA", 3084},  {"fr_CH", 4108},  {"fr_LU", 5132},  {"de", 1031},
    {"de_DE", 1031},  {"de_CH", 2055},  {"de_AT", 3079},  {"de_LU", 4103},  {"de_LI", 5127},
    {"ja", 1041},     {"ja_JP", 1041},  {"ru", 1049},     {"ru_RU", 1049},  {"zh_CN", 2052},
    {"zh_SG", 4100},  {"zh_TW", 1028},  {"zh_HK", 3076},  {"es", 3082},     {"es_ES", 3082},
    {"es_MX", 2058},  {"es_GT", 4106},  {"es_CR", 5130},  {"es_PA", 6154},  {"es_DO", 7178},
    {"es_VE", 8202},  {"es_CO", 9226},  {"es_PE", 10250}, {"es_AR", 11274}, {"es_EC", 12298},
    {"es_CL", 13322}, {"es_UY", 14346}, {"es_PY", 15370}, {"es_BO", 16394}, {"es_SV", 17418},
    {"es_HN", 18442}, {"es_NI", 19466}, {"es_PR", 20490}, {"en_AU", 3081},  {"en_CA", 4105},
    {"en_NZ", 5129},  {"en_IE", 6153},  {"zh", 2052},
}};

}  // namespace

LangId LangIdFromOsLang(int osLang) {
  if (osLang < 1 || osLang > static_cast<int>(kForcedLanguages.size())) return 0;
  return kForcedLanguages[static_cast<std::size_t>(osLang - 1)];
}

std::string LanguageFolderOf(LangId id) {
  switch (id) {
    case kChineseTraditional:
      return "Twn\\";
    case kEnglishUS:
      return "Eng\\";
    case kChineseSimplified:
      return "Cna\\";
    case kJapanese:
      return "Jpn\\";
    case kRussian:
      return "Rsa\\";
    default:
      break;
  }
  if (IsSubLanguageOf(id, kPrimarySpanish, kSpanishSubLanguages)) return "Spn\\";
  if (IsSubLanguageOf(id, kPrimaryFrench, kFrenchSubLanguages)) return "Frn\\";
  if (IsSubLanguageOf(id, kPrimaryGerman, kGermanSubLanguages)) return "Grm\\";
  return "Eng\\";
}

std::string LanguageFolderOfOsLang(int osLang) {
  return LanguageFolderOf(LangIdFromOsLang(osLang));
}

LangId LangIdFromLocale(std::string_view locale) {
  // "language[_territory][.codeset][@modifier]"; only language and territory matter.
  locale = locale.substr(0, locale.find_first_of(".@"));
  std::string name;
  for (char c : locale) name += c == '-' ? '_' : c;
  const std::size_t underscore = name.find('_');
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    name[i] = static_cast<char>(i < underscore ? std::tolower(c) : std::toupper(c));
  }
  const auto found = std::find_if(kLocales.begin(), kLocales.end(),
                                  [&](const LocaleEntry& e) { return e.locale == name; });
  return found == kLocales.end() ? 0 : found->id;
}

LangId UserDefaultLangId(const EnvironmentLookup& getenv) {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = getenv(variable);
    if (value != nullptr && *value != '\0') return LangIdFromLocale(value);
  }
  return 0;
}

LangId UserDefaultLangId() {
  return UserDefaultLangId([](const char* name) -> const char* { return std::getenv(name); });
}

LanguageChoice ChooseLanguage(platform::Registry& registry, LangId userDefault) {
  int osLang = 0;
  if (const auto key = registry.OpenKey(kProgramKey)) {
    const std::string text = key->ReadString(kLanguageValue);
    try {
      osLang = core::StrictToInt(text);
    } catch (const core::ConversionError& e) {
      throw core::ConversionError(std::string(e.what()) + " (value \"" +
                                  std::string(kLanguageValue) + "\" of key " +
                                  std::string(kProgramKey) + ")");
    }
  }
  LanguageChoice choice;
  choice.id = osLang <= 0 ? userDefault : LangIdFromOsLang(osLang);
  choice.folder = LanguageFolderOf(choice.id);
  return choice;
}

}  // namespace skin

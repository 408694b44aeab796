#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/registry/registry.h"

namespace skin {

// A Windows language identifier (LANGID): primary language and sub-language in 16 bits.
using LangId = std::uint16_t;

// The interface language chosen when the main window reads its skin; kept for the window's
// lifetime and handed to the detail windows.
struct LanguageChoice {
  LangId id = 0;
  std::string folder;  // LanguageFolder, e.g. "Eng\", ending in a backslash
};

// The number stored as osLang, 1 to 8, as a language identifier; 0 for any other number.
LangId LangIdFromOsLang(int osLang);

// LanguageFolder for a language identifier: one of the eight folders, "Eng\" for any
// identifier without a folder of its own (0 included).
std::string LanguageFolderOf(LangId id);

// The folder that osLang 1 to 8 forces (the eight folders in that order), "Eng\" otherwise.
std::string LanguageFolderOfOsLang(int osLang);

// The user's default language on this system, from a POSIX locale name such as
// "de_AT.UTF-8" or "es_MX@euro"; 0 when the locale is unknown, empty, "C" or "POSIX".
LangId LangIdFromLocale(std::string_view locale);

// The user's default language from the environment: the first of LC_ALL, LC_MESSAGES and
// LANG that is set and not empty decides. `getenv` is injected so tests need no process state.
using EnvironmentLookup = std::function<const char*(const char* name)>;
LangId UserDefaultLangId(const EnvironmentLookup& getenv);
// The same from this process's environment.
LangId UserDefaultLangId();

// The language rule of the skin load: osLang from the program key (0 when the key does not
// exist; a missing or non-integer osLang in an existing key throws core::ConversionError),
// 1 to 8 forcing a language, 0 or less taking `userDefault`, then the folder table.
LanguageChoice ChooseLanguage(platform::Registry& registry, LangId userDefault);

}  // namespace skin

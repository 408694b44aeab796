#pragma once

#include <string>
#include <string_view>

namespace skin {

// The program key; its value "osLang" forces the interface language.
inline constexpr std::string_view kProgramKey = "\\SOFTWARE\\NORVANE\\Quelta\\";
inline constexpr std::string_view kLanguageValue = "osLang";
// Root of the skin tree; each language has its sub-tree below it.
inline constexpr std::string_view SkinRoot = "\\SOFTWARE\\NORVANE\\Quelta\\Skin\\";

// The rating whose skin keys and bitmaps take their "_450W" form.
inline constexpr int kSmallRating = 450;

// SkinRoot + language folder + page name, e.g. "...\Skin\Eng\" + "Manager\Watt".
std::string PagePath(std::string_view languageFolder, std::string_view pageName);

// A button's key: the page path and the control key, joined by one backslash.
std::string ButtonKey(std::string_view pagePath, std::string_view controlKey);
// A display's key: always page path + "\" + control key.
std::string DisplayKey(std::string_view pagePath, std::string_view controlKey);

// The sub-keys of a display key that hold its four value groups.
inline constexpr std::string_view kDigitGroup = "Digit";
inline constexpr std::string_view kStatusBarGroup = "StatusBar";
inline constexpr std::string_view kPosBarGroup = "PosBar";
inline constexpr std::string_view kStatusRectGroup = "StatusRect";
std::string GroupKey(std::string_view displayKey, std::string_view group);

}  // namespace skin

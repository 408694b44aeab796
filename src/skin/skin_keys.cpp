#include "skin/skin_keys.h"

namespace skin {

std::string PagePath(std::string_view languageFolder, std::string_view pageName) {
  std::string path(SkinRoot);
  path += languageFolder;
  path += pageName;
  return path;
}

std::string ButtonKey(std::string_view pagePath, std::string_view controlKey) {
  std::string key(pagePath);
  if (key.empty() || key.back() != '\\') key += '\\';
  key += controlKey;
  return key;
}

std::string DisplayKey(std::string_view pagePath, std::string_view controlKey) {
  std::string key(pagePath);
  key += '\\';
  key += controlKey;
  return key;
}

std::string GroupKey(std::string_view displayKey, std::string_view group) {
  return DisplayKey(displayKey, group);
}

}  // namespace skin

#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "skin/file_resolver.h"

namespace pages {

// Resolves stored skin paths ("Skin\x_up.bmp") once each: the bar swaps its pictures on mouse
// moves, and resolving a path searches the folders on disk.
class SkinPathCache {
 public:
  explicit SkinPathCache(skin::FileResolver files) : files_(std::move(files)) {}

  // The file of `stored`; throws what the resolver throws (nothing is remembered then).
  const std::filesystem::path& Resolve(std::string_view stored);
  // The same, but a path the resolver refuses gives an empty path (which loads nothing).
  std::filesystem::path ResolveOrEmpty(std::string_view stored);

 private:
  skin::FileResolver files_;
  std::map<std::string, std::filesystem::path, std::less<>> resolved_;
};

}  // namespace pages

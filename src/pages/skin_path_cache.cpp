#include "pages/skin_path_cache.h"

#include <exception>

namespace pages {

const std::filesystem::path& SkinPathCache::Resolve(std::string_view stored) {
  if (const auto found = resolved_.find(stored); found != resolved_.end()) return found->second;
  return resolved_.emplace(std::string(stored), files_(stored)).first->second;
}

std::filesystem::path SkinPathCache::ResolveOrEmpty(std::string_view stored) {
  if (stored.empty()) return {};
  try {
    return Resolve(stored);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace pages

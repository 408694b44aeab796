#include "skin/file_resolver.h"

#include <map>
#include <memory>
#include <string>

namespace skin {

FileResolver ProgramFolderFiles(std::filesystem::path programFolder) {
  return [folder = std::move(programFolder)](std::string_view relativePath) {
    std::string path(relativePath);
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
    return folder / path;
  };
}

FileResolver Remembering(FileResolver files) {
  using Memory = std::map<std::string, std::filesystem::path, std::less<>>;
  return [files = std::move(files), memory = std::make_shared<Memory>()](std::string_view stored) {
    if (const auto found = memory->find(stored); found != memory->end()) return found->second;
    std::filesystem::path resolved = files(stored);
    memory->emplace(std::string(stored), resolved);
    return resolved;
  };
}

}  // namespace skin

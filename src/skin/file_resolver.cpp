#include "skin/file_resolver.h"

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

}  // namespace skin

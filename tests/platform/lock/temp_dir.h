#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace platform {

// A fresh directory for one test, removed with everything in it afterwards.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quelta-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() { std::filesystem::remove_all(path); }
};

}  // namespace platform

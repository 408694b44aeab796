#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace ui {

// The framework's file error: a picture file is missing, unreadable or not a picture.
// The message names the path and what was wrong; it is shown in the error box as it stands.
class FileError : public std::runtime_error {
 public:
  FileError(std::filesystem::path path, const std::string& reason)
      : std::runtime_error("Cannot load \"" + path.string() + "\": " + reason),
        path_(std::move(path)) {}

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace ui

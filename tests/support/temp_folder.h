#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // Creates a file (and its folders) with the given content; `relative` uses "/".
  std::filesystem::path Touch(const std::string& relative, const std::string& content = "x") const;

 private:
  std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& file, const std::string& content);
std::string ReadFile(const std::filesystem::path& file);

}  // namespace testing_support

#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace core {

// A file opened for appending only (created 0644 where the system has modes): each Append is
// one write at the end of the file, so lines that several threads or processes append never
// mix. What the system cannot write is dropped.
class AppendFile {
  struct PrivateKey {};

 public:
  struct OpenResult {
    std::unique_ptr<AppendFile> file;  // null when the file could not be opened
    std::string error;                 // why not, e.g. "Permission denied"
  };
  static OpenResult Open(const std::filesystem::path& path);

  AppendFile(PrivateKey, std::intptr_t handle) : handle_(handle) {}
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  ~AppendFile();

  void Append(std::string_view bytes);

 private:
  const std::intptr_t handle_;  // the system's descriptor or handle
};

}  // namespace core

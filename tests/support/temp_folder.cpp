#include "support/temp_folder.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace testing_support {

TempFolder::TempFolder() {
  // A random name that no one has taken: create_directory says false when it exists. The
  // folder is the user's alone, as mkdtemp would make it (on both systems).
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device device;
  std::mt19937_64 random(
      (static_cast<std::uint64_t>(device()) << 32) ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("quelta-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      std::filesystem::permissions(candidate, std::filesystem::perms::owner_all);
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("no fresh folder could be made in " + base.string());
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempFolder::Touch(const std::string& relative,
                                        const std::string& content) const {
  const std::filesystem::path file = path_ / relative;
  std::filesystem::create_directories(file.parent_path());
  WriteFile(file, content);
  return file;
}

void WriteFile(const std::filesystem::path& file, const std::string& content) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace testing_support

#include "core/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace core {
namespace {

constexpr mode_t kAppendFileMode = 0644;

}  // namespace

AppendFile::OpenResult AppendFile::Open(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kAppendFileMode);
  if (fd < 0) return {nullptr, std::strerror(errno)};
  return {std::make_unique<AppendFile>(PrivateKey{}, fd), {}};
}

AppendFile::~AppendFile() {
  ::close(static_cast<int>(handle_));
}

void AppendFile::Append(std::string_view bytes) {
  while (::write(static_cast<int>(handle_), bytes.data(), bytes.size()) < 0 && errno == EINTR) {
  }
}

}  // namespace core

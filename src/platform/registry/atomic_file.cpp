#include "platform/registry/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {
namespace {

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

}  // namespace

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& file, std::string_view content,
                                      mode_t mode, bool replace) {
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  // Hidden, so a temporary left by a crash does not look like a settings file.
  std::string pattern = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return AtomicWriteResult::Failed;
  const std::filesystem::path temp(name.data());

  const bool written = WriteAll(fd, content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(temp.c_str());
    return AtomicWriteResult::Failed;
  }

  AtomicWriteResult result = AtomicWriteResult::Written;
  if (replace) {
    if (::rename(temp.c_str(), file.c_str()) != 0) result = AtomicWriteResult::Failed;
  } else {
    if (::link(temp.c_str(), file.c_str()) != 0) {
      result = errno == EEXIST ? AtomicWriteResult::AlreadyExists : AtomicWriteResult::Failed;
    }
    ::unlink(temp.c_str());
  }
  if (result != AtomicWriteResult::Written) {
    if (replace) ::unlink(temp.c_str());
    return result;
  }
  return SyncFolder(folder) ? AtomicWriteResult::Written : AtomicWriteResult::Failed;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string& error) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  std::string content;
  char buffer[65536];
  while (true) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return content;
}

}  // namespace platform

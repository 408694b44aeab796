#include "core/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace core {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

std::string SizeText(std::size_t bytes) {
  constexpr std::size_t kMiB = 1024 * 1024;
  if (bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes,
                                           std::string& error) {
  // Non-blocking, so opening a FIFO without a writer returns at once; the type check follows.
  const Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.Get() < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    error = "not a regular file";
    return std::nullopt;
  }
  const auto tooLarge = [&] {
    error = "larger than " + SizeText(maxBytes);
    return std::nullopt;
  };
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) return tooLarge();
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags >= 0) ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);

  std::string content;
  content.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  while (true) {
    const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      return std::nullopt;
    }
    if (got == 0) break;
    // The file may grow while it is read: the limit holds for what is read too.
    if (content.size() + static_cast<std::size_t>(got) > maxBytes) return tooLarge();
    content.append(buffer, static_cast<std::size_t>(got));
  }
  return content;
}

}  // namespace core

#include "platform/lock/named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr std::size_t kMaxFileNameLength = 255;
constexpr mode_t kEveryoneReadWrite = 0666;
// Someone else may create the file between our "absent" and our O_EXCL create.
constexpr int kOpenAttempts = 4;
constexpr char kDirectoryVariable[] = "QUELTA_LOCK_DIR";
constexpr char kSharedDirectory[] = "/tmp";

int Fd(std::intptr_t handle) {
  return static_cast<int>(handle);
}

std::string Failure(const std::filesystem::path& path, const char* what, int error) {
  return "lock file " + path.string() + ": " + what + " (" + std::strerror(error) + ")";
}

}  // namespace

std::filesystem::path DefaultLockDirectory() {
  const char* configured = std::getenv(kDirectoryVariable);
  if (configured != nullptr && configured[0] != '\0') return configured;
  return kSharedDirectory;
}

NamedMutex::OpenResult NamedMutex::Open(std::string_view name,
                                        const std::filesystem::path& directory) {
  if (name.empty()) return {nullptr, "named mutex: the name is empty"};
  const std::string fileName = LockFileName(name);
  if (fileName.size() > kMaxFileNameLength) {
    return {nullptr, "named mutex: the name is too long for a lock file (" +
                         std::to_string(name.size()) + " bytes)"};
  }
  const std::filesystem::path path = directory / fileName;

  // O_NOFOLLOW refuses a planted link; O_NONBLOCK keeps a planted FIFO from blocking the open.
  constexpr int kOpenFlags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
  int fd = -1;
  for (int attempt = 0; attempt < kOpenAttempts && fd < 0; ++attempt) {
    // Open an existing file first: in a sticky directory O_CREAT on another user's file is
    // refused even when its permissions would allow the open.
    fd = ::open(path.c_str(), O_RDWR | kOpenFlags);
    if (fd >= 0) break;
    if (errno == EACCES) {
      // flock needs no write access; a file someone made read-only still serves.
      fd = ::open(path.c_str(), O_RDONLY | kOpenFlags);
      if (fd < 0) return {nullptr, Failure(path, "cannot open", errno)};
      break;
    }
    if (errno == ELOOP) return {nullptr, Failure(path, "is a symbolic link, refused", errno)};
    if (errno != ENOENT) return {nullptr, Failure(path, "cannot open", errno)};

    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kOpenFlags, kEveryoneReadWrite);
    if (fd >= 0) {
      // The umask narrowed the mode; every local user must be able to share the name.
      if (::fchmod(fd, kEveryoneReadWrite) != 0) {
        const int error = errno;
        ::close(fd);
        return {nullptr, Failure(path, "cannot open it to every user", error)};
      }
      break;
    }
    if (errno != EEXIST) return {nullptr, Failure(path, "cannot create", errno)};
  }
  if (fd < 0) return {nullptr, Failure(path, "keeps appearing and vanishing", EAGAIN)};

  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    return {nullptr, Failure(path, "cannot be examined", error)};
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return {nullptr, "lock file " + path.string() + ": is not a regular file, refused"};
  }
  if (info.st_nlink != 1) {
    ::close(fd);
    return {nullptr, "lock file " + path.string() + ": has other hard links, refused"};
  }
  return {std::make_unique<NamedMutex>(PrivateKey{}, fd, path), {}};
}

NamedMutex::~NamedMutex() {
  ::close(Fd(handle_));
}

bool NamedMutex::Lock() {
  threads_.lock();
  while (::flock(Fd(handle_), LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    threads_.unlock();
    return false;
  }
  Notify(Event::Locked);
  return true;
}

bool NamedMutex::TryLock() {
  if (!threads_.try_lock()) return false;
  while (::flock(Fd(handle_), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    threads_.unlock();
    return false;
  }
  Notify(Event::Locked);
  return true;
}

void NamedMutex::Unlock() {
  Notify(Event::Unlocking);
  ::flock(Fd(handle_), LOCK_UN);
  threads_.unlock();
}

void NamedMutex::Notify(Event event) const {
  if (observer_) observer_(event);
}

}  // namespace platform

#include "platform/lock/named_mutex.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

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

// A record is a few dozen bytes; a reader looks at no more than this.
constexpr std::size_t kLongestRecord = 64;
constexpr std::size_t kNameBufferSize = 4096;

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

std::string HolderText(const std::optional<LockHolder>& holder) {
  if (!holder) return "an unknown process";
  std::string user = std::to_string(holder->uid);
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(kNameBufferSize);
  if (::getpwuid_r(holder->uid, &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_name != nullptr && found->pw_name[0] != '\0') {
    user = found->pw_name;
  }
  return "pid " + std::to_string(holder->pid) + ", user " + user;
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
  RecordHolder();
  Notify(Event::Locked);
  return true;
}

NamedMutex::Attempt NamedMutex::TryTake() {
  // Another thread of this process holds it: busy, as another process would be.
  if (!threads_.try_lock()) return Attempt::Busy;
  while (::flock(Fd(handle_), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const bool busy = errno == EWOULDBLOCK;
    threads_.unlock();
    return busy ? Attempt::Busy : Attempt::Failed;
  }
  RecordHolder();
  Notify(Event::Locked);
  return Attempt::Taken;
}

void NamedMutex::Unlock() {
  Notify(Event::Unlocking);
  ForgetHolder();
  ::flock(Fd(handle_), LOCK_UN);
  threads_.unlock();
}

std::optional<LockHolder> NamedMutex::Holder() const {
  std::array<char, kLongestRecord> text{};
  const ssize_t got = ::pread(Fd(handle_), text.data(), text.size(), 0);
  if (got <= 0) return std::nullopt;
  return ParseHolderRecord(std::string_view(text.data(), static_cast<std::size_t>(got)));
}

void NamedMutex::RecordHolder() const {
  // A file opened read-only (someone made it so) still locks; it just cannot name us.
  const std::string record = HolderRecord({::getpid(), ::getuid()});
  if (::ftruncate(Fd(handle_), 0) != 0) return;
  [[maybe_unused]] const ssize_t written = ::pwrite(Fd(handle_), record.data(), record.size(), 0);
}

void NamedMutex::ForgetHolder() const {
  // Emptied before the release: a name left behind would be shown for the next holder, who
  // may be a program that writes none.
  [[maybe_unused]] const int emptied = ::ftruncate(Fd(handle_), 0);
}

}  // namespace platform

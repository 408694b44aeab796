#include "platform/registry/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/regular_file.h"

namespace platform {
namespace {

// A temporary's name says whose it is: ".<file>.quelta-tmp-" and six letters or digits from
// mkstemp. Nothing a person keeps beside their settings is named so, so the sweep can tell
// our leftovers from their own files (".registry.reg.backup" stays).
constexpr std::string_view kTempMarker = ".quelta-tmp-";
constexpr std::string_view kTempSuffix = "XXXXXX";

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

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

std::string TempPrefix(const std::filesystem::path& file) {
  return "." + file.filename().string() + std::string(kTempMarker);
}

// The six characters mkstemp puts in place of the X's.
bool IsTempTail(std::string_view tail) {
  if (tail.size() != kTempSuffix.size()) return false;
  for (const char c : tail) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum) return false;
  }
  return true;
}

// Hidden, so a temporary left by a crash does not look like a settings file.
std::string TempPattern(const std::filesystem::path& file) {
  return (FolderOf(file) / TempPrefix(file)).string() + std::string(kTempSuffix);
}

// A fresh name from the pattern that no file holds yet (mkstemp's way, without creating it).
bool LinkUnderFreshName(const std::string& from, std::string& name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::vector<char> candidate(name.begin(), name.end());
    candidate.push_back('\0');
    const int probe = ::mkstemp(candidate.data());  // reserves a unique name
    if (probe < 0) return false;
    ::close(probe);
    ::unlink(candidate.data());
    if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, candidate.data(), AT_SYMLINK_FOLLOW) == 0) {
      name.assign(candidate.data());
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// An open, written and flushed temporary file for `file`: unnamed when the file system allows
// it (O_TMPFILE), else under a hidden name in `named`.
int WriteTemporary(const std::filesystem::path& file, std::string_view content, mode_t mode,
                   std::string& named) {
  int fd = ::open(FolderOf(file).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (fd < 0) {
    std::string pattern = TempPattern(file);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    named.assign(name.data());
  }
  const bool written = WriteAll(fd, content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  if (!written) {
    ::close(fd);
    if (!named.empty()) ::unlink(named.c_str());
    return -1;
  }
  return fd;
}

}  // namespace

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& file, std::string_view content,
                                      mode_t mode, bool replace) {
  std::string named;
  const int fd = WriteTemporary(file, content, mode, named);
  if (fd < 0) return AtomicWriteResult::Failed;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);

  AtomicWriteResult result = AtomicWriteResult::Written;
  if (!replace) {
    const int linked =
        named.empty() ? ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, file.c_str(), AT_SYMLINK_FOLLOW)
                      : ::link(named.c_str(), file.c_str());
    if (linked != 0) {
      result = errno == EEXIST ? AtomicWriteResult::AlreadyExists : AtomicWriteResult::Failed;
    }
  } else {
    if (named.empty()) {
      named = TempPattern(file);
      if (!LinkUnderFreshName(self, named)) {
        named.clear();
        result = AtomicWriteResult::Failed;
      }
    }
    if (result == AtomicWriteResult::Written && ::rename(named.c_str(), file.c_str()) == 0) {
      named.clear();
    } else {
      result = AtomicWriteResult::Failed;
    }
  }
  if (!named.empty()) ::unlink(named.c_str());
  const bool closed = ::close(fd) == 0;
  if (result != AtomicWriteResult::Written) return result;
  return closed && SyncFolder(FolderOf(file)) ? AtomicWriteResult::Written
                                              : AtomicWriteResult::Failed;
}

void RemoveStaleTemporaries(const std::filesystem::path& file) {
  const std::string prefix = TempPrefix(file);
  std::error_code error;
  std::filesystem::directory_iterator entry(FolderOf(file), error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (!name.starts_with(prefix) || !IsTempTail(std::string_view(name).substr(prefix.size())))
      continue;
    struct stat info {};
    if (::lstat(entry->path().c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != ::getuid()) {
      continue;
    }
    ::unlink(entry->path().c_str());
  }
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string& error) {
  return core::ReadRegularFile(file, kMaxSettingsFileBytes, error);
}

}  // namespace platform

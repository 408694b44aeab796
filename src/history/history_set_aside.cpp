#include "history/history_set_aside.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace history {
namespace {

constexpr int kMaxCandidates = 100;

std::string CompactUtc(HistoryTime now) {
  const std::time_t seconds =
      std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::seconds>(now));
  std::tm utc{};
  ::gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
  return text;
}

// rename() that refuses to replace: the record set aside earlier stays as it was.
int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without the flag: a link cannot replace either.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

}  // namespace

SetAsideResult SetAside(const std::filesystem::path& file, const std::string& why,
                        HistoryTime now) {
  const std::string base = file.string() + "." + why + "-" + CompactUtc(now);
  for (int n = 1; n <= kMaxCandidates; ++n) {
    const std::filesystem::path aside = n == 1 ? base : base + "-" + std::to_string(n);
    const int error = RenameNoReplace(file, aside);
    if (error == EEXIST) continue;
    if (error != 0) {
      return {false, "the history file " + file.string() + " is " + why +
                         " and cannot be set aside as " + aside.string() + ": " +
                         std::strerror(error) + "; nothing is recorded"};
    }
    // The WAL may hold the latest polls of the file; it goes along under the matching name.
    for (const char* suffix : {"-wal", "-shm"}) {
      const std::filesystem::path companion = file.string() + suffix;
      if (::access(companion.c_str(), F_OK) == 0)
        RenameNoReplace(companion, aside.string() + suffix);
    }
    return {true, "the history file " + file.string() + " is " + why + "; it was set aside as " +
                      aside.string() + " and recording goes on in a new " + file.string()};
  }
  return {false, "the history file " + file.string() + " is " + why +
                     " and there is no free name to set it aside; nothing is recorded"};
}

}  // namespace history

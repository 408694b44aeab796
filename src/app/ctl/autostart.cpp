#include "app/ctl/autostart.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "core/regular_file.h"
#include "platform/registry/atomic_file.h"

namespace app::ctl {
namespace {

constexpr mode_t kEntryMode = 0644;
constexpr mode_t kFolderMode = 0700;
// Far more than any desktop entry: a larger file is not one.
constexpr std::size_t kMaxEntryBytes = 64 * 1024;

// Creates every missing folder of `folder`, each private to the user, as the settings folder
// is; folders already there are left as they are. "" when done, else why not.
std::string CreateFolders(const std::filesystem::path& folder) {
  std::filesystem::path partial;
  for (const std::filesystem::path& part : folder) {
    partial /= part;
    if (::mkdir(partial.c_str(), kFolderMode) != 0 && errno != EEXIST) {
      return "cannot create " + partial.string() + ": " + std::strerror(errno);
    }
  }
  return "";
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

AutostartStatus Other(std::string what) {
  return AutostartStatus{AutostartStatus::State::Other, std::move(what)};
}

}  // namespace

std::filesystem::path AutostartFile(const platform::RegistryEnvironment& environment) {
  std::filesystem::path config(environment.xdgConfigHome);
  // The base directory rules ignore a relative XDG_CONFIG_HOME.
  if (environment.xdgConfigHome.empty() || !config.is_absolute()) {
    if (environment.home.empty())
      throw std::runtime_error("neither XDG_CONFIG_HOME nor HOME is set");
    config = std::filesystem::path(environment.home) / ".config";
  }
  return config / "autostart" / "quelta.desktop";
}

AutostartStatus ReadAutostartStatus(const std::filesystem::path& file) {
  const std::string name = file.string();
  // The kind is looked at before anything is opened (a link is looked through).
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) {
    if (errno == ENOENT) return AutostartStatus{};
    return Other("cannot look at " + name + ": " + std::strerror(errno));
  }
  if (!S_ISREG(info.st_mode)) return Other(name + " is " + KindOf(info.st_mode) + ", not an entry");
  // Opened without waiting and checked again once open: it may have changed in between.
  std::string error;
  const std::optional<std::string> text = core::ReadRegularFile(file, kMaxEntryBytes, error);
  if (!text) return Other("cannot read " + name + ": " + error);
  const EntryReading reading = ReadAutostartEntry(*text);
  switch (reading.verdict) {
    case EntryVerdict::On:
      return AutostartStatus{AutostartStatus::State::On, {}};
    case EntryVerdict::SwitchedOff:
      return AutostartStatus{};
    case EntryVerdict::Empty:
      return Other(name + " is empty");
    case EntryVerdict::Malformed:
      return Other(name + " is not a desktop entry: " + reading.detail);
    case EntryVerdict::NoExec:
      return Other(name + " starts no program (no Exec)");
    case EntryVerdict::ForeignExec:
      return Other(name + " starts " + reading.detail + ", not Quelta");
  }
  return Other(name + " is not an entry");
}

std::string EnableAutostart(const std::filesystem::path& file,
                            const std::filesystem::path& program) {
  if (const std::string problem = AutostartPathProblem(program); !problem.empty()) return problem;
  if (const std::string problem = CreateFolders(file.parent_path()); !problem.empty())
    return problem;
  if (platform::WriteFileAtomically(file, AutostartEntry(program), kEntryMode, true) !=
      platform::AtomicWriteResult::Written)
    return "cannot write " + file.string();
  return "";
}

std::string DisableAutostart(const std::filesystem::path& file) {
  std::error_code error;
  std::filesystem::remove(file, error);
  if (error) return "cannot remove " + file.string() + ": " + error.message();
  return "";
}

}  // namespace app::ctl

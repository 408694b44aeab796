// quelta-ctl: the command-line companion of Quelta.
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "app/ctl/ctl_host.h"
#include "app/ctl/run_ctl.h"
#include "app/device_stack.h"
#include "device/real_sleeper.h"
#include "platform/lock/named_mutex.h"

namespace {

// The folder of the executable, through links; the factory settings file lies there.
std::filesystem::path ProgramFolder(const char* argv0) {
  std::error_code error;
#ifdef _WIN32
  // argv[0] is whatever the caller typed; the module's own path is the one to trust.
  wchar_t module[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return std::filesystem::path(module).parent_path();
  std::filesystem::path self;
  error = std::make_error_code(std::errc::no_such_file_or_directory);
#else
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
#endif
  if (error) self = std::filesystem::absolute(argv0, error);
  return self.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Output as it is written, "\n" and all: the same bytes on both systems, so scripts and
  // JSON readers see no stray carriage returns.
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
#endif
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::optional<double> pinned;
  try {
    pinned = app::PinnedSimClock(std::getenv(app::kSimClockVariable));
  } catch (const std::invalid_argument& error) {
    std::cerr << "quelta-ctl: " << error.what() << "\n";
    return 1;
  }
  device::RealSleeper sleeper;
  const app::ctl::CtlHost host{
      platform::DefaultLockDirectory(),
      sleeper,
      [pinned] {
        if (pinned) return *pinned;
        // Wall-clock model time: the simulated load drifts between one run and the next.
        return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
            .count();
      },
      [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); },
      ProgramFolder(argv[0]),
  };
  return app::ctl::RunCtl(args, std::cout, std::cerr, host);
}

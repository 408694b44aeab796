// quelta-ctl: the command-line companion of Quelta.
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "app/ctl/ctl_host.h"
#include "app/ctl/run_ctl.h"
#include "device/real_sleeper.h"
#include "platform/lock/named_mutex.h"

namespace {

// The folder of the executable, through links; the factory settings file lies there.
std::filesystem::path ProgramFolder(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = std::filesystem::absolute(argv0, error);
  return self.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  device::RealSleeper sleeper;
  const app::ctl::CtlHost host{
      platform::DefaultLockDirectory(),
      sleeper,
      [] {
        // Wall-clock model time: the simulated load drifts between one run and the next.
        return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
            .count();
      },
      [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); },
      ProgramFolder(argv[0]),
  };
  return app::ctl::RunCtl(args, std::cout, std::cerr, host);
}

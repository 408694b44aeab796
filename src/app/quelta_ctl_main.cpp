// quelta-ctl: the command-line companion of Quelta.
#include <chrono>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "app/ctl/ctl_host.h"
#include "app/ctl/run_ctl.h"
#include "device/real_sleeper.h"
#include "platform/lock/named_mutex.h"

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
  };
  return app::ctl::RunCtl(args, std::cout, std::cerr, host);
}

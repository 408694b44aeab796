// The service tells the desktop of an alarm row that starts, once however many polls it lasts,
// through org.freedesktop.Notifications on the session bus it finds in its environment; with
// NotifyOnAlarm "0" in the settings it tells nothing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <regex>
#include <sstream>
#include <string>

#include "app/ctl/run_ctl.h"
#include "device/recording_sleeper.h"
#include "support/core_application.h"
#include "support/private_session_bus.h"
#include "support/temp_folder.h"

namespace app::ctl {
namespace {

using namespace std::chrono_literals;

// Every reply fixed: the PSU reads 38 C, above the threshold of 20 C written below.
constexpr char kFixedReplies[] = R"({"monitor": {"noise": false, "replies": {
  "21": "C2 80 80 40 C1 C0 BA 00", "22": "BA 40 B9 C0 B9 80 94 00",
  "02": "1F 08 00 24 23 25 00 24", "03": "03 AA 06 D3 00 00 00 00",
  "04": "1E 00 21 00 25 00 1D 00", "05": "26 00 00 00 00 00 00 00"}}})";

class ServeNotifyTest : public ::testing::Test {
 protected:
  // The factory settings with the PSU temperature threshold at 20 C, and NotifyOnAlarm as given.
  std::string Registry(const char* notify) {
    std::ifstream factory(QUELTA_FACTORY_SETTINGS);
    std::string text((std::istreambuf_iterator<char>(factory)), {});
    text = std::regex_replace(text, std::regex("\"PSU\"=\"60.00\""), "\"PSU\"=\"20.00\"");
    text += "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta]\r\n\"NotifyOnAlarm\"=\"";
    text += notify;
    text += "\"\r\n";
    const auto file = dir_.Path() / (std::string("registry-") + notify + ".reg");
    std::ofstream(file) << text;
    return file.string();
  }

  // Runs the service until it has polled `polls` times (counted by the record), letting the
  // Qt loop deliver what reaches the recorder meanwhile; then stops it.
  void Serve(const std::string& registry, int polls,
             testing_support::NotificationRecorder& desktop) {
    std::promise<std::function<void()>> stopper;
    device::RecordingSleeper sleeper;
    const CtlHost host{dir_.Path(),
                       sleeper,
                       [] { return 0.0; },
                       {},
                       {},
                       {},
                       [&stopper](std::uint16_t, std::function<void()> stop) {
                         stopper.set_value(std::move(stop));
                       }};
    std::ofstream(dir_.Path() / "scenario.json") << kFixedReplies;
    std::ostringstream out, err;
    auto run = std::async(std::launch::async, [&] {
      return RunCtl({"--simulate=" + (dir_.Path() / "scenario.json").string(), "--registry",
                     registry, "serve", "--listen", "127.0.0.1:0", "--cycle-ms", "20"},
                    out, err, host);
    });
    auto stop = stopper.get_future();
    ASSERT_EQ(stop.wait_for(10s), std::future_status::ready) << "the service did not listen";
    // Polls go on while the recorder's loop runs: 20 ms cycles, so `polls` need a while.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(40 * polls);
    while (std::chrono::steady_clock::now() < end) desktop.AwaitSummary("never", 20ms);
    stop.get()();
    EXPECT_EQ(run.get(), 0) << err.str();
    log_ = err.str();
  }

  testing_support::CoreApplication qt_;
  testing_support::TempFolder dir_;
  std::string log_;
};

TEST_F(ServeNotifyTest, TellsTheDesktopOnceWhenARowStartsAndNothingWhenSwitchedOff) {
  testing_support::PrivateSessionBus bus;
  ASSERT_TRUE(bus.Error().empty()) << bus.Error();
  testing_support::NotificationRecorder desktop(bus.Address());
  ASSERT_TRUE(desktop.Serving());
  ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
  ::setenv("XDG_STATE_HOME", (dir_.Path() / "state").c_str(), 1);

  Serve(Registry("0"), 10, desktop);
  EXPECT_TRUE(desktop.Received().empty()) << desktop.Received()[0].body;

  Serve(Registry("1"), 10, desktop);
  ASSERT_TRUE(desktop.AwaitSummary("Quelta", 5s)) << "no notification arrived\n" << log_;
  desktop.AwaitSummary("never", 200ms);  // anything more that was sent arrives meanwhile
  ASSERT_EQ(desktop.Received().size(), 1u);
  EXPECT_EQ(desktop.Received()[0].appName, "Quelta");
  EXPECT_EQ(desktop.Received()[0].body,
            "PSU temperature at 38.0 \u00B0C is above its 20 \u00B0C threshold");
}

}  // namespace
}  // namespace app::ctl

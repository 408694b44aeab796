// Alarm starts told to the desktop: the real window, headless, tells a notification service of
// the test's own on a private message bus through the real D-Bus sender.
#include <gtest/gtest.h>

#include "platform/notify/dbus_notifier.h"
#include "settings/program_settings_store.h"
#include "support/alarm_test_support.h"
#include "support/core_application.h"
#include "support/private_session_bus.h"

namespace mainwindow::testing {
namespace {

using namespace std::chrono_literals;

constexpr auto kDeliveryLimit = 10s;
constexpr const char* kFanStopped = "PSU fan at 0 rpm is below its 500 rpm threshold";

class AlarmNotifyTest : public AlarmWindowTest {
 protected:
  void SetUp() override {
    ASSERT_FALSE(bus_.Address().empty()) << bus_.Error();
    ASSERT_TRUE(recorder_.Serving());
    ASSERT_TRUE(sender_.Connected());
    notifier_ = &sender_;
  }
  // The window goes before the sender it tells.
  void TearDown() override { form_.reset(); }

  // Everything sent before it has arrived once a marker sent after it has: one connection
  // keeps its messages in order. Returns the bodies that came before the marker.
  std::vector<std::string> Arrived() {
    const std::string marker = "marker " + std::to_string(++markers_);
    sender_.Notify(marker, "");
    EXPECT_TRUE(recorder_.AwaitSummary(marker, kDeliveryLimit)) << "no " << marker;
    std::vector<std::string> bodies;
    for (const testing_support::ReceivedNotification& n : recorder_.Received()) {
      if (n.summary.starts_with("marker")) continue;
      EXPECT_EQ(n.summary, "Quelta");
      EXPECT_EQ(n.appName, "Quelta");
      bodies.push_back(n.body);
    }
    return bodies;
  }

  void FanStops(TFormMain& form) {
    Readings(form, [](device::ReadingSet& r) { r.FanPSU = 0.0f; });
  }
  void FanTurns(TFormMain& form) {
    Readings(form, [](device::ReadingSet& r) { r.FanPSU = 2000.0f; });
  }

  testing_support::CoreApplication qt_;
  testing_support::PrivateSessionBus bus_;
  testing_support::NotificationRecorder recorder_{bus_.Address()};
  platform::DbusNotifier sender_{bus_.Address()};
  int markers_ = 0;
};

TEST_F(AlarmNotifyTest, OneNotificationPerAlarmStartNoneWhileItBlinksAtMostOneAMinute) {
  TFormMain& form = Create();
  RunCycle(1);
  FanTurns(form);
  EXPECT_TRUE(Arrived().empty());

  FanStops(form);
  // It blinks for ten seconds while the polls find it stopped.
  for (int second = 0; second < 10; ++second) {
    Tick();
    if (second % 3 == 0) FanStops(form);
  }
  EXPECT_EQ(Arrived(), std::vector<std::string>{kFanStopped});

  // It turns and stops again within the minute: not told again.
  FanTurns(form);
  FanStops(form);
  loop_.AdvanceBy(39s);  // 49 s after it was told
  FanTurns(form);
  FanStops(form);
  EXPECT_EQ(Arrived().size(), 1u);

  // A minute after it was told, a new start is told.
  loop_.AdvanceBy(11s);
  FanTurns(form);
  FanStops(form);
  EXPECT_EQ(Arrived(), (std::vector<std::string>{kFanStopped, kFanStopped}));
}

TEST_F(AlarmNotifyTest, TheTrayItemSwitchesThemOffAndTheSwitchIsStored) {
  TFormMain& form = Create();
  RunCycle(1);
  ui::TrayIcon& tray = form.TrayIcon1();
  const std::size_t item = tray.MenuIndex("Notify on alarm");
  ASSERT_LT(item, tray.Menu().size());
  EXPECT_TRUE(tray.Menu()[item].checkable);
  EXPECT_TRUE(tray.Menu()[item].checked);

  tray.InputMenuChoice(item);
  EXPECT_FALSE(tray.Menu()[item].checked);
  EXPECT_NE(SavedText().find("\"NotifyOnAlarm\"=\"0\""), std::string::npos);
  FanStops(form);
  Tick();
  EXPECT_TRUE(Arrived().empty());

  // Back on: the stop already under way is not told, the next start is.
  tray.InputMenuChoice(item);
  EXPECT_TRUE(tray.Menu()[item].checked);
  EXPECT_NE(SavedText().find("\"NotifyOnAlarm\"=\"1\""), std::string::npos);
  FanStops(form);
  EXPECT_TRUE(Arrived().empty());
  FanTurns(form);
  FanStops(form);
  EXPECT_EQ(Arrived(), std::vector<std::string>{kFanStopped});
}

TEST_F(AlarmNotifyTest, AWindowWhoseSettingsSayOffStartsUncheckedAndQuiet) {
  std::string text = FactoryText();
  Replace(text, "\"NotifyOnAlarm\"=\"1\"", "\"NotifyOnAlarm\"=\"0\"");
  UseSettingsText(text);
  TFormMain& form = Create();
  RunCycle(1);
  const ui::TrayIcon& tray = form.TrayIcon1();
  EXPECT_FALSE(tray.Menu()[tray.MenuIndex("Notify on alarm")].checked);
  FanTurns(form);
  FanStops(form);
  EXPECT_TRUE(Arrived().empty());
}

}  // namespace
}  // namespace mainwindow::testing

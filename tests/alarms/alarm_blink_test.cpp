// The alarm evaluation after each cycle and the one-second blink on the monitor page.
#include <gtest/gtest.h>

#include "support/alarm_test_support.h"

namespace mainwindow::testing {
namespace {

using alarms::AlarmRow;

TEST_F(AlarmWindowTest, AStoppedFanBlinksItsIconAndTheManagerButton) {
  TFormMain& form = Create();
  RunCycle(1);
  alarms::AlarmBlink& blink = form.Blink();
  skin::TImageLabel& manager = form.Bar()->Tab(Page::kMonitor);
  const auto managerDis = Bmp(std::string("Skin\\M_dis.bmp"));
  const auto selected = Bmp(std::string("Skin\\M_Sel.bmp"));
  const auto fanRed = Bmp(std::string("Skin\\fan_red.bmp"));
  EXPECT_FALSE(form.AlarmStatus().Flags().Any());

  // The PSU fan alarm is on in the factory settings (500 rpm), the system fan's is off.
  Readings(form, [](device::ReadingSet& r) {
    r.FanPSU = 0.0f;
    r.FanSystem = 0.0f;
  });
  EXPECT_TRUE(form.AlarmStatus().InAlarm(AlarmRow::PSUFan));
  EXPECT_FALSE(form.AlarmStatus().InAlarm(AlarmRow::SystemFan));
  EXPECT_TRUE(blink.ImgAlarmPSU().Visible());
  EXPECT_FALSE(blink.ImgAlarmSYS().Visible());

  const bool shown[] = {true, false, true, false};
  for (int tick = 0; tick < 4; ++tick) {
    Tick();
    EXPECT_EQ(blink.ImgAlarmPSU().Visible(), shown[tick]) << tick;
    EXPECT_EQ(blink.ImgAlarmPSU().Picture(), fanRed);
    EXPECT_FALSE(blink.ImgAlarmSYS().Visible());
    EXPECT_EQ(manager.Picture(Face::Leave), shown[tick] ? managerDis : selected) << tick;
  }

  // The fan turns again: the icon goes at once and stays away.
  Tick();
  Readings(form, [](device::ReadingSet& r) { r.FanPSU = 2000.0f; });
  EXPECT_FALSE(blink.ImgAlarmPSU().Visible());
  Tick();
  EXPECT_FALSE(blink.ImgAlarmPSU().Visible());
  EXPECT_FALSE(blink.BlinkPhase(AlarmRow::PSUFan));
  EXPECT_EQ(manager.Picture(Face::Leave), selected);
}

TEST_F(AlarmWindowTest, NothingBlinksInTheTrayAndTheBlinkGoesOnWhenTheWindowComesBack) {
  TFormMain& form = Create();
  RunCycle(1);
  alarms::AlarmBlink& blink = form.Blink();
  Readings(form, [](device::ReadingSet& r) { r.FanPSU = 0.0f; });
  Tick();
  ASSERT_TRUE(blink.BlinkPhase(AlarmRow::PSUFan));

  form.TrayIcon1().Minimize();
  EXPECT_FALSE(form.TimerAlarm().Enabled());
  EXPECT_EQ(loop_.TimerCount(), 1u) << "the needle panel's timer alone runs in the tray";
  for (int second = 0; second < 5; ++second) {
    Tick();
    if (second % 3 == 2) Readings(form, [](device::ReadingSet&) {});  // a poll cycle
  }
  EXPECT_TRUE(form.AlarmStatus().InAlarm(AlarmRow::PSUFan)) << "still judged at every cycle";
  EXPECT_TRUE(blink.BlinkPhase(AlarmRow::PSUFan)) << "no blink while nobody sees it";

  // Back from the tray: one tick at once, then one a second, the icon off and on again.
  form.TrayIcon1().Restore();
  EXPECT_TRUE(form.TimerAlarm().Enabled());
  EXPECT_FALSE(blink.BlinkPhase(AlarmRow::PSUFan));
  EXPECT_FALSE(blink.ImgAlarmPSU().Visible());
  Tick();
  EXPECT_TRUE(blink.ImgAlarmPSU().Visible());
  EXPECT_TRUE(blink.BlinkPhase(AlarmRow::PSUFan));
  Tick();
  EXPECT_FALSE(blink.ImgAlarmPSU().Visible());
}

TEST_F(AlarmWindowTest, PowerAboveItsThresholdAlarmsOnlyWhileTheMonitorPageIsShown) {
  TFormMain& form = Create();
  RunCycle(1);
  Readings(form, [](device::ReadingSet& r) { r.WattTotal = 450.0f; });
  EXPECT_FALSE(form.Blink().ImgAlarmWatt().Visible());
  Readings(form, [](device::ReadingSet& r) { r.WattTotal = 450.5f; });
  EXPECT_TRUE(form.AlarmStatus().InAlarm(AlarmRow::Watt));
  EXPECT_TRUE(form.Blink().ImgAlarmWatt().Visible());
  Tick();
  EXPECT_EQ(form.Blink().ImgAlarmWatt().Picture(), Bmp(std::string("Skin\\watt_red.bmp")));

  RollTo(form, Page::kAlarm);
  Readings(form, [](device::ReadingSet&) {});
  EXPECT_FALSE(form.AlarmStatus().InAlarm(AlarmRow::Watt));
  EXPECT_FALSE(form.Blink().ImgAlarmWatt().Visible());
}

TEST_F(AlarmWindowTest, TilesInAlarmAlternateBetweenDisBmpAndTheirRestPicture) {
  TFormMain& form = Create();
  RunCycle(1);
  MonitorPage& page = form.Monitor();
  Click(*page.Button("Vol12V4"));
  // 12V4 is the shown voltage tile, 12V1 the shown current tile (the default).
  Readings(form, [](device::ReadingSet& r) {
    r.Vol12V4 = 12.7f;
    r.Vol12V1 = 11.3f;
    r.Cur12V1 = 18.5f;
    r.Cur5V = 20.5f;
  });
  struct Expect {
    const char* tile;
    bool selected;
  };
  const Expect blinking[] = {
      {"Vol12V4", true}, {"Vol12V1", false}, {"Cur12V1", true}, {"Cur5V", false}};
  for (int tick = 0; tick < 3; ++tick) {
    Tick();
    const bool red = tick % 2 == 0;
    for (const Expect& e : blinking) {
      const MonitorPage::ButtonFiles& files = *page.FilesOf(e.tile);
      const auto rest = Bmp(e.selected ? files.click : files.leave);
      EXPECT_EQ(page.Button(e.tile)->Picture(Face::Leave), red ? Bmp(files.dis) : rest)
          << e.tile << " tick " << tick;
    }
    // The tiles not in alarm keep their rest picture.
    EXPECT_EQ(page.Button("Vol5V")->Picture(Face::Leave), Bmp(page.FilesOf("Vol5V")->leave));
    EXPECT_EQ(page.Button("Cur12V2")->Picture(Face::Leave), Bmp(page.FilesOf("Cur12V2")->leave));
  }
}

TEST_F(AlarmWindowTest, FahrenheitDigitsBlinkRedAndNormalShowingFahrenheit) {
  TFormMain& form = Create();
  RunCycle(1);
  MonitorPage& page = form.Monitor();
  form.Alarms().TempT1 = {55.0f, true, 55.0f};
  Click(*page.Button("TempF"));
  Readings(form, [](device::ReadingSet& r) { r.TempT1 = 60.0f; });
  const skin::TImageTrackBar& t1 = *page.Display("TempT1");
  const ui::ImageList& red = form.ImageLists().ILRedNumber;
  const ui::ImageList& normal = form.ImageLists().ILNumber;
  for (int tick = 0; tick < 3; ++tick) {
    Tick();
    EXPECT_EQ(DigitsIn(t1, tick % 2 == 0 ? red : normal), "140") << tick;
    EXPECT_EQ(DigitsIn(t1, tick % 2 == 0 ? normal : red), "") << tick;
  }
  EXPECT_EQ(DigitsIn(*page.Display("TempT2"), red), "");
}

TEST_F(AlarmWindowTest, TwoAlarmsThreeSecondsApartBlinkInOppositePhase) {
  TFormMain& form = Create();
  RunCycle(1);
  form.Alarms().TempT1 = {55.0f, true, 55.0f};
  Readings(form, [](device::ReadingSet& r) { r.TempT1 = 60.0f; });
  Tick();
  Tick();
  Tick();
  EXPECT_TRUE(form.Blink().BlinkPhase(AlarmRow::TempT1));
  Readings(form, [](device::ReadingSet& r) { r.FanPSU = 0.0f; });

  const skin::TImageLabel& manager = form.Bar()->Tab(Page::kMonitor);
  const auto managerDis = Bmp(std::string("Skin\\M_dis.bmp"));
  for (int tick = 0; tick < 4; ++tick) {
    Tick();
    const bool fanRed = tick % 2 == 0;
    EXPECT_EQ(form.Blink().BlinkPhase(AlarmRow::PSUFan), fanRed) << tick;
    EXPECT_EQ(form.Blink().BlinkPhase(AlarmRow::TempT1), !fanRed) << tick;
    EXPECT_EQ(form.Blink().ImgAlarmPSU().Visible(), fanRed) << tick;
    // One of the two turns red on every tick.
    EXPECT_EQ(manager.Picture(Face::Leave), managerDis) << tick;
  }
}

// A program folder like the real one without one skin file, its files hard links to the real
// ones (a link leading out of the program folder would be refused).
void LinkSkinWithout(const std::filesystem::path& from, const std::filesystem::path& to,
                     const std::string& left) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(from / "Skin")) {
    const auto target = to / std::filesystem::relative(entry.path(), from);
    if (entry.is_directory()) {
      std::filesystem::create_directories(target);
    } else if (entry.path().filename() != left) {
      std::filesystem::create_directories(target.parent_path());
      std::filesystem::create_hard_link(entry.path(), target);
    }
  }
}

TEST_F(AlarmWindowTest, AMissingRedIconIsReportedOnceAndTheRestOfTheTickRuns) {
  programFolder_ = scratch_.Path() / "program";
  LinkSkinWithout(BinFolder(), programFolder_, "fan_red.bmp");
  TFormMain& form = Create();
  RunCycle(1);
  form.Alarms().TempT1 = {55.0f, true, 55.0f};
  Readings(form, [](device::ReadingSet& r) {
    r.FanPSU = 0.0f;
    r.TempT1 = 60.0f;
  });
  for (int tick = 0; tick < 5; ++tick) Tick();
  const auto errors = dialogs_.Texts(ui::ScriptedDialogs::Kind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("fan_red.bmp"), std::string::npos) << errors[0];
  // The fifth tick went on past the icons: the digits are red.
  EXPECT_EQ(DigitsIn(*form.Monitor().Display("TempT1"), form.ImageLists().ILRedNumber), "60");
  EXPECT_TRUE(form.Blink().BlinkPhase(AlarmRow::PSUFan));
}

}  // namespace
}  // namespace mainwindow::testing

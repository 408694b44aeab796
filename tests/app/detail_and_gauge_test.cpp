// The main window's detail windows and needle panel, on the simulated PSU and virtual time.
#include <gtest/gtest.h>

#include "support/form_main_fixture.h"

namespace mainwindow::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

class DetailAndGaugeTest : public FormMainTest {
 protected:
  // A click on a control of another window than the main one.
  static void ClickOn(ui::Window& window, const ui::Control& control) {
    const ui::Rect& b = control.Bounds();
    const ui::Point p{b.left + b.width / 2, b.top + b.height / 2};
    window.InputMouseMove(p);
    window.InputMouseDown(ui::MouseButton::Left, p);
    window.InputMouseUp(ui::MouseButton::Left, p);
  }
  void OpenBoth(TFormMain& form) {
    Click(*form.Monitor().Button("VolNegAll"));
    Click(*form.Monitor().Button("CurAll"));
    ASSERT_NE(form.Details().FormVol(), nullptr);
    ASSERT_NE(form.Details().FormCur(), nullptr);
  }
  // Marks the open windows' 12V1 displays with values no reading has.
  static void Mark(TFormMain& form) {
    if (auto* vol = form.Details().FormVol()) vol->Refresh({-1.0f, 0, 0, 0, 0, 0, 0, 0});
    if (auto* cur = form.Details().FormCur()) cur->Refresh({-1.0f, 0, 0, 0, 0, 0});
  }
  static float Vol12V1(TFormMain& form) {
    return form.Details().FormVol()->Display(detail::TFormVol::R12V1)->Value();
  }
  static float Cur12V1(TFormMain& form) {
    return form.Details().FormCur()->Display(detail::TFormCur::C12V1)->Value();
  }
  void Tick() { loop_.AdvanceBy(std::chrono::milliseconds(1000)); }
};

TEST_F(DetailAndGaugeTest, AllOpensOneWindowThatHidesOnCloseAndReturnsWithTheLatestReadings) {
  TFormMain& form = Create();
  RunCycle(1);
  EXPECT_EQ(form.Details().FormVol(), nullptr);
  Click(*form.Monitor().Button("VolNegAll"));
  detail::TFormVol* vol = form.Details().FormVol();
  ASSERT_NE(vol, nullptr);
  EXPECT_TRUE(vol->Window().Visible());
  EXPECT_EQ(vol->Window().Position(), (ui::Point{194, 0}));
  EXPECT_EQ(Vol12V1(form), form.Monitor().Readings().Values().Vol12V1);
  EXPECT_EQ(vol->PowerRating(), 550);

  Click(*form.Monitor().Button("VolNegAll"));
  EXPECT_EQ(form.Details().FormVol(), vol) << "the same window again";

  ClickOn(vol->Window(), *vol->CloseButton());
  EXPECT_FALSE(vol->Window().Visible());
  EXPECT_FALSE(form.Closed()) << "closing a detail window leaves the program running";
  Mark(form);
  RunCycle(2);  // a hidden window keeps following
  EXPECT_EQ(Vol12V1(form), form.Monitor().Readings().Values().Vol12V1);
  Click(*form.Monitor().Button("VolNegAll"));
  EXPECT_TRUE(vol->Window().Visible());
  EXPECT_EQ(form.Details().FormVol(), vol);
}

TEST_F(DetailAndGaugeTest, OffTheMonitorPageOnlyTheVoltageWindowFollowsTheReadings) {
  TFormMain& form = Create();
  RunCycle(1);
  OpenBoth(form);
  EXPECT_EQ(form.Details().FormCur()->Window().Position(), (ui::Point{195, 152}));

  Mark(form);
  RunCycle(2);  // on the monitor page: both
  EXPECT_EQ(Vol12V1(form), form.Monitor().Readings().Values().Vol12V1);
  EXPECT_EQ(Cur12V1(form), form.Monitor().Readings().Values().Cur12V1);

  Click(form.Bar()->Tab(Page::kConfig));
  ASSERT_EQ(form.CurrentPage(), Page::kConfig);
  Mark(form);
  RunCycle(3);  // on the configuration page: the voltage hand-over only
  EXPECT_EQ(Vol12V1(form), form.Monitor().Readings().Values().Vol12V1);
  EXPECT_EQ(Cur12V1(form), -1.0f);
}

TEST_F(DetailAndGaugeTest, AtFourHundredFiftyWattsTheWindowsUseTheirSmallPages) {
  sim::Scenario scenario;
  scenario.monitor.rating = 450;
  MakeBus(scenario);
  TFormMain& form = Create();
  RunCycle(1);
  OpenBoth(form);
  EXPECT_EQ(form.Details().FormVol()->PagePath(),
            "\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Voltage_450W\\All");
  EXPECT_EQ(form.Details().FormVol()->Display(detail::TFormVol::R12V3), nullptr);
  EXPECT_EQ(form.Details().FormCur()->PagePath(),
            "\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Current_450W\\All");
}

TEST_F(DetailAndGaugeTest, ThePanelGetsItsNeedlesOnceASecondFromTheSecondTick) {
  TFormMain& form = Create();
  RunCycle(1);
  // Readings and thresholds chosen here: the worker waits in its pause meanwhile.
  device::ReadingSet r;
  r.TempPSU = 20.0f;
  r.FanPSU = 0.0f;
  form.Monitor().Readings().CopyWatt(400.0f);
  form.Monitor().Readings().CopyTemps(r);
  form.Monitor().Readings().CopyFans(r);
  form.Alarms().Watt = 450.0f;
  form.Alarms().WattMuted = false;
  form.Alarms().PSUFan = {1000.0f, true, 1000.0f};

  const std::uint64_t before = bus_->GaugeReports();
  Tick();  // opens the panel
  EXPECT_TRUE(form.Gauge().Open());
  EXPECT_EQ(bus_->GaugeReports(), before);
  Tick();
  Tick();
  const auto log = bus_->GaugeReportLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1], (Bytes{0x00, 0x00, 0x83, 0x20, 135, 0x20, 15, 0xE0, 25}));

  // Muting the power group silences the power needle's alarm.
  form.Monitor().Readings().CopyWatt(1000.0f);
  Tick();
  EXPECT_EQ(bus_->LastGaugeReport(), (Bytes{0x00, 0x00, 0x83, 0xE1, 15, 0x20, 15, 0xE0, 25}));
  form.Alarms().WattMuted = true;
  Tick();
  EXPECT_EQ(bus_->LastGaugeReport(), (Bytes{0x00, 0x00, 0x83, 0x21, 15, 0x20, 15, 0xE0, 25}));
}

TEST_F(DetailAndGaugeTest, GroupsSwitchedOffOnTheAlarmPageTakeTheirNeedlesOutOfAlarm) {
  TFormMain& form = Create();
  RunCycle(1);
  device::ReadingSet r;
  r.TempPSU = 70.0f;
  r.FanPSU = 0.0f;
  form.Monitor().Readings().CopyWatt(400.0f);
  form.Monitor().Readings().CopyTemps(r);
  form.Monitor().Readings().CopyFans(r);
  form.Alarms().Watt = 450.0f;
  form.Alarms().TempPSU = {60.0f, true, 60.0f};
  form.Alarms().PSUFan = {1000.0f, true, 1000.0f};
  Tick();  // opens the panel
  Tick();
  // The flag bytes of the temperature and fan needles in the last report.
  const auto flags = [this](std::size_t at) { return bus_->LastGaugeReport().value().at(at); };
  ASSERT_FALSE(bus_->GaugeReportLog().empty());
  EXPECT_EQ(flags(5), 0xE0);
  EXPECT_EQ(flags(7), 0xE0);

  form.AlarmPage()->ApplyGroupMuted(settings::AlarmGroup::kFanSpeed, true);
  Tick();
  EXPECT_EQ(flags(5), 0xE0);
  EXPECT_EQ(flags(7), 0x20);
  form.AlarmPage()->ApplyGroupMuted(settings::AlarmGroup::kTemperature, true);
  Tick();
  EXPECT_EQ(flags(5), 0x20);
  EXPECT_EQ(flags(7), 0x20);
  // And back on.
  form.AlarmPage()->ApplyGroupMuted(settings::AlarmGroup::kFanSpeed, false);
  form.AlarmPage()->ApplyGroupMuted(settings::AlarmGroup::kTemperature, false);
  Tick();
  EXPECT_EQ(flags(5), 0xE0);
  EXPECT_EQ(flags(7), 0xE0);
}

TEST_F(DetailAndGaugeTest, ThePanelKeepsTheLastNeedlesWithoutThePsuAndClosesWhenUnplugged) {
  TFormMain& form = Create();
  RunCycle(1);
  form.Monitor().Readings().CopyWatt(400.0f);
  Tick();
  Tick();
  const auto shown = bus_->LastGaugeReport();
  ASSERT_TRUE(shown.has_value());

  bus_->SetMonitorPresent(false);
  loop_.RunPending();
  ASSERT_FALSE(form.Connected());
  Tick();
  Tick();
  EXPECT_EQ(bus_->LastGaugeReport(), shown);
  EXPECT_EQ((*shown)[4], 135);

  const std::uint64_t sent = bus_->GaugeReports();
  bus_->SetGaugePresent(false);
  Tick();
  EXPECT_FALSE(form.Gauge().Open());
  Tick();
  EXPECT_EQ(bus_->GaugeReports(), sent);
}

}  // namespace
}  // namespace mainwindow::testing

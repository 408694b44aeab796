// The alarm page: groups, OK and Cancel, the switches and "AlarmDefault".
#include <gtest/gtest.h>

#include "support/alarm_test_support.h"

namespace mainwindow::testing {
namespace {

using alarms::AlarmRow;
using settings::AlarmGroup;

class AlarmPageTest : public AlarmWindowTest {
 protected:
  // The window on its alarm page, after one cycle.
  TFormMain& OnAlarmPage() {
    TFormMain& form = Create();
    RunCycle(1);
    RollTo(form, Page::kAlarm);
    return form;
  }
  alarms::AlarmPage& Page(TFormMain& form) { return *form.AlarmPage(); }
  void ClickOn(TFormMain& form, const char* name) { Click(*Page(form).Button(name)); }
  const ui::ImageList& Digits(TFormMain& form) { return form.ImageLists().ILANumber; }
  std::shared_ptr<const ui::Bitmap> Background(TFormMain& form) {
    return form.PageImages().ImgAlarm().Picture();
  }
};

TEST_F(AlarmPageTest, EachGroupShowsItsBackgroundAndItsThresholds) {
  TFormMain& form = OnAlarmPage();
  alarms::AlarmPage& page = Page(form);
  EXPECT_EQ(page.CurrentAlarmGroup(), AlarmGroup::kWatt);
  EXPECT_EQ(Background(form), Bmp(std::string("Skin\\Eng\\Alarm-Watt_550w.bmp")));
  EXPECT_TRUE(page.Display("AWattTotal")->Visible());
  EXPECT_EQ(DigitsIn(*page.Display("AWattTotal"), Digits(form)), "450");
  EXPECT_FALSE(page.Display("AC5V")->Visible());

  ClickOn(form, "Current");
  EXPECT_EQ(page.PreviousAlarmGroup(), AlarmGroup::kCurrent);
  EXPECT_EQ(Background(form), Bmp(std::string("Skin\\Eng\\Alarm-Current.bmp")));
  EXPECT_FALSE(page.Display("AWattTotal")->Visible());
  const char* currents[] = {"AC12V1", "AC12V2", "AC12V3", "AC12V4", "AC5V", "AC33V"};
  for (const char* name : currents) EXPECT_TRUE(page.Display(name)->Visible()) << name;
  EXPECT_EQ(DigitsIn(*page.Display("AC5V"), Digits(form)), "200");
  EXPECT_EQ(DigitsIn(*page.Display("AC12V2"), Digits(form)), "180");
  EXPECT_EQ(page.Button("Current")->Picture(Face::Leave),
            Bmp(std::string("Skin\\Eng\\tab_current_down.bmp")));
  EXPECT_EQ(page.Button("Watt")->Picture(Face::Leave),
            Bmp(std::string("Skin\\Eng\\tab_watt_up.bmp")));

  // Voltages show their distance from the middle of the range, in per cent.
  form.Alarms().Voltage12V.Value = 11.4f;
  form.Alarms().Voltage33V.Value = 3.4649f;
  ClickOn(form, "Voltage");
  EXPECT_EQ(Background(form), Bmp(std::string("Skin\\Eng\\Alarm-Voltage.bmp")));
  // 5.25 and 11.4 about 5 and 12: 5.0 % above and below.
  EXPECT_EQ(DigitsIn(*page.Display("AVol5V"), Digits(form)), "50");
  EXPECT_EQ(DigitsIn(*page.Display("AVol12V"), Digits(form)), "50");
  EXPECT_NE(page.Display("AVol12V")->SignImage()->Picture(),
            page.Display("AVol5V")->SignImage()->Picture());
  EXPECT_EQ(form.Alarms().Voltage33V.Value, 3.465f);
  EXPECT_FALSE(page.Display("AC5V")->Visible());

  ClickOn(form, "FanSpeed");
  EXPECT_EQ(Background(form), Bmp(std::string("Skin\\Eng\\Alarm-FanSpeed.bmp")));
  EXPECT_EQ(DigitsIn(*page.Display("AFSPSU"), Digits(form)), "500");
}

TEST_F(AlarmPageTest, TemperaturesShowInTheUnitOfThePageAndAreAppliedInCelsius) {
  TFormMain& form = OnAlarmPage();
  alarms::AlarmPage& page = Page(form);
  form.Monitor().EditT(2).SetText("Intake");
  ClickOn(form, "Temperature");
  EXPECT_EQ(Background(form), Bmp(std::string("Skin\\Eng\\Alarm-Temperature_C.bmp")));
  EXPECT_EQ(DigitsIn(*page.Display("ATempPSU"), Digits(form)), "60");
  EXPECT_EQ(page.EditATempT(2).Text(), "Intake");
  EXPECT_TRUE(page.EditATempT(2).Visible());

  ClickOn(form, "ATempF");
  EXPECT_EQ(page.AlarmPageUnit(), core::TempUnit::kFahrenheit);
  EXPECT_EQ(Background(form), Bmp(std::string("Skin\\Eng\\Alarm-Temperature_F.bmp")));
  EXPECT_EQ(DigitsIn(*page.Display("ATempPSU"), Digits(form)), "140");
  EXPECT_EQ(DigitsIn(*page.Display("ATempT1"), Digits(form)), "131");
  EXPECT_EQ(page.Button("ATempF")->Picture(Face::Leave), Bmp(std::string("Skin\\btn_f_down.bmp")));
  EXPECT_EQ(page.Button("ATempC")->Picture(Face::Leave), Bmp(std::string("Skin\\btn_c_up.bmp")));
  ClickOn(form, "OK");
  EXPECT_EQ(form.Alarms().TempPSU.Value, 60.0f);
  EXPECT_NE(SavedKey("Temperature").find("\"PSU\"=\"60.00\""), std::string::npos);
  EXPECT_NE(SavedKey("Temperature").find("\"T2Name\"=\"Intake\""), std::string::npos);

  // Another group hides the names.
  ClickOn(form, "Watt");
  EXPECT_FALSE(page.EditATempT(2).Visible());
}

TEST_F(AlarmPageTest, AnUnappliedDragIsLostWhenTheGroupChanges) {
  TFormMain& form = OnAlarmPage();
  alarms::AlarmPage& page = Page(form);
  ClickOn(form, "Current");
  page.Display("AC5V")->SetValue(25.0f);  // where a drag leaves it
  ClickOn(form, "FanSpeed");
  ClickOn(form, "Current");
  EXPECT_EQ(page.Display("AC5V")->Value(), 20.0f);
  EXPECT_EQ(form.Alarms().Current5V.Value, 20.0f);

  // So does one left when the window goes to the tray and comes back.
  page.Display("AC5V")->SetValue(25.0f);
  form.TrayIcon1().Minimize();
  form.TrayIcon1().Restore();
  EXPECT_EQ(page.Display("AC5V")->Value(), 20.0f);
}

TEST_F(AlarmPageTest, OkCommitsAndSavesTheShownGroupAndCancelKeepsIt) {
  TFormMain& form = OnAlarmPage();
  alarms::AlarmPage& page = Page(form);
  ClickOn(form, "Current");
  page.Display("AC5V")->SetValue(25.0f);
  ClickOn(form, "AC33VLight");  // off, saved with the group
  ClickOn(form, "OK");
  EXPECT_EQ(Messages().back(), "New Value Setting OK!");
  EXPECT_EQ(form.Alarms().Current5V.Value, 25.0f);
  EXPECT_EQ(SavedKey("Current"),
            "\"12V1\"=\"18.00\"\n\"12V2\"=\"18.00\"\n\"12V3\"=\"18.00\"\n\"12V4\"=\"18.00\"\n"
            "\"5V\"=\"25.00\"\n\"33V\"=\"20.00\"\n\"Default12V1\"=\"18.00\"\n"
            "\"Default12V2\"=\"18.00\"\n\"Default12V3\"=\"18.00\"\n\"Default12V4\"=\"18.00\"\n"
            "\"Default5V\"=\"20.00\"\n\"Default33V\"=\"20.00\"\n\"12V1Enable\"=\"1\"\n"
            "\"12V2Enable\"=\"1\"\n\"12V3Enable\"=\"1\"\n\"12V4Enable\"=\"1\"\n"
            "\"5VEnable\"=\"1\"\n\"33VEnable\"=\"0\"");
  EXPECT_NE(SavedKey("FanSpeed").find("\"PSUFan\"=\"500.00\""), std::string::npos);

  ClickOn(form, "Cancel");
  EXPECT_EQ(form.Alarms().Current5V.Value, 25.0f);
  EXPECT_EQ(page.CommittedThresholds()[8], 25.0f);

  // A drag on the power display, then Cancel: the power threshold shows again.
  ClickOn(form, "Watt");
  page.Display("AWattTotal")->SetValue(300.0f);
  ClickOn(form, "Cancel");
  EXPECT_EQ(page.Display("AWattTotal")->Value(), 450.0f);
  EXPECT_EQ(form.Alarms().Watt, 450.0f);
}

TEST_F(AlarmPageTest, CancelReturnsToTheCommittedThresholdsNotToAbandonedDragsNorOldOnes) {
  TFormMain& form = OnAlarmPage();
  alarms::AlarmPage& page = Page(form);
  // A drag left on the fan group, then OK on the current group.
  ClickOn(form, "FanSpeed");
  page.Display("AFSPSU")->SetValue(1500.0f);
  ClickOn(form, "Current");
  ClickOn(form, "OK");
  ClickOn(form, "Cancel");
  EXPECT_EQ(form.Alarms().PSUFan.Value, 500.0f);
  EXPECT_EQ(page.CommittedThresholds()[10], 500.0f);

  // "AlarmDefault" commits the factory thresholds: Cancel does not bring the old ones back.
  page.Display("AC5V")->SetValue(25.0f);
  ClickOn(form, "OK");
  EXPECT_EQ(form.Alarms().Current5V.Value, 25.0f);
  form.Default1Click();
  EXPECT_EQ(form.Alarms().Current5V.Value, 20.0f);
  ClickOn(form, "Cancel");
  EXPECT_EQ(form.Alarms().Current5V.Value, 20.0f);
  EXPECT_EQ(page.Display("AC5V")->Value(), 20.0f);
}

TEST_F(AlarmPageTest, OkSaysSoWhenTheGroupCouldNotBeSaved) {
  std::string text = FactoryText();
  Replace(text, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\FanSpeed]",
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\FanSpeedGone]");
  UseSettingsText(text);
  TFormMain& form = OnAlarmPage();
  ClickOn(form, "FanSpeed");
  ClickOn(form, "OK");
  EXPECT_EQ(Messages().back(), "Settings could not be saved!\n\nNew Value Setting FAIL!");
  ClickOn(form, "Watt");
  ClickOn(form, "OK");
  EXPECT_EQ(Messages().back(), "New Value Setting OK!");
}

TEST_F(AlarmPageTest, StoredSensorNamesSurviveAlarmDefaultBeforeTheTemperatureGroupIsShown) {
  std::string text = FactoryText();
  Replace(text, "\"T1Name\"=\"T1\"", "\"T1Name\"=\"CPU\"");
  Replace(text, "\"T4Name\"=\"T4\"", "\"T4Name\"=\"Drive\"");
  UseSettingsText(text);
  TFormMain& form = Create();
  RunCycle(1);
  EXPECT_EQ(form.Monitor().EditT(1).Text(), "CPU");
  EXPECT_EQ(form.AlarmPage()->EditATempT(1).Text(), "CPU");
  EXPECT_EQ(form.AlarmPage()->EditATempT(4).Text(), "Drive");
  form.Default1Click();
  const std::string saved = SavedKey("Temperature");
  EXPECT_NE(saved.find("\"T1Name\"=\"CPU\""), std::string::npos) << saved;
  EXPECT_NE(saved.find("\"T4Name\"=\"Drive\""), std::string::npos) << saved;
}

TEST_F(AlarmPageTest, SwitchesTurnTheGroupOffWhenAllAreOffAndOnWhenAllAreOn) {
  TFormMain& form = OnAlarmPage();
  alarms::AlarmPage& page = Page(form);
  ClickOn(form, "Voltage");
  const auto vUp = Bmp(std::string("Skin\\Eng\\disable_alarm_v_up.bmp"));
  const auto xUp = Bmp(std::string("Skin\\Eng\\disable_alarm_x_up.bmp"));
  EXPECT_EQ(page.Button("Disable")->Picture(Face::Leave), vUp);

  // 3.3 V off, then on again: all three agree, the group stays on.
  ClickOn(form, "A33VLight");
  EXPECT_FALSE(form.Alarms().Voltage33V.Enable);
  EXPECT_EQ(page.Display("AVol33V")->StatusRectColor, (ui::Color{128, 128, 128}));
  EXPECT_FALSE(page.Display("AVol33V")->MarkerImage().Enabled());
  EXPECT_FALSE(form.GroupMuted(AlarmGroup::kVoltage));
  ClickOn(form, "A33VLight");
  EXPECT_FALSE(form.GroupMuted(AlarmGroup::kVoltage));
  EXPECT_EQ(page.Button("Disable")->Picture(Face::Leave), vUp);

  ClickOn(form, "A12VLight");
  ClickOn(form, "A5VLight");
  EXPECT_FALSE(form.GroupMuted(AlarmGroup::kVoltage));
  ClickOn(form, "A33VLight");
  EXPECT_TRUE(form.GroupMuted(AlarmGroup::kVoltage));
  EXPECT_EQ(page.Button("Disable")->Picture(Face::Leave), xUp);
  EXPECT_EQ(page.DisableTexts()[0], "Skin\\Eng\\disable_alarm_x_up.bmp");
  EXPECT_EQ(page.DisableTexts()[3], "Skin\\Eng\\disable_alarm_x_dis.bmp");
  for (const char* name : {"AVol12V", "AVol5V", "AVol33V"}) {
    EXPECT_EQ(page.Display(name)->StatusRectColor, (ui::Color{128, 128, 128})) << name;
  }
  // Nothing was saved by the switches.
  EXPECT_NE(SavedKey("Voltage").find("\"33VEnable\"=\"1\""), std::string::npos);
  EXPECT_EQ(page.Button("A12VLight")->Picture(Face::Enter),
            page.Button("A12VLight")->Picture(Face::Disabled));

  // Disable switches the group back on, every switch with it.
  ClickOn(form, "Disable");
  EXPECT_FALSE(form.GroupMuted(AlarmGroup::kVoltage));
  EXPECT_TRUE(form.Alarms().Voltage12V.Enable && form.Alarms().Voltage5V.Enable &&
              form.Alarms().Voltage33V.Enable);
  EXPECT_EQ(page.DisableTexts()[0], "Skin\\Eng\\disable_alarm_v_up.bmp");
  EXPECT_EQ(page.Display("AVol5V")->StatusRectColor, (ui::Color{0, 255, 0}));
  EXPECT_TRUE(page.Display("AVol5V")->MarkerImage().Enabled());
}

TEST_F(AlarmPageTest, At450WattTheTwoCurrentFlagsWithoutSwitchesCountAsTheyAre) {
  // Every current alarm stored off (the voltage group has 5V and 33V flags too).
  std::string text = FactoryText();
  const std::size_t current = text.find("Alarm\\Current]");
  for (const char* flag :
       {"12V1Enable", "12V2Enable", "12V3Enable", "12V4Enable", "5VEnable", "33VEnable"}) {
    const std::string on = std::string("\"") + flag + "\"=\"1\"";
    text.replace(text.find(on, current), on.size(), std::string("\"") + flag + "\"=\"0\"");
  }
  UseSettingsText(text);
  sim::Scenario scenario;
  scenario.monitor.rating = 450;
  MakeBus(scenario);
  TFormMain& form = OnAlarmPage();
  alarms::AlarmPage& page = Page(form);
  EXPECT_EQ(page.Button("AC12V3Light"), nullptr);
  EXPECT_EQ(page.Button("AC12V4Light"), nullptr);
  ClickOn(form, "Current");
  EXPECT_EQ(Background(form), Bmp(std::string("Skin\\Eng\\Alarm-Current_450w.bmp")));
  EXPECT_TRUE(form.GroupMuted(AlarmGroup::kCurrent));
  for (const char* name : {"AC12V1Light", "AC12V2Light", "AC5VLight", "AC33VLight"}) {
    ClickOn(form, name);
  }
  EXPECT_TRUE(form.GroupMuted(AlarmGroup::kCurrent));
  EXPECT_FALSE(form.Alarms().Current12V3.Enable);
  ClickOn(form, "Disable");
  EXPECT_FALSE(form.GroupMuted(AlarmGroup::kCurrent));
  const settings::AlarmSettings& s = form.Alarms();
  for (bool on : {s.Current12V1.Enable, s.Current12V2.Enable, s.Current12V3.Enable,
                  s.Current12V4.Enable, s.Current5V.Enable, s.Current33V.Enable}) {
    EXPECT_TRUE(on);
  }
}

TEST_F(AlarmPageTest, SwitchingTheTemperatureGroupOnFlagsOnlyTheSensorsAboveTheirThresholds) {
  TFormMain& form = OnAlarmPage();
  settings::AlarmSettings& s = form.Alarms();
  for (settings::AlarmThreshold* t : {&s.TempPSU, &s.TempT1, &s.TempT2, &s.TempT3, &s.TempT4}) {
    *t = {55.0f, true, 55.0f};
  }
  Readings(form, [](device::ReadingSet& r) {
    r.TempPSU = 50.0f;
    r.TempT1 = 30.0f;
    r.TempT2 = 70.0f;
    r.TempT3 = 55.0f;
    r.TempT4 = 20.0f;
  });
  EXPECT_TRUE(form.AlarmStatus().InAlarm(AlarmRow::TempT2));
  ClickOn(form, "Temperature");
  ClickOn(form, "Disable");
  EXPECT_TRUE(form.GroupMuted(AlarmGroup::kTemperature));
  for (AlarmRow row : alarms::kTemperatureRows) EXPECT_FALSE(form.AlarmStatus().InAlarm(row));

  ClickOn(form, "Disable");
  EXPECT_FALSE(form.GroupMuted(AlarmGroup::kTemperature));
  const bool expected[] = {false, false, true, false, false};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(form.AlarmStatus().InAlarm(alarms::kTemperatureRows[i]), expected[i]) << i;
  }
}

// The tray's "AlarmDefault" says a failed save as OK does, whichever page is shown.
TEST_F(AlarmPageTest, AlarmDefaultFromTheTraySaysSoWhenTheSettingsCouldNotBeSaved) {
  std::string text = FactoryText();
  Replace(text, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\FanSpeed]",
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\FanSpeedGone]");
  UseSettingsText(text);
  TFormMain& form = OnAlarmPage();
  ASSERT_EQ(form.TrayIcon1().Menu()[0].caption, "AlarmDefault");
  for (const pages::Page page : {Page::kAlarm, Page::kMonitor}) {
    RollTo(form, page);
    const std::size_t before = Messages().size();
    form.TrayIcon1().InputMenuChoice(0);
    ASSERT_EQ(Messages().size(), before + 1) << static_cast<int>(page);
    EXPECT_EQ(Messages().back(), "Settings could not be saved!\n\nNew Value Setting FAIL!")
        << static_cast<int>(page);
    EXPECT_EQ(form.Alarms().Current5V.Value, 20.0f);  // taken in memory all the same
  }
}

TEST_F(AlarmPageTest, StoredThresholdsBeyondThePageRangeAreTakenAtItsEndsAndJudgedSo) {
  // Ranges at 550 W: power 0..550, currents 0..30, fans 0..3000, temperatures 0..100,
  // the 12 V band 10.8..13.2.
  std::string text = FactoryText();
  Replace(text, "\"Watt\"=\"450.00\"", "\"Watt\"=\"99999\"");
  Replace(text, "\"12V\"=\"12.60\"", "\"12V\"=\"20\"");
  Replace(text, "\"5V\"=\"20.00\"", "\"5V\"=\"-5\"");
  Replace(text, "\"PSUFan\"=\"500.00\"", "\"PSUFan\"=\"1e10\"");
  Replace(text, "\"PSU\"=\"60.00\"", "\"PSU\"=\"1e20\"");
  Replace(text, "\"T1\"=\"55.00\"", "\"T1\"=\"100\"");
  Replace(text, "\"T2\"=\"55.00\"", "\"T2\"=\"100.5\"");
  UseSettingsText(text);
  TFormMain& form = OnAlarmPage();
  alarms::AlarmPage& page = Page(form);
  const settings::AlarmSettings& s = form.Alarms();
  EXPECT_EQ(s.Watt, 550.0f);
  EXPECT_EQ(s.Voltage12V.Value, 13.2f);
  EXPECT_EQ(s.Current5V.Value, 0.0f);
  EXPECT_EQ(s.PSUFan.Value, 3000.0f);
  EXPECT_EQ(s.TempPSU.Value, 100.0f);
  EXPECT_EQ(s.TempT1.Value, 100.0f) << "the end itself stays";
  EXPECT_EQ(s.TempT2.Value, 100.0f);
  EXPECT_EQ(s.TempT3.Value, 55.0f) << "within the range, as stored";
  EXPECT_EQ(DigitsIn(*page.Display("AWattTotal"), Digits(form)), "550");
  ClickOn(form, "Temperature");
  EXPECT_EQ(DigitsIn(*page.Display("ATempPSU"), Digits(form)), "100");
  ClickOn(form, "FanSpeed");
  EXPECT_EQ(DigitsIn(*page.Display("AFSPSU"), Digits(form)), "3000");

  // The evaluation judges the number the page shows.
  RollTo(form, Page::kMonitor);
  Readings(form, [](device::ReadingSet& r) {
    r.WattTotal = 550.5f;
    r.FanPSU = 2999.0f;
    r.TempPSU = 100.5f;
    r.Cur5V = 0.5f;
  });
  for (AlarmRow row : {AlarmRow::Watt, AlarmRow::PSUFan, AlarmRow::TempPSU, AlarmRow::Cur5V}) {
    EXPECT_TRUE(form.AlarmStatus().InAlarm(row)) << static_cast<int>(row);
  }
  Readings(form, [](device::ReadingSet& r) {
    r.WattTotal = 549.5f;
    r.FanPSU = 3000.0f;
    r.TempPSU = 99.5f;
    r.Cur5V = 0.0f;
  });
  for (AlarmRow row : {AlarmRow::Watt, AlarmRow::PSUFan, AlarmRow::TempPSU, AlarmRow::Cur5V}) {
    EXPECT_FALSE(form.AlarmStatus().InAlarm(row)) << static_cast<int>(row);
  }
}

// Every switch of the current, fan and temperature groups turns its own alarm off and on
// again, and no other; at 550 W and at 800 W the current switches lie in different places.
class AlarmSwitchTest : public AlarmPageTest {
 protected:
  void ToggleEverySwitchAt(std::int32_t rating) {
    struct Switch {
      const char* tab;
      const char* name;
      settings::AlarmThreshold settings::AlarmSettings::*threshold;
    };
    using A = settings::AlarmSettings;
    const Switch switches[] = {
        {"Current", "AC12V1Light", &A::Current12V1},
        {"Current", "AC12V2Light", &A::Current12V2},
        {"Current", "AC12V3Light", &A::Current12V3},
        {"Current", "AC12V4Light", &A::Current12V4},
        {"Current", "AC5VLight", &A::Current5V},
        {"Current", "AC33VLight", &A::Current33V},
        {"FanSpeed", "AFSPSULight", &A::PSUFan},
        {"FanSpeed", "AFSSystemFanLight", &A::SystemFan},
        {"Temperature", "ATempPSULight", &A::TempPSU},
        {"Temperature", "ATempT1Light", &A::TempT1},
        {"Temperature", "ATempT2Light", &A::TempT2},
        {"Temperature", "ATempT3Light", &A::TempT3},
        {"Temperature", "ATempT4Light", &A::TempT4},
    };
    sim::Scenario scenario;
    scenario.monitor.rating = rating;
    MakeBus(scenario);
    TFormMain& form = OnAlarmPage();
    settings::AlarmSettings& s = form.Alarms();
    const auto flags = [&] {
      std::vector<bool> on;
      for (const Switch& w : switches) on.push_back((s.*w.threshold).Enable);
      return on;
    };
    for (std::size_t i = 0; i < std::size(switches); ++i) {
      const Switch& w = switches[i];
      ClickOn(form, w.tab);
      const std::vector<bool> before = flags();
      ClickOn(form, w.name);
      std::vector<bool> expected = before;
      expected[i] = !expected[i];
      EXPECT_EQ(flags(), expected) << rating << " W, " << w.name;
      ClickOn(form, w.name);
      EXPECT_EQ(flags(), before) << rating << " W, " << w.name << " back";
    }
  }
};

TEST_F(AlarmSwitchTest, EverySwitchTogglesItsOwnFlagAt550Watt) {
  ToggleEverySwitchAt(550);
}

TEST_F(AlarmSwitchTest, EverySwitchTogglesItsOwnFlagAt800Watt) {
  ToggleEverySwitchAt(800);
}

TEST_F(AlarmPageTest, AlarmDefaultShowsAtOnceOnlyOnTheAlarmPage) {
  TFormMain& form = OnAlarmPage();
  alarms::AlarmPage& page = Page(form);
  ClickOn(form, "Current");
  page.Display("AC5V")->SetValue(25.0f);
  ClickOn(form, "OK");
  const std::size_t said = Messages().size();
  form.Default1Click();
  EXPECT_EQ(Messages().size(), said);  // a save that went through says nothing
  EXPECT_EQ(page.Display("AC5V")->Value(), 20.0f);
  EXPECT_EQ(DigitsIn(*page.Display("AC5V"), Digits(form)), "200");

  page.Display("AC5V")->SetValue(25.0f);
  ClickOn(form, "OK");
  RollTo(form, Page::kMonitor);
  form.Default1Click();
  EXPECT_EQ(form.Alarms().Current5V.Value, 20.0f);
  EXPECT_EQ(page.Display("AC5V")->Value(), 25.0f);
  RollTo(form, Page::kAlarm);
  EXPECT_EQ(page.Display("AC5V")->Value(), 20.0f);
}

TEST_F(AlarmPageTest, DisableOnThePowerGroupMutesThePowerAlarmWithoutSavingIt) {
  TFormMain& form = OnAlarmPage();
  alarms::AlarmPage& page = Page(form);
  ClickOn(form, "Disable");
  EXPECT_TRUE(form.GroupMuted(AlarmGroup::kWatt));
  EXPECT_TRUE(form.Alarms().WattMuted);
  EXPECT_EQ(page.Display("AWattTotal")->StatusRectColor, (ui::Color{128, 128, 128}));
  EXPECT_FALSE(page.Display("AWattTotal")->MarkerImage().Enabled());
  RollTo(form, Page::kMonitor);
  Readings(form, [](device::ReadingSet& r) { r.WattTotal = 500.0f; });
  EXPECT_FALSE(form.AlarmStatus().InAlarm(AlarmRow::Watt));
  EXPECT_NE(SavedKey("Watt").find("\"WattEnable\"=\"1\""), std::string::npos);
}

}  // namespace
}  // namespace mainwindow::testing

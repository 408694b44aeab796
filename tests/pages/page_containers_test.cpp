#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "roll_rig.h"
#include "settings/setting_codes.h"

namespace pages {
namespace {

using settings::AlarmGroup;
using testing::RollRig;

// One control in every container of every page, each at a top of its own (so a member moved by
// the wrong container, or not at all, shows), all of them 20 high and clear of the bar.
struct PageContainersTest : ::testing::Test {
  struct Member {
    std::string name;
    ui::Control* control;
    Page page;
    int designTop;
  };

  RollRig rig;
  std::vector<Member> members;
  skin::TImageTrackBar* monitorDisplay = nullptr;
  skin::TImageTrackBar* voltageDisplay = nullptr;
  skin::TImageTrackBar* alarmVoltageDisplay = nullptr;
  ui::Control* monitorExtra = nullptr;
  ui::Control* fanExtra = nullptr;
  ui::Control* name = nullptr;

  ui::Control* Add(const std::string& what, ControlGroup& group, Page page, int top, bool visible) {
    ui::Control* control = rig.Plain(group, top, 20, visible);
    members.push_back({what, control, page, top});
    return control;
  }

  void SetUp() override {
    Add("monitor control", rig.monitor.Controls(), Page::kMonitor, 40, true);
    monitorDisplay = rig.Display(rig.monitor.Controls(), 70);
    Add("config button", rig.config.Buttons(), Page::kConfig, 100, false);
    Add("fan control", rig.config.SubPageOf(SubPage::kFan).Controls(), Page::kConfig, 130, false);
    Add("voltage control", rig.config.SubPageOf(SubPage::kVoltage).Controls(), Page::kConfig, 160,
        false);
    voltageDisplay = rig.Display(rig.config.SubPageOf(SubPage::kVoltage).Displays(), 190, false);
    Add("alarm control", rig.alarm.Controls(), Page::kAlarm, 220, false);
    int top = 250;
    for (const AlarmGroup group : settings::kAlarmGroups) {
      Add("alarm group " + std::to_string(static_cast<int>(group)), rig.alarm.Group(group),
          Page::kAlarm, top, false);
      top += 30;
    }
    alarmVoltageDisplay = rig.Display(rig.alarm.Group(AlarmGroup::kVoltage), 420, false);
    // Extras and names never move; they are checked by visibility only.
    monitorExtra = rig.Plain(rig.monitor.Extras(), 450, 20);
    fanExtra = rig.Plain(rig.config.SubPageOf(SubPage::kFan).Extras(), 480, 20, false);
    name = rig.Plain(rig.alarm.Names(), 510, 20, false);
    rig.Build();
  }

  // Every rolled member sits at its design top while its page is out (or the monitor page is
  // out), and one full roll (12 steps of 50) below it otherwise.
  void ExpectPlacesWith(Page out) {
    for (const Member& m : members) {
      const bool atHome = m.page == out || out == Page::kMonitor;
      EXPECT_EQ(m.control->Top(), m.designTop + (atHome ? 0 : 600)) << m.name;
      EXPECT_EQ(m.control->Visible(),
                m.page == out && m.name != "voltage control" && m.name.rfind("alarm group", 0) != 0)
          << m.name;
    }
    EXPECT_EQ(monitorDisplay->DigitCells().front()->Top(), 70 + (out == Page::kMonitor ? 0 : 600));
    EXPECT_EQ(voltageDisplay->DigitCells().front()->Top(),
              190 + (out == Page::kMonitor || out == Page::kConfig ? 0 : 600));
    EXPECT_EQ(alarmVoltageDisplay->DigitCells().front()->Top(),
              420 + (out == Page::kMonitor || out == Page::kAlarm ? 0 : 600));
    EXPECT_EQ(monitorDisplay->Visible(), out == Page::kMonitor);
    EXPECT_EQ(monitorDisplay->ShowDigit, out == Page::kMonitor);
    EXPECT_FALSE(voltageDisplay->Visible()) << "the fan sub-page is selected";
    EXPECT_FALSE(alarmVoltageDisplay->Visible()) << "the page's refresh shows its group";
    EXPECT_EQ(monitorExtra->Visible(), out == Page::kMonitor);
    EXPECT_EQ(fanExtra->Visible(), out == Page::kConfig);
    EXPECT_FALSE(name->Visible());
  }
};

TEST_F(PageContainersTest, TheRollMovesWholeContainersAllTheWayRoundTheCycle) {
  ExpectPlacesWith(Page::kMonitor);
  for (const Page page :
       {Page::kConfig, Page::kAlarm, Page::kMonitor, Page::kAlarm, Page::kConfig, Page::kMonitor}) {
    SCOPED_TRACE("rolled to " + std::to_string(static_cast<int>(page)));
    rig.ClickTab(page);
    EXPECT_EQ(rig.RollToEnd(), 25);
    ExpectPlacesWith(page);
  }
  EXPECT_EQ(rig.log.subPageShows, 2);
  EXPECT_EQ(rig.log.alarmRefreshes, 2);
  EXPECT_EQ(rig.log.fanStops, 2);
  EXPECT_EQ(rig.log.fanStarts, 2);
}

TEST_F(PageContainersTest, CollapsingAndExpandingOnEachPageBringsItsContainerBack) {
  for (const Page page : {Page::kMonitor, Page::kConfig, Page::kAlarm}) {
    SCOPED_TRACE("on " + std::to_string(static_cast<int>(page)));
    rig.ClickTab(page);
    rig.RollToEnd();
    rig.ClickArrow();
    EXPECT_EQ(rig.RollToEnd(), 13);
    for (const Member& m : members) EXPECT_FALSE(m.control->Visible()) << m.name;
    rig.ClickArrow();
    EXPECT_EQ(rig.RollToEnd(), 13);
    ExpectPlacesWith(page);
  }
}

TEST_F(PageContainersTest, TheAlarmPagesNamesGoWithItsFirstHideStepAndNeverMove) {
  rig.ClickTab(Page::kAlarm);
  rig.RollToEnd();
  name->Show();  // as the refresh shows them with the temperature group
  rig.ClickTab(Page::kMonitor);
  rig.Tick();
  EXPECT_FALSE(name->Visible());
  EXPECT_TRUE(members[4].control->Visible()) << "the page's own control waits for the bar";
  rig.RollToEnd();
  EXPECT_EQ(name->Top(), 510);
}

TEST_F(PageContainersTest, AVoltageSubPageSelectedShowsItsControlsAndNotTheFans) {
  rig.log.subPage = SubPage::kVoltage;
  rig.ClickTab(Page::kConfig);
  rig.RollToEnd();
  EXPECT_TRUE(members[3].control->Visible()) << "voltage control";
  EXPECT_TRUE(voltageDisplay->Visible());
  EXPECT_FALSE(members[2].control->Visible()) << "fan control";
  EXPECT_FALSE(fanExtra->Visible());
  EXPECT_FALSE(rig.roll->FanExtrasShown()) << "the voltage sub-page has no extras";
}

// Shown and hidden as a whole, outside any roll.

TEST_F(PageContainersTest, TheMonitorPageHiddenHidesEveryControlAndShowsThemBack) {
  rig.monitor.Hide();
  EXPECT_FALSE(members[0].control->Visible());
  EXPECT_FALSE(monitorDisplay->Visible());
  EXPECT_FALSE(monitorDisplay->ShowDigit);
  EXPECT_FALSE(monitorDisplay->DigitCells().front()->Visible());
  EXPECT_FALSE(monitorExtra->Visible());
  rig.monitor.Show();
  EXPECT_TRUE(members[0].control->Visible());
  EXPECT_TRUE(monitorDisplay->Visible());
  EXPECT_TRUE(monitorDisplay->ShowDigit);
  EXPECT_TRUE(monitorDisplay->DigitCells().front()->Visible());
  EXPECT_TRUE(monitorExtra->Visible());
}

TEST_F(PageContainersTest, TheConfigurationPageShowsItsButtonsAndOnlyTheSelectedSubPage) {
  ui::Control* buttons = members[1].control;
  ui::Control* fan = members[2].control;
  ui::Control* voltage = members[3].control;
  for (const SubPage selected : {SubPage::kFan, SubPage::kVoltage, SubPage::kFan}) {
    SCOPED_TRACE(static_cast<int>(selected));
    rig.log.subPage = selected;
    rig.config.Show();
    const bool isFan = selected == SubPage::kFan;
    EXPECT_TRUE(buttons->Visible());
    EXPECT_EQ(fan->Visible(), isFan);
    EXPECT_EQ(fanExtra->Visible(), isFan);
    EXPECT_EQ(voltage->Visible(), !isFan);
    EXPECT_EQ(voltageDisplay->Visible(), !isFan);
    EXPECT_EQ(voltageDisplay->DigitCells().front()->Visible(), !isFan);
    rig.config.Hide();
    for (const ui::Control* c : {buttons, fan, fanExtra, voltage}) EXPECT_FALSE(c->Visible());
    EXPECT_FALSE(voltageDisplay->Visible());
  }
}

TEST_F(PageContainersTest, EachSubPageHiddenHidesEveryControlOfItAndShowsThemBack) {
  SubPageControls& fan = rig.config.SubPageOf(SubPage::kFan);
  SubPageControls& voltage = rig.config.SubPageOf(SubPage::kVoltage);
  fan.Show();
  EXPECT_TRUE(members[2].control->Visible());
  EXPECT_TRUE(fanExtra->Visible());
  EXPECT_FALSE(members[3].control->Visible()) << "the other sub-page stays as it was";
  voltage.Show();
  EXPECT_TRUE(members[3].control->Visible());
  EXPECT_TRUE(voltageDisplay->Visible());
  fan.Hide();
  EXPECT_FALSE(members[2].control->Visible());
  EXPECT_FALSE(fanExtra->Visible());
  EXPECT_TRUE(members[3].control->Visible());
  voltage.Hide();
  EXPECT_FALSE(members[3].control->Visible());
  EXPECT_FALSE(voltageDisplay->Visible());
  EXPECT_FALSE(voltageDisplay->DigitCells().front()->Visible());
  EXPECT_TRUE(voltageDisplay->ShowDigit) << "only the monitor page's digits follow";
}

TEST_F(PageContainersTest, TheAlarmPageShowsItsControlsAndEachGroupAloneInTurn) {
  // members[4] is the page's own control, members[5 + i] the member of group i.
  const auto& groups = settings::kAlarmGroups;
  for (std::size_t shown = 0; shown < std::size(groups); ++shown) {
    SCOPED_TRACE(static_cast<int>(groups[shown]));
    rig.alarm.Show(groups[shown]);
    EXPECT_TRUE(members[4].control->Visible());
    for (std::size_t g = 0; g < std::size(groups); ++g) {
      EXPECT_EQ(members[5 + g].control->Visible(), g == shown) << "group " << g;
    }
    EXPECT_EQ(alarmVoltageDisplay->Visible(), groups[shown] == AlarmGroup::kVoltage);
    EXPECT_EQ(name->Visible(), groups[shown] == AlarmGroup::kTemperature);
  }
  rig.alarm.Hide();
  for (std::size_t m = 4; m < members.size(); ++m) EXPECT_FALSE(members[m].control->Visible());
  EXPECT_FALSE(alarmVoltageDisplay->Visible());
  EXPECT_FALSE(name->Visible());
}

TEST_F(PageContainersTest, EachAlarmGroupHiddenHidesItsMembersAndShowsThemBack) {
  const auto& groups = settings::kAlarmGroups;
  for (std::size_t g = 0; g < std::size(groups); ++g) {
    SCOPED_TRACE(static_cast<int>(groups[g]));
    ControlGroup& group = rig.alarm.Group(groups[g]);
    group.Show();
    EXPECT_TRUE(members[5 + g].control->Visible());
    group.Hide();
    EXPECT_FALSE(members[5 + g].control->Visible());
    group.Show();
    EXPECT_TRUE(members[5 + g].control->Visible());
    group.Hide();
  }
  ControlGroup& voltage = rig.alarm.Group(AlarmGroup::kVoltage);
  voltage.Show();
  EXPECT_TRUE(alarmVoltageDisplay->DigitCells().front()->Visible());
  voltage.Hide();
  EXPECT_FALSE(alarmVoltageDisplay->DigitCells().front()->Visible());
}

}  // namespace
}  // namespace pages

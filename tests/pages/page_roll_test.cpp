#include <gtest/gtest.h>

#include "roll_rig.h"

namespace pages {
namespace {

using testing::RollRig;

// A rig with a control of each kind the roll treats differently.
struct PageRollTest : ::testing::Test {
  RollRig rig;
  ui::Control* monitorButton = nullptr;
  ui::Control* monitorExtra = nullptr;
  skin::TImageTrackBar* monitorDisplay = nullptr;
  ui::Control* configButton = nullptr;
  ui::Control* fanButton = nullptr;
  ui::Control* fanExtra = nullptr;
  ui::Control* voltageControl = nullptr;
  skin::TImageTrackBar* voltageDisplay = nullptr;
  ui::Control* alarmControl = nullptr;
  skin::TImageTrackBar* alarmDisplay = nullptr;

  void SetUp() override {
    monitorButton = rig.Plain(rig.monitor.Controls(), 100, 30);
    monitorExtra = rig.Plain(rig.monitor.Extras(), 380, 73);
    monitorDisplay = rig.Display(rig.monitor.Controls(), 200);
    configButton = rig.Plain(rig.config.Buttons(), 540, 30, false);
    fanButton = rig.Plain(rig.config.SubPageOf(SubPage::kFan).Controls(), 150, 30, false);
    fanExtra = rig.Plain(rig.config.SubPageOf(SubPage::kFan).Extras(), 400, 90, false);
    voltageControl = rig.Plain(rig.config.SubPageOf(SubPage::kVoltage).Controls(), 160, 20, false);
    voltageDisplay = rig.Display(rig.config.SubPageOf(SubPage::kVoltage).Displays(), 220, false);
    alarmControl = rig.Plain(rig.alarm.Controls(), 60, 30, false);
    alarmDisplay = rig.Display(rig.alarm.Group(settings::AlarmGroup::kVoltage), 250, false);
    rig.Build();
  }

  bool TabsShown() const {
    return rig.bar->Tab(Page::kMonitor).Visible() && rig.bar->Tab(Page::kConfig).Visible() &&
           rig.bar->Tab(Page::kAlarm).Visible();
  }
};

TEST_F(PageRollTest, StartsOnTheMonitorPageWithTheOthersHiddenBehindTheBar) {
  EXPECT_EQ(rig.roll->CurrentPage(), Page::kMonitor);
  EXPECT_EQ(rig.roll->RollCode(), RollCode::kMonitor);
  EXPECT_EQ(rig.roll->BarState(), RollState::kExpanded);
  EXPECT_EQ(rig.roll->PageState(Page::kMonitor), RollState::kShown);
  EXPECT_EQ(rig.roll->PageState(Page::kConfig), RollState::kHidden);
  EXPECT_EQ(rig.roll->PageState(Page::kAlarm), RollState::kHidden);
  EXPECT_EQ(rig.images.ImgConfig().Bounds(), (ui::Rect{0, 601, 628, -4}));
  EXPECT_EQ(rig.images.ImgAlarm().Bounds(), (ui::Rect{0, 602, 628, -4}));
  EXPECT_EQ(rig.roll->WindowPageHeight(), 597);
  EXPECT_EQ(rig.Normal(Page::kMonitor), rig.Pic("Skin\\M_Sel.bmp"));
  EXPECT_FALSE(rig.roll->TimerDown().Enabled());
}

TEST_F(PageRollTest, MonitorToConfigurationTickByTick) {
  rig.ClickTab(Page::kConfig);
  EXPECT_FALSE(TabsShown());
  EXPECT_EQ(rig.roll->CurrentPage(), Page::kConfig);
  EXPECT_EQ(rig.roll->RollCode(), RollCode::kMonitor);
  EXPECT_EQ(rig.roll->PageState(Page::kMonitor), RollState::kHidden);
  EXPECT_EQ(rig.roll->PageState(Page::kConfig), RollState::kShown);

  const ui::Image& monitor = rig.images.ImgManager();
  const ui::Image& config = rig.images.ImgConfig();
  for (int tick = 1; tick <= 12; ++tick) {
    rig.Tick();
    SCOPED_TRACE("tick " + std::to_string(tick));
    EXPECT_EQ(monitor.Top(), 50 * tick);
    EXPECT_EQ(monitor.Height(), 597 - 50 * tick);
    EXPECT_EQ(config.Top(), 601);
    EXPECT_EQ(config.Height(), -4);
    EXPECT_FALSE(TabsShown());
  }
  // The extras went on the first hide step, with the fan animation.
  EXPECT_FALSE(monitorExtra->Visible());
  EXPECT_FALSE(rig.roll->MonitorExtrasShown());
  EXPECT_EQ(rig.log.fanStops, 1);
  // Monitor members hid as they went behind the bar, displays with their digits off.
  EXPECT_FALSE(monitorButton->Visible());
  EXPECT_FALSE(monitorDisplay->Visible());
  EXPECT_FALSE(monitorDisplay->ShowDigit);
  EXPECT_FALSE(monitorDisplay->DigitCells().front()->Visible());
  EXPECT_EQ(monitorDisplay->DigitCells().front()->Top(), 800);
  // The hidden configuration page's groups went down with the monitor page.
  EXPECT_EQ(configButton->Top(), 1140);

  for (int tick = 13; tick <= 24; ++tick) {
    rig.Tick();
    SCOPED_TRACE("tick " + std::to_string(tick));
    EXPECT_EQ(monitor.Top(), 600);
    EXPECT_EQ(config.Top(), 601 - 50 * (tick - 12));
    EXPECT_EQ(config.Height(), -4 + 50 * (tick - 12));
    EXPECT_TRUE(rig.roll->TimerDown().Enabled());
    EXPECT_FALSE(TabsShown());
  }
  EXPECT_EQ(config.Bounds(), (ui::Rect{0, 1, 628, 596}));
  EXPECT_EQ(configButton->Top(), 540);
  EXPECT_TRUE(configButton->Visible());
  EXPECT_TRUE(fanButton->Visible());
  EXPECT_FALSE(voltageControl->Visible()) << "the fan sub-page is selected";
  EXPECT_FALSE(fanExtra->Visible()) << "extras wait until the page is fully out";

  rig.Tick();  // 25: finishes
  EXPECT_FALSE(rig.roll->TimerDown().Enabled());
  EXPECT_TRUE(TabsShown());
  EXPECT_EQ(rig.Normal(Page::kConfig), rig.Pic("Skin\\C_Sel.bmp"));
  EXPECT_EQ(rig.Normal(Page::kMonitor), rig.Pic("Skin\\M_up.bmp"));
  EXPECT_EQ(rig.Normal(Page::kAlarm), rig.Pic("Skin\\A_up.bmp"));
  EXPECT_TRUE(fanExtra->Visible());
  EXPECT_TRUE(rig.roll->FanExtrasShown());
  EXPECT_EQ(rig.log.subPageShows, 1);
  EXPECT_EQ(config.Bounds(), (ui::Rect{0, 1, 628, 596}));
}

TEST_F(PageRollTest, ClickingTheShownPagesTabRollsNothing) {
  const ui::Rect before = rig.images.ImgManager().Bounds();
  rig.ClickTab(Page::kMonitor);
  EXPECT_EQ(rig.RollToEnd(), 1);
  EXPECT_EQ(rig.images.ImgManager().Bounds(), before);
  EXPECT_EQ(rig.roll->PageState(Page::kMonitor), RollState::kShown);
  EXPECT_TRUE(TabsShown());
  EXPECT_TRUE(monitorExtra->Visible());
  EXPECT_EQ(rig.log.fanStops, 0);
  EXPECT_EQ(rig.Normal(Page::kMonitor), rig.Pic("Skin\\M_Sel.bmp"));
  EXPECT_EQ(rig.Normal(Page::kConfig), rig.Pic("Skin\\C_up.bmp"));
}

TEST_F(PageRollTest, CollapseOnTheAlarmPageAndExpandByTheMonitorTab) {
  rig.ClickTab(Page::kAlarm);
  EXPECT_EQ(rig.RollToEnd(), 25);
  EXPECT_EQ(rig.log.alarmRefreshes, 1);
  EXPECT_TRUE(alarmControl->Visible());
  EXPECT_FALSE(alarmDisplay->Visible()) << "the alarm page's refresh shows its group";

  rig.ClickArrow();
  EXPECT_EQ(rig.roll->BarState(), RollState::kCollapsed);
  EXPECT_EQ(rig.roll->RollCode(), RollCode::kNothing);
  EXPECT_FALSE(rig.bar->ImgCtrlMode().Enabled());
  EXPECT_FALSE(rig.bar->Tab(Page::kMonitor).Enabled());
  EXPECT_EQ(rig.bar->ImgCtrlMode().Picture(), rig.Pic("Skin\\up.bmp"));
  EXPECT_EQ(rig.RollToEnd(), 13);
  EXPECT_EQ(rig.images.ImgAlarm().Top(), 602);
  EXPECT_FALSE(alarmControl->Visible());
  EXPECT_EQ(rig.window.Position(), (ui::Point{200, 100 + 597}));
  EXPECT_EQ(rig.window.ClientSize(), (ui::Size{630, 53}));
  EXPECT_EQ(rig.bar->Top(), 0);
  EXPECT_EQ(rig.bar->Tab(Page::kAlarm).Top(), 10);
  EXPECT_EQ(rig.bar->CloseButton().Top(), 15);
  EXPECT_EQ(rig.bar->ImgCtrlMode().Top(), 2);
  EXPECT_EQ(rig.Normal(Page::kAlarm), rig.Pic("Skin\\A_Sel.bmp"));
  EXPECT_TRUE(rig.bar->ImgCtrlMode().Enabled());
  EXPECT_TRUE(rig.bar->Tab(Page::kMonitor).Enabled());

  const int alarmTimerEnables = rig.log.alarmTimerEnables;
  rig.ClickTab(Page::kMonitor);
  EXPECT_EQ(rig.roll->RollCode(), RollCode::kExpand);
  EXPECT_EQ(rig.roll->BarState(), RollState::kExpanded);
  EXPECT_EQ(rig.bar->ImgCtrlMode().Picture(), rig.Pic("Skin\\down.bmp"));
  rig.Tick();  // expands, then the first show step of the monitor page
  EXPECT_EQ(rig.window.Position(), RollRig::kWindowAt);
  EXPECT_EQ(rig.window.ClientSize(), (ui::Size{630, 650}));
  EXPECT_EQ(rig.bar->Top(), 597);
  EXPECT_EQ(rig.bar->Tab(Page::kMonitor).Top(), 607);
  EXPECT_EQ(rig.roll->RollCode(), RollCode::kNothing);
  EXPECT_EQ(rig.images.ImgManager().Top(), 550);
  EXPECT_EQ(rig.RollToEnd(), 12);
  EXPECT_EQ(rig.images.ImgManager().Bounds(), (ui::Rect{0, 0, 628, 597}));
  EXPECT_EQ(rig.roll->RollCode(), RollCode::kMonitor);
  EXPECT_TRUE(monitorExtra->Visible());
  EXPECT_EQ(rig.log.fanStarts, 1);
  EXPECT_EQ(rig.log.alarmTimerEnables, alarmTimerEnables + 1);
  EXPECT_EQ(rig.Normal(Page::kMonitor), rig.Pic("Skin\\M_Sel.bmp"));
  EXPECT_EQ(rig.Normal(Page::kAlarm), rig.Pic("Skin\\A_up.bmp"));
}

TEST_F(PageRollTest, CollapseAndExpandByTheArrowKeepsThePage) {
  rig.ClickArrow();
  EXPECT_EQ(rig.RollToEnd(), 13);
  EXPECT_EQ(rig.window.ClientSize().height, 53);
  rig.ClickArrow();
  EXPECT_EQ(rig.roll->RollCode(), RollCode::kExpand);
  EXPECT_EQ(rig.RollToEnd(), 13);
  EXPECT_EQ(rig.window.Position(), RollRig::kWindowAt);
  EXPECT_EQ(rig.images.ImgManager().Bounds(), (ui::Rect{0, 0, 628, 597}));
  EXPECT_EQ(monitorButton->Top(), 100);
  EXPECT_TRUE(monitorButton->Visible());
  EXPECT_TRUE(monitorDisplay->ShowDigit);
  EXPECT_EQ(rig.roll->CurrentPage(), Page::kMonitor);
  EXPECT_EQ(rig.roll->RollCode(), RollCode::kMonitor);
}

// Every page's groups come back to their design places whatever the path between pages.
TEST_F(PageRollTest, GroupsStayAlignedWithTheirPagesAcrossSwitches) {
  for (const Page page : {Page::kAlarm, Page::kConfig, Page::kAlarm, Page::kMonitor}) {
    rig.ClickTab(page);
    rig.RollToEnd();
  }
  EXPECT_EQ(monitorButton->Top(), 100);
  EXPECT_EQ(monitorDisplay->Top(), 200);
  EXPECT_EQ(monitorDisplay->DigitCells().front()->Top(), 200);
  EXPECT_EQ(configButton->Top(), 540);
  EXPECT_EQ(voltageDisplay->Top(), 220);
  EXPECT_EQ(alarmControl->Top(), 60);
  EXPECT_EQ(alarmDisplay->DigitCells().front()->Top(), 250);
  EXPECT_EQ(fanExtra->Top(), 400) << "extras never move";
  EXPECT_FALSE(configButton->Visible());
  EXPECT_FALSE(alarmControl->Visible());
  EXPECT_TRUE(monitorButton->Visible());
}

TEST_F(PageRollTest, VoltageSubPageShowsItsControlsAndNoFanExtras) {
  rig.log.subPage = SubPage::kVoltage;
  rig.ClickTab(Page::kConfig);
  rig.RollToEnd();
  EXPECT_TRUE(voltageControl->Visible());
  EXPECT_TRUE(voltageDisplay->Visible());
  EXPECT_FALSE(fanButton->Visible());
  EXPECT_FALSE(fanExtra->Visible());
  EXPECT_FALSE(rig.roll->FanExtrasShown());

  rig.ClickTab(Page::kMonitor);
  rig.Tick();
  EXPECT_FALSE(voltageDisplay->Visible()) << "voltage displays hide on the first step";
  EXPECT_TRUE(voltageControl->Visible()) << "plain members wait for the bar";
  EXPECT_FALSE(configButton->Visible()) << "bottom 620 went behind the bar";
}

TEST_F(PageRollTest, ControlWithItsBottomAtTheBarTopCountsAsBehindIt) {
  // Bottoms 547 and 546: one step down puts the first exactly at the bar's top (597).
  ui::Control* atEdge = rig.Plain(rig.monitor.Controls(), 497, 50);
  ui::Control* aboveEdge = rig.Plain(rig.monitor.Controls(), 496, 50);
  rig.ClickTab(Page::kAlarm);
  rig.Tick();
  EXPECT_FALSE(atEdge->Visible());
  EXPECT_TRUE(aboveEdge->Visible());
  rig.RollToEnd();

  rig.ClickTab(Page::kMonitor);
  rig.Tick(13);  // the alarm page's 12 hide steps, then the first monitor show step
  rig.Tick(10);  // show steps 2 to 11: one step to go
  EXPECT_EQ(atEdge->Top(), 547);
  EXPECT_FALSE(atEdge->Visible()) << "bottom exactly at the bar: not yet shown";
  EXPECT_TRUE(aboveEdge->Visible());
  rig.Tick();
  EXPECT_TRUE(atEdge->Visible());
}

TEST_F(PageRollTest, ArrowDuringAPageSwitchIsIgnored) {
  rig.ClickTab(Page::kAlarm);
  rig.Tick(5);
  rig.ClickArrow();
  EXPECT_EQ(rig.roll->BarState(), RollState::kExpanded);
  EXPECT_EQ(rig.RollToEnd(), 20);
  EXPECT_EQ(rig.images.ImgManager().Top(), 600);
  EXPECT_EQ(rig.images.ImgAlarm().Bounds(), (ui::Rect{0, 2, 628, 596}));
  EXPECT_EQ(rig.window.ClientSize().height, 659);
}

TEST_F(PageRollTest, UnknownPageCodesAreIgnored) {
  rig.roll->SelectPage(static_cast<Page>(99));
  rig.roll->SelectPage(static_cast<Page>(103));
  EXPECT_FALSE(rig.roll->TimerDown().Enabled());
  EXPECT_EQ(rig.roll->CurrentPage(), Page::kMonitor);
  EXPECT_TRUE(TabsShown());
}

}  // namespace
}  // namespace pages

// The real main window on the headless backend, the simulated PSU and virtual time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <limits>
#include <sstream>

#include "core/numbers.h"
#include "device/device_identity.h"
#include "device/protocol.h"
#include "mainwindow/window_messages.h"
#include "platform/lock/named_mutex.h"
#include "platform/registry/registry.h"
#include "support/deadline.h"
#include "support/form_main_fixture.h"

namespace mainwindow::testing {
namespace {

constexpr const char* kConnectFail = "**** HARDWARE Connect FAIL ****\nDo you want to try again ?";

// Answers the connect question and plugs the PSU in while the question is open.
class PluggingDialogs : public ui::ScriptedDialogs {
 public:
  explicit PluggingDialogs(sim::SimulatedBus& bus) : bus_(bus) {}
  bool AskYesNo(std::string_view text) override {
    bus_.SetMonitorPresent(true);
    return ScriptedDialogs::AskYesNo(text);
  }

 private:
  sim::SimulatedBus& bus_;
};

// A bus whose PSU answers the power-rating query only the first time (the start-up probe);
// the worker's own query then gets a short reply.
class ShortSecondRatingBus : public platform::HidBus {
 public:
  explicit ShortSecondRatingBus(platform::HidBus& inner) : inner_(inner) {}
  std::vector<platform::HidInterfaceInfo> Interfaces() override { return inner_.Interfaces(); }
  std::vector<std::optional<std::string>> PresentDeviceIds() override {
    return inner_.PresentDeviceIds();
  }
  std::unique_ptr<platform::HidHandle> Open(const std::string& path,
                                            platform::HidAccess access) override {
    auto handle = inner_.Open(path, access);
    if (!handle) return nullptr;
    return std::make_unique<Handle>(std::move(handle), ratingQueries_, lastWasRating_);
  }
  void SetChangeListener(std::function<void()> listener) override {
    inner_.SetChangeListener(std::move(listener));
  }

 private:
  class Handle : public platform::HidHandle {
   public:
    Handle(std::unique_ptr<platform::HidHandle> inner, std::atomic<int>& queries,
           std::atomic<bool>& lastWasRating)
        : inner_(std::move(inner)), queries_(queries), lastWasRating_(lastWasRating) {}
    std::size_t Write(std::span<const std::uint8_t> report) override {
      lastWasRating_ = report.size() > 1 &&
                       report[1] == static_cast<std::uint8_t>(device::Command::ReadPowerRating);
      if (lastWasRating_) ++queries_;
      return inner_->Write(report);
    }
    std::size_t Read(std::span<std::uint8_t> buffer) override {
      const std::size_t n = inner_->Read(buffer);
      return queries_ >= 2 && lastWasRating_ ? std::min<std::size_t>(n, kShortReply) : n;
    }
    std::optional<platform::HidCapabilities> Capabilities() override {
      return inner_->Capabilities();
    }

   private:
    static constexpr std::size_t kShortReply = 3;
    std::unique_ptr<platform::HidHandle> inner_;
    std::atomic<int>& queries_;
    std::atomic<bool>& lastWasRating_;  // the query goes out on one handle, its reply on another
  };

  platform::HidBus& inner_;
  std::atomic<int> ratingQueries_{0};
  std::atomic<bool> lastWasRating_{false};
};

// The digits a display shows, read back from its cells' pictures; blank cells are skipped.
std::string ShownDigits(const skin::TImageTrackBar& display, const ui::ImageList& numbers) {
  std::string digits;
  for (const auto& cell : display.DigitCells()) {
    for (int d = 0; d < numbers.Count(); ++d) {
      if (cell->Picture() && cell->Picture() == numbers.Picture(d)) {
        digits += static_cast<char>('0' + d);
        break;
      }
    }
  }
  return digits;
}

// ---- start-up ----

TEST_F(FormMainTest, AbsentDeviceAsksAgainOnYesAndEndsOnNo) {
  sim::Scenario scenario;
  scenario.monitor.present = false;
  MakeBus(scenario);
  dialogs_.QueueAnswer(true);
  dialogs_.QueueAnswer(false);
  TFormMain& form = Create();
  EXPECT_EQ(Questions(), (std::vector<std::string>{kConnectFail, kConnectFail}));
  EXPECT_FALSE(form.Started());
  EXPECT_FALSE(form.Connection().HasWorker());
  loop_.RunPending();  // the first activation closes the window
  EXPECT_TRUE(form.Closed());
}

TEST_F(FormMainTest, DevicePluggedInWhileAskingLetsStartUpContinue) {
  sim::Scenario scenario;
  scenario.monitor.present = false;
  sim::SimulatedBus& bus = MakeBus(scenario);
  PluggingDialogs plugging(bus);
  plugging.QueueAnswer(true);
  ui::Application app(loop_, plugging, backend_);
  std::filesystem::copy_file(settingsSource_, settingsFile_);
  platform::RegFileStore store(settingsFile_);
  TFormMain form(FormMainEnvironment{app, bus, store, BinFolder(), scratch_.Path(), sleeper_,
                                     pause_, 0x0409, ResourceStrips()});
  EXPECT_EQ(plugging.Texts(ui::ScriptedDialogs::Kind::Question).size(), 1u);
  EXPECT_TRUE(form.Started());
  EXPECT_TRUE(form.Connected());
  EXPECT_TRUE(form.Connection().HasWorker());
}

TEST_F(FormMainTest, FailedStartUpProbeShowsHandleFailAndCloses) {
  sim::Scenario scenario;
  scenario.monitor.replies[static_cast<std::uint8_t>(device::Command::ReadReference)] =
      sim::ReplyOverride{sim::ReplyOverride::Kind::Short, {}};
  MakeBus(scenario);
  TFormMain& form = Create();
  EXPECT_EQ(Messages(), (std::vector<std::string>{"**** HARDWARE Handle FAIL ****"}));
  EXPECT_TRUE(form.CloseOnActivate());
  loop_.RunPending();
  EXPECT_TRUE(form.Closed());
}

TEST_F(FormMainTest, SettingsWithoutSkinShowReadUiFailAndClose) {
  ScratchFolder plain;
  const auto file = plain.Path() / "plain.reg";
  std::ofstream(file) << "Windows Registry Editor Version 5.00\n\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta]\n\"osLang\"=\"1\"\n";
  UseSettingsFrom(file);
  TFormMain& form = Create();
  EXPECT_EQ(Messages(), (std::vector<std::string>{"**** Read UI FAIL! ****"}));
  loop_.RunPending();
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(form.Workers().Count(), 0u);  // the probe's worker is stopped and joined
}

TEST_F(FormMainTest, ShortRatingAtTheWorkersStartShowsUnsupportedPowerTypeAndEnds) {
  sim::SimulatedBus& inner = MakeBus();
  ShortSecondRatingBus bus(inner);
  // The window goes before the bus its workers use.
  const struct Release {
    std::unique_ptr<TFormMain>& form;
    ~Release() { form.reset(); }
  } release{form_};
  TFormMain& form = Create(&bus);
  ASSERT_TRUE(form.Started());
  ASSERT_TRUE(RunUntil([&] { return form.Closed(); }));
  EXPECT_EQ(Messages(), (std::vector<std::string>{"***** Unsupport Power Type *****"}));
  EXPECT_EQ(form.Workers().Count(), 0u);
}

// ---- device removal and return, restart message, exit ----

// Another holder of the PSU's access mutex (another user's program, here another opener in
// this process) keeps it through start-up.
class LockHeldAtStart : public FormMainTest {
 protected:
  LockHeldAtStart() { held_ = holder_->Lock(); }
  ~LockHeldAtStart() override {
    form_.reset();  // before the holder lets go: nothing may wait on it any more by then
    Release();
  }
  void Release() {
    if (std::exchange(held_, false)) holder_->Unlock();
  }

  // Creation returns (within a deadline) instead of waiting for the lock on the UI thread.
  TFormMain& CreateWhileHeld() {
    const testing_support::Deadline deadline(
        std::chrono::seconds(20), "the window's creation while another holder keeps the PSU lock");
    return Create();
  }

  std::string SettingsText() const {
    std::ifstream in(settingsFile_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::unique_ptr<platform::NamedMutex> holder_ =
      platform::NamedMutex::Open(device::kAccessMutexName, scratch_.Path()).mutex;
  bool held_ = false;
};

// The window goes live after a second and its caption names the holder (again every second,
// as the holder changes); once the lock comes free start-up goes on and the worker polls.
TEST_F(LockHeldAtStart, TheWindowStaysLiveNamesTheHolderAndStartsOnceTheLockIsFree) {
  TFormMain& form = CreateWhileHeld();
  EXPECT_TRUE(form.WaitingForLock());
  EXPECT_FALSE(form.Started());
  const std::string held =
      "Waiting for the PSU lock (held by pid " + std::to_string(::getpid()) + ", user root)";
  EXPECT_EQ(form.Window().Caption(), held);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(form.Window().Visible());
  loop_.AdvanceBy(std::chrono::milliseconds(2500));  // the UI thread runs its timers
  EXPECT_EQ(form.Window().Caption(), held);
  // The holder no longer names itself: the caption follows at the next whole second.
  std::ofstream(holder_->LockFilePath(), std::ios::trunc).close();
  loop_.AdvanceBy(std::chrono::milliseconds(499));
  EXPECT_EQ(form.Window().Caption(), held);
  loop_.AdvanceBy(std::chrono::milliseconds(1));
  EXPECT_EQ(form.Window().Caption(), "Waiting for the PSU lock (held by an unknown process)");

  Release();
  ASSERT_TRUE(RunUntil([&] { return form.Started(); })) << "start-up never went on";
  EXPECT_FALSE(form.WaitingForLock());
  EXPECT_EQ(form.Window().Caption(), "Read UI");
  EXPECT_EQ(form.Window().ClientWidth(), TFormMain::kClientWidth);
  EXPECT_EQ(form.Window().ClientHeight(), TFormMain::kClientHeight);
  EXPECT_EQ(form.Window().TransparentColor(), ui::colors::kMagenta);
  RunCycle(1);
  EXPECT_EQ(form.TrayIcon1().Hint().rfind("Watt: ", 0), 0u) << form.TrayIcon1().Hint();
  EXPECT_TRUE(Messages().empty());
}

// Exit while start-up waits: the window ends at once, its probe stops waiting, and neither
// Exit nor "AlarmDefault" writes the settings it never loaded.
TEST_F(LockHeldAtStart, ExitEndsTheWaitAtOnceAndStoresNothing) {
  TFormMain& form = CreateWhileHeld();
  ASSERT_TRUE(form.WaitingForLock());
  const std::string settings = SettingsText();
  const auto& menu = form.TrayIcon1().Menu();
  ASSERT_EQ(menu[0].caption, "AlarmDefault");
  form.TrayIcon1().InputMenuChoice(0);
  ASSERT_EQ(menu[4].caption, "Exit");
  form.TrayIcon1().InputMenuChoice(4);
  EXPECT_TRUE(form.Closed());
  {
    const testing_support::Deadline deadline(std::chrono::seconds(10),
                                             "the end of a window whose probe waits for the lock");
    const auto start = std::chrono::steady_clock::now();
    form_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  }
  EXPECT_EQ(SettingsText(), settings);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(FormMainTest, RemovalAndReturnFollowTheDevice) {
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  RunCycle(1);
  const float before = form.Monitor().Readings().Values().Vol12V1;
  EXPECT_GT(before, 11.0f);

  bus_->SetMonitorPresent(false);
  loop_.RunPending();
  EXPECT_EQ(form.Window().Caption(), "Removed!");
  EXPECT_FALSE(form.Ready().IsSet());
  EXPECT_FALSE(form.Connection().HasWorker());
  pause_.Release();  // the ending worker finishes its pause, then reports its end
  ASSERT_TRUE(RunUntil([&] { return Shown("Connection Removed!"); }));
  EXPECT_EQ(form.Monitor().Readings().Values().Vol12V1, before);  // frozen at the last values

  bus_->SetMonitorPresent(true);
  loop_.RunPending();
  EXPECT_EQ(form.Window().Caption(), "Connected!");
  EXPECT_TRUE(form.Connection().HasWorker());
  ASSERT_TRUE(pause_.AwaitPause(2));  // the new worker's start-up and first poll
  EXPECT_TRUE(form.Ready().IsSet());
}

TEST_F(FormMainTest, RemovalAndReturnInsideOneCycleKeepTheNewWorkerReady) {
  TFormMain& form = Create();
  RunCycle(1);
  // The old worker is in its pause; the new probe runs at once and must not wait for it.
  bus_->SetMonitorPresent(false);
  loop_.RunPending();
  bus_->SetMonitorPresent(true);
  loop_.RunPending();
  ASSERT_TRUE(form.Connection().HasWorker());
  ASSERT_TRUE(pause_.AwaitPause(2));  // the new worker polled once
  // The old worker's pause began first, so it is the one let go: it ends and says so.
  ASSERT_TRUE(ReleaseUntilShown("Connection Removed!"));
  EXPECT_TRUE(form.Ready().IsSet());  // the ending worker left its successor's flag alone
  pause_.Release();
  form.TrayIcon1().SetHint("");
  ASSERT_TRUE(RunUntil([&] { return form.TrayIcon1().Hint().rfind("Watt: ", 0) == 0; }));
}

TEST_F(FormMainTest, RestartMessageReplacesAWorkerAndLeavesItReady) {
  TFormMain& form = Create();
  RunCycle(1);
  const std::uint64_t generation = form.Ready().Generation();
  form.Window().DeliverMessage(ui::Message{kWorkerRestartMessage, 0, 0});
  EXPECT_GT(form.Ready().Generation(), generation);
  EXPECT_TRUE(form.Ready().IsSet());
  EXPECT_EQ(form.Workers().Count(), 2u);  // the old one finishes its cycle beside the new
  ASSERT_TRUE(ReleaseUntilShown("Connection Removed!"));
  EXPECT_TRUE(form.Ready().IsSet());
}

TEST_F(FormMainTest, RestartMessageWithoutWorkerDoesNothing) {
  TFormMain& form = Create();
  RunCycle(1);
  bus_->SetMonitorPresent(false);
  loop_.RunPending();
  ASSERT_FALSE(form.Ready().IsSet());
  form.Window().DeliverMessage(ui::Message{kWorkerRestartMessage, 0, 0});
  form.Window().DeliverMessage(ui::Message{0x1234, 0, 0});  // not ours: ignored
  EXPECT_FALSE(form.Ready().IsSet());
  EXPECT_FALSE(form.Connection().HasWorker());
}

TEST_F(FormMainTest, TheHistoryItemAndTheHistoryMessageBothOpenTheHistoryWindow) {
  int opened = 0;
  openHistory_ = [&] { ++opened; };
  TFormMain& form = Create();
  form.TrayIcon1().InputMenuChoice(form.TrayIcon1().MenuIndex("History"));
  EXPECT_EQ(opened, 1);
  form.Window().DeliverMessage(ui::Message{kHistoryWindowMessage, 0, 0});
  EXPECT_EQ(opened, 2);
}

TEST_F(FormMainTest, ExitSavesTheNamesAndStopsTheWorkerWithoutRemovalMessage) {
  TFormMain& form = Create();
  RunCycle(1);
  form.Monitor().EditT(2).InputText("GPU");
  const auto& menu = form.TrayIcon1().Menu();
  ASSERT_EQ(menu.size(), 5u);
  EXPECT_EQ(menu[0].caption, "AlarmDefault");
  EXPECT_EQ(menu[1].caption, "History");
  EXPECT_EQ(menu[2].caption, "Notify on alarm");
  EXPECT_EQ(menu[3].caption, "Show");
  EXPECT_EQ(menu[4].caption, "Exit");
  form.TrayIcon1().InputMenuChoice(4);
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(form.Workers().Count(), 0u);  // stopped and joined, not left in its pause
  loop_.RunPending();
  EXPECT_FALSE(Shown("Connection Removed!"));

  auto registry = store_->Open(platform::RegistryAccess::Read);
  auto key = registry->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Alarm\\Temperature");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadString("T2Name"), "GPU");
}

// ---- the monitor page ----

TEST_F(FormMainTest, TheTrayHintShowsEveryCyclesPowerWithTwoDecimals) {
  TFormMain& form = Create();
  EXPECT_EQ(form.TrayIcon1().Hint(), "Quelta");
  RunCycle(1);
  const float watt = form.Monitor().Readings().Values().WattTotal;
  EXPECT_EQ(form.TrayIcon1().Hint(), "Watt: " + core::FixedText(watt, 2));
  EXPECT_EQ(form.Monitor().Display("WattTotal")->Value(), watt);
}

TEST_F(FormMainTest, ClearPeakLetsTheNextCycleSetLowerPeaks) {
  TFormMain& form = Create();
  RunCycle(1);
  MonitorPage& page = form.Monitor();
  device::ReadingSet high;
  high.Cur12V1 = 40.0f;
  page.Readings().CopyCurrents(high);
  page.Readings().CopyWatt(700.0f);
  EXPECT_EQ(page.Readings().CurrentPeak(CurrentRail::C12V1), 40.0f);

  Click(*page.Button("ClearPeak"));
  EXPECT_EQ(page.Readings().WattPeak(), 0.0f);
  EXPECT_EQ(page.Display("WattPeak")->Value(), 0.0f);
  EXPECT_EQ(page.Display("CurrentPeak")->Value(), 0.0f);

  device::ReadingSet low;
  low.Cur12V1 = 3.5f;
  page.Readings().CopyCurrents(low);
  EXPECT_EQ(page.Readings().CurrentPeak(CurrentRail::C12V1), 3.5f);
}

TEST_F(FormMainTest, FahrenheitChangesTheDigitsButNotTheBars) {
  TFormMain& form = Create();
  RunCycle(1);
  MonitorPage& page = form.Monitor();
  device::ReadingSet temps;
  temps.TempT1 = 30.0f;
  page.Readings().CopyTemps(temps);
  page.RefreshMonitorPage();
  skin::TImageTrackBar& t1 = *page.Display("TempT1");
  const int celsiusGauge = t1.GaugeIndex();
  EXPECT_EQ(ShownDigits(t1, form.ImageLists().ILNumber), "30");

  Click(*page.Button("TempF"));
  EXPECT_EQ(page.Unit(), core::TempUnit::kFahrenheit);
  EXPECT_EQ(ShownDigits(t1, form.ImageLists().ILNumber), "86");
  EXPECT_EQ(t1.GaugeIndex(), celsiusGauge);
  // The chosen unit rests with its pressed picture, the other with its normal one.
  using Face = skin::TImageLabel::Face;
  EXPECT_EQ(page.Button("TempF")->Picture(Face::Leave), page.Button("TempF")->Picture(Face::Click));
  EXPECT_NE(page.Button("TempC")->Picture(Face::Leave), page.Button("TempC")->Picture(Face::Click));
}

TEST_F(FormMainTest, TheNegativeRailShowsItsMagnitudeWithTheSignAtOnce) {
  TFormMain& form = Create();
  RunCycle(1);
  MonitorPage& page = form.Monitor();
  skin::TImageTrackBar& voltage = *page.Display("Voltage");
  ASSERT_NE(voltage.SignImage(), nullptr);
  const auto positiveSign = voltage.SignImage()->Picture();

  device::ReadingSet volts;
  volts.VolNeg12V = -11.9f;
  page.Readings().CopyVoltages(volts);
  Click(*page.Button("VolNeg12V"));
  EXPECT_EQ(page.ShownVoltage(), VoltageRail::Neg12V);
  EXPECT_FLOAT_EQ(voltage.Value(), 11.9f);
  EXPECT_EQ(ShownDigits(voltage, form.ImageLists().ILNumber), "1190");
  EXPECT_NE(voltage.SignImage()->Picture(), positiveSign);
}

TEST_F(FormMainTest, FanTimersTurnOneFramePerHundredThousandOverRpm) {
  TFormMain& form = Create();
  RunCycle(1);
  MonitorPage& page = form.Monitor();
  device::ReadingSet fans;
  fans.FanPSU = 2000.0f;
  fans.FanSystem = 1.0f;
  page.Readings().CopyFans(fans);
  page.RefreshMonitorPage();
  EXPECT_TRUE(page.TimerPSUFan().Enabled());
  EXPECT_EQ(page.TimerPSUFan().Interval(), std::chrono::milliseconds(50));
  EXPECT_EQ(page.TimerSYSFan().Interval(), std::chrono::milliseconds(100000));

  const auto first = page.ImgPSUFan().Picture();
  loop_.AdvanceBy(std::chrono::milliseconds(100));
  EXPECT_NE(page.ImgPSUFan().Picture(), first);

  form.TrayIcon1().Minimize();
  EXPECT_FALSE(page.TimerPSUFan().Enabled());
  form.TrayIcon1().Restore();
  EXPECT_TRUE(page.TimerPSUFan().Enabled());

  fans.FanPSU = 0.0f;
  page.Readings().CopyFans(fans);
  page.RefreshMonitorPage();
  EXPECT_FALSE(page.TimerPSUFan().Enabled());
}

TEST_F(FormMainTest, AReadingThatGivesNoIntervalOfAWholeMillisecondStopsTheFan) {
  TFormMain& form = Create();
  RunCycle(1);
  MonitorPage& page = form.Monitor();
  // 100000 rpm is a frame a millisecond, the fastest; beyond it a frame lasts under one.
  struct Case {
    float rpm;
    int interval;  // ms; 0: the fan stands still
  };
  const Case cases[] = {{100000.0f, 1},
                        {-2000.0f, 50},
                        {100001.0f, 0},
                        {1e30f, 0},
                        {std::numeric_limits<float>::infinity(), 0},
                        {-std::numeric_limits<float>::infinity(), 0},
                        {std::numeric_limits<float>::quiet_NaN(), 0},
                        {0.0f, 0},
                        {-0.0f, 0}};
  for (const Case& c : cases) {
    // Each from a turning fan, on both fans.
    device::ReadingSet fans;
    fans.FanPSU = fans.FanSystem = 1000.0f;
    page.Readings().CopyFans(fans);
    page.RefreshMonitorPage();
    ASSERT_TRUE(page.TimerPSUFan().Enabled() && page.TimerSYSFan().Enabled());
    fans.FanPSU = fans.FanSystem = c.rpm;
    page.Readings().CopyFans(fans);
    page.RefreshMonitorPage();
    for (const FanClock::Fan* timer : {&page.TimerPSUFan(), &page.TimerSYSFan()}) {
      EXPECT_EQ(timer->Enabled(), c.interval != 0) << c.rpm;
      if (c.interval != 0) {
        EXPECT_EQ(timer->Interval().count(), c.interval) << c.rpm;
      }
    }
  }
}

TEST_F(FormMainTest, FansStandStillInTheTrayAndRolledInAndTurnAgainWhenShown) {
  constexpr auto kRollDone = std::chrono::milliseconds(5000);
  TFormMain& form = Create();
  RunCycle(1);
  MonitorPage& page = form.Monitor();
  ASSERT_TRUE(page.TimerPSUFan().Enabled());
  ASSERT_TRUE(page.TimerSYSFan().Enabled());

  form.TrayIcon1().Minimize();
  form.Window().TakeDirty();
  const auto psuFrame = page.ImgPSUFan().Picture();
  RunCycle(2);
  EXPECT_FALSE(page.TimerPSUFan().Enabled()) << "a cycle in the tray starts no fan";
  EXPECT_FALSE(page.TimerSYSFan().Enabled());
  loop_.AdvanceBy(std::chrono::milliseconds(1000));
  EXPECT_EQ(page.ImgPSUFan().Picture(), psuFrame);
  EXPECT_TRUE(form.Window().Dirty().IsEmpty()) << "nothing is painted for a hidden window";
  form.TrayIcon1().Restore();
  EXPECT_TRUE(page.TimerPSUFan().Enabled());
  EXPECT_TRUE(page.TimerSYSFan().Enabled());

  form.Roll()->ToggleCollapse();
  loop_.AdvanceBy(kRollDone);
  ASSERT_FALSE(page.ImgPSUFan().Visible());
  EXPECT_FALSE(page.TimerPSUFan().Enabled());
  RunCycle(3);
  EXPECT_FALSE(page.TimerPSUFan().Enabled()) << "a cycle while rolled in starts no fan";
  EXPECT_FALSE(page.TimerSYSFan().Enabled());
  form.Roll()->ToggleCollapse();
  loop_.AdvanceBy(kRollDone);
  EXPECT_TRUE(page.ImgPSUFan().Visible());
  EXPECT_TRUE(page.TimerPSUFan().Enabled());
  EXPECT_TRUE(page.TimerSYSFan().Enabled());
}

}  // namespace
}  // namespace mainwindow::testing

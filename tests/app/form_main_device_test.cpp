// The main window as the device comes, fails and comes again, and the LED switch.
#include <gtest/gtest.h>

#include <atomic>

#include "device/device_command.h"
#include "mainwindow/window_messages.h"
#include "support/form_main_fixture.h"

namespace mainwindow::testing {
namespace {

using namespace std::chrono_literals;

// A bus whose monitor device cannot be opened while `failOpens` is set, as when the first
// notice of a device comes before its node exists or has its permissions.
class FlakyOpenBus : public platform::HidBus {
 public:
  explicit FlakyOpenBus(platform::HidBus& inner) : inner_(inner) {}
  std::atomic<bool> failOpens{false};

  std::vector<platform::HidInterfaceInfo> Interfaces() override { return inner_.Interfaces(); }
  std::vector<std::optional<std::string>> PresentDeviceIds() override {
    return inner_.PresentDeviceIds();
  }
  std::unique_ptr<platform::HidHandle> Open(const std::string& path,
                                            platform::HidAccess access) override {
    if (failOpens) return nullptr;
    return inner_.Open(path, access);
  }
  void SetChangeListener(std::function<void()> listener) override {
    inner_.SetChangeListener(std::move(listener));
  }

 private:
  platform::HidBus& inner_;
};

class FormMainDeviceTest : public FormMainTest {
 protected:
  ~FormMainDeviceTest() override { form_.reset(); }  // before the wrapper its workers use

  // Pulls the cable and lets the ending worker report.
  void Unplug() {
    bus_->SetMonitorPresent(false);
    loop_.RunPending();
    ASSERT_EQ(form_->Window().Caption(), "Removed!");
    ASSERT_TRUE(ReleaseUntilShown("Connection Removed!"));
  }

  // A click in the control bar's LED area, then the pointer leaves the area (over it the
  // bar shows its hover picture whatever the switch).
  void ClickLed() {
    const ui::Rect& bar = form_->Bar()->ImgCtrl().Bounds();
    const ui::Point p{bar.left + 430, bar.top + 20};
    form_->Window().InputMouseMove(p);
    form_->Window().InputMouseDown(ui::MouseButton::Left, p);
    form_->Window().InputMouseUp(ui::MouseButton::Left, p);
    form_->Window().InputMouseMove(ui::Point{bar.left + 430, bar.top + 45});
  }

  FlakyOpenBus& Flaky() {
    flaky_ = std::make_unique<FlakyOpenBus>(MakeBus());
    return *flaky_;
  }

  std::unique_ptr<FlakyOpenBus> flaky_;
};

TEST_F(FormMainDeviceTest, AFailedReconnectIsNotReportedAndIsTriedAgainASecondLater) {
  FlakyOpenBus& bus = Flaky();
  TFormMain& form = Create(&bus);
  ASSERT_TRUE(form.Started());
  RunCycle(1);
  Unplug();

  bus.failOpens = true;
  bus_->SetMonitorPresent(true);
  loop_.RunPending();
  EXPECT_EQ(form.Window().Caption(), "Removed!");  // not "Connected!"
  EXPECT_FALSE(form.Connected());
  EXPECT_FALSE(form.Connection().HasWorker());
  EXPECT_TRUE(form.TimerReconnect().Enabled());

  // Still failing at the first try; the node appears before the second.
  loop_.AdvanceBy(1000ms);
  EXPECT_FALSE(form.Connected());
  bus.failOpens = false;
  loop_.AdvanceBy(999ms);
  EXPECT_FALSE(form.Connected());
  loop_.AdvanceBy(1ms);
  EXPECT_EQ(form.Window().Caption(), "Connected!");
  EXPECT_TRUE(form.Connected());
  EXPECT_TRUE(form.Connection().HasWorker());
  EXPECT_FALSE(form.TimerReconnect().Enabled());
  ASSERT_TRUE(RunUntil([&] { return form.Ready().IsSet() && pause_.Started() >= 2; }));
}

TEST_F(FormMainDeviceTest, ReconnectTriesStopAfterFiveSecondsAndTheNextNoticeTriesAgain) {
  FlakyOpenBus& bus = Flaky();
  TFormMain& form = Create(&bus);
  RunCycle(1);
  Unplug();
  bus.failOpens = true;
  bus_->SetMonitorPresent(true);
  loop_.RunPending();
  const std::uint64_t reportsBefore = bus_->MonitorReports();
  loop_.AdvanceBy(5000ms);  // five tries, all failing
  EXPECT_FALSE(form.TimerReconnect().Enabled());
  bus.failOpens = false;
  loop_.AdvanceBy(3000ms);  // nobody tries any more
  EXPECT_FALSE(form.Connected());
  EXPECT_EQ(bus_->MonitorReports(), reportsBefore);

  // Any device notice while not connected tries again.
  bus_->SetGaugePresent(false);
  loop_.RunPending();
  EXPECT_EQ(form.Window().Caption(), "Connected!");
  EXPECT_TRUE(form.Connected());
}

TEST_F(FormMainDeviceTest, ReconnectTriesStopWhenTheDeviceGoesAgain) {
  FlakyOpenBus& bus = Flaky();
  TFormMain& form = Create(&bus);
  RunCycle(1);
  Unplug();
  bus.failOpens = true;
  bus_->SetMonitorPresent(true);
  loop_.RunPending();
  ASSERT_TRUE(form.TimerReconnect().Enabled());
  bus_->SetMonitorPresent(false);
  loop_.RunPending();
  EXPECT_FALSE(form.TimerReconnect().Enabled());
  EXPECT_EQ(form.Window().Caption(), "Removed!");
}

TEST_F(FormMainDeviceTest, AWorkerThatCannotStartSaysSoAndTheNextNoticeStartsANewOne) {
  FlakyOpenBus& bus = Flaky();
  TFormMain& form = Create(&bus);
  RunCycle(1);
  // A restart whose worker finds no device: it ends as a removal does.
  bus.failOpens = true;
  form.Window().DeliverMessage(ui::Message{kWorkerRestartMessage, 0, 0});
  // Both the replaced worker and the one that could not start report their end.
  const auto removals = [&] {
    const std::vector<std::string> shown = Messages();
    return std::count(shown.begin(), shown.end(), "Connection Removed!");
  };
  for (int i = 0; i < 50 && removals() < 2; ++i) {
    pause_.Release();
    loop_.RunUntil([&] { return removals() == 2; }, 200ms);
  }
  ASSERT_EQ(removals(), 2);
  EXPECT_EQ(form.Window().Caption(), "Removed!");
  EXPECT_FALSE(form.Connected());
  EXPECT_FALSE(form.Ready().IsSet());

  bus.failOpens = false;
  bus_->SetGaugePresent(false);  // the next device notice
  loop_.RunPending();
  EXPECT_EQ(form.Window().Caption(), "Connected!");
  EXPECT_TRUE(form.Connected());
  ASSERT_TRUE(RunUntil([&] { return form.Ready().IsSet(); }));
}

TEST_F(FormMainDeviceTest, TheLedSwitchFlipsOnlyWhenTheWorkerTookTheRequest) {
  TFormMain& form = Create();
  RunCycle(1);
  const auto onPicture = form.Bar()->ImgCtrl().Picture();
  form.Ready().Clear();  // as after a removal, before the worker has ended
  ClickLed();
  EXPECT_TRUE(form.Bar()->LedSwitchOn());
  EXPECT_EQ(form.Bar()->ImgCtrl().Picture(), onPicture);
  form.Ready().Set();
  ClickLed();
  EXPECT_FALSE(form.Bar()->LedSwitchOn());
  EXPECT_NE(form.Bar()->ImgCtrl().Picture(), onPicture);
  pause_.Release();
  ASSERT_TRUE(pause_.AwaitPause(2));
  EXPECT_FALSE(bus_->Psu().LedOn());
}

TEST_F(FormMainDeviceTest, AnLedClickDuringAPendingTrimKeepsTheTrim) {
  TFormMain& form = Create();
  RunCycle(1);
  device::DeviceCommand trim{.code = device::DeviceCommand::Trim};
  trim.Target12V = 12.3f;
  trim.Enable12V = true;
  ASSERT_TRUE(form.Connection().Place(trim));
  ClickLed();  // LED off, placed after the trim
  EXPECT_FALSE(form.Bar()->LedSwitchOn());
  pause_.Release();
  ASSERT_TRUE(pause_.AwaitPause(2));
  EXPECT_GT(bus_->Psu().TrimSteps(sim::SimulatedPsu::Output::V12), 0);
  EXPECT_TRUE(bus_->Psu().LedOn());
  pause_.Release();
  ASSERT_TRUE(pause_.AwaitPause(3));
  EXPECT_FALSE(bus_->Psu().LedOn());
}

TEST_F(FormMainDeviceTest, TheFanTimersAreCreatedDisabledAtAHundredMilliseconds) {
  TFormMain& form = Create();
  EXPECT_EQ(form.Monitor().TimerPSUFan().Interval(), 100ms);
  EXPECT_EQ(form.Monitor().TimerSYSFan().Interval(), 100ms);
  EXPECT_FALSE(form.Monitor().TimerPSUFan().Enabled());
  EXPECT_FALSE(form.Monitor().TimerSYSFan().Enabled());
}

}  // namespace
}  // namespace mainwindow::testing

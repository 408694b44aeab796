#include "sim/simulated_bus.h"

#include <gtest/gtest.h>

#include <cmath>

#include "device/device_discovery.h"
#include "device/device_identity.h"
#include "device/monitor_protocol.h"
#include "device/rail_table.h"
#include "device/recording_sleeper.h"

namespace sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
const Bytes kQueryReference{0x00, 0x00, 0x01, 0x01, 0x01, 0x01};

// The host side of the protocol on a simulated bus: the device layer decodes what the
// simulator encodes, so the two check each other.
struct Host {
  explicit Host(SimulatedBus& bus)
      : read(device::OpenMonitorDevice(bus)), write(device::OpenMonitorDevice(bus)) {}
  device::MonitorProtocol& Protocol() {
    if (!protocol) protocol.emplace(*write, *read, sleeper, readings, calibration);
    return *protocol;
  }
  bool Poll() {
    auto& p = Protocol();
    const bool reference = p.ReadReference();
    const bool calibrated = p.ReadCalibration();
    const bool rated = p.ReadPowerRating(device::RatingMapping::Probe);
    const bool voltages = p.ReadVoltageReplies().first && p.ReadVoltages();
    const bool rest = p.ReadCurrents() && p.ReadFans() && p.ReadSensorTemps() && p.ReadPsuTemp();
    readings.WattTotal = device::WattTotal(readings);
    return reference && calibrated && rated && voltages && rest;
  }
  std::unique_ptr<platform::HidHandle> read, write;
  device::RecordingSleeper sleeper;
  device::ReadingSet readings;
  device::CalibrationTable calibration;
  std::optional<device::MonitorProtocol> protocol;
};

Scenario Quiet() {
  Scenario scenario;
  scenario.monitor.noise = false;
  return scenario;
}

TEST(SimulatedPsu, AnswersEveryQueryWithReadingsNearNominal) {
  SimulatedBus bus;
  Host host(bus);
  ASSERT_TRUE(host.Poll());
  const device::ReadingSet& r = host.readings;
  EXPECT_FLOAT_EQ(r.ReferenceVoltage, 3.3f);
  EXPECT_EQ(r.PowerRating, 550);
  for (float v : {r.Vol12V1, r.Vol12V2, r.Vol12V3, r.Vol12V4}) EXPECT_NEAR(v, 12.0f, 0.15f);
  for (float v : {r.Vol5V, r.Vol5Vsb}) EXPECT_NEAR(v, 5.0f, 0.06f);
  EXPECT_NEAR(r.Vol33V, 3.3f, 0.05f);
  EXPECT_NEAR(r.VolNeg12V, -12.0f, 0.2f);
  // The currents carry the model's load through the calibration it reports.
  EXPECT_NEAR(r.WattTotal, bus.Psu().LoadWatts(0.0), 0.05 * bus.Psu().LoadWatts(0.0));
  EXPECT_EQ(host.calibration.channels[device::RailOf(device::RailId::R33V).currentChannel].Gain,
            6.25f);  // left unprogrammed
  EXPECT_NEAR(r.FanPSU, bus.Psu().FanRpm(true, 0.0), 30.0);
  EXPECT_GT(r.FanSystem, 0.0f);
  EXPECT_NEAR(r.TempPSU, bus.Psu().PsuTemperature(0.0), 1.0);
  for (float t : {r.TempT1, r.TempT2, r.TempT3, r.TempT4}) EXPECT_GT(t, 20.0f);
}

TEST(SimulatedPsu, RepliesDependOnlyOnSeedCommandsAndModelTime) {
  const auto replies = [](std::uint32_t seed, double seconds) {
    Scenario scenario;
    scenario.monitor.seed = seed;
    SimulatedBus bus(scenario, {[seconds] { return seconds; }, {}});
    auto handle = device::OpenMonitorDevice(bus);
    std::vector<Bytes> all;
    for (int i = 0; i < 12; ++i) {
      for (std::uint8_t code : {0x21, 0x22, 0x02, 0x03, 0x04, 0x05}) {
        handle->Write(Bytes{0, code, 1, 1, 1, 1});
        Bytes reply(9);
        handle->Read(reply);
        all.push_back(reply);
      }
    }
    return all;
  };
  EXPECT_EQ(replies(3, 100.0), replies(3, 100.0));
  EXPECT_NE(replies(3, 100.0), replies(4, 100.0));
  EXPECT_NE(replies(3, 100.0), replies(3, 130.0));  // the load drifts with time
}

TEST(SimulatedPsu, ATrimStepMovesItsRailByOneConverterStep) {
  SimulatedBus bus(Quiet());
  Host host(bus);
  ASSERT_TRUE(host.Poll());
  const device::ReadingSet before = host.readings;
  const auto step = [&](std::uint8_t command, std::uint8_t direction) {
    host.Protocol().WriteReport({0, command, direction, 0, 0, 0});
    device::InputReport ack{};
    host.Protocol().ReadReport(ack);
  };
  step(0x07, 0x10);
  step(0x06, 0x01);
  step(0x08, 0x10);
  step(0x08, 0x10);
  ASSERT_TRUE(host.Poll());
  const device::ReadingSet& after = host.readings;
  const double high = 0.0161133, low = 0.0064453;  // one raw step of 16.5 V and of 6.6 V
  for (auto field : {&device::ReadingSet::Vol12V1, &device::ReadingSet::Vol12V2,
                     &device::ReadingSet::Vol12V3, &device::ReadingSet::Vol12V4}) {
    EXPECT_NEAR(after.*field - before.*field, high, 1e-4);
  }
  EXPECT_NEAR(after.Vol5V - before.Vol5V, -low, 1e-4);
  EXPECT_NEAR(after.Vol33V - before.Vol33V, 2 * low, 1e-4);
  EXPECT_EQ(after.Vol5Vsb, before.Vol5Vsb);
  EXPECT_EQ(bus.Psu().TrimSteps(SimulatedPsu::Output::V33), 2);
}

TEST(SimulatedPsu, FanCurvesAndTheLedObeyTheirCommands) {
  SimulatedBus bus(Quiet());
  Host host(bus);
  ASSERT_TRUE(host.Poll());
  host.Protocol().SetPsuFanCurve(12.0f, 25);
  ASSERT_TRUE(host.Protocol().ReadFans());
  EXPECT_NEAR(host.readings.FanPSU, 3000.0f, 30.0f);  // full voltage all the time
  host.Protocol().SetPsuFanCurve(4.0f, 74);
  ASSERT_TRUE(host.Protocol().ReadFans());
  EXPECT_NEAR(host.readings.FanPSU, 1000.0f, 30.0f);  // idles at its start voltage
  EXPECT_EQ(bus.Psu().PsuFanCurve().voltageCode, 62);

  host.Protocol().SetSystemFanCurve(6.0f, 30, device::SystemFanSensorCode(4));
  EXPECT_EQ(bus.Psu().SystemFanCurve().sensorCode, 0xA8);
  EXPECT_EQ(bus.Psu().SystemFanCurve().risingTemperature, 30);

  EXPECT_TRUE(bus.Psu().LedOn());
  host.Protocol().SetLed(false);
  EXPECT_FALSE(bus.Psu().LedOn());
}

TEST(SimulatedPsu, ItsRatingNeedsTheRatingKey) {
  for (std::int32_t rating : {450, 680, 800}) {
    Scenario scenario;
    scenario.monitor.rating = rating;
    SimulatedBus bus(scenario);
    Host host(bus);
    ASSERT_TRUE(host.Protocol().ReadPowerRating(device::RatingMapping::Probe));
    EXPECT_EQ(host.readings.PowerRating, rating);
  }
  SimulatedBus bus;
  auto handle = device::OpenMonitorDevice(bus);
  handle->Write(Bytes{0, 0x11, 1, 1, 1, 1});
  Bytes reply(9);
  ASSERT_EQ(handle->Read(reply), 9u);
  EXPECT_EQ(reply[1], 0x00);
}

TEST(SimulatedBus, ScenarioRepliesReplaceTheModels) {
  Scenario scenario;
  scenario.monitor.replies[0x21] = {ReplyOverride::Kind::Bytes,
                                    {0xC2, 0, 0x80, 0, 0xC0, 0x80, 0xBA, 0x40}};
  scenario.monitor.replies[0x04] = {ReplyOverride::Kind::Short, {}};
  scenario.monitor.replies[0x05] = {ReplyOverride::Kind::Silent, {}};
  std::vector<std::chrono::milliseconds> waits;
  SimulatedBus bus(scenario, {{}, [&](std::chrono::milliseconds wait) { waits.push_back(wait); }});
  auto handle = device::OpenMonitorDevice(bus);
  Bytes reply(64);
  handle->Write(Bytes{0, 0x21, 1, 1, 1, 1});
  ASSERT_EQ(handle->Read(reply), 9u);
  EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 9),
            (Bytes{0, 0xC2, 0, 0x80, 0, 0xC0, 0x80, 0xBA, 0x40}));
  handle->Write(Bytes{0, 0x04, 1, 1, 1, 1});
  EXPECT_EQ(handle->Read(reply), 3u);
  EXPECT_TRUE(waits.empty());
  handle->Write(Bytes{0, 0x05, 1, 1, 1, 1});
  EXPECT_EQ(handle->Read(reply), 0u);
  EXPECT_EQ(waits, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(1000)});
  handle->Write(Bytes{0, 0x22, 1, 1, 1, 1});  // codes not listed still come from the model
  EXPECT_EQ(handle->Read(reply), 9u);
}

TEST(SimulatedBus, UnplugAfterMakesTheDeviceVanishAfterThatManyReports) {
  Scenario scenario;
  scenario.monitor.unplugAfter = 5;
  SimulatedBus bus(scenario);
  int changes = 0;
  bus.SetChangeListener([&] { ++changes; });
  auto handle = device::OpenMonitorDevice(bus);
  Bytes reply(9);
  EXPECT_EQ(handle->Write(kQueryReference), 6u);
  EXPECT_EQ(handle->Read(reply), 9u);
  EXPECT_EQ(handle->Write(kQueryReference), 6u);
  EXPECT_EQ(handle->Read(reply), 9u);
  EXPECT_TRUE(device::IsDevicePresent(bus, device::kMonitorDevice.instanceText));
  EXPECT_EQ(handle->Write(kQueryReference), 6u);  // the fifth report still goes out
  EXPECT_FALSE(device::IsDevicePresent(bus, device::kMonitorDevice.instanceText));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(handle->Read(reply), 0u);
  EXPECT_EQ(handle->Write(kQueryReference), 0u);
  EXPECT_EQ(device::OpenMonitorDevice(bus), nullptr);
  EXPECT_TRUE(device::IsDevicePresent(bus, device::kGaugeDevice.instanceText));
}

TEST(SimulatedBus, AHandleOfAVanishedDeviceStaysDeadAfterItReturns) {
  SimulatedBus bus;
  int changes = 0;
  bus.SetChangeListener([&] { ++changes; });
  auto old = device::OpenMonitorDevice(bus);
  bus.SetMonitorPresent(false);
  bus.SetMonitorPresent(true);
  bus.SetMonitorPresent(true);  // no change, no notice
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(old->Write(kQueryReference), 0u);
  EXPECT_FALSE(old->Capabilities().has_value());
  auto fresh = device::OpenMonitorDevice(bus);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->Write(kQueryReference), 6u);
}

TEST(SimulatedBus, EveryOpenHandleGetsItsOwnCopyOfEachReply) {
  SimulatedBus bus;
  auto reader = device::OpenMonitorDevice(bus);
  auto writer = device::OpenMonitorDevice(bus);
  writer->Write(kQueryReference);
  auto late = device::OpenMonitorDevice(bus);
  Bytes a(9), b(9), c(9);
  EXPECT_EQ(reader->Read(a), 9u);
  EXPECT_EQ(writer->Read(b), 9u);
  EXPECT_EQ(a, b);
  EXPECT_EQ(late->Read(c), 0u);  // it was not open when the reply came
}

TEST(SimulatedBus, PendingInputWaitsOnEveryMonitorReadHandleBeforeItsReplies) {
  Scenario scenario;
  scenario.monitor.pendingInput = {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}};
  scenario.monitor.replies[0x00] = {ReplyOverride::Kind::Bytes, {0x80, 0, 0, 0, 0, 0, 0, 0}};
  SimulatedBus bus(scenario);
  for (int handle = 0; handle < 2; ++handle) {  // each handle has its own copy
    auto monitor = device::OpenMonitorDevice(bus);
    Bytes reply(9);
    ASSERT_EQ(monitor->ReadWaiting(reply), 9u);
    EXPECT_EQ(reply, (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    monitor->Write(kQueryReference);
    ASSERT_EQ(monitor->Read(reply), 9u);  // the second waiting report, not the reply
    EXPECT_EQ(reply, (Bytes{0, 9, 10, 11, 12, 13, 14, 15, 16}));
    ASSERT_EQ(monitor->ReadWaiting(reply), 9u);
    EXPECT_EQ(reply, (Bytes{0, 0x80, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(monitor->ReadWaiting(reply), 0u);  // nothing more, and no wait
  }
  auto gauge = device::OpenGaugeDevice(bus);
  Bytes none(9);
  EXPECT_EQ(gauge->ReadWaiting(none), 0u);
}

TEST(SimulatedBus, ALateReplyComesAfterTheTimeOutToEveryHandleOpenWhenItArrives) {
  Scenario scenario;
  scenario.monitor.late[0x00] = std::chrono::milliseconds(1500);
  scenario.monitor.late[0x11] = std::chrono::milliseconds(400);
  scenario.monitor.replies[0x00] = {ReplyOverride::Kind::Bytes, {0x80, 0, 0, 0, 0, 0, 0, 0}};
  double seconds = 10.0;
  std::vector<std::chrono::milliseconds> waits;
  SimulatedBus bus(scenario, {[&] { return seconds; },
                              [&](std::chrono::milliseconds wait) {
                                waits.push_back(wait);
                                seconds += wait.count() / 1000.0;
                              }});
  auto handle = device::OpenMonitorDevice(bus);
  Bytes reply(9);
  handle->Write(kQueryReference);  // the reply comes at 11.5 s
  EXPECT_EQ(handle->Read(reply), 0u);
  EXPECT_EQ(waits, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(1000)});
  EXPECT_EQ(handle->ReadWaiting(reply), 0u);  // 11.0 s: not yet
  seconds = 11.499;
  EXPECT_EQ(handle->ReadWaiting(reply), 0u);
  auto opened = device::OpenMonitorDevice(bus);  // open when it arrives: it gets a copy
  seconds = 11.5;
  ASSERT_EQ(handle->ReadWaiting(reply), 9u);
  EXPECT_EQ(reply[1], 0x80);
  ASSERT_EQ(opened->ReadWaiting(reply), 9u);
  EXPECT_EQ(reply[1], 0x80);

  // A reply late by less than the time-out is waited for and taken.
  handle->Write(Bytes{0, 0x11, 0xA8, 0x17, 0, 0});
  ASSERT_EQ(handle->Read(reply), 9u);
  EXPECT_EQ(waits.back(), std::chrono::milliseconds(400));
  EXPECT_DOUBLE_EQ(seconds, 11.9);
}

TEST(SimulatedBus, WithoutAHostWaitTheBusCountsTheTimeOutsOnItsOwnClock) {
  Scenario scenario;
  scenario.monitor.late[0x00] = std::chrono::milliseconds(1999);
  SimulatedBus bus(scenario);  // model time stands still at 0
  auto handle = device::OpenMonitorDevice(bus);
  Bytes reply(9);
  handle->Write(kQueryReference);
  EXPECT_EQ(handle->Read(reply), 0u);         // gives up at 1.0 s
  EXPECT_EQ(handle->ReadWaiting(reply), 0u);  // at 1.0 s it has not come
  EXPECT_EQ(handle->Read(reply), 9u);         // it comes at 1.999 s, within this wait
}

TEST(SimulatedBus, OnlyWholeReportsGoOutAndTheGaugeIsWriteOnly) {
  SimulatedBus bus;
  auto monitor = device::OpenMonitorDevice(bus);
  EXPECT_EQ(monitor->Write(Bytes{0, 0x00, 1, 1, 1}), 0u);
  EXPECT_EQ(monitor->Write(Bytes{0, 0x00, 1, 1, 1, 1, 1}), 0u);
  auto gauge = device::OpenGaugeDevice(bus);
  ASSERT_NE(gauge, nullptr);
  const Bytes needles{0, 0, 0x83, 0x20, 135, 0x20, 15, 0xE0, 25};
  EXPECT_EQ(gauge->Write(needles), 9u);
  EXPECT_EQ(bus.LastGaugeReport(), needles);
  EXPECT_EQ(gauge->Write(Bytes{0, 0, 0x83}), 0u);
  EXPECT_EQ(bus.GaugeReports(), 1u);
  Bytes buffer(64);
  EXPECT_EQ(gauge->Read(buffer), 0u);
  auto writeOnlyMonitor = bus.Open(bus.Interfaces()[0].path, platform::HidAccess::WriteOnly);
  writeOnlyMonitor->Write(kQueryReference);
  EXPECT_EQ(writeOnlyMonitor->Read(buffer), 0u);
}

TEST(SimulatedBus, ManyInterfacesAndUnreadableIdsMayStandInFrontOfThePsu) {
  Scenario scenario;
  scenario.bus.extraInterfaces = 30;
  scenario.bus.unreadableIds = 2;
  SimulatedBus bus(scenario);
  ASSERT_EQ(bus.Interfaces().size(), 32u);
  EXPECT_EQ(bus.Interfaces()[30].productId, 0x4001);
  EXPECT_NE(device::OpenMonitorDevice(bus), nullptr);
  const auto ids = bus.PresentDeviceIds();
  EXPECT_EQ(std::count(ids.begin(), ids.end(), std::nullopt), 2);
  EXPECT_TRUE(device::IsDevicePresent(bus, device::kMonitorDevice.instanceText));
}

}  // namespace
}  // namespace sim

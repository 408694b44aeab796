#include "device/monitor_protocol.h"

#include <gtest/gtest.h>

#include "device/recording_sleeper.h"
#include "support/fake_monitor.h"

namespace device {
namespace {

using std::chrono::milliseconds;

// The protocol over one fake device used as both read and write handle.
struct ProtocolRig {
  FakeMonitor device;
  RecordingSleeper sleeper;
  ReadingSet readings;
  CalibrationTable calibration;
  MonitorProtocol protocol{device, device, sleeper, readings, calibration};

  ProtocolRig() { readings.ReferenceVoltage = 3.3f; }
};

TEST(MonitorProtocol, EveryWriteAndEveryReadIsFollowedByTwoMilliseconds) {
  ProtocolRig rig;
  rig.device.respond = [](const Bytes&) { return Reply(0x80, 0x00); };
  EXPECT_TRUE(rig.protocol.ReadReference());
  rig.device.respond = nullptr;  // silent: the read fails, and is paused after all the same
  EXPECT_FALSE(rig.protocol.ReadFans());
  EXPECT_EQ(rig.sleeper.Pauses(), std::vector<milliseconds>(4, milliseconds(2)));
  EXPECT_EQ(rig.device.written, (std::vector<Bytes>{{0, 0x00, 1, 1, 1, 1}, {0, 0x03, 1, 1, 1, 1}}));
}

TEST(MonitorProtocol, EveryExchangeFirstThrowsAwayWhatIsAlreadyWaiting) {
  ProtocolRig rig;
  // Replies meant for another holder, waiting before the request goes out.
  rig.device.Stale(Reply(0x80, 0x00));
  rig.device.Stale(Reply(0xC2, 0x00, 0x80, 0x00, 0xC0, 0x80, 0xBA, 0x40));
  rig.device.Stale(Reply(1, 2, 3));  // a short one counts too
  rig.device.Stale(Bytes{0x00, 0x55, 0x01});
  rig.device.respond = [](const Bytes&) { return Reply(10, 0, 20, 0); };
  ASSERT_TRUE(rig.protocol.ReadFans());
  EXPECT_NEAR(rig.readings.FanPSU, 549.32f, 0.01f);  // 60000 / (10 x 10.9226)
  EXPECT_NEAR(rig.readings.FanSystem, 274.66f, 0.01f);
  EXPECT_EQ(rig.device.discarded.size(), 4u);
  EXPECT_EQ(rig.device.reads, 1u);
  // Nothing waits now: the next exchange throws nothing away.
  ASSERT_TRUE(rig.protocol.ReadFans());
  EXPECT_EQ(rig.device.discarded.size(), 4u);

  // A device that never falls silent cannot hold the exchange: at most 64 go.
  for (int i = 0; i < 70; ++i) rig.device.Stale(Reply(static_cast<std::uint8_t>(i)));
  EXPECT_EQ(rig.protocol.DiscardWaitingInput(), 64);
  EXPECT_EQ(rig.protocol.DiscardWaitingInput(), 6);
  EXPECT_EQ(rig.protocol.DiscardWaitingInput(), 0);
}

TEST(MonitorProtocol, OnlyAReplyOfExactlyNineBytesIsGood) {
  ProtocolRig rig;
  for (const Bytes& reply :
       {Bytes{0, 10, 0, 0, 0, 0, 0, 0}, Bytes{0, 10, 0, 0, 0, 0, 0, 0, 0, 0}, Bytes{0, 10, 0}}) {
    rig.device.respond = [&](const Bytes&) { return reply; };
    EXPECT_FALSE(rig.protocol.ReadFans()) << reply.size() << " bytes";
    EXPECT_EQ(rig.readings.FanPSU, 0.0f);
  }
  rig.device.respond = [](const Bytes&) { return Reply(10, 0); };
  EXPECT_TRUE(rig.protocol.ReadFans());
  EXPECT_NEAR(rig.readings.FanPSU, 549.32f, 0.01f);
}

TEST(MonitorProtocol, AFailedWriteIsNotRetriedAndItsReadStillFollows) {
  ProtocolRig rig;
  rig.device.writesFail = true;
  EXPECT_FALSE(rig.protocol.ReadCurrents());
  EXPECT_EQ(rig.device.written.size(), 1u);
  EXPECT_EQ(rig.device.reads, 1u);
}

TEST(MonitorProtocol, ABadFirstVoltageReplyKeepsItsFourAndStillAsksTheSecond) {
  ProtocolRig rig;
  rig.readings.Vol5V = 4.9f;
  rig.device.respond = [](const Bytes& request) -> std::optional<Bytes> {
    if (request[1] == 0x21) return std::nullopt;
    return Reply(0x80, 0x00, 0x80, 0x00, 0x80, 0x00, 0x00, 0x00);
  };
  EXPECT_TRUE(rig.protocol.ReadVoltages());  // the result is the second reply's
  EXPECT_EQ(rig.readings.Vol5V, 4.9f);
  EXPECT_FLOAT_EQ(rig.readings.Vol12V2, 8.25f);
  EXPECT_EQ(rig.device.Codes(), (std::vector<std::uint8_t>{0x21, 0x22}));

  rig.device.respond = [](const Bytes& request) -> std::optional<Bytes> {
    if (request[1] == 0x22) return std::nullopt;
    return Reply(0x80, 0x00);
  };
  EXPECT_FALSE(rig.protocol.ReadVoltages());
  EXPECT_FLOAT_EQ(rig.readings.Vol5V, 3.3f);
  EXPECT_FLOAT_EQ(rig.readings.Vol12V2, 8.25f);
}

TEST(MonitorProtocol, GainsAreAskedEvenWhenOffsetsFailAndUseTheOffsetsAlreadyHeld) {
  ProtocolRig rig;
  rig.calibration.channels[0].Offset = 4.0f;
  rig.device.respond = [](const Bytes& request) -> std::optional<Bytes> {
    if (request[1] == 0x12) return std::nullopt;
    return Reply(124, 255, 255, 255, 255, 255);
  };
  EXPECT_FALSE(rig.protocol.ReadCalibration());
  EXPECT_EQ(rig.device.Codes(), (std::vector<std::uint8_t>{0x12, 0x13}));
  EXPECT_FLOAT_EQ(rig.calibration.channels[0].Gain, 15.0f);
  EXPECT_FLOAT_EQ(rig.calibration.channels[1].Gain, 6.25f);
}

TEST(MonitorProtocol, PowerRatingIsAskedWithItsKeyAndIsZeroAfterAShortReply) {
  ProtocolRig rig;
  rig.device.respond = [](const Bytes&) { return Reply(0x50); };
  EXPECT_TRUE(rig.protocol.ReadPowerRating(RatingMapping::Worker));
  EXPECT_EQ(rig.readings.PowerRating, 550);
  EXPECT_EQ(rig.device.written.back(), (Bytes{0, 0x11, 0xA8, 0x17, 0x00, 0x00}));
  EXPECT_TRUE(rig.protocol.ReadPowerRating(RatingMapping::Probe));
  EXPECT_EQ(rig.readings.PowerRating, 0);

  rig.readings.PowerRating = 800;
  rig.device.respond = [](const Bytes&) { return Bytes{0, 0x80, 0}; };
  EXPECT_FALSE(rig.protocol.ReadPowerRating(RatingMapping::Worker));
  EXPECT_EQ(rig.readings.PowerRating, 0);
}

TEST(MonitorProtocol, OutputCommandsCarryTheirArgumentBytes) {
  ProtocolRig rig;
  rig.readings.ReferenceVoltage = 3.3f;
  // Delivered whole, with no reply at all: a reply proves nothing more than the write.
  EXPECT_TRUE(rig.protocol.SetPsuFanCurve(12.0f, 45));
  EXPECT_TRUE(rig.protocol.SetSystemFanCurve(4.0f, 74, SystemFanSensorCode(3)));
  EXPECT_TRUE(rig.protocol.SetSystemFanCurve(6.0f, 25, 0x1A2));  // only the low byte is sent
  EXPECT_TRUE(rig.protocol.SetLed(true));
  EXPECT_TRUE(rig.protocol.SetLed(false));
  EXPECT_EQ(rig.device.written, (std::vector<Bytes>{{0, 0x09, 186, 45, 0xA0, 0x01},
                                                    {0, 0x0A, 62, 74, 0xA6, 0x01},
                                                    {0, 0x0A, 93, 25, 0xA2, 0x01},
                                                    {0, 0x0B, 0x00, 0, 0, 0},
                                                    {0, 0x0B, 0x01, 0, 0, 0}}));
  EXPECT_EQ(rig.device.reads, 5u);  // each reply is read and dropped
}

// A command whose write did not go through says so, for each of the four, even when a reply
// (meant for someone else) arrives; its reply is still read so that none is left waiting.
TEST(MonitorProtocol, AnOutputCommandWhoseWriteFailedIsNotDelivered) {
  ProtocolRig rig;
  rig.device.writesFail = true;
  rig.device.Stale(Reply(0x0B, 0x00));
  EXPECT_FALSE(rig.protocol.SetLed(true));
  EXPECT_EQ(rig.device.discarded.size(), 1u);
  EXPECT_FALSE(rig.protocol.SetLed(false));
  EXPECT_FALSE(rig.protocol.SetPsuFanCurve(6.0f, 40));
  EXPECT_FALSE(rig.protocol.SetSystemFanCurve(6.0f, 40, SystemFanSensorCode(1)));
  EXPECT_EQ(rig.device.reads, 4u);
  rig.device.writesFail = false;
  EXPECT_TRUE(rig.protocol.SetLed(true));
}

// A device whose 12 V, 5 V and 3.3 V outputs move one converter step per trim command
// and whose voltage replies can be made to fail after a given number of steps.
struct TrimDevice {
  std::uint16_t raw12 = 745;  // 12.006 V on the x5 divider
  std::uint16_t raw5 = 776;   // 5.002 V on the x2 divider
  std::uint16_t raw33 = 512;
  int steps = 0;
  int failFirstAfter = -1;   // 0x21 fails from this many steps on
  int failSecondAfter = -1;  // 0x22 fails from this many steps on
  int sign = 1;              // -1: the output moves against the step asked for
  int moveEvery = 1;         // the output moves on every n-th step only

  std::optional<Bytes> operator()(const Bytes& request) {
    const auto word = [](std::uint16_t raw) {
      return std::pair<std::uint8_t, std::uint8_t>(raw >> 2, (raw & 3) << 6);
    };
    const int asked = request[2] == 0x10 ? 1 : (request[2] == 0x01 ? -1 : 0);
    const bool isStep = request[1] >= 0x06 && request[1] <= 0x08;
    const int move = isStep && (steps + 1) % moveEvery == 0 ? sign * asked : 0;
    switch (request[1]) {
      case 0x07:
        raw12 = static_cast<std::uint16_t>(raw12 + move), ++steps;
        return Reply(0x07);
      case 0x06:
        raw5 = static_cast<std::uint16_t>(raw5 + move), ++steps;
        return Reply(0x06);
      case 0x08:
        raw33 = static_cast<std::uint16_t>(raw33 + move), ++steps;
        return Reply(0x08);
      case 0x21: {
        if (failFirstAfter >= 0 && steps >= failFirstAfter) return std::nullopt;
        const auto [a, b] = word(raw5);
        const auto [c, d] = word(raw33);
        return Reply(a, b, c, d);
      }
      case 0x22: {
        if (failSecondAfter >= 0 && steps >= failSecondAfter) return std::nullopt;
        const auto [a, b] = word(raw12);
        return Reply(a, b, a, b, a, b);
      }
      default:
        return Reply();
    }
  }
};

struct TrimRig : ProtocolRig {
  TrimDevice trim;
  TrimRig() {
    device.respond = [this](const Bytes& request) { return trim(request); };
    protocol.ReadVoltages();
    device.written.clear();
  }
  float Volts12(int raw) const { return HighRailVolts(static_cast<std::uint16_t>(raw), 3.3f); }
};

TEST(TrimOutput, ATargetEqualToTheReadingStillTakesOneUpStep) {
  TrimRig rig;
  const TrimResult result = rig.protocol.TrimOutput(TrimRail::V12, rig.readings.Vol12V2);
  EXPECT_EQ(result.steps, 1);
  EXPECT_TRUE(result.reachedTarget);
  EXPECT_EQ(rig.trim.raw12, 746);
  EXPECT_EQ(rig.device.written.front(), (Bytes{0, 0x07, 0x10, 0, 0, 0}));
}

TEST(TrimOutput, StaleReportsWaitingBeforeTheTrimNeverFeedItBack) {
  TrimRig rig;
  // Someone else's 0x21 reply, whose second word is the 3.3 V rail's: read as 12V2 it is
  // 8.25 V, far below the target, and would step the output up and up.
  for (int i = 0; i < 3; ++i)
    rig.device.Stale(Reply(0xC2, 0x00, 0x80, 0x00, 0xC0, 0x80, 0xBA, 0x40));
  const TrimResult result = rig.protocol.TrimOutput(TrimRail::V12, rig.Volts12(746));
  EXPECT_EQ(result.steps, 1);
  EXPECT_TRUE(result.reachedTarget);
  EXPECT_EQ(rig.trim.raw12, 746);
}

TEST(TrimOutput, StopsAtTheFirstStepThatReachesOrCrossesTheTarget) {
  TrimRig rig;
  // Down from 745 to a target between raw 740 and 741: 741 is still above it, 740 crosses.
  const TrimResult down = rig.protocol.TrimOutput(TrimRail::V12, rig.Volts12(740) + 0.005f);
  EXPECT_EQ(down.steps, 5);
  EXPECT_TRUE(down.reachedTarget);
  EXPECT_EQ(rig.trim.raw12, 740);
  for (const Bytes& report : rig.device.written) {
    if (report[1] == 0x07) {
      EXPECT_EQ(report[2], 0x01);
    }
  }

  // Up on the 3.3 V rail to exactly the reading of raw 515: the step that reaches it stops.
  const TrimResult up = rig.protocol.TrimOutput(TrimRail::V33, LowRailVolts(515, 3.3f));
  EXPECT_EQ(up.steps, 3);
  EXPECT_EQ(rig.trim.raw33, 515);
}

TEST(TrimOutput, GivesUpAfterTwoHundredStepsWithoutReversing) {
  TrimRig rig;
  rig.trim.sign = -1;  // every step up takes the output down: the target is never reached
  const TrimResult result = rig.protocol.TrimOutput(TrimRail::V5, 5.2f);
  EXPECT_EQ(result.steps, 200);
  EXPECT_FALSE(result.reachedTarget);
  EXPECT_EQ(result.stop, TrimStop::None);
  EXPECT_EQ(rig.trim.raw5, 576);
  for (const Bytes& report : rig.device.written) {
    if (report[1] == 0x06) {
      EXPECT_EQ(report[2], 0x10);
    }
  }
}

// Each rail's reading, target and the reference must be believable before the first step.
TEST(TrimOutput, TakesNoStepOnAnImpossibleReadingReferenceOrTarget) {
  struct Case {
    TrimRail rail;
    float ReadingSet::*reading;
    float volts;
    float reference;
    float target;
    TrimStop stop;
  };
  const Case cases[] = {
      // Readings on both sides of each rail's 10 % window (all-zero replies read as 0 V).
      {TrimRail::V12, &ReadingSet::Vol12V2, 0.0f, 3.3f, 12.1f, TrimStop::ReadingOutOfRange},
      {TrimRail::V12, &ReadingSet::Vol12V2, 10.79f, 3.3f, 12.1f, TrimStop::ReadingOutOfRange},
      {TrimRail::V12, &ReadingSet::Vol12V2, 10.8f, 3.3f, 12.1f, TrimStop::None},
      {TrimRail::V12, &ReadingSet::Vol12V2, 13.2f, 3.3f, 12.1f, TrimStop::None},
      {TrimRail::V12, &ReadingSet::Vol12V2, 13.21f, 3.3f, 12.1f, TrimStop::ReadingOutOfRange},
      {TrimRail::V5, &ReadingSet::Vol5V, 4.49f, 3.3f, 5.0f, TrimStop::ReadingOutOfRange},
      {TrimRail::V5, &ReadingSet::Vol5V, 5.51f, 3.3f, 5.0f, TrimStop::ReadingOutOfRange},
      {TrimRail::V5, &ReadingSet::Vol5V, 5.5f, 3.3f, 5.0f, TrimStop::None},
      {TrimRail::V33, &ReadingSet::Vol33V, 2.96f, 3.3f, 3.3f, TrimStop::ReadingOutOfRange},
      {TrimRail::V33, &ReadingSet::Vol33V, 3.64f, 3.3f, 3.3f, TrimStop::ReadingOutOfRange},
      {TrimRail::V33, &ReadingSet::Vol33V, 2.98f, 3.3f, 3.3f, TrimStop::None},
      // A reference reply of FF FF reads as 1.652 V; the window is 2.5 V to 4.5 V.
      {TrimRail::V12, &ReadingSet::Vol12V2, 12.0f, 1.652f, 12.1f, TrimStop::ReferenceImplausible},
      {TrimRail::V12, &ReadingSet::Vol12V2, 12.0f, 2.49f, 12.1f, TrimStop::ReferenceImplausible},
      {TrimRail::V12, &ReadingSet::Vol12V2, 12.0f, 2.5f, 12.1f, TrimStop::None},
      {TrimRail::V12, &ReadingSet::Vol12V2, 12.0f, 4.5f, 12.1f, TrimStop::None},
      {TrimRail::V12, &ReadingSet::Vol12V2, 12.0f, 4.51f, 12.1f, TrimStop::ReferenceImplausible},
      // Targets: an empty text parses as 0; the window is the same as the reading's.
      {TrimRail::V12, &ReadingSet::Vol12V2, 12.0f, 3.3f, 0.0f, TrimStop::TargetOutOfRange},
      {TrimRail::V12, &ReadingSet::Vol12V2, 12.0f, 3.3f, 13.21f, TrimStop::TargetOutOfRange},
      {TrimRail::V5, &ReadingSet::Vol5V, 5.0f, 3.3f, 4.49f, TrimStop::TargetOutOfRange},
      {TrimRail::V33, &ReadingSet::Vol33V, 3.3f, 3.3f, 2.96f, TrimStop::TargetOutOfRange},
      {TrimRail::V33, &ReadingSet::Vol33V, 3.3f, 3.3f, 3.63f, TrimStop::None},
  };
  for (const Case& c : cases) {
    ProtocolRig rig;  // silent device: a step that is taken ends on its failed read
    rig.readings.*c.reading = c.volts;
    rig.readings.ReferenceVoltage = c.reference;
    const TrimResult result = rig.protocol.TrimOutput(c.rail, c.target);
    EXPECT_EQ(result.stop, c.stop) << RailName(c.rail) << " at " << c.volts << " V, reference "
                                   << c.reference << ", target " << c.target;
    EXPECT_EQ(result.steps, c.stop == TrimStop::None ? 1 : 0);
    EXPECT_EQ(rig.device.written.size(), c.stop == TrimStop::None ? 3u : 0u);
  }
}

TEST(TrimOutput, StopsAfterThreeStepsInARowThatLeaveTheReadingUnchanged) {
  TrimRig stuck;
  stuck.trim.moveEvery = 1000;  // the output never moves
  const TrimResult result = stuck.protocol.TrimOutput(TrimRail::V12, 12.5f);
  EXPECT_EQ(result.stop, TrimStop::Stalled);
  EXPECT_EQ(result.steps, 3);
  EXPECT_EQ(TrimStopMessage(TrimRail::V12, 12.5f, result),
            "12V reading stayed at 12.004 V for three steps in a row: stopped after 3 steps");

  // Two unchanged steps, then one that moves, again and again: never three in a row.
  TrimRig slow;
  slow.trim.moveEvery = 3;
  const TrimResult slowResult = slow.protocol.TrimOutput(TrimRail::V12, slow.Volts12(750));
  EXPECT_EQ(slowResult.stop, TrimStop::None);
  EXPECT_TRUE(slowResult.reachedTarget);
  EXPECT_EQ(slowResult.steps, 15);
}

TEST(TrimOutput, TheStopMessageNamesTheReadingThatStoppedIt) {
  TrimResult result;
  result.stop = TrimStop::ReadingOutOfRange;
  result.startReading = 0.0f;
  EXPECT_EQ(TrimStopMessage(TrimRail::V12, 12.1f, result),
            "12V reading 0.000 V is not within 10% of 12.0 V: not trimmed");
  result.stop = TrimStop::ReferenceImplausible;
  result.reference = 1.6516129f;
  EXPECT_EQ(TrimStopMessage(TrimRail::V5, 5.1f, result),
            "reference reading 1.652 V is not within 2.5 V to 4.5 V: 5V not trimmed");
  result.stop = TrimStop::TargetOutOfRange;
  EXPECT_EQ(TrimStopMessage(TrimRail::V33, 0.0f, result),
            "3.3V target 0.000 V is not within 10% of 3.3 V: not trimmed");
}

TEST(TrimOutput, NeverStepsBlindOnceTheFeedbackReadFails) {
  TrimRig rig;
  rig.trim.failSecondAfter = 3;
  const TrimResult result = rig.protocol.TrimOutput(TrimRail::V12, 13.0f);
  EXPECT_TRUE(result.feedbackLost);
  EXPECT_FALSE(result.reachedTarget);
  EXPECT_EQ(result.steps, 3);
  EXPECT_EQ(rig.trim.steps, 3);  // no step after the failed read
  EXPECT_FLOAT_EQ(result.lastReading, rig.Volts12(747));

  // The 12 V rail is fed back by the second reply: a failing first reply does not stop it,
  // but it does stop the 5 V rail, whose reading comes with the first.
  TrimRig other;
  other.trim.failFirstAfter = 1;
  EXPECT_FALSE(other.protocol.TrimOutput(TrimRail::V12, other.Volts12(748)).feedbackLost);
  EXPECT_EQ(other.trim.raw12, 748);
  const TrimResult five = other.protocol.TrimOutput(TrimRail::V5, 5.2f);
  EXPECT_TRUE(five.feedbackLost);
  EXPECT_EQ(five.steps, 1);
}

}  // namespace
}  // namespace device

#include "device/monitor_protocol.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/numbers.h"

#include "device/rail_table.h"
#include "device/reply_decoder.h"

namespace device {
namespace {

// How each output is trimmed: its step command, the rail whose voltage feeds back (its reply
// and nominal from the rail table), and the name messages give the output.
struct RailTrim {
  TrimRail rail;
  Command command;
  RailId feedback;
  const char* name;

  const Rail& Feedback() const { return RailOf(feedback); }
};
constexpr RailTrim kTrims[] = {
    {TrimRail::V12, Command::Step12V, RailId::R12V2, "12V"},
    {TrimRail::V5, Command::Step5V, RailId::R5V, "5V"},
    {TrimRail::V33, Command::Step33V, RailId::R33V, "3.3V"},
};

const RailTrim& TrimOf(TrimRail rail) {
  for (const RailTrim& trim : kTrims)
    if (trim.rail == rail) return trim;
  return kTrims[std::size(kTrims) - 1];
}

constexpr std::uint8_t kNoArgument = 0x00;
// No trim may move an output, nor start from a reading, further than this from nominal.
constexpr float kLargestDeviation = 0.10f;
// A reference outside this range scales every reading wrongly.
constexpr float kLowestReference = 2.5f;
constexpr float kHighestReference = 4.5f;
// Steps in a row that leave the reading where it was before the trim gives up.
constexpr int kStalledSteps = 3;

bool NearNominal(TrimRail rail, float volts) {
  const float nominal = RailNominal(rail);
  return volts >= nominal * (1.0f - kLargestDeviation) &&
         volts <= nominal * (1.0f + kLargestDeviation);
}

std::string Volts(float volts) {
  return core::FixedText(static_cast<double>(volts), 3) + " V";
}

std::uint8_t LowByte(std::int32_t value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

const char* RailName(TrimRail rail) {
  return TrimOf(rail).name;
}

float RailNominal(TrimRail rail) {
  return static_cast<float>(TrimOf(rail).Feedback().nominal);
}

bool TrimTargetAllowed(TrimRail rail, float target) {
  return NearNominal(rail, target);
}

std::string TrimStopMessage(TrimRail rail, float target, const TrimResult& result) {
  const std::string name = RailName(rail);
  const float nominal = RailNominal(rail);
  switch (result.stop) {
    case TrimStop::None:
      break;
    case TrimStop::TargetOutOfRange:
      return name + " target " + Volts(target) + " is not within 10% of " +
             core::FixedText(nominal, 1) + " V: not trimmed";
    case TrimStop::ReadingOutOfRange:
      return name + " reading " + Volts(result.startReading) + " is not within 10% of " +
             core::FixedText(nominal, 1) + " V: not trimmed";
    case TrimStop::ReferenceImplausible:
      return "reference reading " + Volts(result.reference) +
             " is not within 2.5 V to 4.5 V: " + name + " not trimmed";
    case TrimStop::Stalled:
      return name + " reading stayed at " + Volts(result.lastReading) +
             " for three steps in a row: stopped after " + std::to_string(result.steps) + " steps";
  }
  return {};
}

MonitorProtocol::MonitorProtocol(platform::HidHandle& writeHandle, platform::HidHandle& readHandle,
                                 Sleeper& sleeper, ReadingSet& readings,
                                 CalibrationTable& calibration, std::stop_token giveUp)
    : writeHandle_(writeHandle),
      readHandle_(readHandle),
      sleeper_(sleeper),
      readings_(readings),
      calibration_(calibration),
      giveUp_(std::move(giveUp)) {}

std::size_t MonitorProtocol::WriteReport(const OutputReport& report) {
  const std::size_t written = writeHandle_.Write(report);
  sleeper_.Sleep(kReportPause);
  return written;
}

bool MonitorProtocol::ReadReport(InputReport& reply) {
  std::array<std::uint8_t, kReadBufferSize> buffer{};
  const std::size_t got = readHandle_.Read(buffer);
  sleeper_.Sleep(kReportPause);
  if (got != kInputReportSize) return false;
  std::copy_n(buffer.begin(), kInputReportSize, reply.begin());
  return true;
}

int MonitorProtocol::DiscardWaitingInput() {
  std::array<std::uint8_t, kReadBufferSize> buffer{};
  int discarded = 0;
  while (discarded < kMaxDiscardedReports && readHandle_.ReadWaiting(buffer) > 0) ++discarded;
  return discarded;
}

bool MonitorProtocol::Exchange(const OutputReport& request, InputReport& reply) {
  if (giveUp_.stop_requested()) return false;
  DiscardWaitingInput();
  // A write that went nowhere is still followed by its read, which then normally fails.
  WriteReport(request);
  return ReadReport(reply);
}

bool MonitorProtocol::SendCommand(const OutputReport& request) {
  if (giveUp_.stop_requested()) return false;
  DiscardWaitingInput();
  const bool delivered = WriteReport(request) == request.size();
  // The reply is read (and thrown away) either way, so that it cannot wait on the handle.
  InputReport ignored{};
  ReadReport(ignored);
  return delivered;
}

bool MonitorProtocol::ReadReference() {
  InputReport reply{};
  return Exchange(MakeQuery(Command::ReadReference), reply) && DecodeReference(reply, readings_);
}

bool MonitorProtocol::ReadCalibration() {
  InputReport reply{};
  const bool offsets = Exchange(MakeQuery(Command::ReadCurrentOffsets), reply);
  if (offsets) DecodeCurrentOffsets(reply, calibration_);
  const bool gains = Exchange(MakeQuery(Command::ReadCurrentGains), reply);
  if (gains) DecodeCurrentGains(reply, calibration_);
  return offsets && gains;
}

bool MonitorProtocol::ReadPowerRating(RatingMapping mapping) {
  readings_.PowerRating = 0;
  InputReport reply{};
  const auto& a = kPowerRatingArguments;
  if (!Exchange(MakeReport(Command::ReadPowerRating, a[0], a[1], a[2], a[3]), reply)) return false;
  readings_.PowerRating = DecodePowerRating(reply, mapping);
  return true;
}

VoltageReplies MonitorProtocol::ReadVoltageReplies() {
  VoltageReplies result;
  InputReport reply{};
  result.first = Exchange(MakeQuery(Command::ReadVoltagesA), reply);
  if (result.first) DecodeVoltagesA(reply, readings_);
  result.second = Exchange(MakeQuery(Command::ReadVoltagesB), reply);
  if (result.second) DecodeVoltagesB(reply, readings_);
  return result;
}

bool MonitorProtocol::ReadVoltages() {
  return ReadVoltageReplies().second;
}

bool MonitorProtocol::ReadCurrents() {
  InputReport reply{};
  if (!Exchange(MakeQuery(Command::ReadCurrents), reply)) return false;
  DecodeCurrents(reply, calibration_, readings_);
  return true;
}

bool MonitorProtocol::ReadFans() {
  InputReport reply{};
  if (!Exchange(MakeQuery(Command::ReadFans), reply)) return false;
  DecodeFans(reply, readings_);
  return true;
}

bool MonitorProtocol::ReadSensorTemps() {
  InputReport reply{};
  if (!Exchange(MakeQuery(Command::ReadSensorTemps), reply)) return false;
  DecodeSensorTemps(reply, readings_);
  return true;
}

bool MonitorProtocol::ReadPsuTemp() {
  InputReport reply{};
  if (!Exchange(MakeQuery(Command::ReadPsuTemp), reply)) return false;
  DecodePsuTemp(reply, readings_);
  return true;
}

TrimResult MonitorProtocol::TrimOutput(TrimRail rail, float target) {
  const RailTrim& trim = TrimOf(rail);
  float ReadingSet::*const feedback = trim.Feedback().volts;
  TrimResult result;
  result.startReading = readings_.*feedback;
  result.lastReading = result.startReading;
  result.reference = readings_.ReferenceVoltage;
  if (!TrimTargetAllowed(rail, target)) {
    result.stop = TrimStop::TargetOutOfRange;
  } else if (!(result.reference >= kLowestReference && result.reference <= kHighestReference)) {
    result.stop = TrimStop::ReferenceImplausible;
  } else if (!NearNominal(rail, result.startReading)) {
    result.stop = TrimStop::ReadingOutOfRange;
  }
  if (result.stop != TrimStop::None) return result;

  // The direction is chosen once: down only when the reading is above the target.
  const bool down = result.startReading > target;
  const std::uint8_t step = down ? kStepDown : kStepUp;
  int unchanged = 0;
  for (int i = 0; i < kMaxTrimSteps; ++i) {
    SendCommand(MakeReport(trim.command, step, kNoArgument, kNoArgument, kNoArgument));
    ++result.steps;
    const VoltageReplies replies = ReadVoltageReplies();
    if (!(trim.Feedback().reply == VoltageReply::Second ? replies.second : replies.first)) {
      result.feedbackLost = true;
      break;
    }
    const float reading = readings_.*feedback;
    unchanged = reading == result.lastReading ? unchanged + 1 : 0;
    result.lastReading = reading;
    if (down ? target >= result.lastReading : target <= result.lastReading) {
      result.reachedTarget = true;
      break;
    }
    if (unchanged == kStalledSteps) {
      result.stop = TrimStop::Stalled;
      break;
    }
  }
  return result;
}

bool MonitorProtocol::SetPsuFanCurve(float startVolts, std::int32_t temperature) {
  return SendCommand(MakeReport(Command::SetPsuFanCurve,
                                FanCurveVoltageCode(startVolts, readings_.ReferenceVoltage),
                                LowByte(temperature), kPsuFanSensorCode, kFanCurveLastArgument));
}

bool MonitorProtocol::SetSystemFanCurve(float startVolts, std::int32_t temperature,
                                        std::int32_t sensorCode) {
  return SendCommand(MakeReport(Command::SetSystemFanCurve,
                                FanCurveVoltageCode(startVolts, readings_.ReferenceVoltage),
                                LowByte(temperature), LowByte(sensorCode), kFanCurveLastArgument));
}

bool MonitorProtocol::SetLed(bool on) {
  return SendCommand(MakeReport(Command::SetLed, on ? kLedOnArgument : kLedOffArgument, kNoArgument,
                                kNoArgument, kNoArgument));
}

}  // namespace device

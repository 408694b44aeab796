#include "sim/simulated_psu.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace sim {
namespace {

// The controller's commands, as its firmware knows them.
enum Code : std::uint8_t {
  kCmdReference = 0x00,
  kCmdCurrents = 0x02,
  kCmdFans = 0x03,
  kCmdSensorTemps = 0x04,
  kCmdPsuTemp = 0x05,
  kCmdStep5V = 0x06,
  kCmdStep12V = 0x07,
  kCmdStep33V = 0x08,
  kCmdPsuFanCurve = 0x09,
  kCmdSystemFanCurve = 0x0A,
  kCmdLed = 0x0B,
  kCmdRating = 0x11,
  kCmdOffsets = 0x12,
  kCmdGains = 0x13,
  kCmdVoltagesA = 0x21,
  kCmdVoltagesB = 0x22,
};
constexpr std::size_t kRequestLength = 6;
constexpr std::size_t kCode = 1, kArg1 = 2, kArg2 = 3, kArg3 = 4;
constexpr std::uint8_t kStepDownArg = 0x01;
constexpr std::uint8_t kStepUpArg = 0x10;
constexpr std::uint8_t kLedOffArg = 0x01;
constexpr std::array<std::uint8_t, 4> kRatingKey{0xA8, 0x17, 0x00, 0x00};
constexpr std::uint8_t kUnknownRatingCode = 0x00;
constexpr int kTrimLimit = 64;  // steps either way from the factory setting

// The converter: a 3.3 V reference sampled to 10 bits, left-aligned in 16-bit words.
constexpr double kReference = 3.3;
constexpr std::uint16_t kReferenceRaw = 512;  // 1689.6 / 3.3
constexpr double kCounts = 1024.0;
constexpr int kSampleShift = 6;
constexpr std::uint16_t kLargestSample = 1023;
constexpr double kLowDivider = 2.0;
constexpr double kHighDivider = 5.0;
constexpr double kNegativeGain = 11.0;

// The load: a share of the rating that wanders on three slow periods.
constexpr double kLoadMean = 0.45;
constexpr std::array<double, 3> kLoadSwing{0.20, 0.10, 0.05};
constexpr std::array<double, 3> kLoadPeriodSeconds{97.0, 23.0, 7.3};
// Shares of the load per rail with a current channel.
constexpr double k12VShare = 0.22;
constexpr double k5VShare = 0.08;
constexpr double k33VShare = 0.04;

// Calibration as programmed at the factory; the 3.3 V channel was left unprogrammed (255).
constexpr std::array<std::uint8_t, 6> kOffsetBytes{4, 255, 5, 4, 6, 5};
constexpr std::array<std::uint8_t, 6> kGainBytes{124, 255, 125, 124, 126, 125};
constexpr std::uint8_t kUnprogrammed = 255;
constexpr double kUnprogrammedGainByte = 50.0;
constexpr double kGainScale = 0.125;

// Temperatures: the PSU follows its load a quarter of a minute late; the fans cool it.
constexpr double kAmbient = 30.0;
constexpr double kHeatPerLoad = 35.0;
constexpr double kHeatLagSeconds = 15.0;
constexpr double kCoolingPerFanVolt = 0.8;
constexpr double kSensorBase = 27.0;
constexpr double kSensorHeatPerLoad = 6.0;
constexpr double kSensorLagSeconds = 30.0;
constexpr std::array<double, 4> kSensorOffsets{0.0, 3.0, 7.0, -1.0};

// Fans: full voltage 20 degrees above the rising temperature.
constexpr double kFanFullVolts = 12.0;
constexpr double kFanRiseSpan = 20.0;
constexpr double kPsuFanRpmPerVolt = 250.0;
constexpr double kSystemFanRpmPerVolt = 160.0;
constexpr double kFanMinute = 60000.0;
constexpr double kFanPeriodScale = 10.9226;
constexpr double kFanLowDivisor = 255.0;
constexpr std::uint8_t kPsuSensor = 0xA0;
constexpr std::uint8_t kFirstExternalSensor = 0xA2;
constexpr std::uint8_t kSensorCodeStep = 2;
constexpr FanCurve kFactoryPsuFan{93, 40, kPsuSensor};  // 6.0 V from 40 degrees
constexpr FanCurve kFactorySystemFan{78, 35, 0xA2};     // 5.0 V from 35 degrees, T1
constexpr double kFanJitterRpm = 12.0;
constexpr double kFanCodeScale = 256.0;  // start volts = code * 5 * reference / 256

struct RailModel {
  double nominal;
  double sagPerLoad;
  int trimOutput;  // index into the trim steps, or -1
};
constexpr int kNoTrim = -1;
RailModel ModelOf(SimulatedPsu::Rail rail) {
  using Rail = SimulatedPsu::Rail;
  switch (rail) {
    case Rail::V5:
      return {5.02, 0.04, 1};
    case Rail::V33:
      return {3.31, 0.02, 2};
    case Rail::V5sb:
      return {5.00, 0.01, kNoTrim};
    case Rail::V12V1:
      return {12.03, 0.10, 0};
    case Rail::V12V2:
      return {12.00, 0.10, 0};
    case Rail::V12V3:
      return {11.98, 0.10, 0};
    case Rail::V12V4:
      return {12.01, 0.10, 0};
    case Rail::Neg12:
      break;
  }
  return {-12.02, -0.05, kNoTrim};
}

std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

std::uint8_t ClampByte(double value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

std::uint8_t RatingCode(std::int32_t rating) {
  switch (rating) {
    case 450:
      return 0x45;
    case 550:
      return 0x55;
    case 680:
      return 0x68;
    case 800:
      return 0x80;
    default:
      return kUnknownRatingCode;
  }
}

double CalibrationOffset(std::size_t channel) {
  return kOffsetBytes[channel] == kUnprogrammed ? 0.0 : kOffsetBytes[channel];
}

double CalibrationGain(std::size_t channel) {
  const double g =
      kGainBytes[channel] == kUnprogrammed ? kUnprogrammedGainByte : kGainBytes[channel];
  return (g - CalibrationOffset(channel)) * kGainScale;
}

// The two period bytes of a fan speed: period = high + low / 255, with 10.9226 per unit.
std::array<std::uint8_t, 2> FanBytes(double rpm) {
  if (rpm <= 0.0) return {0, 0};
  const double period = kFanMinute / (rpm * kFanPeriodScale);
  if (period >= 256.0) return {255, 255};
  const double high = std::floor(period);
  return {static_cast<std::uint8_t>(high), ClampByte((period - high) * kFanLowDivisor)};
}

}  // namespace

SimulatedPsu::SimulatedPsu(std::uint32_t seed, std::int32_t rating, bool noise)
    : seed_(seed),
      rating_(rating),
      noise_(noise),
      psuFan_(kFactoryPsuFan),
      systemFan_(kFactorySystemFan) {
  std::mt19937 random(seed);
  for (double& phase : phases_) phase = 2.0 * std::numbers::pi * (random() / 4294967296.0);
}

double SimulatedPsu::LoadFraction(double seconds) const {
  double load = kLoadMean;
  for (std::size_t i = 0; i < phases_.size(); ++i)
    load += kLoadSwing[i] *
            std::sin(2.0 * std::numbers::pi * seconds / kLoadPeriodSeconds[i] + phases_[i]);
  return load;
}

double SimulatedPsu::LoadWatts(double seconds) const {
  return LoadFraction(seconds) * rating_;
}

double SimulatedPsu::StepVolts(Rail rail) {
  switch (rail) {
    case Rail::V12V1:
    case Rail::V12V2:
    case Rail::V12V3:
    case Rail::V12V4:
      return kReference * kHighDivider / kCounts;
    case Rail::Neg12:
      return kReference * kNegativeGain / kCounts;
    default:
      return kReference * kLowDivider / kCounts;
  }
}

double SimulatedPsu::RailVolts(Rail rail, double seconds) const {
  const RailModel model = ModelOf(rail);
  const int steps =
      model.trimOutput == kNoTrim ? 0 : trimSteps_[static_cast<std::size_t>(model.trimOutput)];
  return model.nominal + steps * StepVolts(rail) - model.sagPerLoad * LoadFraction(seconds);
}

double SimulatedPsu::RailCurrent(Rail rail, double seconds) const {
  double share = k12VShare;
  if (rail == Rail::V5) share = k5VShare;
  if (rail == Rail::V33) share = k33VShare;
  return share * LoadWatts(seconds) / RailVolts(rail, seconds);
}

double SimulatedPsu::SensorTemperature(int sensor, double seconds) const {
  return kSensorBase + kSensorHeatPerLoad * LoadFraction(seconds - kSensorLagSeconds) +
         kSensorOffsets[static_cast<std::size_t>(sensor)];
}

double SimulatedPsu::FanVolts(const FanCurve& curve, double seconds) const {
  const double start =
      std::min(curve.voltageCode * kHighDivider * kReference / kFanCodeScale, kFanFullVolts);
  double temperature = -1000.0;  // an unknown sensor never raises the fan
  if (curve.sensorCode == kPsuSensor) {
    temperature = kAmbient + kHeatPerLoad * LoadFraction(seconds - kHeatLagSeconds);
  } else if (curve.sensorCode >= kFirstExternalSensor &&
             (curve.sensorCode - kFirstExternalSensor) % kSensorCodeStep == 0 &&
             (curve.sensorCode - kFirstExternalSensor) / kSensorCodeStep < 4) {
    temperature =
        SensorTemperature((curve.sensorCode - kFirstExternalSensor) / kSensorCodeStep, seconds);
  }
  const double rise = std::clamp((temperature - curve.risingTemperature) / kFanRiseSpan, 0.0, 1.0);
  return start + (kFanFullVolts - start) * rise;
}

double SimulatedPsu::PsuTemperature(double seconds) const {
  const double heat = kAmbient + kHeatPerLoad * LoadFraction(seconds - kHeatLagSeconds);
  const double start = psuFan_.voltageCode * kHighDivider * kReference / kFanCodeScale;
  return heat - kCoolingPerFanVolt * (FanVolts(psuFan_, seconds) - start);
}

double SimulatedPsu::FanRpm(bool psuFan, double seconds) const {
  return psuFan ? FanVolts(psuFan_, seconds) * kPsuFanRpmPerVolt
                : FanVolts(systemFan_, seconds) * kSystemFanRpmPerVolt;
}

int SimulatedPsu::TrimSteps(Output output) const {
  return trimSteps_[static_cast<std::size_t>(output)];
}

int SimulatedPsu::Jitter(int channel) const {
  if (!noise_) return 0;
  const std::uint64_t r = Mix(seed_ ^ Mix(exchanges_ * 16 + static_cast<std::uint64_t>(channel)));
  switch (r & 3) {
    case 0:
      return -1;
    case 3:
      return 1;
    default:
      return 0;
  }
}

std::uint16_t SimulatedPsu::Sample(Rail rail, double seconds, int channel) const {
  const double volts = RailVolts(rail, seconds);
  double raw = 0.0;
  switch (rail) {
    case Rail::V5:
    case Rail::V33:
    case Rail::V5sb:
      raw = volts * kCounts / (kReference * kLowDivider);
      break;
    case Rail::Neg12:
      raw = ((volts - kReference) / kNegativeGain + kReference) * kCounts / kReference;
      break;
    default:
      raw = volts * kCounts / (kReference * kHighDivider);
      break;
  }
  const long sample = std::lround(raw) + Jitter(channel);
  return static_cast<std::uint16_t>(std::clamp(sample, 0L, static_cast<long>(kLargestSample)));
}

void SimulatedPsu::Obey(std::span<const std::uint8_t> request) {
  const auto step = [&](Output output) {
    int& steps = trimSteps_[static_cast<std::size_t>(output)];
    if (request[kArg1] == kStepDownArg) steps = std::max(steps - 1, -kTrimLimit);
    if (request[kArg1] == kStepUpArg) steps = std::min(steps + 1, kTrimLimit);
  };
  switch (request[kCode]) {
    case kCmdStep12V:
      step(Output::V12);
      break;
    case kCmdStep5V:
      step(Output::V5);
      break;
    case kCmdStep33V:
      step(Output::V33);
      break;
    case kCmdPsuFanCurve:
      psuFan_ = {request[kArg1], request[kArg2], kPsuSensor};
      break;
    case kCmdSystemFanCurve:
      systemFan_ = {request[kArg1], request[kArg2], request[kArg3]};
      break;
    case kCmdLed:
      ledOn_ = request[kArg1] != kLedOffArg;
      break;
    default:
      break;
  }
}

std::array<std::uint8_t, 8> SimulatedPsu::Answer(std::span<const std::uint8_t> request,
                                                 double seconds) {
  std::array<std::uint8_t, 8> d{};
  if (request.size() != kRequestLength) return d;
  ++exchanges_;
  Obey(request);

  const auto putWord = [&](std::size_t at, std::uint16_t sample) {
    const auto word = static_cast<std::uint16_t>(sample << kSampleShift);
    d[at] = static_cast<std::uint8_t>(word >> 8);
    d[at + 1] = static_cast<std::uint8_t>(word & 0xFF);
  };
  const auto currentByte = [&](Rail rail, std::size_t channel) {
    return ClampByte(CalibrationOffset(channel) +
                     RailCurrent(rail, seconds) * CalibrationGain(channel) +
                     Jitter(static_cast<int>(channel)) * 0.5);
  };
  const std::uint8_t code = request[kCode];
  switch (code) {
    case kCmdReference:
      d[0] = static_cast<std::uint8_t>(kReferenceRaw >> 2);
      d[1] = static_cast<std::uint8_t>((kReferenceRaw & 0x3) << kSampleShift);
      break;
    case kCmdVoltagesA:
      putWord(0, Sample(Rail::V5, seconds, 0));
      putWord(2, Sample(Rail::V33, seconds, 1));
      putWord(4, Sample(Rail::V5sb, seconds, 2));
      putWord(6, Sample(Rail::V12V4, seconds, 3));
      break;
    case kCmdVoltagesB:
      putWord(0, Sample(Rail::V12V1, seconds, 4));
      putWord(2, Sample(Rail::V12V2, seconds, 5));
      putWord(4, Sample(Rail::V12V3, seconds, 6));
      putWord(6, Sample(Rail::Neg12, seconds, 7));
      break;
    case kCmdCurrents:
      d[0] = currentByte(Rail::V5, 0);
      d[1] = currentByte(Rail::V33, 1);
      d[3] = currentByte(Rail::V12V1, 2);
      d[4] = currentByte(Rail::V12V2, 3);
      d[5] = currentByte(Rail::V12V3, 4);
      d[7] = currentByte(Rail::V12V4, 5);
      break;
    case kCmdFans: {
      const auto psu = FanBytes(FanRpm(true, seconds) + Jitter(8) * kFanJitterRpm);
      const auto system = FanBytes(FanRpm(false, seconds) + Jitter(9) * kFanJitterRpm);
      d = {psu[0], psu[1], system[0], system[1], 0, 0, 0, 0};
      break;
    }
    case kCmdSensorTemps:
      for (int sensor = 0; sensor < 4; ++sensor)
        d[static_cast<std::size_t>(sensor) * 2] = ClampByte(SensorTemperature(sensor, seconds));
      break;
    case kCmdPsuTemp:
      d[0] = ClampByte(PsuTemperature(seconds));
      break;
    case kCmdRating: {
      const bool keyed = std::equal(kRatingKey.begin(), kRatingKey.end(), request.begin() + kArg1);
      d[0] = keyed ? RatingCode(rating_) : kUnknownRatingCode;
      break;
    }
    case kCmdOffsets:
      std::copy(kOffsetBytes.begin(), kOffsetBytes.end(), d.begin());
      break;
    case kCmdGains:
      std::copy(kGainBytes.begin(), kGainBytes.end(), d.begin());
      break;
    case kCmdStep5V:
    case kCmdStep12V:
    case kCmdStep33V:
    case kCmdPsuFanCurve:
    case kCmdSystemFanCurve:
    case kCmdLed:
      // Commands are acknowledged with their code and first argument.
      d[0] = code;
      d[1] = request[kArg1];
      break;
    default:
      break;
  }
  return d;
}

}  // namespace sim

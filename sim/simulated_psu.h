#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace sim {

// A fan curve as the controller keeps it: the start-voltage code, the rising temperature
// and the sensor the fan follows (0xA0 PSU, 0xA2..0xA8 T1..T4).
struct FanCurve {
  std::uint8_t voltageCode = 0;
  std::uint8_t risingTemperature = 0;
  std::uint8_t sensorCode = 0;
};

// The physical model behind the simulated PSU controller: a 3.3 V reference, rails near
// nominal that sag a little with load, a load that drifts over time, currents from that
// load, the calibration bytes those currents are encoded with, a power rating, trim steps
// that move a rail by one converter step, fan curves, temperatures that follow the load and
// the fans, and the LED. Its answers depend only on the seed, the commands received and the
// model time they arrive at, so a run is repeatable.
class SimulatedPsu {
 public:
  enum class Rail { V5, V33, V5sb, V12V1, V12V2, V12V3, V12V4, Neg12 };
  enum class Output { V12, V5, V33 };

  SimulatedPsu(std::uint32_t seed, std::int32_t rating, bool noise);

  // Takes one output report (report id first) that arrives at model time `seconds` and
  // returns the data bytes d1..d8 of the reply. Commands change the model first.
  std::array<std::uint8_t, 8> Answer(std::span<const std::uint8_t> request, double seconds);

  // What the model stands at, without converter jitter.
  double LoadWatts(double seconds) const;
  double RailVolts(Rail rail, double seconds) const;
  double PsuTemperature(double seconds) const;
  double FanRpm(bool psuFan, double seconds) const;
  int TrimSteps(Output output) const;
  bool LedOn() const { return ledOn_; }
  const FanCurve& PsuFanCurve() const { return psuFan_; }
  const FanCurve& SystemFanCurve() const { return systemFan_; }
  std::int32_t Rating() const { return rating_; }

  // The converter step of a rail in volts: what one trim step moves it by.
  static double StepVolts(Rail rail);

 private:
  double LoadFraction(double seconds) const;
  double SensorTemperature(int sensor, double seconds) const;
  double FanVolts(const FanCurve& curve, double seconds) const;
  double RailCurrent(Rail rail, double seconds) const;
  std::uint16_t Sample(Rail rail, double seconds, int channel) const;
  int Jitter(int channel) const;
  void Obey(std::span<const std::uint8_t> request);

  const std::uint32_t seed_;
  const std::int32_t rating_;
  const bool noise_;
  std::array<double, 3> phases_{};  // of the load's three drifts
  std::uint64_t exchanges_ = 0;
  std::array<int, 3> trimSteps_{};  // per Output
  bool ledOn_ = true;
  FanCurve psuFan_;
  FanCurve systemFan_;
};

}  // namespace sim

#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/monitor_session.h"
#include "app/ctl/usage_error.h"
#include "core/numbers.h"
#include "device/conversions.h"

namespace app::ctl {
namespace {

// The ranges the fan-speed page hands over; outside them the voltage code would wrap.
constexpr float kLowestStartVolts = 4.0f;
constexpr float kHighestStartVolts = 12.0f;
constexpr float kLowestRisingTemp = 25.0f;
constexpr float kHighestRisingTemp = 74.0f;
constexpr int kLastSensor = 4;
constexpr const char* kSensorNames[] = {"PSU", "T1", "T2", "T3", "T4"};
constexpr char kUsage[] = "fan psu VOLTS TEMP | fan system VOLTS TEMP SENSOR";

}  // namespace

int RunFan(CtlEnvironment& environment, std::span<const std::string> arguments) {
  if (arguments.empty() || (arguments[0] != "psu" && arguments[0] != "system"))
    throw UsageError(std::string("usage: quelta-ctl ") + kUsage);
  const bool psu = arguments[0] == "psu";
  ExpectArguments(arguments, psu ? 3 : 4, kUsage);

  const float volts = ExactFloat(arguments[1], "VOLTS");
  if (volts < kLowestStartVolts || volts > kHighestStartVolts)
    throw UsageError("VOLTS must be between 4.0 and 12.0 (got " + arguments[1] + ")");
  const float temperature = ExactFloat(arguments[2], "TEMP");
  if (temperature < kLowestRisingTemp || temperature > kHighestRisingTemp)
    throw UsageError("TEMP must be between 25 and 74 (got " + arguments[2] + ")");
  // Whole degrees, truncated, as the curve command carries them.
  const auto wholeDegrees = static_cast<std::int32_t>(temperature);
  int sensor = 0;
  if (!psu) {
    sensor = WholeNumber(arguments[3], "SENSOR");
    if (sensor < 0 || sensor > kLastSensor)
      throw UsageError("SENSOR must be 0..4 (PSU, T1..T4) (got " + arguments[3] + ")");
  }

  std::uint8_t voltageCode = 0;
  bool referenceRead = false;
  const int code = RunUnderAccessLock(environment, [&](device::MonitorProtocol& protocol) {
    // The voltage code is scaled by the reference, so it is read first.
    if (!protocol.ReadReference()) return static_cast<int>(kExitNoAnswer);
    referenceRead = true;
    voltageCode = device::FanCurveVoltageCode(volts, protocol.Readings().ReferenceVoltage);
    const bool delivered =
        psu ? protocol.SetPsuFanCurve(volts, wholeDegrees)
            : protocol.SetSystemFanCurve(volts, wholeDegrees, device::SystemFanSensorCode(sensor));
    return static_cast<int>(delivered ? kExitDone : kExitNoAnswer);
  });
  if (code == kExitNoAnswer) {
    environment.Err() << "quelta-ctl: the PSU controller did not answer ("
                      << (referenceRead ? "the fan curve command was not delivered"
                                        : "reference read failed")
                      << "): the curve was not set\n";
  }
  if (code != kExitDone) return code;
  environment.Out() << (psu ? "PSU fan" : "System fan") << " curve: start "
                    << core::FixedText(volts, 1) << " V (code " << int{voltageCode}
                    << "), rising from " << wholeDegrees << " C";
  if (!psu) environment.Out() << ", following " << kSensorNames[sensor];
  environment.Out() << "\n";
  return code;
}

}  // namespace app::ctl

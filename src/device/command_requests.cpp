#include "device/command_requests.h"

namespace device {

bool CommandRequests::RequestTrim(float target12V, bool enable12V, float target5V, bool enable5V,
                                  float target33V, bool enable33V) {
  DeviceCommand command;
  command.code = DeviceCommand::Trim;
  command.Target12V = target12V;
  command.Enable12V = enable12V;
  command.Target5V = target5V;
  command.Enable5V = enable5V;
  command.Target33V = target33V;
  command.Enable33V = enable33V;
  return Place(command);
}

bool CommandRequests::RequestLed(bool on) {
  DeviceCommand command;
  command.code = DeviceCommand::Led;
  command.LedOn = on;
  return Place(command);
}

bool CommandRequests::RequestPsuFanCurve(float startVolts, std::int32_t temperature) {
  DeviceCommand command;
  command.code = DeviceCommand::PsuFanCurve;
  command.FanStartVolts = startVolts;
  command.FanTemperature = temperature;
  return Place(command);
}

bool CommandRequests::RequestSystemFanCurve(float startVolts, std::int32_t temperature,
                                            std::int32_t sensorCode) {
  DeviceCommand command;
  command.code = DeviceCommand::SystemFanCurve;
  command.FanStartVolts = startVolts;
  command.FanTemperature = temperature;
  command.SensorCode = sensorCode;
  return Place(command);
}

}  // namespace device

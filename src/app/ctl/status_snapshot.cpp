#include "app/ctl/status_snapshot.h"

#include "device/conversions.h"

namespace app::ctl {

StatusSnapshot ReadStatusSnapshot(device::MonitorProtocol& protocol) {
  StatusSnapshot snapshot;
  StatusGroups& groups = snapshot.groups;
  groups.Reference = protocol.ReadReference();
  if (groups.Reference) {
    groups.Calibration = protocol.ReadCalibration();
    groups.PowerRating = protocol.ReadPowerRating(device::RatingMapping::Worker);
    const device::VoltageReplies voltages = protocol.ReadVoltageReplies();
    groups.VoltagesA = voltages.first;
    groups.VoltagesB = voltages.second;
    groups.Currents = protocol.ReadCurrents();
    groups.Fans = protocol.ReadFans();
    groups.SensorTemps = protocol.ReadSensorTemps();
    groups.PsuTemp = protocol.ReadPsuTemp();
  }
  snapshot.readings = protocol.Readings();
  snapshot.readings.WattTotal = device::WattTotal(snapshot.readings);
  snapshot.calibration = protocol.Calibration();
  return snapshot;
}

}  // namespace app::ctl

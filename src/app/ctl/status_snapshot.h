#pragma once

#include "device/calibration_table.h"
#include "device/monitor_protocol.h"
#include "device/reading_set.h"

namespace app::ctl {

// Which groups of a status read had good replies.
struct StatusGroups {
  bool Reference = false;
  bool Calibration = false;  // offsets and gains
  bool PowerRating = false;
  bool VoltagesA = false;  // 5V, 3.3V, 5Vsb, 12V4
  bool VoltagesB = false;  // 12V1, 12V2, 12V3, -12V
  bool Currents = false;
  bool Fans = false;
  bool SensorTemps = false;
  bool PsuTemp = false;

  bool Voltages() const { return VoltagesA && VoltagesB; }
  // Every reading the alarms judge was read: the reference and every group after it.
  bool EveryReading() const {
    return Reference && Voltages() && Currents && Fans && SensorTemps && PsuTemp;
  }
};

struct StatusSnapshot {
  device::ReadingSet readings;
  device::CalibrationTable calibration;
  StatusGroups groups;
};

// Everything `status` shows, read in this order: reference (nothing more when it fails:
// every voltage and fan code depends on it), calibration, power rating (the worker's
// mapping), voltages, currents, fans, sensor temperatures, PSU temperature; then the total
// power from what was read. The caller holds the access mutex.
StatusSnapshot ReadStatusSnapshot(device::MonitorProtocol& protocol);

}  // namespace app::ctl

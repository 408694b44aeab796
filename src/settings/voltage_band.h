#pragma once

#include "settings/alarm_settings.h"

namespace settings {

// A voltage alarm band: a reading strictly between the edges is good, one on an edge is not.
struct VoltageBand {
  float low = 0.0f;
  float high = 0.0f;
};

// The band a voltage threshold describes about `nominal`: the threshold and its mirror image,
// whichever edge the threshold is. Each step is rounded to a float.
VoltageBand BandAbout(float threshold, double nominal);

// A voltage threshold is kept as the upper edge of its band: one below its rail's nominal is
// replaced by its mirror. Called where a threshold enters the settings (loaded, saved from the
// alarm page, reverted, restored), so evaluation only reads them.
void KeepVoltageUpperEdges(AlarmSettings& alarms);

}  // namespace settings

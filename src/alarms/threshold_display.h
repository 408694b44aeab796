#pragma once

#include "platform/ui/color.h"
#include "platform/ui/image_list.h"
#include "skin/file_resolver.h"
#include "skin/image_track_bar.h"
#include "skin/layout_records.h"

namespace alarms {

// Sets up a threshold display from its layout record: the digits in `digits`, the status bar,
// the marker that a drag moves (its picture resolved through `files`) and the status rectangle
// drawn in `onColor` while its alarm is switched on.
void ApplyDisplayLayout(skin::TImageTrackBar& display, const skin::DisplayLayout& layout,
                        const ui::ImageList& digits, const skin::FileResolver& files,
                        ui::Color onColor);

}  // namespace alarms

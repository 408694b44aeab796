#pragma once

#include <cstdint>
#include <functional>

#include "alarms/alarm_blink.h"
#include "mainwindow/monitor_image_lists.h"
#include "mainwindow/monitor_page.h"
#include "pages/control_bar.h"
#include "skin/file_resolver.h"

namespace mainwindow {

// What the alarm blink draws on in this window: the monitor page's voltage and current tiles
// and temperature digits, and the control bar's Manager button (`bar` may be null until built).
alarms::BlinkTargets MonitorBlinkTargets(const MonitorPage& monitor, const pages::ControlBar* bar,
                                         const MonitorImageLists& lists,
                                         const skin::FileResolver& files,
                                         std::function<pages::Page()> currentPage);

}  // namespace mainwindow

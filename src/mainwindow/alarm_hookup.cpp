#include "mainwindow/alarm_hookup.h"

#include <exception>
#include <string>
#include <utility>

#include "device/reading_catalogue.h"

namespace mainwindow {
namespace {

using alarms::AlarmRow;

constexpr const char* kManagerSelected = "Skin\\M_Sel.bmp";

std::filesystem::path Resolve(const skin::FileResolver& files, const std::string& stored) {
  if (stored.empty()) return {};
  try {
    return files(stored);
  } catch (const std::exception&) {
    return {};  // a refused path loads nothing
  }
}

}  // namespace

alarms::BlinkTargets MonitorBlinkTargets(const MonitorPage& monitor, const pages::ControlBar* bar,
                                         const MonitorImageLists& lists,
                                         const skin::FileResolver& files,
                                         std::function<pages::Page()> currentPage) {
  alarms::BlinkTargets targets;
  // The monitor page names its tiles and temperature displays after their readings.
  targets.tile = [&monitor](AlarmRow row) {
    alarms::BlinkButton tile;
    const device::Reading& reading = device::ReadingOf(row);
    const bool voltage = reading.kind == device::ReadingKind::Voltage;
    if (!voltage && reading.kind != device::ReadingKind::Current) return tile;
    const MonitorPage::ButtonFiles* pictures = monitor.FilesOf(reading.name);
    tile.button = pictures ? monitor.Button(reading.name) : nullptr;
    if (!tile.button) return tile;
    tile.leave = pictures->leave;
    tile.click = pictures->click;
    tile.dis = pictures->dis;
    tile.selected =
        (voltage ? monitor.ShownVoltageButton() : monitor.ShownCurrentButton()) == reading.name;
    return tile;
  };
  targets.temperature = [&monitor](AlarmRow row) -> skin::TImageTrackBar* {
    const device::Reading& reading = device::ReadingOf(row);
    if (reading.kind != device::ReadingKind::Temperature) return nullptr;
    return monitor.Display(reading.name);
  };
  targets.reading = [&monitor](AlarmRow row) {
    const device::Reading& reading = device::ReadingOf(row);
    if (reading.kind != device::ReadingKind::Temperature) return 0.0f;
    return monitor.Readings().Values().*reading.field;
  };
  targets.fahrenheit = [&monitor] { return monitor.Unit() == core::TempUnit::kFahrenheit; };
  if (bar) {
    const skin::ButtonRecord& record = bar->Records().Manager;
    const auto path = [&](std::size_t position) {
      return position < record.bitmaps.size() ? Resolve(files, record.bitmaps[position])
                                              : std::filesystem::path();
    };
    alarms::BlinkButton manager{&bar->Tab(pages::Page::kMonitor), path(skin::kLeaveBmp),
                                path(skin::kClickBmp), path(skin::kDisBmp), false};
    targets.manager = [manager, currentPage = std::move(currentPage)] {
      alarms::BlinkButton shown = manager;
      shown.selected = currentPage && currentPage() == pages::Page::kMonitor;
      return shown;
    };
  }
  targets.managerSelected = Resolve(files, kManagerSelected);
  targets.numbers = &lists.ILNumber;
  targets.redNumbers = &lists.ILRedNumber;
  return targets;
}

}  // namespace mainwindow

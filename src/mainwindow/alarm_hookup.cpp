#include "mainwindow/alarm_hookup.h"

#include <exception>
#include <string>
#include <utility>

namespace mainwindow {
namespace {

using alarms::AlarmRow;

struct TileName {
  AlarmRow row;
  const char* button;
  bool voltage;
};
constexpr TileName kTiles[] = {
    {AlarmRow::Vol5V, "Vol5V", true},      {AlarmRow::Vol33V, "Vol33V", true},
    {AlarmRow::Vol12V1, "Vol12V1", true},  {AlarmRow::Vol12V2, "Vol12V2", true},
    {AlarmRow::Vol12V3, "Vol12V3", true},  {AlarmRow::Vol12V4, "Vol12V4", true},
    {AlarmRow::Cur5V, "Cur5V", false},     {AlarmRow::Cur33V, "Cur33V", false},
    {AlarmRow::Cur12V1, "Cur12V1", false}, {AlarmRow::Cur12V2, "Cur12V2", false},
    {AlarmRow::Cur12V3, "Cur12V3", false}, {AlarmRow::Cur12V4, "Cur12V4", false},
};

struct TemperatureName {
  AlarmRow row;
  const char* display;
  float device::ReadingSet::*reading;
};
constexpr TemperatureName kTemperatures[] = {
    {AlarmRow::TempPSU, "TempPSU", &device::ReadingSet::TempPSU},
    {AlarmRow::TempT1, "TempT1", &device::ReadingSet::TempT1},
    {AlarmRow::TempT2, "TempT2", &device::ReadingSet::TempT2},
    {AlarmRow::TempT3, "TempT3", &device::ReadingSet::TempT3},
    {AlarmRow::TempT4, "TempT4", &device::ReadingSet::TempT4},
};

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
  targets.tile = [&monitor](AlarmRow row) {
    alarms::BlinkButton tile;
    for (const TileName& t : kTiles) {
      if (t.row != row) continue;
      const MonitorPage::ButtonFiles* pictures = monitor.FilesOf(t.button);
      tile.button = pictures ? monitor.Button(t.button) : nullptr;
      if (!tile.button) break;
      tile.leave = pictures->leave;
      tile.click = pictures->click;
      tile.dis = pictures->dis;
      tile.selected =
          (t.voltage ? monitor.ShownVoltageButton() : monitor.ShownCurrentButton()) == t.button;
    }
    return tile;
  };
  targets.temperature = [&monitor](AlarmRow row) -> skin::TImageTrackBar* {
    for (const TemperatureName& t : kTemperatures) {
      if (t.row == row) return monitor.Display(t.display);
    }
    return nullptr;
  };
  targets.reading = [&monitor](AlarmRow row) {
    for (const TemperatureName& t : kTemperatures) {
      if (t.row == row) return monitor.Readings().Values().*t.reading;
    }
    return 0.0f;
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

#include "alarms/alarm_blink.h"

#include <exception>

#include "core/numbers.h"
#include "platform/ui/bitmap.h"
#include "skin/default_skin_places.h"

namespace alarms {
namespace {

constexpr const char* kWattRed = "Skin\\watt_red.bmp";
constexpr const char* kFanRed = "Skin\\fan_red.bmp";

constexpr AlarmRow kIconRows[] = {AlarmRow::Watt, AlarmRow::PSUFan, AlarmRow::SystemFan};
// The voltage and current rows: each blinks its tile on the monitor page.
constexpr auto kVoltageRows = RowsOfKind<device::ReadingKind::Voltage>();
constexpr auto kCurrentRows = RowsOfKind<device::ReadingKind::Current>();

}  // namespace

AlarmBlink::AlarmBlink(ui::Window& window, ui::Application& app, skin::FileResolver files,
                       const AlarmStatus& status, std::array<bool, kAlarmRowCount>& phases)
    : app_(app), files_(skin::Remembering(std::move(files))), status_(status), phases_(phases) {
  const skin::places::Place places[] = {skin::places::kImgAlarmWatt, skin::places::kImgAlarmPSU,
                                        skin::places::kImgAlarmSYS};
  for (std::size_t i = 0; i < icons_.size(); ++i) {
    icons_[i] = std::make_unique<ui::Image>(window, RectOf(places[i]));
    icons_[i]->SetTransparent(true);
  }
}

AlarmBlink::~AlarmBlink() = default;

void AlarmBlink::ShowIcons() {
  for (std::size_t i = 0; i < icons_.size(); ++i) {
    icons_[i]->SetVisible(status_.InAlarm(kIconRows[i]));
  }
}

void AlarmBlink::BlinkIcon(std::size_t icon, AlarmRow row, const std::filesystem::path& red,
                           bool& redThisTick) {
  bool& phase = phases_[static_cast<std::size_t>(row)];
  ui::Image& image = *icons_[icon];
  if (!status_.InAlarm(row)) {
    image.Hide();
    phase = false;
    return;
  }
  if (phase) {
    image.Hide();
    phase = false;
    return;
  }
  image.Show();
  try {
    image.LoadPicture(red);
  } catch (...) {
    // Reported once per file and run; the blink goes on with whatever picture it had.
    if (reported_.insert(red).second) app_.ShowException(std::current_exception());
  }
  phase = true;
  redThisTick = true;
}

void AlarmBlink::BlinkTile(AlarmRow row, bool& redThisTick) {
  const BlinkButton tile = targets_.tile ? targets_.tile(row) : BlinkButton{};
  if (!tile.button) return;
  bool& phase = phases_[static_cast<std::size_t>(row)];
  const std::filesystem::path& rest = tile.selected ? tile.click : tile.leave;
  if (status_.InAlarm(row) && !phase) {
    tile.button->LoadLeaveBitmap(tile.dis);
    phase = true;
    redThisTick = true;
  } else {
    tile.button->LoadLeaveBitmap(rest);
    phase = false;
  }
  tile.button->Repaint();
}

void AlarmBlink::TimerAlarmTimer() {
  bool redThisTick = false;

  const auto resolve = [this](const char* stored) -> std::filesystem::path {
    try {
      return files_(stored);
    } catch (const std::exception&) {
      return std::filesystem::path(stored);
    }
  };
  const std::filesystem::path wattRed = resolve(kWattRed);
  const std::filesystem::path fanRed = resolve(kFanRed);
  BlinkIcon(0, AlarmRow::Watt, wattRed, redThisTick);
  BlinkIcon(1, AlarmRow::PSUFan, fanRed, redThisTick);
  BlinkIcon(2, AlarmRow::SystemFan, fanRed, redThisTick);

  for (const AlarmRow row : kVoltageRows) BlinkTile(row, redThisTick);
  for (const AlarmRow row : kCurrentRows) BlinkTile(row, redThisTick);

  const bool fahrenheit = targets_.fahrenheit && targets_.fahrenheit();
  for (const AlarmRow row : kTemperatureRows) {
    skin::TImageTrackBar* display = targets_.temperature ? targets_.temperature(row) : nullptr;
    if (!display) continue;
    bool& phase = phases_[static_cast<std::size_t>(row)];
    if (status_.InAlarm(row) && !phase) {
      if (targets_.redNumbers) display->SetDigitImages(*targets_.redNumbers);
      phase = true;
      redThisTick = true;
    } else {
      if (targets_.numbers) display->SetDigitImages(*targets_.numbers);
      phase = false;
    }
    const float celsius = targets_.reading ? targets_.reading(row) : 0.0f;
    display->ShowValue(fahrenheit ? core::ToFahrenheit(celsius) : celsius, false, false);
  }

  const BlinkButton manager = targets_.manager ? targets_.manager() : BlinkButton{};
  if (manager.button) {
    if (redThisTick) {
      manager.button->LoadLeaveBitmap(manager.dis);
    } else if (manager.selected) {
      manager.button->LoadLeaveBitmap(targets_.managerSelected);
    } else {
      manager.button->LoadLeaveBitmap(manager.leave);
    }
    manager.button->Repaint();
  }
}

}  // namespace alarms

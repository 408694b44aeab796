#include "pages/voltage_page.h"

#include <utility>

#include "core/numbers.h"
#include "platform/ui/color.h"
#include "platform/ui/window.h"

namespace pages {
namespace {

// Each display is created hidden here; its parts are placed by its record.
constexpr std::int32_t kDisplayTop = 386;
constexpr std::int32_t kDisplayHeight = 153;
constexpr ui::Color kStatusRectColor{0, 255, 0};
constexpr int kTargetDecimals = 2;
// Targets are stored with two decimals, so a drag to either end of a bar can come back a
// little past it ("3.47" for 3.465); that much is still inside.
constexpr float kStoredRounding = 0.0055f;

}  // namespace

const std::array<VoltagePage::Rail, 3> VoltagePage::kRails = {{
    {"Config12V", "12V", &settings::VoltageSettings::Target12V, "12V"},
    {"Config5V", "5V", &settings::VoltageSettings::Target5V, "5V"},
    {"Config33V", "33V", &settings::VoltageSettings::Target33V, "3.3V"},
}};

VoltagePage::VoltagePage(ui::Window& window, skin::FileResolver files, const ui::ImageList& digits,
                         settings::VoltageSettings& voltage, settings::TrimTargets& targets,
                         std::function<bool()> active)
    : window_(window),
      files_(std::move(files)),
      digits_(digits),
      voltage_(voltage),
      targets_(targets),
      active_(std::move(active)) {}

VoltagePage::~VoltagePage() = default;

void VoltagePage::Build(const skin::PageRecords& records) {
  for (std::size_t i = 0; i < kRails.size(); ++i) {
    auto display = std::make_unique<skin::TImageTrackBar>(window_, files_);
    display->SetBounds(ui::Rect{0, kDisplayTop, 0, kDisplayHeight});
    display->ShowDigit = false;
    if (const skin::DisplayLayout* layout = records.Display(kRails[i].recordKey)) {
      display->SBHorz = layout->statusRect.Horizontal;
      display->ShowDigit = layout->ShowDigit;
      if (layout->ShowDigit) {
        const auto& d = layout->digit;
        display->SetupDigits(d.Left, d.Top, d.Count, d.Width, d.Height, d.isFloat, d.DecimalCount,
                             d.isAttr, false);
        display->SetDigitImages(digits_);
      }
      if (layout->ShowPosBar) {
        const auto& p = layout->posBar;
        display->ShowPositionBar = true;
        display->SetPositionBarOrigin(p.Left, p.Top);
        display->LoadMarker(files_(p.Path), p.Width, p.Height);
      }
      if (layout->ShowStatusRect) {
        const auto& r = layout->statusRect;
        display->ShowStatusRect = true;
        display->SetupStatusRect(r.Left, r.Top, r.Length, r.Caliper, r.Min, r.Max,
                                 kStatusRectColor);
      }
    }
    display->SetPartsVisible(false);
    if (display->ShowPositionBar) controls_.Controls().Add(&display->MarkerImage());
    controls_.Displays().Add(display.get());
    displays_[i] = std::move(display);
  }
}

void VoltagePage::SetOnCommit(std::function<void(ui::Window&)> onCommit) {
  for (auto& display : displays_) {
    if (display) display->OnCommit = onCommit;
  }
}

void VoltagePage::ShowVoltagePage(bool show) {
  controls_.SetShown(show);
  if (!show) return;
  window_.InvalidateAll();
  for (std::size_t i = 0; i < kRails.size(); ++i) {
    skin::TImageTrackBar* display = displays_[i].get();
    if (!display) continue;
    const float value = core::ParseSettingNumber(voltage_.*kRails[i].target);
    SetTarget(i, value);
    display->ShowValue(value, false, false);
    display->SetPositionValue(value);
    display->DrawStatusRect();
  }
}

void VoltagePage::StoreVoltageTargets() {
  if (!active_ || !active_()) return;
  for (std::size_t i = 0; i < kRails.size(); ++i) {
    if (displays_[i]) {
      SetTarget(i, displays_[i]->Value());
      voltage_.*kRails[i].target = core::FixedText(displays_[i]->Value(), kTargetDecimals);
    }
  }
}

void VoltagePage::SetTarget(std::size_t rail, float value) {
  const skin::TImageTrackBar* display = displays_[rail].get();
  targets_.targets[rail] = value;
  targets_.enabled[rail] = display && value >= display->StatusRect().Min - kStoredRounding &&
                           value <= display->StatusRect().Max + kStoredRounding;
}

VoltagePage::Trim VoltagePage::TrimTargets() const {
  Trim trim;
  static_cast<settings::TrimTargets&>(trim) = targets_;
  for (std::size_t i = 0; i < kRails.size(); ++i) {
    if (!targets_.enabled[i]) trim.skipped.emplace_back(kRails[i].name);
  }
  return trim;
}

}  // namespace pages

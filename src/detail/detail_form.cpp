#include "detail/detail_form.h"

#include <utility>

#include "skin/page_records.h"
#include "skin/skin_files.h"
#include "skin/skin_keys.h"
#include "skin/skin_path.h"

namespace detail {
namespace {

bool IsSmallRail(std::string_view key) {
  return key == "12V3" || key == "12V4";
}

}  // namespace

DetailForm::DetailForm(const DetailEnvironment& environment, DetailLayout form,
                       std::string languageFolder, std::int32_t powerRating,
                       std::span<const float> initial)
    : env_(environment),
      form_(std::move(form)),
      languageFolder_(std::move(languageFolder)),
      powerRating_(powerRating),
      files_(skin::Remembering(skin::SkinFileResolver(env_.programFolder))),
      window_(std::make_unique<ui::Window>(env_.app, form_.client)) {
  window_->SetTransparentColor(ui::colors::kMagenta);
  window_->SetBackgroundColor(ui::colors::kMagenta);
  window_->SetPosition(form_.firstPosition);
  imgBK_ = std::make_unique<ui::Image>(*window_, kImgBKPlace);
  imgBK_->SetAutoSize(true);
  AttachDrag(*imgBK_);
  if (form_.surfaceDrags) {
    window_->OnMouseDown = [this](ui::Window&, const ui::MouseEvent& e) { DragDown(e.button); };
    window_->OnMouseMove = [this](ui::Window&, const ui::MouseEvent& e) { DragMove(e.held); };
    window_->OnMouseUp = [this](ui::Window&, const ui::MouseEvent&) { dragging_ = false; };
  }
  if (env_.digitStrip) ilaNumber_.Add(env_.digitStrip);
  layouts_.resize(form_.rails.size());
  displays_.resize(form_.rails.size());

  ReadAndBuild();
  RefreshReadings(initial);
}

DetailForm::~DetailForm() = default;

skin::TImageTrackBar* DetailForm::Display(std::size_t index) const {
  return index < displays_.size() ? displays_[index].get() : nullptr;
}

void DetailForm::ReadAndBuild() {
  const auto registry = env_.store.Open(platform::RegistryAccess::Read);
  skin::LayoutReader reader(*registry, form_.variant, powerRating_);
  pagePath_ = skin::PagePath(languageFolder_, form_.keys.pageName);

  imgBK_->LoadPicture(skin::ResolveSkinPath(
      env_.programFolder, std::string(skin::kSkinFolder) + languageFolder_ + form_.background));

  const skin::PageRecords records = skin::PageRecords::Read(reader, languageFolder_, form_.keys);
  for (std::size_t i = 0; i < form_.rails.size(); ++i) {
    if (const skin::DisplayLayout* layout = records.Display(form_.rails[i].key)) {
      layouts_[i] = *layout;
    }
  }
  const bool small = powerRating_ == skin::kSmallRating;
  if (small && !form_.dropsSmallRails) {
    // The rails a 450 W supply lacks keep their displays, with nothing of them shown.
    for (std::size_t i = 0; i < form_.rails.size(); ++i) {
      if (!IsSmallRail(form_.rails[i].key)) continue;
      skin::DisplayLayout& l = layouts_[i];
      l.ShowDigit = l.ShowStatusBar = l.ShowPosBar = l.ShowStatusRect = false;
    }
  }
  if (!records.Complete()) return;  // the background alone

  BuildCloseButton(*records.Button("Close"));
  for (std::size_t i = 0; i < form_.rails.size(); ++i) {
    if (small && form_.dropsSmallRails && IsSmallRail(form_.rails[i].key)) continue;
    BuildDisplay(i, layouts_[i]);
  }
}

void DetailForm::BuildCloseButton(const skin::ButtonRecord& record) {
  close_ = skin::BuildImageLabel(*window_, record.rect, record.bitmaps, files_,
                                 [this](skin::TImageLabel&) { window_->Close(); });
  close_->Repaint();
}

void DetailForm::BuildDisplay(std::size_t index, const skin::DisplayLayout& layout) {
  auto display = std::make_unique<skin::TImageTrackBar>(*window_, files_);
  display->SetTop(form_.rails[index].top);
  display->SetHeight(form_.displayHeight);
  display->SBHorz = layout.statusRect.Horizontal;
  display->ShowPositionBar = layout.ShowPosBar;
  display->ShowStatusRect = layout.ShowStatusRect;
  display->ShowDigit = layout.ShowDigit;
  // A reading under the range is as wrong as one over it.
  display->BelowRangeAlarms = true;
  if (layout.ShowDigit) {
    const auto& d = layout.digit;
    display->SetupDigits(d.Left, d.Top, d.Count, d.Width, d.Height, d.isFloat, d.DecimalCount,
                         d.isAttr, true);
    display->SetDigitImages(ilaNumber_);
  }
  if (layout.ShowPosBar) {
    const auto& p = layout.posBar;
    display->SetPositionBarOrigin(p.Left, p.Top);
    display->LoadMarker(files_(p.Path), p.Width, p.Height);
    // The windows show readings only: the marker never moves under the pointer.
    display->MarkerImage().SetEnabled(false);
    display->MarkerImage().Hide();
  }
  if (layout.ShowStatusRect) {
    const auto& r = layout.statusRect;
    display->SetupStatusRect(r.Left, r.Top, r.Length, r.Caliper, r.Min, r.Max,
                             ui::colors::kPureGreen);
  }
  displays_[index] = std::move(display);
}

void DetailForm::RefreshReadings(std::span<const float> readings) {
  for (std::size_t i = 0; i < displays_.size() && i < readings.size(); ++i) {
    skin::TImageTrackBar* display = displays_[i].get();
    if (!display) continue;
    // A negative rail shows its magnitude behind the minus picture, and its bar grows with
    // the magnitude too, as the skin's range for it is written.
    const bool negative = form_.rails[i].negative;
    const float shown = negative ? -readings[i] : readings[i];
    display->ShowValue(shown, negative, false);
    display->SetPositionValue(shown);
    display->DrawStatusRect();
  }
}

void DetailForm::AttachDrag(ui::Control& surface) {
  surface.OnMouseDown = [this](ui::Control&, const ui::MouseEvent& e) { DragDown(e.button); };
  surface.OnMouseMove = [this](ui::Control&, const ui::MouseEvent& e) { DragMove(e.held); };
  surface.OnMouseUp = [this](ui::Control&, const ui::MouseEvent&) { dragging_ = false; };
}

void DetailForm::DragDown(ui::MouseButton button) {
  if (button == ui::MouseButton::Left) dragging_ = true;
}

void DetailForm::DragMove(ui::MouseButtons held) {
  if (!dragging_) return;
  // The desktop takes the move over from here and swallows the release.
  dragging_ = false;
  if (ui::Holds(held, ui::MouseButton::Left)) window_->BeginSystemMove();
}

}  // namespace detail

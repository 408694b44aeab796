#include "skin/track_gauge.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/image.h"
#include "platform/ui/image_list.h"

namespace skin {

TrackGauge::TrackGauge(const ui::Control& host) : image_(MakeTrackBarPart(host, ui::Rect{})) {}

TrackGauge::~TrackGauge() = default;

void TrackGauge::Setup(const StatusBarGroup& layout) {
  layout_ = layout;
  image_->SetBounds(ui::Rect{layout.Left, layout.Top, layout.Width, layout.Height});
}

void TrackGauge::SetImages(const ui::ImageList& list) {
  images_ = &list;
  list.Draw(*image_, index_);
}

void TrackGauge::SetValue(std::int32_t value) {
  const float index = static_cast<float>(layout_.Scale) *
                      (static_cast<float>(value) - layout_.Min) / (layout_.Max - layout_.Min);
  std::int32_t truncated = index_;
  if (index != static_cast<float>(index_)) {
    const int count = images_ ? images_->Count() : 0;
    float clamped = std::isnan(index) ? 0.0f : index;
    if (clamped < 0.0f) clamped = 0.0f;
    if (clamped >= static_cast<float>(count)) clamped = static_cast<float>(std::max(count - 1, 0));
    truncated = TruncSaturated(clamped);
    if (images_) images_->Draw(*image_, truncated);
  }
  index_ = truncated;
}

void TrackGauge::Shift(std::int32_t offset) {
  layout_.Top += offset;
  image_->SetTop(image_->Top() + offset);
}

}  // namespace skin

#include "skin/track_marker.h"

#include <utility>

#include "platform/ui/image.h"
#include "platform/ui/mouse.h"

namespace skin {

TrackMarker::TrackMarker(const ui::Control& host) : image_(MakeTrackBarPart(host, ui::Rect{})) {}

TrackMarker::~TrackMarker() = default;

void TrackMarker::SetOrigin(std::int32_t left, std::int32_t top) {
  layout_.Left = left;
  layout_.Top = top;
}

void TrackMarker::Load(const std::filesystem::path& path, std::int32_t width, std::int32_t height,
                       std::function<void(const ui::MouseEvent&)> onMove,
                       std::function<void()> onRelease) {
  layout_.Width = width;
  layout_.Height = height;
  image_->SetBounds(ui::Rect{layout_.Left, layout_.Top, width, height});
  image_->LoadPicture(path);
  image_->OnMouseDown = [this](ui::Control&, const ui::MouseEvent& e) {
    dragging_ = true;
    pressX_ = e.pos.x;
    pressY_ = e.pos.y;
  };
  image_->OnMouseMove = [this, move = std::move(onMove)](ui::Control&, const ui::MouseEvent& e) {
    // A drag whose release never came (the marker was hidden meanwhile) does not follow a
    // pointer that holds no button.
    if (dragging_ && e.held != 0 && move) move(e);
  };
  image_->OnMouseUp = [this, release = std::move(onRelease)](ui::Control&, const ui::MouseEvent&) {
    if (!dragging_) return;
    dragging_ = false;
    if (release) release();
  };
}

std::optional<std::int32_t> TrackMarker::Step(const ui::MouseEvent& event, bool horizontal,
                                              std::int32_t low, std::int32_t high) {
  const std::int32_t wanted = horizontal ? image_->Left() + (event.pos.x - pressX_)
                                         : image_->Top() + (event.pos.y - pressY_);
  if (horizontal && (wanted < low || wanted > high)) return std::nullopt;
  const std::int32_t edge = wanted < low ? low : (wanted > high ? high : wanted);
  if (horizontal) {
    image_->SetLeft(edge);
  } else {
    image_->SetTop(edge);
  }
  return edge;
}

void TrackMarker::Shift(std::int32_t offset) {
  // The marker moves with everything else: a roll down and back up returns it exactly.
  layout_.Top += offset;
  image_->SetTop(image_->Top() + offset);
}

}  // namespace skin

#pragma once

#include <cstdint>
#include <memory>

#include "skin/track_bar_layouts.h"

namespace ui {
class Image;
class ImageList;
}  // namespace ui

namespace skin {

// The gauge picture of a display: one picture of a list, chosen by where the value lies in
// the status-bar range.
class TrackGauge {
 public:
  explicit TrackGauge(const ui::Control& host);
  ~TrackGauge();

  // Places the gauge image at the layout's place; ranges as given.
  void Setup(const StatusBarGroup& layout);
  // Replaces the range and drag limits without placing anything.
  void SetLayout(const StatusBarGroup& layout) { layout_ = layout; }
  // The picture list; not owned. Draws the picture at the current index at once.
  void SetImages(const ui::ImageList& list);
  // Index = Scale x (value - Min) / (Max - Min), clamped to the list and truncated; the
  // picture is redrawn only when the index changes.
  void SetValue(std::int32_t value);

  void Shift(std::int32_t offset);

  const StatusBarGroup& Layout() const { return layout_; }
  std::int32_t Index() const { return index_; }
  ui::Image& Picture() const { return *image_; }

 private:
  StatusBarGroup layout_;
  std::int32_t index_ = 0;
  const ui::ImageList* images_ = nullptr;
  std::unique_ptr<ui::Image> image_;
};

}  // namespace skin

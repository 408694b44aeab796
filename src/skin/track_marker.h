#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "skin/track_bar_layouts.h"

namespace ui {
class Image;
struct MouseEvent;
}  // namespace ui

namespace skin {

// The draggable marker of a display. It follows the pointer along one axis between two
// limits; what a step means is the owner's business.
class TrackMarker {
 public:
  explicit TrackMarker(const ui::Control& host);
  ~TrackMarker();

  void SetOrigin(std::int32_t left, std::int32_t top);
  // Places and sizes the marker at the origin and loads its picture (FileError when it
  // cannot). `onMove` gets each move of a drag, `onRelease` the end of one.
  void Load(const std::filesystem::path& path, std::int32_t width, std::int32_t height,
            std::function<void(const ui::MouseEvent&)> onMove, std::function<void()> onRelease);

  // One drag step along the chosen axis: the marker's edge moves by the pointer's travel
  // since the press. Vertically a step past a limit pins the marker at the nearer one;
  // horizontally it moves nothing (nullopt). Returns the marker's new edge.
  std::optional<std::int32_t> Step(const ui::MouseEvent& event, bool horizontal, std::int32_t low,
                                   std::int32_t high);

  void Shift(std::int32_t offset);

  const PositionBarGroup& Layout() const { return layout_; }
  bool Dragging() const { return dragging_; }
  ui::Image& Picture() const { return *image_; }

 private:
  PositionBarGroup layout_;
  bool dragging_ = false;
  std::int32_t pressX_ = 0, pressY_ = 0;
  std::unique_ptr<ui::Image> image_;
};

}  // namespace skin

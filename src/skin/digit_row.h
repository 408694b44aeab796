#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "skin/file_resolver.h"
#include "skin/track_bar_layouts.h"

namespace ui {
class Image;
class ImageList;
}  // namespace ui

namespace skin {

// A display's row of bitmap digits with its decimal point and sign picture: integer cells,
// the point, decimal cells, left to right, and the sign left of the first cell.
class DigitRow {
 public:
  // The most digit cells one row makes (a 64-bit value has 19 digits).
  static constexpr std::int32_t kMaxDigitCount = 18;

  // `host` is the display the parts belong to; `files` resolves the fixed digit pictures.
  DigitRow(const ui::Control& host, FileResolver files);
  ~DigitRow();

  // Makes the cells, the point and the sign for `layout`, replacing any earlier ones. Counts
  // come from untrusted skin data and are kept within what the cells and a 64-bit value hold.
  void Setup(DigitGroup layout);
  // The ten digit pictures (index = digit); not owned, must outlive the row's use of it.
  void SetImages(const ui::ImageList& list) { images_ = &list; }
  // Renders a non-negative value; the sign comes through `negative`. Leading zeros are blank,
  // the units digit and everything after it always drawn.
  void Show(float value, bool negative, bool alternate);

  void Shift(std::int32_t offset);
  // The sign shows and hides only while its bottom edge is at or below `ownerTop`.
  void SetVisible(bool visible, std::int32_t ownerTop);

  const DigitGroup& Layout() const { return layout_; }
  const std::vector<std::unique_ptr<ui::Image>>& Cells() const { return cells_; }
  ui::Image* DecimalPoint() const { return point_.get(); }
  ui::Image* Sign() const { return sign_.get(); }

 private:
  std::filesystem::path Picture(const char* small, const char* big) const;
  void DrawDigit(ui::Image& cell, std::int64_t digit) const;

  const ui::Control& host_;
  FileResolver files_;
  DigitGroup layout_;
  std::string pointPath_;
  std::vector<std::unique_ptr<ui::Image>> cells_;
  std::unique_ptr<ui::Image> sign_;
  std::unique_ptr<ui::Image> point_;
  const ui::ImageList* images_ = nullptr;
};

}  // namespace skin

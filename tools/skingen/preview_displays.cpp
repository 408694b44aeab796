#include "preview_displays.h"

#include <stdexcept>

#include "platform/ui/bitmap.h"
#include "platform/ui/render_window.h"
#include "skin/image_list_resources.h"
#include "skin_writer.h"

namespace skingen {

DisplayStage::DisplayStage(std::filesystem::path binDir, std::filesystem::path listsDir, int width,
                           int height)
    : bin_(std::move(binDir)),
      lists_(std::move(listsDir)),
      window_(app_, ui::Size{width, height}),
      background_(window_, ui::Rect{0, 0, width, height}) {
  // The window is all see-through but for the displays.
  window_.SetTransparentColor(ui::colors::kMagenta);
  QImage clear(width, height, QImage::Format_RGB32);
  clear.fill(QColor(255, 0, 255));
  background_.SetPicture(ui::Bitmap::FromImage(clear));
}

DisplayStage::~DisplayStage() = default;

const ui::ImageList& DisplayStage::List(std::string_view name) {
  const auto found = lists_by_name_.find(name);
  if (found != lists_by_name_.end()) return *found->second;
  const skin::ImageListResource* r = skin::FindImageListResource(name);
  if (!r) throw std::runtime_error("preview: no image list " + std::string(name));
  const std::filesystem::path file = lists_ / (std::string(name) + ".bmp");
  QImage strip(QString::fromStdString(file.string()));
  if (strip.isNull()) throw std::runtime_error("preview: cannot read " + file.string());
  auto list = std::make_unique<ui::ImageList>(r->cellWidth, r->cellHeight);
  list->Add(ui::Bitmap::FromImage(strip));
  return *lists_by_name_.emplace(std::string(name), std::move(list)).first->second;
}

void DisplayStage::Show(const DisplayEntry& entry, const DisplaySample& s) {
  const auto files = [bin = bin_](std::string_view stored) {
    return StoredToFile(bin, std::string(stored));
  };
  auto& display = *displays_.emplace_back(std::make_unique<skin::TImageTrackBar>(window_, files));
  display.ShowDigit = false;
  display.CenteredMode = s.centred;
  if (entry.statusRect) display.SBHorz = entry.statusRect->horizontal;
  if (!s.digitList.empty() && entry.digit) {
    const DigitPlace& d = *entry.digit;
    // The alternate digit set stands its sign a pixel further out.
    display.SetupDigits(skin::DigitGroup{d.left, d.top, d.width, d.height, d.count, d.isFloat,
                                         d.decimals, d.isAttr, s.digitList == "ILANumber"});
    display.SetDigitImages(List(s.digitList));
  }
  if (!s.marker.empty() && entry.posBar) {
    const PosBarPlace& m = *entry.posBar;
    display.SetPositionBarOrigin(m.left, m.top);
    display.LoadMarker(files(s.marker), m.width, m.height);
  }
  if (s.bar && entry.statusRect) {
    const StatusRectPlace& r = *entry.statusRect;
    display.SetupStatusRect(r.left, r.top, r.length, r.caliper, s.min, s.max, s.colour);
  }
  display.SetPositionValue(s.value);
  display.DrawStatusRect();
  display.ShowValue(s.digits, s.negative, s.alternate);
}

void DisplayStage::PaintOnto(QPainter& p) const {
  p.drawImage(0, 0, ui::KeyedScreenshot(window_, ui::RenderWindow(window_)));
}

}  // namespace skingen

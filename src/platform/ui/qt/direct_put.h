#pragma once

#include <QImage>
#include <QRegion>
#include <cstdint>
#include <vector>

class QWidget;

namespace ui::qt {

// Sends parts of a window's picture straight to its X11 window, beside Qt's backing store:
// a small area that changes many times a second (a turning fan) so costs one request and no
// wait for the server, where a paint through the backing store waits for the server to
// finish with the last one. Where the display is not X11 or its pixels are not the picture's
// (another depth, byte order or colour layout), Put says no and the caller paints as usual.
class DirectPut {
 public:
  explicit DirectPut(QWidget& widget);
  ~DirectPut();
  DirectPut(const DirectPut&) = delete;
  DirectPut& operator=(const DirectPut&) = delete;

  // Puts `region` of `frame` (RGB32, one frame pixel per window pixel) in the window at the
  // same place. False, having sent nothing, where this window cannot take it so.
  bool Put(const QImage& frame, const QRegion& region);

 private:
  enum class State { Unknown, Usable, Unusable };
  bool Ready();
  void Release();

  QWidget& widget_;
  State state_ = State::Unknown;
  void* connection_ = nullptr;  // the application's xcb connection
  std::uint32_t window_ = 0;
  std::uint32_t gc_ = 0;
  std::uint8_t depth_ = 0;
  std::uint64_t maxBytes_ = 0;  // the largest request the server takes
  std::vector<std::uint32_t> rows_;
};

}  // namespace ui::qt

#include "platform/ui/qt/direct_put.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstring>
#include <memory>

#if defined(QUELTA_DIRECT_XCB)
#include <xcb/xcb.h>
#endif

namespace ui::qt {

DirectPut::DirectPut(QWidget& widget) : widget_(widget) {}

DirectPut::~DirectPut() {
  Release();
}

#if defined(QUELTA_DIRECT_XCB)

namespace {

xcb_connection_t* Connection(void* c) {
  return static_cast<xcb_connection_t*>(c);
}

// Whether the window's pixels are 32-bit little-endian words holding 8-bit red, green and
// blue as 0x00RRGGBB: the layout of an RGB32 picture in memory.
bool SameLayout(xcb_connection_t* c, xcb_visualid_t visualId, std::uint8_t depth) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
  bool wordPixels = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f)) {
    if (f.data->depth == depth) {
      wordPixels = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    }
  }
  if (!wordPixels) return false;
  for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s)) {
    for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
      if (d.data->depth != depth) continue;
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
        if (v.data->visual_id != visualId) continue;
        return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xFF0000u &&
               v.data->green_mask == 0x00FF00u && v.data->blue_mask == 0x0000FFu;
      }
    }
  }
  return false;
}

}  // namespace

bool DirectPut::Ready() {
  if (state_ == State::Usable && widget_.winId() != window_) Release();
  if (state_ != State::Unknown) return state_ == State::Usable;
  state_ = State::Unusable;
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return false;
  xcb_connection_t* c = x11->connection();
  const auto window = static_cast<xcb_window_t>(widget_.winId());
  // Asked once per window: the two answers are the only waits this path has.
  const auto attributes = xcb_get_window_attributes(c, window);
  const auto geometry = xcb_get_geometry(c, window);
  const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> a(
      xcb_get_window_attributes_reply(c, attributes, nullptr), &std::free);
  const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> g(
      xcb_get_geometry_reply(c, geometry, nullptr), &std::free);
  if (!a || !g || !SameLayout(c, a->visual, g->depth)) return false;
  connection_ = c;
  window_ = window;
  depth_ = g->depth;
  maxBytes_ = static_cast<std::uint64_t>(xcb_get_maximum_request_length(c)) * 4;
  gc_ = xcb_generate_id(c);
  xcb_create_gc(c, gc_, window_, 0, nullptr);
  state_ = State::Usable;
  return true;
}

void DirectPut::Release() {
  if (state_ == State::Usable && qGuiApp) xcb_free_gc(Connection(connection_), gc_);
  state_ = State::Unknown;
  connection_ = nullptr;
  window_ = 0;
  gc_ = 0;
}

bool DirectPut::Put(const QImage& frame, const QRegion& region) {
  if (frame.format() != QImage::Format_RGB32 || !Ready()) return false;
  constexpr std::uint64_t kRequestHeader = 24;
  for (const QRect& r : region) {
    const QRect area = r & frame.rect();
    if (area.isEmpty()) continue;
    if (kRequestHeader + static_cast<std::uint64_t>(area.width()) * area.height() * 4 > maxBytes_) {
      return false;
    }
  }
  xcb_connection_t* c = Connection(connection_);
  for (const QRect& r : region) {
    const QRect area = r & frame.rect();
    if (area.isEmpty()) continue;
    const auto width = static_cast<std::size_t>(area.width());
    rows_.resize(width * static_cast<std::size_t>(area.height()));
    for (int y = 0; y < area.height(); ++y) {
      const auto* line =
          reinterpret_cast<const std::uint32_t*>(frame.constScanLine(area.top() + y));
      std::memcpy(&rows_[static_cast<std::size_t>(y) * width], line + area.left(), width * 4);
    }
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_,
                  static_cast<std::uint16_t>(area.width()),
                  static_cast<std::uint16_t>(area.height()), static_cast<std::int16_t>(area.left()),
                  static_cast<std::int16_t>(area.top()), 0, depth_,
                  static_cast<std::uint32_t>(rows_.size() * 4),
                  reinterpret_cast<const std::uint8_t*>(rows_.data()));
  }
  xcb_flush(c);
  return true;
}

#else

bool DirectPut::Ready() {
  return false;
}

void DirectPut::Release() {}

bool DirectPut::Put(const QImage&, const QRegion&) {
  return false;
}

#endif

}  // namespace ui::qt

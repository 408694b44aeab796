#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/desktop_window_host.h"
#include "platform/ui/frame.h"
#include "platform/ui/win32/native_window.h"

namespace ui {
class ComboBox;
class Edit;
class Window;
struct Message;
}  // namespace ui

namespace ui::win32 {

// The native child of an edit or a combo box: its id, and a combo box's items as made.
struct Win32NativeControl {
  int id = 0;
  std::vector<std::string> items;
};

// A scene window shown on Windows: a NativeWindow painted from the frame the scene renders
// without any toolkit (RenderWindowFrame), native EDIT and COMBOBOX children where the scene
// has its edits and combo boxes, the window's input and messages handed back to the scene.
// Invalidated areas are rendered at the next WM_PAINT, all at once; PaintNow renders and
// paints them before it returns. UI thread only.
class Win32WindowHost : public DesktopWindowHost<Win32NativeControl> {
 public:
  // Sees each program message before the scene window does; true keeps it from the window.
  using MessageFilter = std::function<bool(const Message&)>;

  Win32WindowHost(Window& window, MessageFilter filter);
  ~Win32WindowHost() override;

  void Invalidated(const Rect& area) override;
  void PaintNow(const DirtyRegion& areas) override;
  void GeometryChanged() override;
  void CaptionChanged() override;
  void ShapeChanged() override;
  void BeginSystemMove() override;
  void Activate() override;
  void CenterOnScreen() override;

  NativeWindow& Native() { return native_; }
  // The frame as rendered so far (what the window paints from).
  const Frame& Rendered() const { return frame_; }
  // The native child made for an edit or combo box; 0 for other controls.
  int NativeIdOf(const Control& control) const;

 private:
  // Renders what the scene marked dirty and hands it to the native window.
  void Present();
  void ShowAs(Showing showing) override;
  std::optional<Win32NativeControl> MakeNative(Control& control) override;
  // A combo box whose items changed is made again with the new ones.
  bool Stale(const Control& control, const Win32NativeControl& native) const override;
  void SyncNative(Control& control, Win32NativeControl& native) override;
  void DropNative(Win32NativeControl& native) override;
  void SyncEdit(const Edit& edit, int id);

  MessageFilter filter_;
  NativeWindow native_;
  Frame frame_;
  std::map<int, Control*> byId_;
};

}  // namespace ui::win32

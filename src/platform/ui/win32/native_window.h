#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ui/color.h"
#include "platform/ui/frame.h"
#include "platform/ui/geometry.h"
#include "platform/ui/win32/key_shape.h"

namespace ui::win32 {

// The program's borderless top-level window on Windows: class "Quelta" (where the command-line
// tool and a second copy look for it), WS_POPUP, shaped by its key colour, painted from the
// frame the scene renders, only where the scene says it changed. Everything in it is in skin
// pixels; on a screen of higher density the window grows by a whole factor and each skin pixel
// is painted as a square. Native EDIT and COMBOBOX children stand where the scene has its edit
// boxes and combo box. UI thread only.
class NativeWindow {
 public:
  static constexpr const char* kClassName = "Quelta";
  // Messages other programs post to the window: restore request, fan-curve apply, worker
  // restart, and those added with TakeMessage; the system's device notice. They reach
  // OnMessage; the device notice then also gets the system's own processing.
  static constexpr UINT kRestoreRequest = 0x07E8;
  static constexpr UINT kFanCurveApply = 0x07E9;
  static constexpr UINT kWorkerRestart = 0x0401;

  struct Font {
    std::string face = "MS Sans Serif";
    int height = 13;  // pixels
    bool bold = false;
  };

  NativeWindow(Size clientSize, const std::string& caption);
  ~NativeWindow();
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  HWND Handle() const { return window_; }
  // One more message number that reaches OnMessage (the program's own others).
  void TakeMessage(UINT id) { taken_.insert(id); }
  int Scale() const { return scale_; }

  void SetCaption(const std::string& caption);
  std::string Caption() const;
  void SetPosition(Point screen);
  // The client size in skin pixels (the window grows by the screen's whole factor).
  void SetClientSize(Size size);
  void Show();
  void Hide();
  void Minimize();
  // Brings the window to the front and gives it the keyboard.
  void Activate();

  // The scene's new picture; only `dirty` is painted again (on the next WM_PAINT). The shape
  // follows the key colour and is rebuilt only when the outline changed; the frame is scanned
  // for it only when a dirty area held or holds a pixel of the key colour (a fan turning on an
  // opaque page costs no scan), or the size or key changed.
  void Present(const Frame& frame, const std::vector<Rect>& dirty, std::optional<Color> key);
  // How many times the whole frame was scanned for the shape.
  int ShapeScans() const { return shapeScans_; }
  // What was painted so far, areas in skin pixels (for tests and the paint counters).
  const std::vector<Rect>& Painted() const { return painted_; }
  const KeyShape& Shape() const { return shape_; }

  // Lets the user drag the window with the pointer held since the press (system move).
  void BeginSystemMove();

  // A native edit box or drop-down list; returns its id for the notices below.
  int AddEdit(const Rect& bounds, const Font& font, Color text, Color background,
              bool border = false);
  int AddComboBox(const Rect& bounds, const Font& font, const std::vector<std::string>& items);
  HWND Child(int id) const;
  // Moves a child (skin pixels), shows or hides it, enables or disables it.
  void PlaceChild(int id, const Rect& bounds, bool visible, bool enabled);
  // The child's text as shown (an edit's), set without telling OnEditChange.
  void SetChildText(int id, const std::string& text);
  // The item a combo box shows (-1: none), set without telling OnComboSelect.
  void SetComboSelection(int id, int index);
  void RemoveChild(int id);

  // One of the program's own messages (or the device notice) arrived.
  std::function<void(UINT, WPARAM, LPARAM)> OnMessage;
  // A person changed an edit's text (its id, the new text) or chose a combo box item.
  std::function<void(int, const std::string&)> OnEditChange;
  std::function<void(int, int)> OnComboSelect;
  // Mouse on the window, in skin pixels.
  std::function<void(Point)> OnMouseDown;
  std::function<void(Point)> OnMouseMove;
  std::function<void(Point)> OnMouseUp;
  // The pointer left the window (after a move over it).
  std::function<void()> OnMouseLeave;
  // The desktop moved the window (its client area's new top-left corner, screen pixels).
  std::function<void(Point)> OnMoved;
  std::function<void()> OnActivated;
  // Just before a paint: the scene presents what changed since the last one.
  std::function<void()> OnBeforePaint;
  std::function<void()> OnClose;

  // Makes the process aware of each monitor's density (before any window is made); false
  // where the system has no such setting.
  static bool BecomeDpiAware();

 private:
  struct NativeChild {
    HWND window = nullptr;
    HFONT font = nullptr;
    HBRUSH background = nullptr;
    COLORREF text = 0;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The steps of OnWindowMessage, one a kind of message.
  void OnMouseMessage(UINT message, LPARAM lParam);
  // The colours of an edit that has its own background; null leaves the system's.
  HBRUSH ColorEdit(HDC dc, HWND box) const;
  // An edit's or combo box's notification; false when no child of ours has that id.
  bool OnChildCommand(int id, int notification);
  // Hands the program's messages (and device changes) on; true when the system's own
  // processing is not to follow.
  bool OnProgramMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void FitToScale();
  Point SkinPoint(LPARAM lParam) const;
  RECT DeviceRect(const Rect& r) const;
  NativeChild& MakeChild(const char* className, DWORD style, const Rect& bounds, const Font& font);

  HWND window_ = nullptr;
  Size clientSize_;
  int scale_ = 1;
  Frame frame_;
  KeyShape shape_;
  std::vector<Rect> painted_;
  std::map<int, NativeChild> children_;
  int lastChild_ = 100;
  std::set<UINT> taken_;
  int shapeScans_ = 0;
  std::optional<Color> key_;
  bool trackingLeave_ = false;
  bool quiet_ = false;  // a change the program made itself is not told back to it
};

}  // namespace ui::win32

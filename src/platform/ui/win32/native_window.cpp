#include "platform/ui/win32/native_window.h"

#include <stdexcept>

#include "platform/ui/win32/frame_paint.h"

namespace ui::win32 {
namespace {

constexpr int kDefaultDpi = 96;

// Not in every SDK's headers, nor on every system: looked up where it is used.
using DpiForWindowCall = UINT(WINAPI*)(HWND);
using DpiContextCall = BOOL(WINAPI*)(HANDLE);
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4));

template <typename Call>
Call User32Call(const char* name) {
  HMODULE user32 = ::GetModuleHandleA("user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Call>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

COLORREF Ref(Color c) {
  return RGB(c.red, c.green, c.blue);
}

// Whether a pixel of the key colour lies in `area` of `frame` (clipped to it).
bool HoldsKey(const Frame& frame, const Rect& area, Color key) {
  const Rect r = area.Intersected(Rect{0, 0, frame.width, frame.height});
  const std::uint32_t word = Frame::Word(key);
  for (int y = r.top; y < r.Bottom(); ++y) {
    for (int x = r.left; x < r.Right(); ++x) {
      if ((frame.At(x, y) & 0xFFFFFFu) == word) return true;
    }
  }
  return false;
}

}  // namespace

bool NativeWindow::BecomeDpiAware() {
  const auto call = User32Call<DpiContextCall>("SetProcessDpiAwarenessContext");
  return call != nullptr && call(kPerMonitorAwareV2) != FALSE;
}

NativeWindow::NativeWindow(Size clientSize, const std::string& caption) : clientSize_(clientSize) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &NativeWindow::WindowProc;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.lpszClassName = kClassName;
  ::RegisterClassExA(&windowClass);  // a second window finds the class there: fine
  // The frame is the window's only background: the system never erases under the paint.
  window_ = ::CreateWindowExA(0, kClassName, caption.c_str(), WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                              clientSize.width, clientSize.height, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), this);
  if (window_ == nullptr) throw std::runtime_error("the window of class Quelta was refused");
  FitToScale();
}

NativeWindow::~NativeWindow() {
  ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
  for (auto& [id, child] : children_) {
    if (child.font != nullptr) ::DeleteObject(child.font);
    if (child.background != nullptr) ::DeleteObject(child.background);
  }
}

void NativeWindow::FitToScale() {
  const auto dpiFor = User32Call<DpiForWindowCall>("GetDpiForWindow");
  const int dpi = dpiFor != nullptr ? static_cast<int>(dpiFor(window_)) : kDefaultDpi;
  // A whole factor only: a bitmap skin scaled by 1.5 would blur or lose lines.
  scale_ = std::max(1, dpi / kDefaultDpi);
  ::SetWindowPos(window_, nullptr, 0, 0, clientSize_.width * scale_, clientSize_.height * scale_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT NativeWindow::DeviceRect(const Rect& r) const {
  return RECT{r.left * scale_, r.top * scale_, r.Right() * scale_, r.Bottom() * scale_};
}

void NativeWindow::SetCaption(const std::string& caption) {
  ::SetWindowTextA(window_, caption.c_str());
}

std::string NativeWindow::Caption() const {
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(window_)) + 1, '\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextA(window_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void NativeWindow::SetPosition(Point screen) {
  ::SetWindowPos(window_, nullptr, screen.x, screen.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeWindow::SetClientSize(Size size) {
  if (size == clientSize_) return;
  clientSize_ = size;
  FitToScale();
}

void NativeWindow::Show() {
  ::ShowWindow(window_, SW_SHOWNORMAL);
}

void NativeWindow::Minimize() {
  ::ShowWindow(window_, SW_MINIMIZE);
}

void NativeWindow::Activate() {
  ::SetForegroundWindow(window_);
  ::SetActiveWindow(window_);
}

void NativeWindow::Hide() {
  ::ShowWindow(window_, SW_HIDE);
}

void NativeWindow::Present(const Frame& frame, const std::vector<Rect>& dirty,
                           std::optional<Color> key) {
  const bool resized = frame.width != frame_.width || frame.height != frame_.height;
  // The outline can change only where a key pixel was or now is.
  bool rescan = resized || key != key_ || shapeScans_ == 0;
  for (std::size_t i = 0; !rescan && key && i < dirty.size(); ++i) {
    rescan = HoldsKey(frame_, dirty[i], *key) || HoldsKey(frame, dirty[i], *key);
  }
  frame_ = frame;
  key_ = key;
  if (rescan) {
    ++shapeScans_;
    shape_.Apply(window_, frame_, key, scale_);
  }
  if (resized) {
    ::InvalidateRect(window_, nullptr, FALSE);
    return;
  }
  for (const Rect& area : dirty) {
    const RECT r = DeviceRect(area);
    ::InvalidateRect(window_, &r, FALSE);
  }
}

void NativeWindow::Paint() {
  if (OnBeforePaint) OnBeforePaint();
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window_, &paint);
  // The area the system asks for, in skin pixels, widened to whole skin pixels.
  const RECT& d = paint.rcPaint;
  const Rect area =
      Rect::FromEdges(d.left / scale_, d.top / scale_, (d.right + scale_ - 1) / scale_,
                      (d.bottom + scale_ - 1) / scale_);
  if (!area.IsEmpty() && PaintFrameArea(dc, frame_, area, scale_)) painted_.push_back(area);
  ::EndPaint(window_, &paint);
}

void NativeWindow::BeginSystemMove() {
  // The press that started the drag becomes a press on a caption: the system moves the
  // window until the button is let go.
  ::ReleaseCapture();
  ::SendMessageA(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

NativeWindow::NativeChild& NativeWindow::MakeChild(const char* className, DWORD style,
                                                   const Rect& bounds, const Font& font) {
  const int id = ++lastChild_;
  const RECT r = DeviceRect(bounds);
  NativeChild child;
  child.window = ::CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
  if (child.window == nullptr) throw std::runtime_error(std::string("no ") + className + " box");
  child.font = ::CreateFontA(-font.height * scale_, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                             FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             NONANTIALIASED_QUALITY, DEFAULT_PITCH, font.face.c_str());
  ::SendMessageA(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(child.font), TRUE);
  return children_.emplace(id, child).first->second;
}

int NativeWindow::AddEdit(const Rect& bounds, const Font& font, Color text, Color background,
                          bool border) {
  NativeChild& child = MakeChild("EDIT", ES_AUTOHSCROLL | (border ? WS_BORDER : 0), bounds, font);
  child.text = Ref(text);
  child.background = ::CreateSolidBrush(Ref(background));
  return lastChild_;
}

int NativeWindow::AddComboBox(const Rect& bounds, const Font& font,
                              const std::vector<std::string>& items) {
  // The list drops below the box: the box's height is its closed height plus the list's.
  Rect withList = bounds;
  withList.height += bounds.height * static_cast<int>(std::min<std::size_t>(items.size(), 8));
  NativeChild& child = MakeChild("COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, withList, font);
  // The closed box is as high as the skin's place for it, not as the font would make it:
  // the selection field is the box less its 3-pixel frame above and below.
  constexpr int kComboFrame = 6;
  ::SendMessageA(child.window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                 std::max(1, bounds.height * scale_ - kComboFrame));
  for (const std::string& item : items) {
    ::SendMessageA(child.window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  return lastChild_;
}

HWND NativeWindow::Child(int id) const {
  const auto found = children_.find(id);
  return found == children_.end() ? nullptr : found->second.window;
}

void NativeWindow::PlaceChild(int id, const Rect& bounds, bool visible, bool enabled) {
  const HWND box = Child(id);
  if (box == nullptr) return;
  const RECT r = DeviceRect(bounds);
  RECT now{};
  ::GetWindowRect(box, &now);
  ::MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&now), 2);
  // A combo box keeps the height of its list below the box.
  if (now.left != r.left || now.top != r.top) {
    ::SetWindowPos(box, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::EnableWindow(box, enabled ? TRUE : FALSE);
  ::ShowWindow(box, visible ? SW_SHOWNA : SW_HIDE);
}

void NativeWindow::SetChildText(int id, const std::string& text) {
  const HWND box = Child(id);
  if (box == nullptr) return;
  std::string shown(static_cast<std::size_t>(::GetWindowTextLengthA(box)) + 1, '\0');
  shown.resize(static_cast<std::size_t>(
      ::GetWindowTextA(box, shown.data(), static_cast<int>(shown.size()))));
  if (shown == text) return;
  quiet_ = true;
  ::SetWindowTextA(box, text.c_str());
  quiet_ = false;
}

void NativeWindow::SetComboSelection(int id, int index) {
  const HWND box = Child(id);
  if (box == nullptr) return;
  quiet_ = true;
  ::SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  quiet_ = false;
}

void NativeWindow::RemoveChild(int id) {
  const auto found = children_.find(id);
  if (found == children_.end()) return;
  ::DestroyWindow(found->second.window);
  if (found->second.font != nullptr) ::DeleteObject(found->second.font);
  if (found->second.background != nullptr) ::DeleteObject(found->second.background);
  children_.erase(found);
}

Point NativeWindow::SkinPoint(LPARAM lParam) const {
  const auto x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
  return Point{x / scale_, y / scale_};
}

void NativeWindow::OnMouseMessage(UINT message, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      // Moves and the release reach the window even outside it until the button is let go.
      ::SetCapture(window_);
      if (OnMouseDown) OnMouseDown(SkinPoint(lParam));
      break;
    case WM_MOUSEMOVE:
      if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window_, 0};
        trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
      }
      if (OnMouseMove) OnMouseMove(SkinPoint(lParam));
      break;
    case WM_LBUTTONUP:
      if (::GetCapture() == window_) ::ReleaseCapture();
      if (OnMouseUp) OnMouseUp(SkinPoint(lParam));
      break;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      if (OnMouseLeave) OnMouseLeave();
      break;
    default:
      break;
  }
}

HBRUSH NativeWindow::ColorEdit(HDC dc, HWND box) const {
  for (const auto& [id, child] : children_) {
    if (child.window != box || child.background == nullptr) continue;
    ::SetTextColor(dc, child.text);
    LOGBRUSH brush{};
    ::GetObjectA(child.background, sizeof brush, &brush);
    ::SetBkColor(dc, brush.lbColor);
    return child.background;
  }
  return nullptr;
}

bool NativeWindow::OnChildCommand(int id, int notification) {
  const HWND box = Child(id);
  if (box == nullptr) return false;
  if (quiet_) return true;
  if (notification == EN_CHANGE && OnEditChange) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(box)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(box, text.data(), static_cast<int>(text.size()))));
    OnEditChange(id, text);
  } else if (notification == CBN_SELCHANGE && OnComboSelect) {
    OnComboSelect(id, static_cast<int>(::SendMessageA(box, CB_GETCURSEL, 0, 0)));
  }
  return true;
}

bool NativeWindow::OnProgramMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // A device change is the system's too: its own processing follows ours.
  if (message == WM_DEVICECHANGE) {
    if (OnMessage) OnMessage(message, wParam, lParam);
    return false;
  }
  if (message != kRestoreRequest && message != kFanCurveApply && message != kWorkerRestart &&
      !taken_.contains(message)) {
    return false;
  }
  if (OnMessage) OnMessage(message, wParam, lParam);
  return true;
}

LRESULT NativeWindow::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE:
      OnMouseMessage(message, lParam);
      return 0;
    case WM_MOVE:
      if (OnMoved) {
        OnMoved(Point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && OnActivated) OnActivated();
      break;
    case WM_CLOSE:
      if (OnClose) OnClose();
      return 0;  // what closing means is the program's call
    case WM_DPICHANGED:
      FitToScale();
      ::InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_CTLCOLOREDIT:
      if (const HBRUSH brush =
              ColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_COMMAND:
      if (OnChildCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
      break;
    default:
      if (OnProgramMessage(message, wParam, lParam)) return 0;
      break;
  }
  return ::DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK NativeWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<NativeWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr || self->window_ == nullptr) {
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  return self->OnWindowMessage(message, wParam, lParam);
}

}  // namespace ui::win32

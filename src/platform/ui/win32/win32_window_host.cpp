#include "platform/ui/win32/win32_window_host.h"

#include <algorithm>

#include "core/window_message_codes.h"
#include "platform/ui/application.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/render_window.h"
#include "platform/ui/window.h"
#include "platform/ui/window_handle.h"

namespace ui::win32 {
namespace {

// A combo box keeps more of its height for its frame and button than an edit does.
constexpr int kComboTextInset = 6;

NativeWindow::Font FontFor(const Control& control, int inset) {
  NativeWindow::Font font;
  font.height = NativeTextHeight(control, inset);
  return font;
}

}  // namespace

Win32WindowHost::Win32WindowHost(Window& window, MessageFilter filter)
    : DesktopWindowHost(window),
      filter_(std::move(filter)),
      native_(window.ClientSize(), window.Caption()) {
  native_.OnBeforePaint = [this] { Present(); };
  // The program's other messages: the simulated cable and the history window.
  for (const UINT id :
       {core::kSimulatedUnplugMessage, core::kSimulatedPlugMessage, core::kHistoryWindowMessage}) {
    native_.TakeMessage(id);
  }
  // Input goes through the application's guard: what escapes a handler reaches the error box,
  // never the system's window procedure.
  const auto guard = [this](auto&& routine) { window_.App().Guard(routine); };
  native_.OnMouseDown = [this, guard](Point p) {
    guard([&] { window_.InputMouseDown(MouseButton::Left, p); });
  };
  native_.OnMouseMove = [this, guard](Point p) { guard([&] { window_.InputMouseMove(p); }); };
  native_.OnMouseUp = [this, guard](Point p) {
    guard([&] { window_.InputMouseUp(MouseButton::Left, p); });
  };
  native_.OnMouseLeave = [this, guard] { guard([&] { window_.InputMouseLeave(); }); };
  native_.OnMoved = [this, guard](Point p) { guard([&] { window_.InputMoved(p); }); };
  native_.OnActivated = [this, guard] { guard([&] { window_.InputActivated(); }); };
  native_.OnClose = [this, guard] { guard([&] { window_.InputCloseRequested(); }); };
  native_.OnMessage = [this, guard](UINT id, WPARAM wParam, LPARAM lParam) {
    const Message message{id, static_cast<std::intptr_t>(wParam),
                          static_cast<std::intptr_t>(lParam)};
    if (filter_ && filter_(message)) return;
    guard([&] { window_.DeliverMessage(message); });
  };
  native_.OnEditChange = [this, guard](int id, const std::string& text) {
    const auto found = byId_.find(id);
    if (found == byId_.end()) return;
    if (auto* edit = dynamic_cast<Edit*>(found->second)) guard([&] { edit->InputText(text); });
  };
  native_.OnComboSelect = [this, guard](int id, int index) {
    const auto found = byId_.find(id);
    if (found == byId_.end()) return;
    if (auto* combo = dynamic_cast<ComboBox*>(found->second)) {
      guard([&] { combo->InputSelect(index); });
    }
  };
  native_.SetPosition(window.Position());
  window_.InvalidateAll();
}

Win32WindowHost::~Win32WindowHost() = default;

void Win32WindowHost::Present() {
  const Size client = window_.ClientSize();
  if (frame_.width != client.width || frame_.height != client.height) {
    frame_ = Frame::Filled(std::max(client.width, 0), std::max(client.height, 0),
                           window_.BackgroundColor());
    window_.InvalidateAll();
  }
  const DirtyRegion dirty = window_.TakeDirty();
  if (dirty.IsEmpty()) return;
  RenderWindowFrame(window_, frame_, dirty.Rects(), RenderOptions{.skipNative = true});
  native_.Present(frame_, dirty.Rects(), window_.TransparentColor());
}

void Win32WindowHost::Invalidated(const Rect& area) {
  // Rendered at the next WM_PAINT, together with whatever else changes before it.
  const int scale = native_.Scale();
  const RECT r{area.left * scale, area.top * scale, area.Right() * scale, area.Bottom() * scale};
  ::InvalidateRect(native_.Handle(), &r, FALSE);
}

void Win32WindowHost::PaintNow(const DirtyRegion& areas) {
  for (const Rect& r : areas.Rects()) Invalidated(r);
  if (!window_.Visible() || window_.Minimized()) return;
  ::UpdateWindow(native_.Handle());
}

void Win32WindowHost::GeometryChanged() {
  native_.SetClientSize(window_.ClientSize());
  native_.SetPosition(window_.Position());
}

void Win32WindowHost::ShowAs(Showing showing) {
  switch (showing) {
    case Showing::Hidden:
      native_.Hide();
      break;
    case Showing::Minimized:
      native_.Minimize();
      break;
    case Showing::Normal:
      native_.Show();
      break;
  }
}

void Win32WindowHost::CaptionChanged() {
  native_.SetCaption(window_.Caption());
}

void Win32WindowHost::ShapeChanged() {
  window_.InvalidateAll();
}

int Win32WindowHost::NativeIdOf(const Control& control) const {
  const Win32NativeControl* native = NativeOf(control);
  return native ? native->id : 0;
}

std::optional<Win32NativeControl> Win32WindowHost::MakeNative(Control& control) {
  Win32NativeControl made;
  if (const auto* edit = dynamic_cast<const Edit*>(&control)) {
    made.id = native_.AddEdit(control.Bounds(), FontFor(control, kEditTextInset), edit->TextColor(),
                              edit->BackgroundColor().value_or(colors::kWindowBackground),
                              !edit->Borderless());
  } else if (const auto* combo = dynamic_cast<const ComboBox*>(&control)) {
    made.items = combo->Items();
    made.id = native_.AddComboBox(control.Bounds(), FontFor(control, kComboTextInset), made.items);
  } else {
    return std::nullopt;
  }
  byId_[made.id] = &control;
  return made;
}

bool Win32WindowHost::Stale(const Control& control, const Win32NativeControl& native) const {
  const auto* combo = dynamic_cast<const ComboBox*>(&control);
  return combo != nullptr && native.items != combo->Items();
}

void Win32WindowHost::SyncEdit(const Edit& edit, int id) {
  native_.SetChildText(id, edit.Text());
  ::SendMessageA(native_.Child(id), EM_SETREADONLY, edit.ReadOnly() ? TRUE : FALSE, 0);
}

void Win32WindowHost::SyncNative(Control& control, Win32NativeControl& native) {
  native_.PlaceChild(native.id, control.Bounds(), control.Visible(), control.Enabled());
  if (const auto* edit = dynamic_cast<const Edit*>(&control)) SyncEdit(*edit, native.id);
  if (const auto* combo = dynamic_cast<const ComboBox*>(&control)) {
    native_.SetComboSelection(native.id, combo->ItemIndex());
  }
}

void Win32WindowHost::DropNative(Win32NativeControl& native) {
  native_.RemoveChild(native.id);
  byId_.erase(native.id);
}

void Win32WindowHost::BeginSystemMove() {
  native_.BeginSystemMove();
}

void Win32WindowHost::Activate() {
  native_.Activate();
}

void Win32WindowHost::CenterOnScreen() {
  RECT work{};
  if (::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) == FALSE) return;
  const int scale = native_.Scale();
  const int width = window_.ClientWidth() * scale, height = window_.ClientHeight() * scale;
  window_.SetPosition(Point{work.left + (work.right - work.left - width) / 2,
                            work.top + (work.bottom - work.top - height) / 2});
}

}  // namespace ui::win32

#include "platform/ui/headless_backend.h"

#include "platform/ui/tray_icon.h"
#include "platform/ui/window.h"

namespace ui {

class HeadlessWindowHost : public WindowHost {
 public:
  HeadlessWindowHost(HeadlessBackend& backend, Window& window)
      : backend_(backend), window_(window) {}
  ~HeadlessWindowHost() override {
    backend_.systemMoves_.erase(&window_);
    backend_.activations_.erase(&window_);
  }

  void Invalidated(const Rect&) override {}
  void VisibilityChanged() override {
    const bool shown = window_.Visible() && !window_.Minimized();
    if (shown && !wasShown_) Activate();
    wasShown_ = shown;
  }
  void BeginSystemMove() override { ++backend_.systemMoves_[&window_]; }
  void Activate() override {
    ++backend_.activations_[&window_];
    window_.Handle().PostTask([](Window& w) { w.InputActivated(); });
  }

 private:
  HeadlessBackend& backend_;
  Window& window_;
  bool wasShown_ = false;
};

namespace {

class HeadlessTrayHost : public TrayHost {
 public:
  explicit HeadlessTrayHost(const HeadlessBackend& backend) : backend_(backend) {}
  bool Available() const override { return backend_.TrayAvailable(); }
  void Changed() override {}

 private:
  const HeadlessBackend& backend_;
};

}  // namespace

std::unique_ptr<WindowHost> HeadlessBackend::CreateWindowHost(Window& window) {
  return std::make_unique<HeadlessWindowHost>(*this, window);
}

std::unique_ptr<TrayHost> HeadlessBackend::CreateTrayHost(TrayIcon&) {
  return std::make_unique<HeadlessTrayHost>(*this);
}

int HeadlessBackend::SystemMoves(const Window& window) const {
  const auto found = systemMoves_.find(&window);
  return found == systemMoves_.end() ? 0 : found->second;
}

int HeadlessBackend::Activations(const Window& window) const {
  const auto found = activations_.find(&window);
  return found == activations_.end() ? 0 : found->second;
}

}  // namespace ui

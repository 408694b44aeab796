#include "mainwindow/lock_wait_notice.h"

#include <chrono>
#include <utility>

namespace mainwindow {
namespace {

constexpr std::chrono::milliseconds kLockCaptionInterval{1000};
constexpr const char* kLockCaptionLead = "Waiting for the PSU lock (held by ";
// The window while it waits: a plain strip that shows the caption, no skin yet.
constexpr ui::Size kLockNoticeSize{640, 36};
constexpr ui::Color kLockNoticeBackground{32, 32, 32};
constexpr ui::Color kLockNoticeInk{255, 255, 255};

}  // namespace

LockWaitNotice::LockWaitNotice(ui::Application& app, ui::Window& window,
                               std::function<std::string()> holder)
    : window_(window), holder_(std::move(holder)), timer_(app) {
  timer_.SetInterval(kLockCaptionInterval);
  timer_.OnTimer = [this](ui::Timer&) { ShowCaption(); };
}

void LockWaitNotice::Begin() {
  waiting_ = true;
  // Not the skinned window yet: a plain strip, so that the caption shows on any desktop.
  window_.SetTransparentColor(std::nullopt);
  window_.SetBackgroundColor(kLockNoticeBackground);
  window_.SetClientSize(kLockNoticeSize);
  window_.CenterOnScreen();
  label_ = std::make_unique<ui::TextLabel>(
      window_, ui::Rect{0, 0, kLockNoticeSize.width, kLockNoticeSize.height}, kLockNoticeInk);
  ShowCaption();
  timer_.SetEnabled(true);
}

void LockWaitNotice::ShowCaption() {
  const std::string caption = kLockCaptionLead + holder_() + ")";
  window_.SetCaption(caption);
  if (label_) label_->SetText(caption);
}

void LockWaitNotice::End(const std::string& caption, ui::Size clientSize) {
  waiting_ = false;
  timer_.SetEnabled(false);
  label_.reset();
  window_.SetCaption(caption);
  window_.SetClientSize(clientSize);
  window_.SetTransparentColor(ui::colors::kMagenta);
  window_.SetBackgroundColor(ui::colors::kMagenta);
  window_.CenterOnScreen();
}

}  // namespace mainwindow

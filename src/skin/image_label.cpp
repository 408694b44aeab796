#include "skin/image_label.h"

#ifdef QUELTA_UI_QT
#include <QPainter>
#endif

#include "platform/ui/application.h"
#include "platform/ui/file_error.h"
#include "platform/ui/frame_canvas.h"
#include "platform/ui/window.h"

namespace skin {

TImageLabel::TImageLabel(ui::Window& owner) : ui::Control(owner) {
  SetCursor(ui::Cursor::Hand);
}

void TImageLabel::SetLayout(std::int32_t Left, std::int32_t Top, std::int32_t Width,
                            std::int32_t Height, bool transparent, ui::Color transparentColor) {
  SetBounds(ui::Rect{Left, Top, Width, Height});
  transparent_ = transparent;
  transparentColor_ = transparentColor;
}

int TImageLabel::Load(Slot& slot, const std::filesystem::path& path) {
  if (path.empty() || !Owner()) return kLoadFailed;
  try {
    auto bitmap = App().Bitmaps().Load(path);
    if (transparent_ && transparentColor_ != bitmap->Key())
      bitmap = bitmap->WithKey(transparentColor_);
    slot = Slot{std::move(bitmap), transparent_};
    return kLoadOk;
  } catch (const ui::FileError&) {
    return kLoadFailed;
  }
}

int TImageLabel::LoadLeaveBitmap(const std::filesystem::path& path) {
  return Load(leave_, path);
}
int TImageLabel::LoadEnterBitmap(const std::filesystem::path& path) {
  return Load(enter_, path);
}
int TImageLabel::LoadClickBitmap(const std::filesystem::path& path) {
  return Load(click_, path);
}
int TImageLabel::LoadDisabledBitmap(const std::filesystem::path& path) {
  return Load(disabled_, path);
}

TImageLabel::Slot& TImageLabel::SlotOf(Face face) {
  switch (face) {
    case Face::Enter:
      return enter_;
    case Face::Click:
      return click_;
    case Face::Disabled:
      return disabled_;
    case Face::Leave:
    case Face::None:
      break;
  }
  return leave_;
}

const std::shared_ptr<const ui::Bitmap>& TImageLabel::Picture(Face face) const {
  return const_cast<TImageLabel*>(this)->SlotOf(face).bitmap;
}

void TImageLabel::Draw(Face face) {
  const Slot& next = SlotOf(face);
  shownFace_ = face;
  // The same picture drawn the same way again leaves the window's pixels as they are.
  if (next.bitmap == shown_.bitmap && next.transparent == shown_.transparent) return;
  shown_ = next;
  Invalidate();
}

void TImageLabel::SetBtnEnabled(bool enabled) {
  if (enabled == btnEnabled_) return;
  btnEnabled_ = enabled;
  Draw(enabled ? Face::Leave : Face::Disabled);
}

void TImageLabel::SetBtnAction(std::string action) {
  if (action != btnAction_) btnAction_ = std::move(action);
}

void TImageLabel::Repaint() {
  if (!Visible()) return;
  if (!btnEnabled_) {
    Draw(Face::Disabled);
  } else {
    Draw(pressed_ ? Face::Click : (hovered_ ? Face::Enter : Face::Leave));
  }
}

void TImageLabel::MouseEnter() {
  if (!btnEnabled_) return;
  hovered_ = true;
  if (!pressed_) Draw(Face::Enter);
}

void TImageLabel::MouseLeave() {
  if (!btnEnabled_) return;
  if (!Visible()) {
    hovered_ = false;
    pressed_ = false;
    return;
  }
  hovered_ = false;
  if (!pressed_) Draw(Face::Leave);
}

void TImageLabel::MouseDown(const ui::MouseEvent&) {
  if (!btnEnabled_) return;
  pressed_ = true;
  Draw(Face::Click);
}

void TImageLabel::MouseUp(const ui::MouseEvent&) {
  if (!btnEnabled_) return;
  pressed_ = false;
  Draw(hovered_ ? Face::Enter : Face::Leave);
  // Last: the routine may rebuild the page and free this button.
  if (onClickHook_) {
    const ClickHook hook = onClickHook_;
    hook(*this);
  }
}

void TImageLabel::AddPicturesDrawn(std::vector<ui::BitmapUse>& uses) const {
  if (shown_.bitmap && !Bounds().IsEmpty()) uses.push_back({shown_.bitmap, shown_.transparent});
}

void TImageLabel::PaintFrame(ui::FrameCanvas& canvas) const {
  if (!shown_.bitmap || Bounds().IsEmpty()) return;
  const ui::Frame& source = shown_.bitmap->PixelFrame();
  const int w = std::min(Width(), source.width), h = std::min(Height(), source.height);
  canvas.Draw(ui::Point{Left(), Top()}, source, ui::Rect{0, 0, w, h},
              shown_.transparent ? std::optional(shown_.bitmap->Key()) : std::nullopt);
}

#ifdef QUELTA_UI_QT
void TImageLabel::Paint(QPainter& painter) const {
  if (!shown_.bitmap || Bounds().IsEmpty()) return;
  const QImage& source = shown_.transparent ? shown_.bitmap->Keyed() : shown_.bitmap->Opaque();
  const int w = std::min(Width(), source.width());
  const int h = std::min(Height(), source.height());
  if (w <= 0 || h <= 0) return;
  painter.drawImage(QPoint(Left(), Top()), source, QRect(0, 0, w, h));
}
#endif

std::unique_ptr<TImageLabel> BuildImageLabel(ui::Window& owner, const ButtonLayout& layout,
                                             std::span<const std::string> bitmapPaths,
                                             const FileResolver& files,
                                             TImageLabel::ClickHook onClick) {
  auto button = std::make_unique<TImageLabel>(owner);
  button->SetLayout(layout.Left, layout.Top, layout.Width, layout.Height, true,
                    ui::colors::kMagenta);
  const auto fileOf = [&](std::size_t index) -> std::filesystem::path {
    if (index >= bitmapPaths.size() || bitmapPaths[index].empty()) return {};
    try {
      return files(bitmapPaths[index]);
    } catch (const std::exception&) {
      return {};  // a path the resolver refuses loads nothing, like a missing file
    }
  };
  button->LoadLeaveBitmap(fileOf(kLeaveBmp));
  button->LoadEnterBitmap(fileOf(kEnterBmp));
  button->LoadClickBitmap(fileOf(kClickBmp));
  button->LoadDisabledBitmap(fileOf(kDisBmp));
  button->SetOnClickHook(std::move(onClick));
  // A built button shows its resting picture at once, whoever built it.
  button->Repaint();
  return button;
}

}  // namespace skin

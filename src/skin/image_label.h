#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/ui/bitmap.h"
#include "platform/ui/color.h"
#include "platform/ui/control.h"
#include "skin/file_resolver.h"
#include "skin/layout_records.h"

namespace skin {

// The skinned push button: shows one of four pictures (normal, pointer over it, held down,
// disabled) at its place on the window and calls its owner back when a mouse button is
// released after a press on it. Every picture change is drawn at once; the window keeps what
// was drawn last until the next draw (a load alone draws nothing, Repaint draws by state).
class TImageLabel : public ui::Control {
 public:
  // Results of the four load operations.
  static constexpr int kLoadOk = 0;
  static constexpr int kLoadFailed = 4096;

  using ClickHook = std::function<void(TImageLabel&)>;

  // Which of the four pictures a draw put on the window.
  enum class Face { None, Leave, Enter, Click, Disabled };

  explicit TImageLabel(ui::Window& owner);

  // Bounds and the transparency that later loads apply.
  void SetLayout(std::int32_t Left, std::int32_t Top, std::int32_t Width, std::int32_t Height,
                 bool transparent, ui::Color transparentColor);

  // Each returns kLoadOk, or kLoadFailed when the file cannot be loaded (missing, not a
  // picture, empty path); the picture then stays as it was. A load draws nothing.
  int LoadLeaveBitmap(const std::filesystem::path& path);
  int LoadEnterBitmap(const std::filesystem::path& path);
  int LoadClickBitmap(const std::filesystem::path& path);
  int LoadDisabledBitmap(const std::filesystem::path& path);

  // A change draws the leave (now enabled) or disabled picture at once; hovered and pressed
  // keep their values.
  void SetBtnEnabled(bool enabled);

  // A free tag for the owner; the control does not interpret it.
  const std::string& BtnAction() const { return btnAction_; }
  void SetBtnAction(std::string action);

  void SetOnClickHook(ClickHook hook) { onClickHook_ = std::move(hook); }

  // The framework repaint: draws the picture of the present state, if visible.
  void Repaint();

  bool Hovered() const { return hovered_; }
  bool Pressed() const { return pressed_; }
  Face ShownFace() const { return shownFace_; }
  // The bitmap drawn last (it stays on the window when the slot is loaded again).
  const std::shared_ptr<const ui::Bitmap>& Shown() const { return shown_.bitmap; }
  const std::shared_ptr<const ui::Bitmap>& Picture(Face face) const;

  void MouseDown(const ui::MouseEvent& event) override;
  void MouseUp(const ui::MouseEvent& event) override;
  void MouseEnter() override;
  void MouseLeave() override;
#ifdef QUELTA_UI_QT
  void Paint(QPainter& painter) const override;
#endif
  void PaintFrame(ui::FrameCanvas& canvas) const override;
  void AddPicturesDrawn(std::vector<ui::BitmapUse>& uses) const override;

 protected:
  // A button that comes into view is painted by its state, as a desktop repaint does.
  void VisibleChanged() override {
    Repaint();
  }

 private:
  struct Slot {
    std::shared_ptr<const ui::Bitmap> bitmap;
    bool transparent = false;
  };

  int Load(Slot& slot, const std::filesystem::path& path);
  void Draw(Face face);
  Slot& SlotOf(Face face);

  ClickHook onClickHook_;
  std::string btnAction_;
  bool btnEnabled_ = true;
  bool hovered_ = false;
  bool pressed_ = false;
  bool transparent_ = false;
  ui::Color transparentColor_ = ui::colors::kMagenta;
  Slot leave_, enter_, click_, disabled_;
  Slot shown_;
  Face shownFace_ = Face::None;
};

// The standard build from a layout record: bounds from the record, transparent with magenta,
// the four pictures from `bitmapPaths` (LeaveBmp, EnterBmp, ClickBmp, DisBmp, relative to the
// program folder; missing entries load nothing), and the click routine. Load results are
// ignored, as the windows do.
std::unique_ptr<TImageLabel> BuildImageLabel(ui::Window& owner, const ButtonLayout& layout,
                                             std::span<const std::string> bitmapPaths,
                                             const FileResolver& files,
                                             TImageLabel::ClickHook onClick);

}  // namespace skin

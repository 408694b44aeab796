#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "platform/ui/window.h"
#include "skin/file_resolver.h"
#include "skin/image_label.h"
#include "skin/image_track_bar.h"
#include "skin/layout_reader.h"
#include "skin/layout_records.h"
#include "skin/page_records.h"
#include "skin/skin_pages.h"

namespace detail {

// What a detail window takes from the main window that owns it.
struct DetailEnvironment {
  ui::Application& app;
  platform::RegistryStore& store;       // the settings tree that holds the skin
  std::filesystem::path programFolder;  // where "Skin\" lies
  // The strip of the ten 9 x 18 digit pictures (ILANumber); null leaves the digits blank.
  std::shared_ptr<const ui::Bitmap> digitStrip;
};

// One rail of a detail window: its display's key, the control's own top, and whether its
// readings are negative (shown as their magnitude behind the minus picture).
struct DetailRail {
  const char* key;
  std::int32_t top;
  bool negative = false;
};

// How the two detail windows differ; everything else they share.
struct DetailLayout {
  ui::Size client;
  ui::Point firstPosition;
  skin::ReaderVariant variant;
  skin::PageKeys keys;     // "Close" first, then one display key per rail
  std::string background;  // file name in the language folder
  std::vector<DetailRail> rails;
  std::int32_t displayHeight;
  bool surfaceDrags;     // the window surface drags the window too, not only ImgBK
  bool dropsSmallRails;  // at 450 W: 12V3 and 12V4 not created (else: created, all off)
};

// A borderless skinned window with one display per rail and a close button, built from its
// page of the skin when it is created. The close button hides it; it lives as long as its
// owner. UI thread only.
class DetailForm {
 public:
  // The places of the background image and the size of the digit pictures.
  static constexpr ui::Rect kImgBKPlace{0, 0, 628, 650};
  static constexpr int kDigitWidth = 9;
  static constexpr int kDigitHeight = 18;

  virtual ~DetailForm();
  DetailForm(const DetailForm&) = delete;
  DetailForm& operator=(const DetailForm&) = delete;

  ui::Window& Window() const { return *window_; }
  void Show() { window_->Show(); }

  ui::Image& ImgBK() const { return *imgBK_; }
  const ui::ImageList& ILANumber() const { return ilaNumber_; }
  // Null when the page's records were not all read.
  skin::TImageLabel* CloseButton() const { return close_.get(); }
  // The display of rail `index` in the window's rail order; null when it was not created.
  skin::TImageTrackBar* Display(std::size_t index) const;
  const std::string& PagePath() const { return pagePath_; }
  std::int32_t PowerRating() const { return powerRating_; }
  bool Dragging() const { return dragging_; }

 protected:
  // Reads the skin page and the background, builds the window and shows `initial` (one
  // reading per rail). A missing record leaves the background alone; a malformed value, a
  // rating list too short and a missing background throw as the skin readers do.
  DetailForm(const DetailEnvironment& environment, DetailLayout form, std::string languageFolder,
             std::int32_t powerRating, std::span<const float> initial);

  // One reading per rail, in the window's rail order.
  void RefreshReadings(std::span<const float> readings);

 private:
  void ReadAndBuild();
  void BuildCloseButton(const skin::ButtonRecord& record);
  void BuildDisplay(std::size_t index, const skin::DisplayLayout& layout);
  void AttachDrag(ui::Control& surface);
  void DragDown(ui::MouseButton button);
  void DragMove(ui::MouseButtons held);

  DetailEnvironment env_;
  DetailLayout form_;
  std::string languageFolder_;
  std::int32_t powerRating_;
  skin::FileResolver files_;
  bool dragging_ = false;
  std::string pagePath_;

  std::unique_ptr<ui::Window> window_;
  std::unique_ptr<ui::Image> imgBK_;
  ui::ImageList ilaNumber_{kDigitWidth, kDigitHeight};
  std::unique_ptr<skin::TImageLabel> close_;
  std::vector<skin::DisplayLayout> layouts_;
  std::vector<std::unique_ptr<skin::TImageTrackBar>> displays_;
};

}  // namespace detail

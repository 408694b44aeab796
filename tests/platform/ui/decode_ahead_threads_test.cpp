#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/ui/bitmap_cache.h"
#include "platform/ui/image.h"
#include "platform/ui/render_window.h"
#include "platform/ui/window.h"
#include "support/headless_ui.h"

namespace ui {
namespace {

using testing::SolidPicture;

TEST(DecodeAhead, DecodesWhatTheVisibleControlsDrawWhileTheUiThreadDrawsThemToo) {
  testing::HeadlessUi ui;
  Window window(ui.app, Size{60, 20});
  window.SetBackgroundColor(Color{0, 0, 0});
  const auto keyed = Bitmap::FromImage(SolidPicture(20, 20, Qt::red, true));
  const auto plain = Bitmap::FromImage(SolidPicture(20, 20, Qt::blue));
  const auto hidden = Bitmap::FromImage(SolidPicture(20, 20, Qt::green));
  const auto unsized = Bitmap::FromImage(SolidPicture(20, 20, Qt::yellow));
  Image first(window, Rect{0, 0, 20, 20});
  first.SetPicture(keyed);
  first.SetTransparent(true);
  Image second(window, Rect{20, 0, 20, 20});
  second.SetPicture(plain);
  Image third(window, Rect{40, 0, 20, 20});
  third.SetPicture(hidden);
  third.SetVisible(false);
  Image empty(window, Rect{40, 0, 0, 0});
  empty.SetPicture(unsized);
  Image none(window, Rect{0, 0, 5, 5});

  const std::vector<BitmapUse> uses = window.PicturesDrawn();
  ASSERT_EQ(uses.size(), 2u) << "the hidden, the empty and the pictureless draw nothing";
  EXPECT_EQ(uses[0].bitmap, keyed);
  EXPECT_TRUE(uses[0].keyed);
  EXPECT_EQ(uses[1].bitmap, plain);
  EXPECT_FALSE(uses[1].keyed);

  // Both threads reach for the same pictures; each is decoded once and drawn the same.
  BitmapCache cache;
  cache.DecodeAhead(uses);
  const QImage during = RenderWindow(window);
  cache.FinishDecodingAhead();
  EXPECT_TRUE(keyed->Decoded());
  EXPECT_TRUE(plain->Decoded());
  EXPECT_FALSE(hidden->Decoded());
  EXPECT_FALSE(unsized->Decoded());
  EXPECT_EQ(during, RenderWindow(window));
  EXPECT_EQ(during.pixel(10, 10) | 0xFF000000u, qRgb(0, 0, 0)) << "the hole shows the window";
  EXPECT_EQ(during.pixel(25, 5) | 0xFF000000u, qRgb(0, 0, 255));

  // Nothing to decode starts nothing; the cache's end waits for a decoding under way.
  cache.DecodeAhead({});
  cache.DecodeAhead({{hidden, false}});
}

}  // namespace
}  // namespace ui

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>

#include "platform/ui/bitmap_cache.h"
#include "platform/ui/drawing_area.h"
#include "platform/ui/file_error.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "platform/ui/render_window.h"
#include "platform/ui/solid_fill.h"
#include "platform/ui/window.h"
#include "support/headless_ui.h"

namespace ui {
namespace {

using testing::HeadlessUi;
using testing::SolidPicture;

QRgb At(const QImage& image, int x, int y) {
  return image.pixel(x, y) | 0xFF000000u;
}

class PictureFiles : public ::testing::Test {
 protected:
  std::filesystem::path Write(const std::string& name, const QImage& image) {
    const std::filesystem::path path = std::filesystem::path(dir.path().toStdString()) / name;
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "BMP"));
    return path;
  }
  QTemporaryDir dir;
};

TEST_F(PictureFiles, MissingBrokenOrEmptyFilesThrowFileErrorsNamingThePath) {
  const std::filesystem::path folder = dir.path().toStdString();
  const std::filesystem::path broken = folder / "broken.bmp";
  std::ofstream(broken) << "BM not really a bitmap";
  for (const std::filesystem::path& path :
       {folder / "missing.bmp", broken, folder, std::filesystem::path()}) {
    try {
      Bitmap::Load(path);
      ADD_FAILURE() << "loaded " << path;
    } catch (const FileError& e) {
      EXPECT_EQ(e.Path(), path);
      EXPECT_NE(std::string(e.what()).find("\"" + path.string() + "\""), std::string::npos)
          << e.what();
    }
  }
}

TEST(Bitmap, PicturesCompiledInAsResourcesLoadLikeFiles) {
  const auto picture = Bitmap::Load(":/test/two_by_two.bmp");
  EXPECT_EQ(picture->GetSize(), (Size{2, 2}));
  EXPECT_EQ(At(picture->Opaque(), 1, 0), qRgb(0, 128, 0));
  EXPECT_EQ(qAlpha(picture->Keyed().pixel(0, 0)), 0) << "magenta keyed out";
  EXPECT_EQ(qAlpha(picture->Keyed().pixel(1, 0)), 255);
  EXPECT_THROW(Bitmap::Load(":/test/none.bmp"), FileError);
}

TEST_F(PictureFiles, TheCacheReadsEachFileOnceDecodesItWhenFirstDrawnAndRetriesOneThatFailed) {
  BitmapCache cache;
  const auto path = Write("a.bmp", SolidPicture(4, 3, Qt::red));
  const auto first = cache.Load(path);
  const auto again = cache.Load(std::filesystem::path(dir.path().toStdString()) / "." / "a.bmp");
  EXPECT_EQ(first, again);
  EXPECT_EQ(first->GetSize(), (Size{4, 3})) << "the size comes from the header";
  EXPECT_EQ(cache.Decodes(), 0u) << "nothing drawn, nothing decoded";
  EXPECT_FALSE(cache.Decoded(path));
  EXPECT_EQ(At(again->Keyed(), 3, 2), qRgb(255, 0, 0));
  EXPECT_TRUE(first->Decoded());
  EXPECT_TRUE(cache.Decoded(path));
  EXPECT_EQ(cache.Decodes(), 1u);

  const auto later = std::filesystem::path(dir.path().toStdString()) / "later.bmp";
  EXPECT_THROW(cache.Load(later), FileError);
  Write("later.bmp", SolidPicture(2, 2, Qt::blue));
  EXPECT_EQ(cache.Load(later)->Width(), 2);
  EXPECT_EQ(cache.Decodes(), 1u);
  EXPECT_EQ(At(cache.Load(later)->Opaque(), 1, 1), qRgb(0, 0, 255));
  EXPECT_EQ(cache.Decodes(), 2u);

  // A file that is no picture is refused when loaded, not when first drawn.
  const auto text = std::filesystem::path(dir.path().toStdString()) / "text.bmp";
  std::ofstream(text) << "not a picture at all";
  EXPECT_THROW(cache.Load(text), FileError);
}

TEST(Bitmap, CellsOfAStripAreCutWhenFirstDrawnAndKeepTheirOwnPixels) {
  QImage strip(6, 2, QImage::Format_RGB32);
  for (int x = 0; x < 6; ++x) {
    for (int y = 0; y < 2; ++y) strip.setPixel(x, y, qRgb(40 * x, 10 * y, 7));
  }
  const auto whole = Bitmap::FromImage(strip);
  const auto cells = std::vector{whole->Part(Rect{0, 0, 2, 2}), whole->Part(Rect{2, 0, 2, 2}),
                                 whole->Part(Rect{4, 0, 3, 2})};
  EXPECT_FALSE(whole->Decoded());
  EXPECT_EQ(cells[2]->GetSize(), (Size{2, 2})) << "clipped to the strip";
  // Last cell first, there and back: each cell shows its own columns.
  EXPECT_EQ(At(cells[2]->Opaque(), 1, 1), qRgb(200, 10, 7));
  EXPECT_FALSE(cells[0]->Decoded());
  EXPECT_EQ(At(cells[0]->Opaque(), 0, 0), qRgb(0, 0, 7));
  EXPECT_EQ(At(cells[1]->Opaque(), 1, 0), qRgb(120, 0, 7));
  const auto keyed = cells[1]->WithKey(Color{120, 0, 7});
  EXPECT_EQ(qAlpha(keyed->Keyed().pixel(1, 0)), 0) << "another key, the same pixels";
  EXPECT_EQ(qAlpha(cells[1]->Keyed().pixel(1, 0)), 255);
}

TEST(Bitmap, MagentaIsSeeThroughOnlyWhenDrawnTransparently) {
  HeadlessUi ui;
  Window window(ui.app, Size{40, 20});
  window.SetBackgroundColor(Color{255, 0, 0});
  const auto picture = Bitmap::FromImage(SolidPicture(20, 20, Qt::blue, /*magentaHole=*/true));
  Image plain(window, Rect{0, 0, 20, 20});
  Image keyed(window, Rect{20, 0, 20, 20});
  plain.SetPicture(picture);
  keyed.SetPicture(picture);
  keyed.SetTransparent(true);
  const QImage frame = RenderWindow(window);
  EXPECT_EQ(At(frame, 10, 10), qRgb(255, 0, 255));
  EXPECT_EQ(At(frame, 30, 10), qRgb(255, 0, 0)) << "the window shows through the key colour";
  EXPECT_EQ(At(frame, 21, 1), qRgb(0, 0, 255));
}

TEST(KeyedScreenshot, OnlyTheWindowsTransparentColourBecomesSeeThrough) {
  HeadlessUi ui;
  Window window(ui.app, Size{4, 1});
  QImage source(4, 1, QImage::Format_RGB32);
  source.setPixel(0, 0, qRgb(255, 0, 255));
  source.setPixel(1, 0, qRgb(254, 0, 255));  // one step off the key
  source.setPixel(2, 0, qRgb(0, 255, 0));
  source.setPixel(3, 0, qRgb(255, 0, 255));
  Image picture(window, Rect{0, 0, 4, 1});
  picture.SetPicture(Bitmap::FromImage(source));
  // Without a transparent colour nothing is keyed out.
  QImage keyed = KeyedScreenshot(window, RenderWindow(window));
  for (int x = 0; x < 4; ++x) EXPECT_EQ(qAlpha(keyed.pixel(x, 0)), 255) << x;

  window.SetTransparentColor(colors::kMagenta);
  keyed = KeyedScreenshot(window, RenderWindow(window));
  EXPECT_EQ(qAlpha(keyed.pixel(0, 0)), 0);
  EXPECT_EQ(keyed.pixel(1, 0), qRgb(254, 0, 255));
  EXPECT_EQ(keyed.pixel(2, 0), qRgb(0, 255, 0));
  EXPECT_EQ(qAlpha(keyed.pixel(3, 0)), 0);
}

TEST(Bitmap, TheSeeThroughCopyKeepsAlphaAndFollowsTheKeyOfEachCopy) {
  QImage source(3, 1, QImage::Format_ARGB32);
  source.setPixel(0, 0, qRgba(255, 0, 255, 255));
  source.setPixel(1, 0, qRgba(0, 0, 255, 128));
  source.setPixel(2, 0, qRgba(0, 255, 0, 255));
  const auto picture = Bitmap::FromImage(source);
  EXPECT_EQ(qAlpha(picture->Keyed().pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(picture->Keyed().pixel(1, 0)), 128) << "half see-through stays so";
  EXPECT_EQ(qAlpha(picture->Keyed().pixel(2, 0)), 255);
  EXPECT_EQ(picture->Opaque().pixel(1, 0) | 0xFF000000u, picture->Opaque().pixel(1, 0));

  const auto greenKey = picture->WithKey(Color{0, 255, 0});
  EXPECT_EQ(qAlpha(greenKey->Keyed().pixel(0, 0)), 255) << "magenta is no key here";
  EXPECT_EQ(qAlpha(greenKey->Keyed().pixel(2, 0)), 0);
  const auto sameKey = picture->WithKey(colors::kMagenta);
  EXPECT_EQ(qAlpha(sameKey->Keyed().pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(picture->Keyed().pixel(2, 0)), 255) << "the first picture is unchanged";
}

TEST(ImageList, CutsStripsIntoCellsAndDrawsNothingOutsideItself) {
  HeadlessUi ui;
  Window window(ui.app, Size{10, 10});
  ImageList digits(8, 16);
  QImage strip(80, 16, QImage::Format_RGB32);
  for (int k = 0; k < 10; ++k) {
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 8; ++x) strip.setPixel(k * 8 + x, y, qRgb(k * 20, 0, 0));
    }
  }
  EXPECT_EQ(digits.Add(Bitmap::FromImage(strip)), 10);
  EXPECT_EQ(digits.Count(), 10);
  EXPECT_EQ(At(digits.Picture(7)->Opaque(), 3, 3), qRgb(140, 0, 0));
  EXPECT_EQ(digits.Picture(10), nullptr);
  EXPECT_EQ(digits.Picture(-1), nullptr);

  Image cell(window, Rect{0, 0, 8, 16});
  EXPECT_TRUE(digits.Draw(cell, 3));
  EXPECT_EQ(cell.Picture(), digits.Picture(3));
  EXPECT_FALSE(digits.Draw(cell, 12));
  EXPECT_EQ(cell.Picture(), nullptr);
}

TEST(RenderWindow, DrawsControlsInCreationOrderClippedToTheirBounds) {
  HeadlessUi ui;
  Window window(ui.app, Size{30, 30});
  window.SetBackgroundColor(Color{0, 0, 0});
  Image first(window, Rect{0, 0, 20, 20});
  Image second(window, Rect{10, 10, 5, 5});  // a 20 x 20 picture clipped to 5 x 5
  first.SetPicture(Bitmap::FromImage(SolidPicture(20, 20, Qt::red)));
  second.SetPicture(Bitmap::FromImage(SolidPicture(20, 20, Qt::green)));
  QImage frame = RenderWindow(window);
  EXPECT_EQ(At(frame, 12, 12), qRgb(0, 255, 0));
  EXPECT_EQ(At(frame, 16, 16), qRgb(255, 0, 0));
  EXPECT_EQ(At(frame, 25, 25), qRgb(0, 0, 0));

  window.BringToFront(first);
  second.Hide();
  second.Show();
  RenderWindowArea(window, frame, Rect{10, 10, 3, 3});
  EXPECT_EQ(At(frame, 12, 12), qRgb(255, 0, 0)) << "painted again in the new order";
  EXPECT_EQ(At(frame, 14, 14), qRgb(0, 255, 0)) << "outside the area nothing is painted";
}

TEST(SolidFill, IsRepaintedWithTheWindowAndForgetsRectsItCovers) {
  HeadlessUi ui;
  Window window(ui.app, Size{50, 50});
  window.SetBackgroundColor(Color{0, 0, 0});
  Image page(window, Rect{0, 0, 50, 50});
  page.SetPicture(Bitmap::FromImage(SolidPicture(50, 50, Qt::blue)));
  SolidFill bar(window, Rect{10, 10, 10, 30});
  for (int i = 0; i < 100; ++i) {
    bar.FillArea(Rect{10, 10, 10, 30}, colors::kButtonFace);
    bar.FillArea(Rect{10, 25, 10, 15}, colors::kPureGreen);
  }
  EXPECT_EQ(bar.Fills().size(), 2u) << "repeated paints do not pile up";
  bar.FillArea(Rect{0, 0, 50, 12}, colors::kPureRed);  // clipped to the bar
  // A repaint of the page (the window painting everything again) keeps the bar.
  page.Invalidate();
  const QImage frame = RenderWindow(window);
  EXPECT_EQ(At(frame, 15, 30), qRgb(0, 255, 0));
  EXPECT_EQ(At(frame, 15, 15), qRgb(240, 240, 240));
  EXPECT_EQ(At(frame, 15, 11), qRgb(255, 0, 0));
  EXPECT_EQ(At(frame, 5, 5), qRgb(0, 0, 255));

  bar.SetTop(20);  // the fill moves with its bounds
  EXPECT_EQ(*bar.ColorAt(Point{15, 40}), colors::kPureGreen);
  bar.Clear();
  EXPECT_EQ(bar.ColorAt(Point{15, 40}), nullptr);
}

TEST(DrawingArea, KeepsWhatIsDrawnUntilClearedOrDrawnOver) {
  HeadlessUi ui;
  Window window(ui.app, Size{200, 200});
  DrawingArea curve(window, Rect{20, 30, 158, 90}, Color::FromBgr(0xC0DCC0));
  EXPECT_EQ(At(curve.Canvas(), 0, 0), qRgb(0xC0, 0xDC, 0xC0));
  curve.DrawLine(Point{0, 89}, Point{157, 0}, colors::kPureRed);
  curve.DrawRectangle(Rect{50, 40, 6, 6}, colors::kPureRed);
  EXPECT_EQ(At(curve.Canvas(), 0, 89), qRgb(255, 0, 0));
  EXPECT_EQ(At(curve.Canvas(), 157, 0), qRgb(255, 0, 0)) << "end point included";
  EXPECT_EQ(At(curve.Canvas(), 50, 43), qRgb(255, 0, 0));
  EXPECT_EQ(At(curve.Canvas(), 53, 43), qRgb(0xC0, 0xDC, 0xC0)) << "outline only";
  const QImage frame = RenderWindow(window);
  EXPECT_EQ(At(frame, 20, 30 + 89), qRgb(255, 0, 0));
  curve.DrawLine(Point{0, 89}, Point{157, 0}, colors::kButtonHighlight);
  EXPECT_EQ(At(curve.Canvas(), 0, 89), qRgb(255, 255, 255));
  curve.Clear();
  EXPECT_EQ(At(curve.Canvas(), 50, 43), qRgb(0xC0, 0xDC, 0xC0));
}

}  // namespace
}  // namespace ui

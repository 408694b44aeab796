// The scene's pictures and drawings in a build without Qt: bitmaps decoded by DecodeBmp, the
// fan curve's lines drawn into a frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/decode_failures.h"
#include "platform/ui/drawing_area.h"
#include "platform/ui/file_error.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/headless_event_loop.h"
#include "platform/ui/scripted_dialogs.h"
#include "platform/ui/window.h"

namespace ui {
namespace {

// A 24-bit BMP of 3 x 2 pixels, rows stored from the bottom, each padded to 12 bytes:
// top row red, green, blue; bottom row white, black, magenta.
std::vector<unsigned char> ThreeByTwo() {
  std::vector<unsigned char> b = {'B', 'M', 78, 0, 0, 0, 0,  0, 0, 0, 54, 0, 0, 0,  // file
                                  40,  0,   0,  0, 3, 0, 0,  0, 2, 0, 0,  0, 1, 0,
                                  24,  0,   0,  0, 0, 0, 24, 0, 0, 0, 0,  0, 0, 0,
                                  0,   0,   0,  0, 0, 0, 0,  0, 0, 0, 0,  0};
  const std::vector<unsigned char> bottom = {255, 255, 255, 0, 0, 0, 255, 0, 255, 0, 0, 0};
  const std::vector<unsigned char> top = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0};
  b.insert(b.end(), bottom.begin(), bottom.end());
  b.insert(b.end(), top.begin(), top.end());
  return b;
}

std::filesystem::path Written(const std::string& name, const std::vector<unsigned char>& bytes) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / name;
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return file;
}

TEST(BitmapWithoutQt, DecodesOnFirstUseAndCutsPartsOfThePixels) {
  const auto file = Written("quelta_three_by_two.bmp", ThreeByTwo());
  const auto bitmap = Bitmap::Load(file);
  EXPECT_EQ(bitmap->GetSize(), (Size{3, 2}));
  EXPECT_FALSE(bitmap->Decoded());
  const Frame& pixels = bitmap->PixelFrame();
  EXPECT_TRUE(bitmap->Decoded());
  EXPECT_EQ(pixels.pixels, (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF,  //
                                                       0xFFFFFF, 0x000000, 0xFF00FF}));
  // The right column, and a rectangle reaching past the picture clipped to it.
  EXPECT_EQ(bitmap->Part(Rect{2, 0, 1, 2})->PixelFrame().pixels,
            (std::vector<std::uint32_t>{0x0000FF, 0xFF00FF}));
  const auto clipped = bitmap->Part(Rect{1, 1, 5, 5});
  EXPECT_EQ(clipped->GetSize(), (Size{2, 1}));
  EXPECT_EQ(clipped->PixelFrame().pixels, (std::vector<std::uint32_t>{0x000000, 0xFF00FF}));
  EXPECT_EQ(bitmap->Part(Rect{3, 0, 1, 1})->GetSize(), (Size{0, 0})) << "wholly outside";
  std::filesystem::remove(file);
}

TEST(BitmapWithoutQt, RefusesWhatItCannotReadAtLoadOrAtTheFirstDecode) {
  // Not there, not a BMP: refused at load, naming why.
  const auto missing = std::filesystem::temp_directory_path() / "quelta_no_such.bmp";
  EXPECT_THROW(Bitmap::Load(missing), FileError);
  const auto text = Written("quelta_not_a_picture.bmp", {'h', 'e', 'l', 'l', 'o'});
  try {
    Bitmap::Load(text);
    ADD_FAILURE() << "a text file loaded as a picture";
  } catch (const FileError& error) {
    EXPECT_NE(std::string(error.what()).find("not a BMP"), std::string::npos) << error.what();
  }
  // A header that promises more rows than the file holds: the size loads, the pixels are
  // refused once, and the picture and its parts draw as nothing.
  std::vector<unsigned char> cut = ThreeByTwo();
  cut.resize(cut.size() - 4);
  const auto shortFile = Written("quelta_cut_short.bmp", cut);
  auto failures = std::make_shared<DecodeFailures>();
  std::vector<std::string> told;
  failures->SetListener([&](const FileError& error) { told.push_back(error.what()); });
  const auto bitmap = Bitmap::Load(shortFile, failures);
  EXPECT_EQ(bitmap->GetSize(), (Size{3, 2}));
  const auto part = bitmap->Part(Rect{0, 0, 1, 1});
  EXPECT_EQ(bitmap->PixelFrame().width, 0);
  EXPECT_EQ(part->PixelFrame().width, 0);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("cut short"), std::string::npos) << told[0];
  std::filesystem::remove(text);
  std::filesystem::remove(shortFile);
}

TEST(DrawingAreaWithoutQt, DrawsOnePixelLinesWithBothEndsAndOutlinesWithBothEdges) {
  HeadlessEventLoop loop;
  ScriptedDialogs dialogs;
  HeadlessBackend backend;
  Application app(loop, dialogs, backend);
  Window window(app, Size{200, 200});
  const Color background = Color::FromBgr(0xC0DCC0);
  DrawingArea curve(window, Rect{20, 30, 158, 90}, background);
  const std::uint32_t bg = Frame::Word(background), red = 0xFF0000;
  EXPECT_EQ(curve.Canvas().At(0, 0), bg);
  curve.DrawLine(Point{0, 89}, Point{157, 0}, colors::kPureRed);
  EXPECT_EQ(curve.Canvas().At(0, 89), red);
  EXPECT_EQ(curve.Canvas().At(157, 0), red) << "end point included";
  // One pixel a column, nearest the true line: at x = 100 it is 89 - 100 * 89 / 157 = 32.31.
  EXPECT_EQ(curve.Canvas().At(100, 32), red);
  EXPECT_EQ(curve.Canvas().At(100, 31), bg);
  EXPECT_EQ(curve.Canvas().At(100, 33), bg);
  for (int x = 0; x <= 157; ++x) {
    int inColumn = 0;
    for (int y = 0; y < 90; ++y) inColumn += curve.Canvas().At(x, y) == red ? 1 : 0;
    EXPECT_EQ(inColumn, 1) << "column " << x;
  }
  // The outline of 50..56 x 40..46, edges included, inside untouched.
  curve.DrawRectangle(Rect{50, 40, 6, 6}, colors::kPureRed);
  EXPECT_EQ(curve.Canvas().At(50, 43), red);
  EXPECT_EQ(curve.Canvas().At(56, 43), red);
  EXPECT_EQ(curve.Canvas().At(53, 46), red);
  EXPECT_EQ(curve.Canvas().At(53, 43), bg) << "outline only";
  EXPECT_EQ(curve.Canvas().At(57, 43), bg);
  // A line running off the area stops at its edge; a clear leaves the background alone.
  curve.DrawLine(Point{150, 80}, Point{400, 80}, colors::kPureRed);
  EXPECT_EQ(curve.Canvas().At(157, 80), red);
  curve.Clear();
  EXPECT_EQ(curve.Canvas().At(157, 0), bg);
  EXPECT_EQ(curve.Canvas().At(50, 43), bg);
}

}  // namespace
}  // namespace ui

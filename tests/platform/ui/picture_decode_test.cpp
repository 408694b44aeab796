#include "platform/ui/picture_decode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/bitmap_cache.h"
#include "support/hostile_bitmaps.h"
#include "support/temp_folder.h"

namespace ui {
namespace {

using testing_support::HostileBitmaps;
using testing_support::SoundBitmap;
using testing_support::TempFolder;
using testing_support::WriteFile;

TEST(PictureDecode, TheSoundPictureDecodesAndEveryHostileOneIsRefusedWithAReason) {
  const TempFolder scratch;
  const auto sound = scratch / "sound.bmp";
  WriteFile(sound, SoundBitmap());
  const PictureDecode good = DecodePictureFile(sound);
  EXPECT_EQ(good.problem, "");
  ASSERT_EQ(good.image.size(), QSize(8, 4));
  // Stored blue 30 a column and red 60 a stored row, the bottom row stored first.
  EXPECT_EQ(good.image.pixel(7, 3) | 0xFF000000u, qRgb(0, 0, 210));
  EXPECT_EQ(good.image.pixel(1, 0) | 0xFF000000u, qRgb(180, 0, 30));

  for (const auto& [name, bytes] : HostileBitmaps()) {
    const auto file = scratch / "hostile.bmp";
    WriteFile(file, bytes);
    const PictureDecode refused = DecodePictureFile(file);
    EXPECT_TRUE(refused.image.isNull()) << name;
    EXPECT_NE(refused.problem, "") << name;
  }
  // A short file says by how much; the header counts 150 bytes.
  const auto cut = scratch / "cut.bmp";
  WriteFile(cut, SoundBitmap().substr(0, 149));
  EXPECT_EQ(DecodePictureFile(cut).problem, "is cut short: 149 bytes where its header needs 150");
}

TEST(PictureDecode, ThePixelsOfAPictureTheCacheHoldsAreRefusedOnceAtTheFirstDraw) {
  const TempFolder scratch;
  const auto sound = scratch / "sound.bmp";
  const auto cut = scratch / "cut.bmp";
  WriteFile(sound, SoundBitmap());
  // The rows are gone but the header reads: the file loads, its pixels do not.
  WriteFile(cut, SoundBitmap().substr(0, 100));
  BitmapCache cache;
  std::vector<std::string> told;
  cache.SetOnDecodeFailure([&told](const FileError& e) { told.emplace_back(e.what()); });
  const auto good = cache.Load(sound);
  const auto bad = cache.Load(cut);
  EXPECT_EQ(bad->GetSize(), (Size{8, 4}));
  EXPECT_TRUE(told.empty()) << "nothing is decoded by a load";

  EXPECT_FALSE(good->Opaque().isNull());
  EXPECT_TRUE(bad->Keyed().isNull());
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0], "Cannot load \"" + cut.string() +
                         "\": is cut short: 100 bytes where its header needs 150");
  // Drawn again, plainly, keyed, or in part: refused once, told once.
  EXPECT_TRUE(bad->Opaque().isNull());
  EXPECT_TRUE(bad->Part(Rect{0, 0, 2, 2})->Opaque().isNull());
  EXPECT_EQ(told.size(), 1u);

  // Nobody listening: the picture still draws empty and nothing breaks.
  cache.SetOnDecodeFailure({});
  const auto other = scratch / "other.bmp";
  WriteFile(other, SoundBitmap().substr(0, 120));
  EXPECT_TRUE(cache.Load(other)->Opaque().isNull());
  EXPECT_EQ(told.size(), 1u);
}

}  // namespace
}  // namespace ui

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QString>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/ui/bmp_decoder.h"

namespace ui {
namespace {

// The window on Windows reads its pictures without Qt: every picture of the generated skin
// must come out as Qt's reader gives it to the window on Linux, pixel for pixel.
TEST(DecodeBmp, EverySkinPictureIsPixelForPixelWhatQtsReaderGives) {
  const char* bin = std::getenv("QUELTA_BIN_DIR");
  ASSERT_NE(bin, nullptr) << "QUELTA_BIN_DIR names the folder with the generated skin";
  int compared = 0;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(std::filesystem::path(bin) / "Skin")) {
    if (entry.path().extension() != ".bmp") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::string error;
    const std::optional<Frame> ours = DecodeBmp(bytes, error);
    const QImage qt = QImageReader(QString::fromStdString(entry.path().string()))
                          .read()
                          .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(qt.isNull()) << entry.path();
    ASSERT_TRUE(ours) << entry.path() << ": " << error;
    ASSERT_EQ(ours->width, qt.width()) << entry.path();
    ASSERT_EQ(ours->height, qt.height()) << entry.path();
    int differing = 0;
    for (int y = 0; y < qt.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(qt.constScanLine(y));
      for (int x = 0; x < qt.width(); ++x) differing += (line[x] & 0xFFFFFFu) != ours->At(x, y);
    }
    EXPECT_EQ(differing, 0) << entry.path();
    ++compared;
  }
  EXPECT_GT(compared, 50) << "the skin's pictures were not found under " << bin;
}

}  // namespace
}  // namespace ui

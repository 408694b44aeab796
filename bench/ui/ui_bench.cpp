// What a poll cycle costs the displays, and what painting a whole main window costs.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "platform/ui/application.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/headless_event_loop.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "platform/ui/render_window.h"
#include "platform/ui/scripted_dialogs.h"
#include "platform/ui/window.h"
#include "skin/image_track_bar.h"

namespace {

constexpr int kClientWidth = 630, kClientHeight = 659;

QImage Picture(int w, int h, QRgb color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

struct Framework {
  ui::HeadlessEventLoop loop;
  ui::ScriptedDialogs dialogs;
  ui::HeadlessBackend backend;
  ui::Application app{loop, dialogs, backend};
  ui::Window window{app, ui::Size{kClientWidth, kClientHeight}};
};

void BM_ShowValueAndDrawStatusRect(benchmark::State& state) {
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  std::filesystem::create_directories(folder / "Skin");
  for (const char* name :
       {"num_none_big.bmp", "dot_big.bmp", "attr_pos_big.bmp", "attr_neg_big.bmp"}) {
    Picture(9, 18, qRgb(40, 40, 40))
        .save(QString::fromStdString((folder / "Skin" / name).string()), "BMP");
  }
  Framework ui;
  ui::ImageList digits(9, 18);
  for (int k = 0; k < 10; ++k)
    digits.Add(ui::Bitmap::FromImage(Picture(9, 18, qRgb(k * 20, 200, 255))));
  skin::TImageTrackBar display(ui.window, skin::ProgramFolderFiles(folder));
  display.SetupDigits(100, 100, 5, 9, 18, true, 1, true, false);
  display.SetDigitImages(digits);
  display.SetupStatusRect(200, 80, 100, 8, 0.0f, 800.0f, ui::colors::kPureGreen);
  float value = 0.0f;
  for (auto _ : state) {
    value = value > 799.0f ? 0.0f : value + 13.7f;
    display.ShowValue(value, false, false);
    display.SetPositionValue(value);
    display.DrawStatusRect();
    benchmark::DoNotOptimize(display.LastBand());
  }
  ui.window.TakeDirty();
}
BENCHMARK(BM_ShowValueAndDrawStatusRect);

void BM_RenderFullWindowWith100Images(benchmark::State& state) {
  Framework ui;
  ui.window.SetTransparentColor(ui::colors::kMagenta);
  // A page background and 99 pictures of skin size (buttons, digits, gauges), half keyed.
  std::vector<std::unique_ptr<ui::Image>> images;
  images.push_back(
      std::make_unique<ui::Image>(ui.window, ui::Rect{0, 0, kClientWidth, kClientHeight}));
  images.back()->SetPicture(
      ui::Bitmap::FromImage(Picture(kClientWidth, kClientHeight, qRgb(30, 34, 40))));
  for (int i = 1; i < 100; ++i) {
    const ui::Rect bounds{(i * 37) % 580, (i * 53) % 620, 40 + i % 3 * 10, 20 + i % 4 * 6};
    images.push_back(std::make_unique<ui::Image>(ui.window, bounds));
    QImage picture = Picture(bounds.width, bounds.height, qRgb(i * 2, 120, 200));
    picture.setPixel(0, 0, qRgb(255, 0, 255));
    images.back()->SetPicture(ui::Bitmap::FromImage(picture));
    images.back()->SetTransparent(i % 2 == 0);
  }
  QImage frame(kClientWidth, kClientHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    ui::RenderWindowArea(ui.window, frame, ui::Rect{0, 0, kClientWidth, kClientHeight});
    benchmark::DoNotOptimize(frame.constBits());
  }
}
BENCHMARK(BM_RenderFullWindowWith100Images);

}  // namespace

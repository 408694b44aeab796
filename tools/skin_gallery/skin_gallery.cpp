// skin_gallery [FOLDER]: renders a small window of displays and buttons, drawn from pictures
// made here, to PNG files in FOLDER (default ./gallery), so the look can be checked by eye.
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/application.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/headless_event_loop.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "platform/ui/render_window.h"
#include "platform/ui/scripted_dialogs.h"
#include "platform/ui/synthetic_mouse.h"
#include "platform/ui/window.h"
#include "skin/file_resolver.h"
#include "skin/image_label.h"
#include "skin/image_track_bar.h"

namespace skin {
namespace {

constexpr QRgb kKey = qRgb(255, 0, 255);
const QColor kPanel(28, 32, 38);
const QColor kLit(120, 230, 255);
const QColor kRed(255, 70, 60);

// Seven-segment digit k (0..9) in a w x h cell on the panel colour.
QImage SegmentDigit(int k, int w, int h, QColor lit) {
  static const char* const kSegments[] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                          "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kPanel);
  QPainter p(&image);
  const int t = std::max(1, w / 5);  // stroke
  const int mid = h / 2;
  const QRect seg[] = {QRect(t, 0, w - 2 * t, t),
                       QRect(w - t, t, t, mid - t),
                       QRect(w - t, mid + 1, t, h - mid - 1 - t),
                       QRect(t, h - t, w - 2 * t, t),
                       QRect(0, mid + 1, t, h - mid - 1 - t),
                       QRect(0, t, t, mid - t),
                       QRect(t, mid - t / 2, w - 2 * t, t)};
  for (const char* s = kSegments[k]; *s; ++s) p.fillRect(seg[*s - 'a'], lit);
  return image;
}

QImage Panel(int w, int h, QColor fill) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kPanel);
  QPainter p(&image);
  p.fillRect(QRect(0, h / 2 - 1, w, 2), fill);
  return image;
}

// A button face: a rounded plate on magenta (so its corners are see-through), with a ring.
QImage ButtonFace(int w, int h, QColor plate, QColor ring) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kKey);
  QPainter p(&image);
  p.setPen(QPen(ring, 2));
  p.setBrush(plate);
  p.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 6, 6);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(ring, 2));
  p.drawEllipse(QPointF(w / 2.0, h / 2.0), h / 4.0, h / 4.0);
  return image;
}

QImage Marker(int w, int h, bool pointsLeft) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kKey);
  QPainter p(&image);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 200, 60));
  QPainterPath path;
  if (pointsLeft) {
    path.moveTo(0, h / 2.0);
    path.lineTo(w, 0);
    path.lineTo(w, h);
  } else {
    path.moveTo(w / 2.0, 0);
    path.lineTo(w, h);
    path.lineTo(0, h);
  }
  p.drawPath(path);
  return image;
}

QImage Background(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kKey);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(QColor(70, 80, 95), 2));
  p.setBrush(QColor(40, 45, 54));
  p.drawRoundedRect(QRect(1, 1, w - 3, h - 3), 14, 14);
  p.fillRect(QRect(16, 16, 150, 44), kPanel);
  p.fillRect(QRect(16, 70, 150, 44), kPanel);
  return image;
}

// The headless framework, a program folder of pictures and the window the controls sit on.
class Gallery {
 public:
  Gallery() {
    std::filesystem::create_directories(Folder() / "Skin");
    const auto write = [this](const std::string& name, const QImage& image) {
      image.save(QString::fromStdString(Files()("Skin\\" + name).string()), "BMP");
    };
    write("num_none.bmp", SegmentDigit(8, 8, 16, QColor(45, 52, 60)));
    write("num_none_big.bmp", SegmentDigit(8, 9, 18, QColor(45, 52, 60)));
    write("a_num_none_big.bmp", SegmentDigit(8, 9, 18, QColor(60, 45, 45)));
    QImage dot(3, 3, QImage::Format_RGB32);
    dot.fill(kLit);
    write("dot.bmp", dot);
    write("dot_big.bmp", dot);
    write("attr_neg_big.bmp", Panel(8, 11, kLit));
    write("attr_neg.bmp", Panel(8, 11, kLit));
    write("a_attr_neg_big.bmp", Panel(8, 11, kRed));
    write("a_attr_pos_big.bmp", Panel(8, 11, kPanel));
    write("marker_up.bmp", Marker(12, 9, false));
    write("marker_left.bmp", Marker(9, 12, true));
    write("btn_up.bmp", ButtonFace(44, 26, QColor(60, 70, 85), QColor(120, 140, 160)));
    write("btn_over.bmp", ButtonFace(44, 26, QColor(70, 95, 120), QColor(150, 210, 255)));
    write("btn_down.bmp", ButtonFace(44, 26, QColor(30, 120, 90), QColor(120, 255, 190)));
    write("btn_dis.bmp", ButtonFace(44, 26, QColor(55, 55, 55), QColor(90, 90, 90)));
    for (int k = 0; k < 10; ++k) {
      lit.Add(ui::Bitmap::FromImage(SegmentDigit(k, 8, 16, kLit)));
      litBig.Add(ui::Bitmap::FromImage(SegmentDigit(k, 9, 18, kLit)));
    }
    for (int k = 0; k < 10; ++k) {
      QImage frame(60, 8, QImage::Format_RGB32);
      frame.fill(QColor(45, 52, 60));
      QPainter p(&frame);
      for (int b = 0; b <= k; ++b)
        p.fillRect(QRect(b * 6, 0, 5, 8), b < 7 ? QColor(60, 220, 120) : kRed);
      gaugeFrames.Add(ui::Bitmap::FromImage(frame));
    }
    window.SetClientSize(ui::Size{330, 200});
    window.SetTransparentColor(ui::colors::kMagenta);
    background.SetPicture(ui::Bitmap::FromImage(Background(330, 200)));
  }

  std::filesystem::path Folder() const { return dir_.path().toStdString(); }
  FileResolver Files() const { return ProgramFolderFiles(Folder()); }
  // Builds every control, then writes the three pictures into `out`.
  bool Render(const std::filesystem::path& out);

 private:
  QTemporaryDir dir_;
  ui::HeadlessEventLoop loop_;
  ui::ScriptedDialogs dialogs_;
  ui::HeadlessBackend backend_;
  ui::Application app_{loop_, dialogs_, backend_};
  ui::Window window{app_, ui::Size{630, 659}};
  ui::SyntheticMouse mouse{window};
  ui::Image background{window, ui::Rect{0, 0, 330, 200}};
  ui::ImageList lit{8, 16};
  ui::ImageList litBig{9, 18};
  ui::ImageList gaugeFrames{60, 8};
  std::vector<std::unique_ptr<TImageTrackBar>> displays;
  std::vector<std::unique_ptr<TImageLabel>> buttons;
};

bool Gallery::Render(const std::filesystem::path& out) {
  const auto display = [&]() -> TImageTrackBar& {
    displays.push_back(std::make_unique<TImageTrackBar>(window, Files()));
    return *displays.back();
  };
  // Total power: five big digits with one decimal and a gauge.
  TImageTrackBar& watt = display();
  watt.SetupDigits(30, 22, 5, 9, 18, true, 1, false, false);
  watt.SetDigitImages(litBig);
  watt.SetupStatusBar(100, 46, 0, 800, 60, 8, 9);
  watt.SetStatusBarImages(gaugeFrames);
  watt.ShowValue(523.4f, false, false);
  watt.SetStatusBarValue(523);
  // The -12 V rail: magnitude with the sign picture.
  TImageTrackBar& rail = display();
  rail.SetupDigits(40, 80, 4, 8, 16, true, 2, true, false);
  rail.SetDigitImages(lit);
  rail.ShowValue(11.9f, true, false);
  // A centred voltage threshold: vertical bar with its marker, 12.6 V on 11 .. 13.
  TImageTrackBar& volts = display();
  volts.CenteredMode = true;
  volts.SetupDigits(200, 24, 3, 9, 18, false, 0, true, true);
  volts.SetDigitImages(litBig);
  volts.SetPositionBarOrigin(243, 144);
  volts.LoadMarker(Files()("Skin\\marker_left.bmp"), 9, 12);
  volts.SetupStatusRect(232, 50, 100, 8, 11.0f, 13.0f, ui::colors::kPureGreen);
  volts.SetPositionValue(12.6f);
  volts.ShowValue(5.0f, false, true);
  volts.DrawStatusRect();
  // A current threshold past its range: red.
  TImageTrackBar& amps = display();
  amps.SetupStatusRect(290, 50, 100, 8, 0.0f, 30.0f, ui::colors::kPureGreen);
  amps.SetPositionValue(34.0f);
  amps.DrawStatusRect();
  // A horizontal bar with its marker below.
  TImageTrackBar& temp = display();
  temp.SBHorz = true;
  temp.SetPositionBarOrigin(16, 136);
  temp.LoadMarker(Files()("Skin\\marker_up.bmp"), 12, 9);
  temp.SetupStatusRect(22, 126, 150, 8, 25.0f, 74.0f, ui::colors::kPureGreen);
  temp.SetPositionValue(45.0f);
  temp.DrawStatusRect();

  const std::array<std::string, 4> faces{"Skin\\btn_up.bmp", "Skin\\btn_over.bmp",
                                         "Skin\\btn_down.bmp", "Skin\\btn_dis.bmp"};
  for (int i = 0; i < 4; ++i) {
    buttons.push_back(
        BuildImageLabel(window, ButtonLayout{16 + i * 50, 160, 44, 26}, faces, Files(), nullptr));
    buttons.back()->Repaint();
  }
  mouse.MoveTo(ui::Point{16 + 50 + 20, 170});  // hover the second
  mouse.MoveTo(ui::Point{16 + 100 + 20, 170});
  mouse.Press();  // hold the third
  buttons[1]->MouseEnter();
  buttons[3]->SetBtnEnabled(false);

  const QImage frame = ui::RenderWindow(window);
  const QImage keyed = ui::KeyedScreenshot(window, frame);
  std::filesystem::create_directories(out);
  const auto save = [&](const QImage& image, const char* name) {
    return image.save(QString::fromStdString((out / name).string()));
  };
  return save(frame, "controls.png") && save(keyed, "controls_keyed.png") &&
         save(keyed.scaled(keyed.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation),
              "controls_x3.png");
}

}  // namespace
}  // namespace skin

int main(int argc, char** argv) {
  const std::filesystem::path out = argc > 1 ? argv[1] : "gallery";
  skin::Gallery gallery;
  if (!gallery.Render(out)) {
    std::cerr << "skin_gallery: cannot write into " << out << "\n";
    return 1;
  }
  std::cout << "gallery written to " << std::filesystem::absolute(out) << "\n";
  return 0;
}

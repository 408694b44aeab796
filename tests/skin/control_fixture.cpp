#include "tests/skin/control_fixture.h"

#include "platform/ui/render_window.h"
#include "skin/image_track_bar.h"

namespace skin::testing {

using ui::testing::SolidPicture;

const std::vector<std::string>& SkinFolder::FixedNames() {
  static const std::vector<std::string> names = {
      "attr_neg",  "attr_neg_big", "a_attr_neg", "a_attr_neg_big",
      "attr_pos",  "attr_pos_big", "a_attr_pos", "a_attr_pos_big",
      "num_none",  "num_none_big", "a_num_none", "a_num_none_big",
      "dot",       "dot_big",      "marker",     "btn_leave",
      "btn_enter", "btn_click",    "btn_dis"};
  return names;
}

SkinFolder::SkinFolder() {
  std::filesystem::create_directories(Folder() / "Skin");
  const auto& names = FixedNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int shade = static_cast<int>(10 + 12 * i);
    const bool button = names[i].rfind("btn_", 0) == 0;
    const bool marker = names[i] == "marker";
    Write("Skin\\" + names[i] + ".bmp",
          SolidPicture(button ? 30 : (marker ? 12 : 9), button ? 20 : (marker ? 8 : 18),
                       QColor(shade, 255 - shade, 100), button));
  }
}

void SkinFolder::Write(const std::string& relative, const QImage& image) const {
  ASSERT_TRUE(image.save(QString::fromStdString(Path(relative).string()), "BMP")) << relative;
}

ControlTest::ControlTest() {
  for (int k = 0; k < 10; ++k) {
    digits.Add(ui::Bitmap::FromImage(SolidPicture(8, 16, QColor(k * 25, 0, 0))));
    bigDigits.Add(ui::Bitmap::FromImage(SolidPicture(9, 18, QColor(0, k * 25, 0))));
  }
  for (int k = 0; k < 8; ++k)
    gauge.Add(ui::Bitmap::FromImage(SolidPicture(40, 20, QColor(0, 0, k * 30))));
}

std::string ControlTest::NameOf(const std::shared_ptr<const ui::Bitmap>& picture) {
  if (!picture) return "-";
  for (const std::string& name : SkinFolder::FixedNames()) {
    if (ui.app.Bitmaps().Load(skin.Path("Skin\\" + name + ".bmp")) == picture) return name;
  }
  for (int k = 0; k < 10; ++k) {
    if (digits.Picture(k) == picture) return "d" + std::to_string(k);
    if (bigDigits.Picture(k) == picture) return "D" + std::to_string(k);
  }
  for (int k = 0; k < gauge.Count(); ++k) {
    if (gauge.Picture(k) == picture) return "g" + std::to_string(k);
  }
  return "?";
}

std::string ControlTest::CellText(const TImageTrackBar& bar) {
  std::string text;
  const auto& cells = bar.DigitCells();
  const std::size_t integerCells =
      bar.Digits().isFloat ? cells.size() - static_cast<std::size_t>(bar.Digits().DecimalCount)
                           : cells.size();
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i == integerCells) text += '.';
    const std::string name = NameOf(cells[i]->Picture());
    if (name.size() == 2 && (name[0] == 'd' || name[0] == 'D')) {
      text += name[1];
    } else if (name.find("num_none") != std::string::npos) {
      text += ' ';
    } else {
      text += '?';
    }
  }
  return text;
}

QImage ControlTest::Render() const {
  return ui::RenderWindow(window);
}

}  // namespace skin::testing

#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "skin/skin_path.h"
#include "support/form_main_fixture.h"

namespace mainwindow::testing {

// The main window with the alarm helpers the alarm tests share.
class AlarmWindowTest : public FormMainTest {
 protected:
  using Face = skin::TImageLabel::Face;

  // A stored skin path ("Skin\Eng\x.bmp") as the picture the window loads for it.
  std::shared_ptr<const ui::Bitmap> Bmp(const std::string& stored) {
    return app_.Bitmaps().Load(skin::ResolveSkinPath(programFolder_, stored));
  }
  std::shared_ptr<const ui::Bitmap> Bmp(const std::filesystem::path& file) {
    return app_.Bitmaps().Load(file);
  }

  // New readings as the hand-overs would bring them, then the evaluation of CycleComplete.
  template <typename Change>
  void Readings(TFormMain& form, Change change) {
    device::ReadingSet r = form.Monitor().Readings().Values();
    change(r);
    MonitorReadings& copy = form.Monitor().Readings();
    copy.CopyVoltages(r);
    copy.CopyCurrents(r);
    copy.CopyWatt(r.WattTotal);
    copy.CopyFans(r);
    copy.CopyTemps(r);
    form.EvaluateAlarms();
  }

  void Tick() { loop_.AdvanceBy(std::chrono::milliseconds(1000)); }

  // Rolls to a page and lets the roll finish.
  void RollTo(TFormMain& form, pages::Page page) {
    Click(form.Bar()->Tab(page));
    loop_.AdvanceBy(std::chrono::milliseconds(3000));
  }

  // The factory settings text with edits, as the window's settings file.
  static std::string FactoryText() {
    std::ifstream file(BinFolder() / "quelta-factory.reg");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  static void Replace(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }
  void UseSettingsText(const std::string& text) {
    const auto file = scratch_.Path() / "source.reg";
    std::ofstream(file) << text;
    UseSettingsFrom(file);
  }
  std::string SavedText() const {
    std::ifstream file(settingsFile_);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  // The value lines of one alarm key in the saved file.
  std::string SavedKey(const std::string& key) const {
    const std::string text = SavedText();
    const std::string line =
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\" + key + "]\n";
    const std::size_t at = text.find(line);
    if (at == std::string::npos) return {};
    const std::size_t end = text.find("\n\n", at);
    return text.substr(at + line.size(), end == std::string::npos ? end : end - at - line.size());
  }
};

// The digits a display shows in one digit set, read back from its cells; blanks are skipped.
inline std::string DigitsIn(const skin::TImageTrackBar& display, const ui::ImageList& numbers) {
  std::string digits;
  for (const auto& cell : display.DigitCells()) {
    for (int d = 0; d < numbers.Count(); ++d) {
      if (cell->Picture() && cell->Picture() == numbers.Picture(d)) {
        digits += static_cast<char>('0' + d);
        break;
      }
    }
  }
  return digits;
}

}  // namespace mainwindow::testing

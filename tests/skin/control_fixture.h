#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/image_list.h"
#include "platform/ui/synthetic_mouse.h"
#include "platform/ui/window.h"
#include "skin/file_resolver.h"
#include "support/headless_ui.h"

namespace skin {
class TImageTrackBar;
}

namespace skin::testing {

// Every fixed picture the displays load, each in its own colour, plus a marker and the four
// pictures of a button, in a temporary program folder.
class SkinFolder {
 public:
  static const std::vector<std::string>& FixedNames();

  SkinFolder();
  FileResolver Files() const { return ProgramFolderFiles(Folder()); }
  std::filesystem::path Folder() const { return dir_.path().toStdString(); }
  std::filesystem::path Path(const std::string& relative) const { return Files()(relative); }
  void Remove(const std::string& relative) const { std::filesystem::remove(Path(relative)); }
  void Write(const std::string& relative, const QImage& image) const;

 private:
  QTemporaryDir dir_;
};

class ControlTest : public ::testing::Test {
 protected:
  ControlTest();

  // The name of the picture an image shows: a fixed file's name without folder and ".bmp"
  // ("num_none_big"), "d<k>" for digit k of the small list, "D<k>" of the big one, "g<k>" for
  // gauge frame k, "-" for none and "?" for anything else.
  std::string NameOf(const std::shared_ptr<const ui::Bitmap>& picture);
  // The digit cells as text: a digit, ' ' for a blank, '?' for none, with '.' where the decimal
  // point is.
  std::string CellText(const TImageTrackBar& bar);
  QImage Render() const;

  ui::testing::HeadlessUi ui;
  SkinFolder skin;
  ui::Window window{ui.app, ui::Size{630, 659}};
  ui::SyntheticMouse mouse{window};
  ui::ImageList digits{8, 16};
  ui::ImageList bigDigits{9, 18};
  ui::ImageList gauge{40, 20};  // eight frames
};

}  // namespace skin::testing

#pragma once

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout_table.h"
#include "platform/ui/application.h"
#include "platform/ui/color.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/headless_event_loop.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "platform/ui/scripted_dialogs.h"
#include "platform/ui/window.h"
#include "skin/image_track_bar.h"

namespace skingen {

// What one display of a preview shows.
struct DisplaySample {
  std::string_view digitList = {};  // the digit image list ("ILNumber", "ILANumber"); "" for none
  float digits = 0.0f;              // the value given to the digits (a magnitude)
  bool negative = false;
  bool alternate = false;
  bool bar = false;  // the status rect, painted for `value` on min .. max
  float min = 0.0f, max = 0.0f, value = 0.0f;
  bool centred = false;
  ui::Color colour = ui::colors::kPureGreen;
  std::string marker = {};  // the stored marker picture; "" for none
};

// The program's own display control on a headless window the size of a preview, so the
// previews show digits, bars and markers exactly as the windows draw them.
class DisplayStage {
 public:
  DisplayStage(std::filesystem::path binDir, std::filesystem::path listsDir, int width, int height);
  ~DisplayStage();

  // Builds a display from its records, as the windows do, and shows the sample on it.
  void Show(const DisplayEntry& entry, const DisplaySample& sample);
  // Draws every display shown so far over `p`, the window's see-through colour left out.
  void PaintOnto(QPainter& p) const;

 private:
  const ui::ImageList& List(std::string_view name);

  std::filesystem::path bin_, lists_;
  ui::HeadlessEventLoop loop_;
  ui::ScriptedDialogs dialogs_;
  ui::HeadlessBackend backend_;
  ui::Application app_{loop_, dialogs_, backend_};
  ui::Window window_;
  ui::Image background_;
  std::map<std::string, std::unique_ptr<ui::ImageList>, std::less<>> lists_by_name_;
  std::vector<std::unique_ptr<skin::TImageTrackBar>> displays_;
};

}  // namespace skingen

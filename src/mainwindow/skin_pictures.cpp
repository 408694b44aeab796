#include "mainwindow/skin_pictures.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "platform/ui/bitmap_cache.h"
#include "skin/skin_path.h"

namespace mainwindow {

void PlaceSkinPicture(skin::SkinBitmap role, const std::filesystem::path& file,
                      pages::PageImages& pages, MonitorImageLists& lists,
                      ui::BitmapCache& bitmaps) {
  switch (role) {
    case skin::SkinBitmap::ManagerBackground:
      pages.ImgManager().LoadPicture(file);
      break;
    case skin::SkinBitmap::ConfigBackground:
      pages.ImgConfig().LoadPicture(file);
      break;
    case skin::SkinBitmap::AlarmBackground:
      pages.ImgAlarm().LoadPicture(file);
      break;
    case skin::SkinBitmap::TempPSUCelsiusGauge:
      lists.ILTempPSUCStatusBar.Add(bitmaps.Load(file));
      break;
    case skin::SkinBitmap::TempPSUFahrenheitGauge:
      lists.ILTempPSUFStatusBar.Add(bitmaps.Load(file));
      break;
  }
}

void DecodeMonitorPageAhead(ui::Application& app, ui::Window& window,
                            const std::filesystem::path& programFolder,
                            const skin::SkinLoader& loader, bool backgroundKeyed) {
  std::vector<ui::BitmapUse> uses{{nullptr, backgroundKeyed}};
  try {
    uses.front().bitmap =
        app.Bitmaps().Load(skin::ResolveSkinPath(programFolder, loader.ManagerBackgroundFile()));
  } catch (const std::exception&) {
    // The loader reports a missing background when its turn comes.
    uses.clear();
  }
  for (ui::BitmapUse& use : window.PicturesDrawn()) uses.push_back(std::move(use));
  app.Bitmaps().DecodeAhead(std::move(uses));
}

void DecodeRestAhead(ui::Application& app, ui::Window& window) {
  std::vector<ui::BitmapUse> uses;
  for (ui::BitmapUse& use : window.PicturesDrawn()) {
    if (!use.bitmap->Decoded()) uses.push_back(std::move(use));
  }
  std::reverse(uses.begin(), uses.end());
  app.Bitmaps().DecodeAhead(std::move(uses));
}

}  // namespace mainwindow

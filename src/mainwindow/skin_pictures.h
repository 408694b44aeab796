#pragma once

#include <filesystem>

#include "mainwindow/monitor_image_lists.h"
#include "pages/page_images.h"
#include "platform/ui/application.h"
#include "platform/ui/window.h"
#include "skin/skin_loader.h"

namespace mainwindow {

// Where each of the skin's own pictures goes: the page backgrounds into the page pictures, the
// PSU temperature gauges into their image lists.
void PlaceSkinPicture(skin::SkinBitmap role, const std::filesystem::path& file,
                      pages::PageImages& pages, MonitorImageLists& lists, ui::BitmapCache& bitmaps);

// The monitor page shows first: its pictures are decoded while the other pages are built, its
// background (drawn first) ahead of the rest.
void DecodeMonitorPageAhead(ui::Application& app, ui::Window& window,
                            const std::filesystem::path& programFolder,
                            const skin::SkinLoader& loader, bool backgroundKeyed);

// What the first paint still has to decode (the bar's pictures, built last) is decoded from the
// far end while the paint works from the near one, so the two meet halfway.
void DecodeRestAhead(ui::Application& app, ui::Window& window);

}  // namespace mainwindow

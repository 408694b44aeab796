#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "layout_table.h"
#include "platform/registry/memory_registry_store.h"
#include "reg_text.h"
#include "skin/default_skin_places.h"
#include "skin/layout_reader.h"
#include "skin/skin_files.h"
#include "skin/skin_keys.h"
#include "skin/skin_pages.h"
#include "skin/skin_path.h"
#include "texts.h"

namespace skingen {
namespace {

namespace places = skin::places;

// The keys the readers read of each page, with the table page that must answer them.
std::vector<std::pair<skin::PageKeys, const PageTable*>> PagesOf(const SkinTable& t, int rating) {
  std::vector<std::pair<skin::PageKeys, const PageTable*>> pages;
  const auto groups = skin::ManagerGroupKeys(rating);
  for (std::size_t i = 0; i < groups.size(); ++i)
    pages.emplace_back(groups[i], &t.managerGroups[i]);
  pages.emplace_back(skin::ConfigPageKeys(), &t.config);
  pages.emplace_back(skin::AlarmPageKeys(rating), &t.alarm);
  pages.emplace_back(skin::CtrlPageKeys(), &t.ctrl);
  pages.emplace_back(skin::VoltageWindowKeys(rating), &t.voltageWindow);
  pages.emplace_back(skin::CurrentWindowKeys(rating), &t.currentWindow);
  return pages;
}

TEST(LayoutTable, HoldsExactlyTheKeysTheReadersRead) {
  for (const int rating : {450, 550}) {
    const SkinTable table = BuildSkinTable("Eng", rating == 450);
    for (const auto& [keys, page] : PagesOf(table, rating)) {
      EXPECT_EQ(page->pageName, keys.pageName);
      std::set<std::string> wanted, held;
      for (const auto& key : keys.keys) {
        wanted.insert((key.kind == skin::ControlKind::Button ? "B " : "D ") + key.name);
      }
      for (const auto& b : page->buttons) EXPECT_TRUE(held.insert("B " + b.key).second) << b.key;
      for (const auto& d : page->displays) EXPECT_TRUE(held.insert("D " + d.key).second) << d.key;
      EXPECT_EQ(held, wanted) << keys.pageName << " at " << rating;
    }
  }
}

// Where a page's controls may lie: the main window above and on the bar, or a detail window.
QRect Window(const std::string& pageName) {
  if (pageName.find("\\All") != std::string::npos) {
    const bool voltage = pageName.find("Voltage") != std::string::npos;
    return {0, 0, 627,
            voltage ? places::kVoltageWindowClient.Height : places::kCurrentWindowClient.Height};
  }
  if (pageName == "Ctrl") {
    return {places::kImgCtrl.Left, places::kImgCtrl.Top, places::kImgCtrl.Width,
            places::kImgCtrl.Height};
  }
  return {0, 0, places::kImgManager.Width, places::kImgManager.Height};
}

// The group a control is shown with: the alarm page shows one group at a time.
std::string ShownWith(const std::string& pageName, const std::string& key) {
  if (pageName != "Alarm") return "";
  const auto cut = key.find('\\');
  return cut == std::string::npos ? "" : key.substr(0, cut);
}

TEST(LayoutTable, ControlsStayInTheirWindowAndButtonsDoNotOverlap) {
  for (const bool small : {false, true}) {
    const SkinTable table = BuildSkinTable("Eng", small);
    for (const auto& [keys, page] : PagesOf(table, small ? 450 : 550)) {
      const QRect window = Window(page->pageName);
      for (const auto& b : page->buttons) {
        EXPECT_TRUE(window.contains(b.rect)) << page->pageName << "\\" << b.key;
      }
      for (const auto& d : page->displays) {
        if (d.digit) {
          EXPECT_TRUE(window.contains(d.digit->Extent(true))) << d.key;
        }
        if (d.statusBar) {
          EXPECT_TRUE(window.contains(d.statusBar->Rect())) << d.key;
        }
        if (d.statusRect) {
          EXPECT_TRUE(window.contains(d.statusRect->Rect())) << d.key;
        }
      }
      for (std::size_t i = 0; i < page->buttons.size(); ++i) {
        for (std::size_t j = i + 1; j < page->buttons.size(); ++j) {
          const ButtonEntry& a = page->buttons[i];
          const ButtonEntry& b = page->buttons[j];
          const std::string ga = ShownWith(page->pageName, a.key);
          const std::string gb = ShownWith(page->pageName, b.key);
          if (!ga.empty() && !gb.empty() && ga != gb) continue;
          EXPECT_FALSE(a.rect.intersects(b.rect))
              << page->pageName << ": " << a.key << ", " << b.key;
        }
      }
    }
  }
}

TEST(LayoutTable, TheMonitorPageKeepsClearOfTheWindowsOwnComponents) {
  const SkinTable table = BuildSkinTable("Eng", false);
  std::vector<QRect> own = {{places::kImgAlarmWatt.Left, places::kImgAlarmWatt.Top,
                             places::kImgAlarmWatt.Width, places::kImgAlarmWatt.Height},
                            {places::kImgAlarmPSU.Left, places::kImgAlarmPSU.Top, 21, 21},
                            {places::kImgAlarmSYS.Left, places::kImgAlarmSYS.Top, 21, 21},
                            {places::kImgPSUFan.Left, places::kImgPSUFan.Top, 72, 73},
                            {places::kImgSYSFan.Left, places::kImgSYSFan.Top, 72, 73}};
  for (const auto& edit : places::kEditT)
    own.emplace_back(edit.Left, edit.Top, edit.Width, edit.Height);
  for (const PageTable& group : table.managerGroups) {
    for (const auto& b : group.buttons) {
      for (const QRect& r : own) EXPECT_FALSE(b.rect.intersects(r)) << b.key;
    }
    for (const auto& d : group.displays) {
      for (const QRect& r : own) {
        if (d.digit) {
          EXPECT_FALSE(d.digit->Extent(false).intersects(r)) << d.key;
        }
        if (d.statusBar) {
          EXPECT_FALSE(d.statusBar->Rect().intersects(r)) << d.key;
        }
      }
    }
  }
}

TEST(LayoutTable, TheAlarmPagesSensorNamesSitUnderTheirColumns) {
  const SkinTable table = BuildSkinTable("Eng", false);
  const char* sensors[] = {"T1", "T2", "T3", "T4"};
  for (int i = 0; i < 4; ++i) {
    const StatusRectPlace& bar =
        *table.alarm.Display(std::string("Temperature\\") + sensors[i]).statusRect;
    const places::Place name = places::kEditATempT[i];
    EXPECT_NEAR(name.Left + name.Width / 2.0, bar.left + bar.caliper / 2.0, 1.0) << sensors[i];
    EXPECT_GT(
        name.Top,
        table.alarm.Button(std::string("Temperature\\") + sensors[i] + "Light").rect.bottom());
  }
}

TEST(LayoutTable, BarMarkersSitBesideTheirBarWhereTheDragPutsThem) {
  const SkinTable table = BuildSkinTable("Eng", false);
  for (const PageTable* page : {&table.config, &table.alarm}) {
    for (const auto& d : page->displays) {
      if (!d.statusRect || !d.posBar) continue;
      const StatusRectPlace& r = *d.statusRect;
      // Placed at origin - offset + 4; dragged to top + length - offset: the same place.
      EXPECT_EQ(d.posBar->top + 4, r.top + r.length) << d.key;
      EXPECT_FALSE(QRect(d.posBar->left, r.top, d.posBar->width, r.length).intersects(r.Rect()))
          << d.key;
      EXPECT_FALSE(r.horizontal) << d.key;  // a horizontal bar cannot be dragged to a value
    }
  }
}

TEST(LayoutTable, TheFanCurveMarkersPointAtTheKnee) {
  const SkinTable table = BuildSkinTable("Eng", false);
  const PosBarPlace& vol = *table.config.Display("FSVol").posBar;
  const PosBarPlace& temp = *table.config.Display("FSTemp").posBar;
  const places::Place curve = places::kLabelCurve;
  constexpr int kVolTip = 8, kTempTip = 3;  // the arrows' tips within their pictures
  for (double volts = 4.0; volts <= 12.0; volts += 0.5) {
    const int o = static_cast<int>((volts - 4.0) * 85 / 8.0);
    const int kneeY = curve.Top + (o == 0 ? curve.Height - 1 : curve.Height - o);
    EXPECT_NEAR(vol.top - o + kVolTip, kneeY, o == 0 ? 1 : 0) << volts;
  }
  for (double c = 25; c <= 74; c += 7) {
    const int f = static_cast<int>((c - 25.0) * 157 / 49.0);
    EXPECT_NEAR(temp.left + f + kTempTip, curve.Left + std::max(f, 1), f == 0 ? 1 : 0) << c;
  }
  // The drag limits the page sets (403 .. 488 and 387 .. 544) span exactly 4 .. 12 V and
  // 25 .. 74 degrees from these origins.
  EXPECT_EQ(vol.top - 85, 403);
  EXPECT_EQ(temp.left, 387);
}

TEST(LayoutTable, NeighbouringDigitRowsLeaveRoomForTheirWindows) {
  constexpr int kRoom = 14;  // the LCD frame drawn around each row
  for (const bool small : {false, true}) {
    const SkinTable table = BuildSkinTable("Eng", small);
    for (const PageTable* page : {&table.alarm, &table.voltageWindow, &table.currentWindow}) {
      std::map<std::string, std::vector<QRect>> rows;
      for (const auto& d : page->displays) {
        if (d.digit) rows[ShownWith(page->pageName, d.key)].push_back(d.digit->Extent(true));
      }
      for (auto& [group, extents] : rows) {
        std::sort(extents.begin(), extents.end(),
                  [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
        for (std::size_t i = 1; i < extents.size(); ++i) {
          EXPECT_GE(extents[i].left() - extents[i - 1].right(), kRoom)
              << page->pageName << " " << group;
        }
      }
    }
  }
}

TEST(SkinTreeText, ReadsBackAsTheTableThroughTheReaders) {
  const SkinTable normal = BuildSkinTable("Jpn", false);
  const SkinTable small = BuildSkinTable("Jpn", true);
  platform::MemoryRegistryStore store(std::string(kRegHeader) + "\n" +
                                      SkinTreeText("Jpn", normal, small));
  const auto registry = store.Open(platform::RegistryAccess::Read);
  for (const int rating : {450, 800}) {
    const SkinTable& table = rating == 450 ? small : normal;
    skin::LayoutReader reader(*registry, skin::ReaderVariant::MainWindow, rating);
    const std::string page = skin::PagePath("Jpn\\", table.alarm.pageName);
    for (const ButtonEntry& b : table.alarm.buttons) {
      skin::ButtonLayout rect;
      std::vector<std::string> bitmaps;
      ASSERT_TRUE(reader.ReadButtonLayout(page, b.key, rect, bitmaps)) << b.key;
      EXPECT_EQ(QRect(rect.Left, rect.Top, rect.Width, rect.Height), b.rect) << b.key;
      EXPECT_TRUE(std::equal(bitmaps.begin(), bitmaps.end(), b.bitmaps.begin())) << b.key;
    }
    const DisplayEntry& total = table.alarm.Display("Total");
    skin::DisplayLayout layout;
    ASSERT_TRUE(reader.ReadDisplayLayout(page, "Total", layout));
    EXPECT_EQ(layout.digit.Left, total.digit->left);
    EXPECT_EQ(layout.posBar.Path, "Skin\\marker_v.bmp");
    EXPECT_FLOAT_EQ(layout.statusRect.Max, static_cast<float>(rating == 450 ? 550 : rating));
  }
  EXPECT_EQ(RegQuoted("Skin\\a \"b\""), "\"Skin\\\\a \\\"b\\\"\"");
}

// The program folder of the build, where the generated pictures lie.
std::filesystem::path BinDir() {
  const char* dir = std::getenv("QUELTA_BIN_DIR");
  return dir != nullptr && *dir != '\0' ? std::filesystem::path(dir)
                                        : std::filesystem::path(QUELTA_TEST_BIN_DIR);
}

// A picture below Skin\, found the way the program finds it (without regard to case).
QImage Picture(const std::string& relative) {
  const auto file = skin::ResolveSkinPath(BinDir(), "Skin\\" + relative);
  return QImage(QString::fromStdString(file.string()));
}

TEST(GeneratedPictures, DigitPartsHaveTheSizesTheDisplayGivesThem) {
  if (!std::filesystem::exists(BinDir() / "Skin")) GTEST_SKIP() << "no generated skin";
  for (const char* prefix : {"", "a_"}) {
    EXPECT_EQ(Picture(std::string(prefix) + "num_none.bmp").size(), QSize(8, 16));
    EXPECT_EQ(Picture(std::string(prefix) + "num_none_big.bmp").size(), QSize(9, 18));
    for (const char* sign : {"attr_neg", "attr_pos", "attr_neg_big", "attr_pos_big"}) {
      EXPECT_EQ(Picture(std::string(prefix) + sign + ".bmp").size(), QSize(8, 11)) << sign;
    }
  }
  EXPECT_EQ(Picture("dot.bmp").size(), QSize(3, 3));
  EXPECT_EQ(Picture("dot_big.bmp").size(), QSize(3, 3));
  EXPECT_EQ(Picture("up.bmp").size(), QSize(9, 9));
  EXPECT_EQ(Picture("Ctrl_BK.bmp").size(), QSize(628, 53));
  EXPECT_EQ(Picture("watt_red.bmp").size(), QSize(25, 25));
  EXPECT_EQ(Picture("fan_red.bmp").size(), QSize(21, 21));
}

// Count of see-through pixels away from the rounded corners of `inside`.
int HolesIn(const QImage& image, const QRect& inside) {
  constexpr int kCorner = 12;
  int holes = 0;
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      const bool nearCorner = (x - inside.left() < kCorner || inside.right() - x < kCorner) &&
                              (y - inside.top() < kCorner || inside.bottom() - y < kCorner);
      if (!nearCorner && (image.pixel(x, y) & 0xFFFFFF) == 0xFF00FF) ++holes;
    }
  }
  return holes;
}

TEST(GeneratedPictures, BackgroundsHaveNoSeeThroughHolesButTheirCorners) {
  if (!std::filesystem::exists(BinDir() / "Skin")) GTEST_SKIP() << "no generated skin";
  for (const Language& lang : Languages()) {
    const std::string folder = lang.folder + "\\";
    for (const std::string& file : skin::LanguageBitmaps(800)) {
      if (file.rfind("disable_", 0) == 0) continue;  // buttons: see-through corners
      const QImage image = Picture(folder + file);
      ASSERT_FALSE(image.isNull()) << folder << file;
      QRect inside = image.rect();
      if (file.rfind("Current", 0) == 0) inside.setHeight(places::kCurrentWindowClient.Height);
      if (file.rfind("Voltage", 0) == 0) inside.setHeight(places::kVoltageWindowClient.Height);
      if (inside.width() == places::kImgBK.Width) inside.setWidth(627);
      EXPECT_EQ(HolesIn(image, inside), 0) << folder << file;
    }
  }
}

}  // namespace
}  // namespace skingen

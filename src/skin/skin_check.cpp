#include "skin/skin_check.h"

#include <QImage>
#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/picture_decode.h"
#include "skin/language.h"
#include "skin/layout_reader.h"
#include "skin/page_records.h"
#include "skin/skin_files.h"
#include "skin/skin_pages.h"
#include "skin/skin_path.h"

namespace skin {
namespace {

constexpr int kRatings[] = {450, 550, 680, 800};
constexpr int kLanguages = 8;
// A digit row wider than this overflows the 32-bit value the display splits into digits.
constexpr int kMostDigitCells = 9;

// The first problem found; thrown to end the check there.
class Problem : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SkinChecker {
 public:
  SkinChecker(platform::Registry& registry, std::filesystem::path programFolder, std::ostream& err)
      : registry_(registry), programFolder_(std::move(programFolder)), err_(err) {}

  void CheckShared() {
    context_.clear();  // these belong to no language or rating
    for (const std::string& stored : SharedBitmaps()) CheckBitmap(stored, "the program");
  }

  void Check(int osLang, int rating) {
    const std::string folder = LanguageFolderOfOsLang(osLang);
    context_ = "[" + folder.substr(0, folder.size() - 1) + ", " + std::to_string(rating) + " W] ";

    LayoutReader main(registry_, ReaderVariant::MainWindow, rating);
    for (const PageKeys& group : ManagerGroupKeys(rating)) CheckPage(main, folder, group);
    CheckPage(main, folder, ConfigPageKeys());
    CheckPage(main, folder, AlarmPageKeys(rating));
    CheckPage(main, folder, CtrlPageKeys());
    LayoutReader voltage(registry_, ReaderVariant::VoltageWindow, rating);
    CheckPage(voltage, folder, VoltageWindowKeys(rating));
    LayoutReader current(registry_, ReaderVariant::CurrentWindow, rating);
    CheckPage(current, folder, CurrentWindowKeys(rating));

    for (const std::string& file : LanguageBitmaps(rating)) {
      const QImage picture = CheckBitmap(std::string(kSkinFolder) + folder + file, "the program");
      if (file.rfind("data_", 0) == 0 &&
          (picture.width() != kTempGaugeWidth || picture.height() != kTempGaugeHeight)) {
        Fail("Skin\\" + folder + file + " is " + std::to_string(picture.width()) + " x " +
             std::to_string(picture.height()) + " pixels; the gauge list needs " +
             std::to_string(kTempGaugeWidth) + " x " + std::to_string(kTempGaugeHeight));
      }
    }
  }

  [[noreturn]] void Fail(const std::string& message) const { throw Problem(context_ + message); }

 private:
  void CheckPage(LayoutReader& reader, const std::string& folder, const PageKeys& page) {
    const PageRecords records = PageRecords::Read(reader, folder, page);
    if (!records.Complete()) Fail(records.Failures().front());
    for (const std::string& absent : records.AbsentDisplays()) {
      err_ << "skin-check: " << context_ << "note: display key " << absent
           << " does not exist; that display shows nothing\n";
    }
    for (const ControlKey& control : page.keys) {
      const std::string key = records.PagePath() + "\\" + control.name;
      if (control.kind == ControlKind::Button) {
        for (const std::string& stored : records.Button(control.name)->bitmaps) {
          CheckBitmap(stored, key);
        }
      } else {
        CheckDisplay(*records.Display(control.name), key);
      }
    }
  }

  void CheckDisplay(const DisplayLayout& d, const std::string& key) {
    if (d.ShowDigit) {
      if (d.digit.Count < 0 || d.digit.Count > kMostDigitCells) {
        Fail(key + "\\Digit: Count " + std::to_string(d.digit.Count) + " is outside 0 to " +
             std::to_string(kMostDigitCells));
      }
      if (d.digit.isFloat && (d.digit.DecimalCount < 0 || d.digit.DecimalCount >= d.digit.Count)) {
        Fail(key + "\\Digit: DecimalCount " + std::to_string(d.digit.DecimalCount) +
             " leaves no cell before the point");
      }
    }
    if (d.ShowStatusBar && d.statusBar.Min == d.statusBar.Max) {
      Fail(key + "\\StatusBar: Min and Max are both " + std::to_string(d.statusBar.Min));
    }
    if (d.ShowStatusRect && d.statusRect.Min == d.statusRect.Max) {
      Fail(key + "\\StatusRect: Min and Max are both " + std::to_string(d.statusRect.Min));
    }
    if (d.ShowPosBar) CheckBitmap(d.posBar.Path, key + "\\PosBar");
  }

  // Resolves and opens one picture once; `where` names the record that stores the path.
  QImage CheckBitmap(const std::string& stored, const std::string& where) {
    const auto known = opened_.find(stored);
    if (known != opened_.end()) return known->second;
    std::filesystem::path file;
    try {
      file = ResolveSkinPath(programFolder_, stored);
    } catch (const std::exception& e) {
      Fail(std::string(e.what()) + " (named by " + where + ")");
    }
    // The window's own decode, so what passes here draws there.
    ui::PictureDecode picture = ui::DecodePictureFile(file);
    if (picture.image.isNull())
      Fail(file.string() + " " + picture.problem + " (named by " + where + ")");
    opened_.emplace(stored, picture.image);
    return picture.image;
  }

  platform::Registry& registry_;
  std::filesystem::path programFolder_;
  std::ostream& err_;
  std::string context_;
  std::map<std::string, QImage> opened_;
};

}  // namespace

int RunSkinCheck(platform::RegistryStore& store, const std::filesystem::path& programFolder,
                 std::optional<int> powerRating, std::optional<int> language, std::ostream& out,
                 std::ostream& err) {
  std::vector<int> ratings(std::begin(kRatings), std::end(kRatings));
  if (powerRating) {
    if (std::find(ratings.begin(), ratings.end(), *powerRating) == ratings.end()) {
      err << "skin-check: --rating must be 450, 550, 680 or 800, not " << *powerRating << "\n";
      return 2;
    }
    ratings = {*powerRating};
  }
  std::vector<int> languages;
  for (int osLang = 1; osLang <= kLanguages; ++osLang) languages.push_back(osLang);
  if (language) {
    if (*language < 1 || *language > kLanguages) {
      err << "skin-check: --lang must be 1 to 8, not " << *language << "\n";
      return 2;
    }
    languages = {*language};
  }
  try {
    const auto registry = store.Open(platform::RegistryAccess::Read);
    // The window refuses an osLang that is not a whole number before it reads any skin.
    ChooseLanguage(*registry, 0);
    SkinChecker checker(*registry, programFolder, err);
    for (int osLang : languages) {
      for (int rating : ratings) {
        try {
          checker.Check(osLang, rating);
        } catch (const Problem&) {
          throw;
        } catch (const std::exception& e) {
          // A conversion, registry read or format error of a record.
          checker.Fail(e.what());
        }
      }
    }
    checker.CheckShared();
  } catch (const std::exception& e) {
    err << "skin-check: " << e.what() << "\n";
    return 1;
  }
  out << "skin OK\n";
  return 0;
}

}  // namespace skin

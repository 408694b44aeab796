#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/registry/registry.h"
#include "skin/language.h"
#include "skin/page_records.h"
#include "skin/skin_pages.h"

namespace skin {

// What a picture loaded with the main window's skin is for.
enum class SkinBitmap {
  ManagerBackground,       // ImgManager
  ConfigBackground,        // ImgConfig
  AlarmBackground,         // ImgAlarm
  TempPSUCelsiusGauge,     // appended to ILTempPSUCStatusBar, 01 to 09 in order
  TempPSUFahrenheitGauge,  // appended to ILTempPSUFStatusBar, 01 to 09 in order
};

// Reads the main window's skin once, while the window is created: chooses the language,
// reads the four pages' records, runs each page's builder when its records are complete,
// then loads the background and gauge pictures.
class SkinLoader {
 public:
  // Page builders; each runs only when every record of its group or page was read. An empty
  // function is skipped.
  struct Builders {
    std::function<void(ManagerGroup, const PageRecords&)> managerGroup;
    std::function<void(const PageRecords&)> configPage;
    std::function<void(const PageRecords&)> alarmPage;
    std::function<void(const PageRecords&)> ctrlPage;
  };
  // Loads one picture file for its role; throws the framework's file error when it cannot.
  using BitmapLoader = std::function<void(SkinBitmap role, const std::filesystem::path& file)>;

  SkinLoader(platform::RegistryStore& store, std::filesystem::path programFolder,
             LangId userDefaultLanguage);

  // True only when the Manager, Config, Alarm and Ctrl pages were all read completely; every
  // page is read even after an earlier one failed, and the pictures are loaded whatever the
  // pages gave. Conversion, registry read, format and file errors propagate and end the load
  // there (SkinFileError for a picture path that does not resolve to a file).
  bool Load(int powerRating, const Builders& builders, const BitmapLoader& loadBitmap);

  // The language chosen by the last Load (identifier and LanguageFolder).
  const LanguageChoice& Language() const { return language_; }
  // The stored path of the monitor page's background in the chosen language, known once the
  // language is: a page builder can reach for it before the pictures are loaded.
  std::string ManagerBackgroundFile() const;
  // Why the last Load returned false, one line per failed record.
  const std::vector<std::string>& Failures() const { return failures_; }

 private:
  bool ReadManagerPage(LayoutReader& reader, int powerRating, const Builders& builders);
  bool ReadPage(LayoutReader& reader, const PageKeys& page,
                const std::function<void(const PageRecords&)>& builder);
  void LoadBitmaps(int powerRating, const BitmapLoader& loadBitmap) const;
  // A picture of the chosen language's folder, as stored ("Skin\Eng\Manager_BK.bmp").
  std::string BitmapFile(std::string_view file) const;

  platform::RegistryStore& store_;
  std::filesystem::path programFolder_;
  LangId userDefaultLanguage_;
  LanguageChoice language_;
  std::vector<std::string> failures_;
};

}  // namespace skin

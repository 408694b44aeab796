#include "skin/skin_loader.h"

#include "skin/skin_files.h"
#include "skin/skin_path.h"

namespace skin {

SkinLoader::SkinLoader(platform::RegistryStore& store, std::filesystem::path programFolder,
                       LangId userDefaultLanguage)
    : store_(store),
      programFolder_(std::move(programFolder)),
      userDefaultLanguage_(userDefaultLanguage) {}

bool SkinLoader::Load(int powerRating, const Builders& builders, const BitmapLoader& loadBitmap) {
  failures_.clear();
  // One read-only accessor serves the whole load.
  const auto registry = store_.Open(platform::RegistryAccess::Read);
  language_ = ChooseLanguage(*registry, userDefaultLanguage_);
  LayoutReader reader(*registry, ReaderVariant::MainWindow, powerRating);

  // Each page is read even when one before it failed.
  const bool manager = ReadManagerPage(reader, powerRating, builders);
  const bool config = ReadPage(reader, ConfigPageKeys(), builders.configPage);
  const bool alarm = ReadPage(reader, AlarmPageKeys(powerRating), builders.alarmPage);
  const bool ctrl = ReadPage(reader, CtrlPageKeys(), builders.ctrlPage);

  LoadBitmaps(powerRating, loadBitmap);
  return manager && config && alarm && ctrl;
}

bool SkinLoader::ReadManagerPage(LayoutReader& reader, int powerRating, const Builders& builders) {
  const std::vector<PageKeys> groups = ManagerGroupKeys(powerRating);
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const PageRecords records = PageRecords::Read(reader, language_.folder, groups[i]);
    if (!records.Complete()) {
      // The later groups are neither read nor built.
      failures_.insert(failures_.end(), records.Failures().begin(), records.Failures().end());
      return false;
    }
    if (builders.managerGroup) builders.managerGroup(static_cast<ManagerGroup>(i), records);
  }
  return true;
}

bool SkinLoader::ReadPage(LayoutReader& reader, const PageKeys& page,
                          const std::function<void(const PageRecords&)>& builder) {
  const PageRecords records = PageRecords::Read(reader, language_.folder, page);
  if (!records.Complete()) {
    failures_.insert(failures_.end(), records.Failures().begin(), records.Failures().end());
    return false;
  }
  if (builder) builder(records);
  return true;
}

std::string SkinLoader::BitmapFile(std::string_view file) const {
  return std::string(kSkinFolder) + language_.folder + std::string(file);
}

std::string SkinLoader::ManagerBackgroundFile() const {
  return BitmapFile(kManagerBackground);
}

void SkinLoader::LoadBitmaps(int powerRating, const BitmapLoader& loadBitmap) const {
  const auto load = [&](SkinBitmap role, const std::string& file) {
    const std::filesystem::path path = ResolveSkinPath(programFolder_, BitmapFile(file));
    if (loadBitmap) loadBitmap(role, path);
  };
  load(SkinBitmap::ManagerBackground, std::string(kManagerBackground));
  load(SkinBitmap::ConfigBackground, std::string(kConfigFanCelsiusBackground));
  load(SkinBitmap::AlarmBackground, AlarmWattBackground(powerRating));
  for (int n = 1; n <= kTempGaugeImageCount; ++n) {
    load(SkinBitmap::TempPSUCelsiusGauge, TempGaugeFile(true, n));
  }
  for (int n = 1; n <= kTempGaugeImageCount; ++n) {
    load(SkinBitmap::TempPSUFahrenheitGauge, TempGaugeFile(false, n));
  }
}

}  // namespace skin

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/registry/memory_registry_store.h"
#include "platform/registry/overlay_registry_store.h"
#include "platform/registry/reg_document.h"
#include "platform/registry/registry_location.h"
#include "settings/config_settings_store.h"

namespace {

// A tree the size of a full skin: eight languages of about 250 controls, eight values each.
std::string SkinSizedTree() {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  const char* languages[] = {"Eng", "Chs", "Cht", "Jpn", "Kor", "Ger", "Fra", "Rus"};
  for (const char* language : languages) {
    for (int control = 0; control < 250; ++control) {
      text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\" + std::string(language) +
              "\\Manager\\Page\\Control" + std::to_string(control) + "]\r\n";
      for (const char* name : {"Left", "Top", "Width", "Height"}) {
        text += "\"" + std::string(name) + "\"=\"" + std::to_string(control) + "\"\r\n";
      }
      for (const char* name : {"LeaveBmp", "EnterBmp", "ClickBmp", "DisBmp"}) {
        text += "\"" + std::string(name) + "\"=\"Skin\\\\" + language + "\\\\C" +
                std::to_string(control) + name + ".bmp\"\r\n";
      }
      text += "\r\n";
    }
  }
  return text;
}

void BM_ParseSkinSizedTree(benchmark::State& state) {
  const std::string text = SkinSizedTree();
  for (auto _ : state) benchmark::DoNotOptimize(platform::RegDocument::Parse(text, "bench"));
  state.SetLabel(std::to_string(text.size() / 1024) + " KiB");
}
BENCHMARK(BM_ParseSkinSizedTree)->Unit(benchmark::kMillisecond);

// One skin load: one accessor, every control key opened and its eight values read.
void BM_ReadEveryControlOfOneLanguage(benchmark::State& state) {
  platform::MemoryRegistryStore store(SkinSizedTree());
  for (auto _ : state) {
    auto registry = store.Open(platform::RegistryAccess::Read);
    for (int control = 0; control < 250; ++control) {
      auto key =
          registry->OpenKey("\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng\\Manager\\Page\\Control" +
                            std::to_string(control));
      for (const char* name :
           {"Left", "Top", "Width", "Height", "LeaveBmp", "EnterBmp", "ClickBmp", "DisBmp"}) {
        benchmark::DoNotOptimize(key->ReadString(name));
      }
    }
  }
}
BENCHMARK(BM_ReadEveryControlOfOneLanguage)->Unit(benchmark::kMillisecond);

// The installed settings file: the factory tree followed by a full skin.
std::string InstalledTree() {
  std::ifstream in(QUELTA_FACTORY_SETTINGS, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const std::string skin = SkinSizedTree();
  return text.str() + skin.substr(skin.find('['));
}

// A program folder with the installed factory file, and the user's settings file as the
// programs leave it: started empty on first run, then one save of the configuration.
struct Installed {
  Installed() {
    std::filesystem::create_directories(folder);
    std::ofstream(folder / platform::kFactoryFileName, std::ios::binary) << InstalledTree();
    platform::SeedRegistryFile(userFile, folder / platform::kFactoryFileName);
    store = platform::OpenSettingsStore(userFile, folder);
    settings::LoadConfigSettings(*store, fan, voltage, mode, {});
    settings::SaveConfigSettings(*store, fan, voltage);
  }
  ~Installed() { std::filesystem::remove_all(folder); }

  std::filesystem::path folder = std::filesystem::temp_directory_path() / "quelta-bench-program";
  std::filesystem::path userFile = folder / "registry.reg";
  std::unique_ptr<platform::RegistryStore> store;
  settings::FanSettings fan;
  settings::VoltageSettings voltage;
  settings::FanMode mode{};
};

// One start-up load of the configuration from the settings (the factory tree is parsed once per
// process, before the first iteration).
void BM_LoadConfigSettingsFromFile(benchmark::State& state) {
  Installed installed;
  for (auto _ : state) {
    settings::FanSettings fan;
    settings::VoltageSettings voltage;
    settings::FanMode mode{};
    settings::LoadConfigSettings(*installed.store, fan, voltage, mode, {});
    benchmark::DoNotOptimize(fan);
  }
  state.SetLabel(std::to_string(std::filesystem::file_size(installed.userFile)) + " B user file");
}
BENCHMARK(BM_LoadConfigSettingsFromFile)->Unit(benchmark::kMillisecond);

// One OK on the configuration page: the whole save, with the locked re-read, the flushes and
// the rename.
void BM_SaveConfigSettingsToFile(benchmark::State& state) {
  Installed installed;
  int step = 0;
  for (auto _ : state) {
    installed.voltage.Target12V = (++step % 2) ? "12.10" : "12.00";  // a real change every time
    benchmark::DoNotOptimize(
        settings::SaveConfigSettings(*installed.store, installed.fan, installed.voltage));
  }
}
BENCHMARK(BM_SaveConfigSettingsToFile)->Unit(benchmark::kMillisecond);

// The same two on a user's file an older version made: a full copy of the factory tree.
void BM_LoadConfigSettingsFromOldFullCopy(benchmark::State& state) {
  Installed installed;
  std::ofstream(installed.userFile, std::ios::binary | std::ios::trunc) << InstalledTree();
  for (auto _ : state) {
    settings::FanSettings fan;
    settings::VoltageSettings voltage;
    settings::FanMode mode{};
    settings::LoadConfigSettings(*installed.store, fan, voltage, mode, {});
    benchmark::DoNotOptimize(fan);
  }
}
BENCHMARK(BM_LoadConfigSettingsFromOldFullCopy)->Unit(benchmark::kMillisecond);

void BM_SaveConfigSettingsToOldFullCopy(benchmark::State& state) {
  Installed installed;
  std::ofstream(installed.userFile, std::ios::binary | std::ios::trunc) << InstalledTree();
  int step = 0;
  for (auto _ : state) {
    installed.voltage.Target12V = (++step % 2) ? "12.10" : "12.00";
    benchmark::DoNotOptimize(
        settings::SaveConfigSettings(*installed.store, installed.fan, installed.voltage));
  }
}
BENCHMARK(BM_SaveConfigSettingsToOldFullCopy)->Unit(benchmark::kMillisecond);

}  // namespace

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/registry/memory_registry_store.h"
#include "platform/registry/reg_document.h"
#include "platform/registry/reg_file_store.h"
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

// One start-up load of the configuration from the settings file.
void BM_LoadConfigSettingsFromFile(benchmark::State& state) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "quelta-bench-registry.reg";
  std::ofstream(file, std::ios::binary) << InstalledTree();
  platform::RegFileStore store(file);
  for (auto _ : state) {
    settings::FanSettings fan;
    settings::VoltageSettings voltage;
    std::int32_t mode = 0;
    settings::LoadConfigSettings(store, fan, voltage, mode, {});
    benchmark::DoNotOptimize(fan);
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_LoadConfigSettingsFromFile)->Unit(benchmark::kMillisecond);

// One OK on the configuration page: the whole save, with the locked re-read, the flushes and
// the rename.
void BM_SaveConfigSettingsToFile(benchmark::State& state) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "quelta-bench-registry.reg";
  std::ofstream(file, std::ios::binary) << InstalledTree();
  platform::RegFileStore store(file);
  settings::FanSettings fan;
  settings::VoltageSettings voltage;
  std::int32_t mode = 0;
  settings::LoadConfigSettings(store, fan, voltage, mode, {});
  int step = 0;
  for (auto _ : state) {
    voltage.Target12V = (++step % 2) ? "12.10" : "12.00";  // a real change every time
    benchmark::DoNotOptimize(settings::SaveConfigSettings(store, fan, voltage));
  }
  std::filesystem::remove(file);
  std::filesystem::remove(file.string() + ".lock");
}
BENCHMARK(BM_SaveConfigSettingsToFile)->Unit(benchmark::kMillisecond);

}  // namespace

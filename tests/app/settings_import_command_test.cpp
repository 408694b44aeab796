#include "app/ctl/settings_import_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "app/ctl/exit_code.h"
#include "platform/registry/memory_registry_store.h"
#include "platform/registry/reg_file_store.h"
#include "support/settings_file.h"
#include "support/temp_folder.h"

namespace app::ctl {
namespace {

using ::testing::HasSubstr;
using testing_support::FactoryTree;

constexpr char kExport[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Alarm\\FanSpeed]\r\n"
    "\"PSUFan\"=\"900.00\"\r\n"
    "\"DefaultPSUFan\"=\"700.00\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Skin\\Eng]\r\n"
    "\"Left\"=\"1\"\r\n";

struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

Outcome Import(platform::RegistryStore& store, const std::string& exported) {
  testing_support::TempFolder folder;
  testing_support::WriteFile(folder / "export.reg", exported);
  std::ostringstream out, err;
  Outcome run;
  run.code = RunSettingsImport(store, folder / "export.reg", out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

TEST(SettingsImportCommand, PrintsEachValueTakenAndLeftThenTheCounts) {
  platform::MemoryRegistryStore store(FactoryTree());
  const Outcome run = Import(store, kExport);
  EXPECT_EQ(run.code, kExitDone) << run.err;
  EXPECT_EQ(run.out,
            "took SOFTWARE\\NORVANE\\Quelta\\Alarm\\FanSpeed \"PSUFan\" = \"900.00\"\n"
            "left SOFTWARE\\NORVANE\\Quelta\\Alarm\\FanSpeed \"DefaultPSUFan\": a factory value: "
            "the factory tree of this version keeps its own\n"
            "left 1 skin values under SOFTWARE\\NORVANE\\Quelta\\Skin: the skin comes with the "
            "program\n"
            "imported 1 values, left 2\n");
  EXPECT_THAT(store.Text(), HasSubstr("\"PSUFan\"=\"900.00\""));
  EXPECT_THAT(store.Text(), HasSubstr("\"DefaultPSUFan\"=\"500.00\""));
}

TEST(SettingsImportCommand, ABadExportOrAFailedSaveStoresNothingAndSaysWhy) {
  platform::MemoryRegistryStore store(FactoryTree());
  const Outcome bad = Import(store, "REGEDIT4\n[HKEY_CLASSES_ROOT\\.reg]\n");
  EXPECT_EQ(bad.code, kExitSettingsError);
  EXPECT_THAT(bad.err, HasSubstr("export.reg, line 2: the key [HKEY_CLASSES_ROOT\\.reg] is not"));
  EXPECT_EQ(bad.out, "");

  std::ostringstream out, err;
  EXPECT_EQ(RunSettingsImport(store, "/nonexistent/export.reg", out, err), kExitSettingsError);
  EXPECT_THAT(err.str(), HasSubstr("Cannot read the export /nonexistent/export.reg"));
  EXPECT_EQ(store.Commits(), 0);

  store.SetCommitsFail(true);
  const Outcome failed = Import(store, kExport);
  EXPECT_EQ(failed.code, kExitSaveFailed);
  EXPECT_THAT(failed.err, HasSubstr("The imported values could not be saved"));
  EXPECT_EQ(failed.out, "");
  EXPECT_EQ(store.Text(), FactoryTree());
}

}  // namespace
}  // namespace app::ctl

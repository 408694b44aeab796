// skingen: writes the default skin (pictures, image lists, the factory settings file with the
// skin tree) at build time, and on request composes previews of every page.
//
//   skingen --bin DIR --lists DIR [--factory FILE] [--out FILE] [--threads N] [--preview DIR]
//   skingen --icons DIR     the program's icon in every size of the hicolor theme

#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "icon_art.h"
#include "preview.h"
#include "skin_writer.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: skingen --bin DIR --lists DIR [--factory FILE] [--out FILE] "
               "[--threads N] [--preview DIR]\n       skingen --icons DIR\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a GUI application; the offscreen platform needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  skingen::SkinWriter::Options options;
  std::filesystem::path preview;
  std::filesystem::path icons;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString arg = args[i];
    if (i + 1 >= args.size()) return Usage();
    const std::string value = args[++i].toStdString();
    if (arg == "--bin") {
      options.binDir = value;
    } else if (arg == "--lists") {
      options.listsDir = value;
    } else if (arg == "--factory") {
      options.factoryIn = value;
    } else if (arg == "--out") {
      options.factoryOut = value;
    } else if (arg == "--threads") {
      options.threads = std::max(1, std::atoi(value.c_str()));
    } else if (arg == "--preview") {
      preview = value;
    } else if (arg == "--icons") {
      icons = value;
    } else {
      return Usage();
    }
  }
  if (!icons.empty()) {
    try {
      skingen::WriteAppIcons(icons);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "skingen: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  if (options.binDir.empty() || options.listsDir.empty()) return Usage();
  if (options.factoryOut.empty()) options.factoryOut = options.binDir / "quelta-factory.reg";

  try {
    const auto start = std::chrono::steady_clock::now();
    skingen::SkinWriter writer(options);
    writer.WriteAll();
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("skingen: %d pictures, %.1f MB, in %.1f s\n", writer.FilesWritten(),
                writer.BytesWritten() / 1e6, seconds);
    if (!preview.empty()) {
      skingen::WritePreviews(options.binDir, options.listsDir, preview);
      std::printf("skingen: previews in %s\n", preview.string().c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skingen: %s\n", e.what());
    return 1;
  }
  return 0;
}

#pragma once

#include <QImage>
#include <filesystem>
#include <vector>

// The program's icon for the desktop's menu: a PSU front with its fan and a lit bar, drawn
// with an alpha channel at any size.
namespace skingen {

// The sizes installed in the hicolor theme.
inline const std::vector<int> kIconSizes{16, 24, 32, 48, 64, 128, 256};

QImage DrawAppIcon(int size);

// Writes <dir>/<N>x<N>/apps/quelta.png for every size of kIconSizes. Throws
// std::runtime_error naming the file that could not be written.
void WriteAppIcons(const std::filesystem::path& dir);

}  // namespace skingen

#pragma once

#include <filesystem>

namespace skingen {

// Composes every page of every language from the written skin, as the windows will show them
// at rest (background, each control's resting picture, sample digits, bars and markers at
// the places the records say) and saves them as PNG files under `outDir`.
void WritePreviews(const std::filesystem::path& binDir, const std::filesystem::path& listsDir,
                   const std::filesystem::path& outDir);

}  // namespace skingen

#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace skin {

// Resolves a stored skin path such as "Skin\Eng\Manager_BK.bmp" against the program folder.
// Both "\" and "/" separate components; each component matches an existing entry without
// regard to ASCII case ("Alarm-watt_550w.bmp" finds "Alarm-Watt_550w.bmp"), an exact match
// winning. "." and empty components are skipped and ".." steps back, but never above the
// program folder. Throws SkinFileError, naming the stored path, when the path is empty,
// absolute (leading separator, drive letter), steps out of the program folder (also through
// a symbolic link) or names no existing regular file.
std::filesystem::path ResolveSkinPath(const std::filesystem::path& programFolder,
                                      std::string_view stored);

// ResolveSkinPath bound to one program folder, in the shape the skinned controls take their
// file resolver. It (and every copy of it) remembers the folders it found on the way, so a
// folder's many pictures cost one look each; the files themselves are looked at every time.
std::function<std::filesystem::path(std::string_view stored)> SkinFileResolver(
    std::filesystem::path programFolder);

}  // namespace skin

#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace skin {

// Turns a stored program-relative path such as "Skin\dot.bmp" into a file to open. The main
// window hands the controls the skin's own resolver (case-insensitive, confined to the
// program folder); may throw when the path is not allowed.
using FileResolver = std::function<std::filesystem::path(std::string_view relativePath)>;

// A plain resolver for tests and tools: the program folder joined with the path, with "\"
// read as a folder separator. No case folding.
FileResolver ProgramFolderFiles(std::filesystem::path programFolder);

// `files` asked once per stored path: later asks are answered from memory (a display looks up
// its blank-digit picture with every reading, and resolving searches the disk). A path that
// `files` refuses is not remembered: it throws again on the next ask. Copies share the memory;
// UI thread only.
FileResolver Remembering(FileResolver files);

}  // namespace skin

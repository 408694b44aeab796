#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class AtomicWriteResult { Written, AlreadyExists, Failed };

// A settings file larger than this is refused rather than read.
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{16} * 1024 * 1024;

// Puts `content` at `file` so that a crash at any moment leaves either the old file or the
// complete new one: an unnamed temporary file in the same folder is written and flushed to
// disk, then given a hidden name and renamed over `file` (with `replace` false: linked to
// `file` itself, so an existing file is never clobbered), then the folder is flushed so the
// new name is durable too. A crash leaves no temporary behind, except in the instant between
// naming it and renaming it: RemoveStaleTemporaries clears those.
AtomicWriteResult WriteFileAtomically(const std::filesystem::path& file, std::string_view content,
                                      mode_t mode, bool replace);

// Removes the hidden temporaries of `file` (".<name>.quelta-tmp-XXXXXX") that a writer killed
// halfway left in its folder: only regular files of this user's under exactly that name, so
// anything else beside the file (".registry.reg.backup") is never touched. Call it only while
// holding the lock every writer takes.
void RemoveStaleTemporaries(const std::filesystem::path& file);

// The whole content of a regular settings file of at most kMaxSettingsFileBytes; nullopt with
// `error` set to the reason when it cannot be read or is not such a file.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string& error);

}  // namespace platform

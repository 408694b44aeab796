#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class AtomicWriteResult { Written, AlreadyExists, Failed };

// Puts `content` at `file` so that a crash at any moment leaves either the old file or the
// complete new one: a temporary file in the same folder is written and flushed to disk, then
// renamed over `file` (with `replace` false: linked, so an existing file is never clobbered),
// then the folder is flushed so the new name is durable too.
AtomicWriteResult WriteFileAtomically(const std::filesystem::path& file, std::string_view content,
                                      mode_t mode, bool replace);

// The whole content of a file; nullopt with `error` set to the reason when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string& error);

}  // namespace platform

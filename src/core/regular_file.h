#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace core {

// The whole content of a regular file (a link to one is followed) of at most `maxBytes`;
// nullopt with `error` set to the reason otherwise. A device, a FIFO or a folder is refused
// without reading from it, so /dev/zero cannot fill the memory and a FIFO cannot hang us.
std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes,
                                           std::string& error);

}  // namespace core

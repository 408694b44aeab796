#pragma once

#include <span>
#include <string_view>

// The quelta_skin_list_bytes library: the image lists of skin/image_list_resources.h compiled
// into the program as the bytes of their BMP files, where Qt's resources are not at hand (the
// Windows build).
namespace skin {

// The BMP file of the list of that name (ILNumber, ILFanSpeed, ...); empty for a name the
// program carries no list of.
std::span<const unsigned char> ImageListBytes(std::string_view name);

}  // namespace skin

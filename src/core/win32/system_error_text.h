#pragma once

#include <string>

namespace core {

// The reason for a Windows error code in the words the C library uses on Linux for the
// common ones ("No such file or directory", "Permission denied"), so messages read the same
// on both systems; the system's own text for the rest.
std::string SystemErrorText(unsigned long error);

}  // namespace core

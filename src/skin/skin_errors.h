#pragma once

#include <stdexcept>

namespace skin {

// A skin file could not be used: a stored bitmap path that is empty, absolute, leaves the
// program folder, or names no existing file. The message names the stored path.
class SkinFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A skin value has the wrong shape for its use: a rating list with fewer pieces than the
// power rating needs. The message names the key, the value and the rating.
class SkinFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace skin

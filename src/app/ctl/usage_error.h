#pragma once

#include <stdexcept>

namespace app::ctl {

// Bad usage of quelta-ctl: the message says what was wrong. Ends the program with exit 1.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace app::ctl

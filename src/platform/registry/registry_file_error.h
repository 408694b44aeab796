#pragma once

#include <cstddef>
#include <string>

#include "platform/registry/registry.h"

namespace platform {

// The settings file cannot be used: it is missing, unreadable or malformed. It is a registry
// read error, so whoever reports those reports this one too. `Line()` is the 1-based line of
// a malformed file that was refused, 0 when the problem is not tied to a line.
class RegistryFileError : public RegistryReadError {
 public:
  RegistryFileError(const std::string& message, std::size_t line = 0)
      : RegistryReadError(message), line_(line) {}

  std::size_t Line() const { return line_; }

 private:
  std::size_t line_;
};

}  // namespace platform

#pragma once

#include <string_view>

#include "platform/registry/reg_value.h"

namespace platform {

// A tree of keys and values that can only be looked into. Paths and names match without
// regard to case; paths may carry outer backslashes.
class RegLookup {
 public:
  RegLookup() = default;
  RegLookup(const RegLookup&) = default;
  RegLookup& operator=(const RegLookup&) = default;
  virtual ~RegLookup() = default;

  // A key exists when a key line names it or a key below it.
  virtual bool HasKey(std::string_view path) const = 0;
  // The value in effect (the last one given under that key); nullptr when absent.
  virtual const RegValue* FindValue(std::string_view path, std::string_view name) const = 0;
};

}  // namespace platform

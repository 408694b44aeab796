#include "platform/registry/reg_value.h"

namespace platform {

std::uint32_t RegValue::Type() const {
  switch (form) {
    case Form::String:
      return kRegSz;
    case Form::Dword:
      return kRegDword;
    case Form::Hex:
      return hexType;
  }
  return kRegNone;
}

std::string RegValue::TypeName() const {
  switch (form) {
    case Form::String:
      return "text";
    case Form::Dword:
      return "dword";
    case Form::Hex:
      return hexType == kRegBinary ? "hex" : "hex(" + std::to_string(hexType) + ")";
  }
  return "unknown";
}

}  // namespace platform

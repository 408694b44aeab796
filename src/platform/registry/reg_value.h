#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Registry value types as .reg files name them in "hex(n):".
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// One value of a .reg file, kept as typed in the file.
struct RegValue {
  enum class Form { String, Dword, Hex };

  Form form = Form::String;
  std::string text;                    // Form::String: the unescaped text
  std::uint32_t dword = 0;             // Form::Dword
  std::uint32_t hexType = kRegBinary;  // Form::Hex: "hex:" is REG_BINARY, "hex(n):" is type n
  std::vector<std::uint8_t> bytes;     // Form::Hex

  // The registry type this value has.
  std::uint32_t Type() const;
  // A short name of the type for messages: "text", "dword", "hex(7)"...
  std::string TypeName() const;
};

}  // namespace platform

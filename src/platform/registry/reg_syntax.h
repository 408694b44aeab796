#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/reg_value.h"

namespace platform {

// The root every key of the settings file lives under.
inline constexpr std::string_view kRootKeyName = "HKEY_LOCAL_MACHINE";

// One logical line of a .reg file: its exact bytes (line ending included, and for a hex value
// continued with "\" every continuation line too) and what it means. Blank and comment lines
// that follow each other make one Kind::Other line.
struct RegLine {
  enum class Kind { Header, Other, Key, Value };

  Kind kind = Kind::Other;
  std::string raw;
  std::size_t number = 0;  // 1-based line where it starts
  std::string path;        // Kind::Key: below HKEY_LOCAL_MACHINE, no outer backslashes
  std::string name;        // Kind::Value: "" for the default value "@"
  RegValue value;          // Kind::Value
};

// Splits a whole .reg text into logical lines and checks each. Throws RegistryFileError
// naming `source` and the line for the first line that is malformed.
std::vector<RegLine> ParseRegText(std::string_view text, const std::string& source);
// The same, each line handed to `take` in file order as soon as it is complete, so a large
// file is never held twice over.
void ParseRegText(std::string_view text, const std::string& source,
                  const std::function<void(RegLine&&)>& take);

// A key path without its outer backslashes; nullopt when it is empty or has an empty part.
std::optional<std::string> NormalizeKeyPath(std::string_view path);

// Keys and value names match without regard to (ASCII) case.
std::string FoldCase(std::string_view text);

// The line that holds a text value: `"Name"="text"`, or the hex(1) form when the text holds a
// line break, which the quoted form cannot carry.
std::string FormatStringValue(std::string_view name, std::string_view text, std::string_view eol);

// The line that opens a key: `[HKEY_LOCAL_MACHINE\path]`.
std::string FormatKeyLine(std::string_view path, std::string_view eol);

// The text a value holds when it is a string value (with `acceptExpand`, an expandable string
// value too); nullopt for any other type.
std::optional<std::string> TextOf(const RegValue& value, bool acceptExpand);

}  // namespace platform

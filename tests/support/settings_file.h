#pragma once

#include <string>
#include <string_view>

#include "support/temp_folder.h"

namespace testing_support {

// The factory settings tree as text, and edits of it for test cases.
inline std::string FactoryTree() {
  return ReadFile(QUELTA_FACTORY_SETTINGS);
}

inline std::string KeyLine(std::string_view path) {
  return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\" + std::string(path) + "]\n";
}

// The tree without one key: its key line and its values are gone (its sub-keys stay).
inline std::string WithoutKey(std::string tree, std::string_view path) {
  const std::size_t at = tree.find(KeyLine(path));
  if (at == std::string::npos) throw std::runtime_error("no key " + std::string(path));
  const std::size_t end = tree.find("\n\n", at);
  return tree.erase(at, end + 1 - at);
}

// The tree with one value of a key replaced by a whole line (or removed when `line` is empty).
inline std::string WithValueLine(std::string tree, std::string_view path, std::string_view name,
                                 std::string_view line) {
  const std::size_t key = tree.find(KeyLine(path));
  const std::size_t at = tree.find("\"" + std::string(name) + "\"=", key);
  if (key == std::string::npos || at == std::string::npos || at > tree.find("\n\n", key)) {
    throw std::runtime_error("no value " + std::string(name) + " under " + std::string(path));
  }
  const std::size_t end = tree.find('\n', at);
  return tree.replace(at, end + 1 - at, line.empty() ? std::string() : std::string(line) + "\n");
}

inline std::string WithValue(std::string tree, std::string_view path, std::string_view name,
                             std::string_view text) {
  return WithValueLine(std::move(tree), path, name,
                       "\"" + std::string(name) + "\"=\"" + std::string(text) + "\"");
}

}  // namespace testing_support

#include "mainwindow/window_messages.h"

#include <unistd.h>

#include <charconv>
#include <cstdlib>

namespace mainwindow {

std::filesystem::path MessageSocketPath(const char* xdgRuntimeDir, unsigned uid) {
  if (xdgRuntimeDir && xdgRuntimeDir[0] == '/') {
    return std::filesystem::path(xdgRuntimeDir) / std::string(kWindowClassName);
  }
  return std::filesystem::path("/tmp") /
         (std::string(kWindowClassName) + "-" + std::to_string(uid));
}

std::filesystem::path MessageSocketPath() {
  return MessageSocketPath(std::getenv("XDG_RUNTIME_DIR"), static_cast<unsigned>(::getuid()));
}

std::string EncodeMessage(std::uint32_t message) {
  return std::to_string(message) + "\n";
}

std::optional<std::uint32_t> DecodeMessage(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line.empty()) return std::nullopt;
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error != std::errc{} || end != line.data() + line.size()) return std::nullopt;
  return value;
}

}  // namespace mainwindow

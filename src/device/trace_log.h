#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/append_file.h"

namespace device {

// An append-only trace file: each event is one line "<unix time in microseconds> <text>",
// written with one write on a file opened for appending, so lines of several threads or
// processes tracing to the same file never mix.
class TraceLog {
  struct PrivateKey {};

 public:
  using Clock = std::function<std::int64_t()>;  // microseconds since the Unix epoch

  struct OpenResult {
    std::unique_ptr<TraceLog> log;  // null when the file could not be opened
    std::string error;
  };
  static OpenResult Open(const std::filesystem::path& path, Clock clock = {});

  TraceLog(PrivateKey, std::unique_ptr<core::AppendFile> file, Clock clock);

  void Event(std::string_view text);

 private:
  const std::unique_ptr<core::AppendFile> file_;
  const Clock clock_;
};

// "00 21 01 01 01 01": two upper-case hex digits per byte, separated by blanks.
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace device

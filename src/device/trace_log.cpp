#include "device/trace_log.h"

#include <chrono>

namespace device {
namespace {

std::int64_t SystemMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

TraceLog::OpenResult TraceLog::Open(const std::filesystem::path& path, Clock clock) {
  auto opened = core::AppendFile::Open(path);
  if (!opened.file)
    return {nullptr, "cannot open trace file " + path.string() + ": " + opened.error};
  return {std::make_unique<TraceLog>(PrivateKey{}, std::move(opened.file),
                                     clock ? std::move(clock) : SystemMicroseconds),
          {}};
}

TraceLog::TraceLog(PrivateKey, std::unique_ptr<core::AppendFile> file, Clock clock)
    : file_(std::move(file)), clock_(std::move(clock)) {}

void TraceLog::Event(std::string_view text) {
  std::string line = std::to_string(clock_());
  line += ' ';
  line += text;
  line += '\n';
  // One write per line keeps lines whole; a trace that cannot be written is not worth
  // stopping the exchange for.
  file_->Append(line);
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
  }
  return text;
}

}  // namespace device

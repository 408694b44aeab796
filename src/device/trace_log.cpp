#include "device/trace_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace device {
namespace {

constexpr mode_t kTraceFileMode = 0644;

std::int64_t SystemMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

TraceLog::OpenResult TraceLog::Open(const std::filesystem::path& path, Clock clock) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kTraceFileMode);
  if (fd < 0) {
    return {nullptr, "cannot open trace file " + path.string() + ": " + std::strerror(errno)};
  }
  return {
      std::make_unique<TraceLog>(PrivateKey{}, fd, clock ? std::move(clock) : SystemMicroseconds),
      {}};
}

TraceLog::TraceLog(PrivateKey, int fd, Clock clock) : fd_(fd), clock_(std::move(clock)) {}

TraceLog::~TraceLog() {
  ::close(fd_);
}

void TraceLog::Event(std::string_view text) {
  std::string line = std::to_string(clock_());
  line += ' ';
  line += text;
  line += '\n';
  // One write per line keeps lines whole; a trace that cannot be written is not worth
  // stopping the exchange for.
  while (::write(fd_, line.data(), line.size()) < 0 && errno == EINTR) {
  }
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

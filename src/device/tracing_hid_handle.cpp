#include "device/tracing_hid_handle.h"

#include <string>

namespace device {
namespace {

std::string Line(char tag, char direction, std::size_t count, std::span<const std::uint8_t> bytes) {
  std::string line{tag, ' ', direction, ' '};
  line += std::to_string(count);
  if (!bytes.empty()) line += ' ' + HexBytes(bytes);
  return line;
}

}  // namespace

TracingHidHandle::TracingHidHandle(std::unique_ptr<platform::HidHandle> inner, char tag,
                                   TraceLog& log)
    : inner_(std::move(inner)), tag_(tag), log_(log) {}

std::size_t TracingHidHandle::Write(std::span<const std::uint8_t> report) {
  const std::size_t written = inner_->Write(report);
  log_.Event(Line(tag_, 'W', written, report));
  return written;
}

std::size_t TracingHidHandle::Read(std::span<std::uint8_t> buffer) {
  const std::size_t got = inner_->Read(buffer);
  log_.Event(Line(tag_, 'R', got, buffer.first(got)));
  return got;
}

std::size_t TracingHidHandle::ReadWaiting(std::span<std::uint8_t> buffer) {
  const std::size_t got = inner_->ReadWaiting(buffer);
  if (got > 0) log_.Event(Line(tag_, 'D', got, buffer.first(got)));
  return got;
}

std::optional<platform::HidCapabilities> TracingHidHandle::Capabilities() {
  return inner_->Capabilities();
}

}  // namespace device

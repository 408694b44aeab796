#include "platform/hid/input_report_framing.h"

#include <algorithm>

namespace platform {
namespace {

constexpr std::uint8_t kUnnumberedReportId = 0x00;

}  // namespace

std::size_t FrameInputReport(std::span<const std::uint8_t> delivered, bool numbered,
                             std::span<std::uint8_t> buffer) {
  if (delivered.empty()) return 0;
  const std::size_t length = delivered.size() + (numbered ? 0 : 1);
  if (length > buffer.size()) return 0;
  auto out = buffer.begin();
  if (!numbered) *out++ = kUnnumberedReportId;
  std::copy(delivered.begin(), delivered.end(), out);
  return length;
}

}  // namespace platform

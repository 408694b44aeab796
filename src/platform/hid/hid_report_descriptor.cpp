#include "platform/hid/hid_report_descriptor.h"

#include <array>
#include <vector>

namespace platform {
namespace {

// Item prefix: bits 0-1 data size (3 means 4 bytes), bits 2-3 type, bits 4-7 tag.
constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr unsigned kTypeMain = 0;
constexpr unsigned kTypeGlobal = 1;
constexpr unsigned kTypeLocal = 2;
constexpr unsigned kMainInput = 0x8;
constexpr unsigned kMainOutput = 0x9;
constexpr unsigned kGlobalReportSize = 0x7;
constexpr unsigned kGlobalReportId = 0x8;
constexpr unsigned kGlobalReportCount = 0x9;
constexpr unsigned kGlobalPush = 0xA;
constexpr unsigned kGlobalPop = 0xB;
// No real report comes near this; larger sums mean a corrupt descriptor.
constexpr std::uint64_t kMaxReportBits = std::uint64_t{1} << 20;
constexpr std::size_t kReportIdByte = 1;

struct Globals {
  std::uint64_t reportSize = 0;
  std::uint64_t reportCount = 0;
  std::uint8_t reportId = 0;
};

std::size_t LongestReport(const std::array<std::uint64_t, 256>& bits) {
  std::uint64_t longest = 0;
  for (const std::uint64_t b : bits) longest = b > longest ? b : longest;
  if (longest == 0) return 0;
  return static_cast<std::size_t>((longest + 7) / 8) + kReportIdByte;
}

// What the items read so far have established. Each Take returns false when the item makes
// the descriptor invalid.
struct DescriptorState {
  Globals globals;
  std::vector<Globals> pushed;
  std::array<std::uint64_t, 256> inputBits{};
  std::array<std::uint64_t, 256> outputBits{};
  bool numbered = false;

  // An input or output item adds its fields to the report of the current id.
  bool TakeMain(unsigned tag) {
    std::array<std::uint64_t, 256>* bits = tag == kMainInput    ? &inputBits
                                           : tag == kMainOutput ? &outputBits
                                                                : nullptr;
    if (bits == nullptr) return true;
    std::uint64_t& total = (*bits)[globals.reportId];
    total += globals.reportSize * globals.reportCount;
    return total <= kMaxReportBits;
  }

  bool TakeGlobal(unsigned tag, std::uint32_t value) {
    switch (tag) {
      case kGlobalReportSize:
        globals.reportSize = value;
        break;
      case kGlobalReportCount:
        globals.reportCount = value;
        break;
      case kGlobalReportId:
        if (value == 0 || value > 0xFF) return false;  // id 0 is reserved
        globals.reportId = static_cast<std::uint8_t>(value);
        numbered = true;
        break;
      case kGlobalPush:
        pushed.push_back(globals);
        break;
      case kGlobalPop:
        if (pushed.empty()) return false;
        globals = pushed.back();
        pushed.pop_back();
        break;
      default:
        break;
    }
    return globals.reportSize <= 0xFFFF && globals.reportCount <= 0xFFFF;
  }
};

}  // namespace

std::optional<HidReportLayout> ParseReportDescriptor(std::span<const std::uint8_t> descriptor) {
  DescriptorState state;
  std::size_t at = 0;
  while (at < descriptor.size()) {
    const std::uint8_t prefix = descriptor[at++];
    if (prefix == kLongItemPrefix) {
      // Long items carry their size in the next byte and are skipped whole.
      if (at + 2 > descriptor.size()) return std::nullopt;
      at += 2 + descriptor[at];
      if (at > descriptor.size()) return std::nullopt;
      continue;
    }
    std::size_t size = prefix & 0x3u;
    if (size == 3) size = 4;
    if (at + size > descriptor.size()) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < size; ++k) value |= std::uint32_t{descriptor[at + k]} << (8 * k);
    at += size;

    const unsigned type = (prefix >> 2) & 0x3u;
    const unsigned tag = prefix >> 4;
    const bool valid = type == kTypeMain     ? state.TakeMain(tag)
                       : type == kTypeGlobal ? state.TakeGlobal(tag, value)
                                             : type == kTypeLocal;  // not the reserved type
    if (!valid) return std::nullopt;
  }
  return HidReportLayout{state.numbered, LongestReport(state.inputBits),
                         LongestReport(state.outputBits)};
}

}  // namespace platform

#include "platform/ui/png_file.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>

namespace ui {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgba = 6;
constexpr std::size_t kBytesPerPixel = 4;
constexpr std::size_t kStoredBlockMax = 0xFFFF;  // deflate's longest stored block
constexpr std::uint32_t kAdlerModulus = 65521;

std::uint32_t Crc32(std::string_view type, const std::vector<std::uint8_t>& data) {
  static constexpr auto kTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < table.size(); ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    return table;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  const auto add = [&crc](std::uint8_t byte) { crc = kTable[(crc ^ byte) & 0xFF] ^ (crc >> 8); };
  for (const char c : type) add(static_cast<std::uint8_t>(c));
  for (const std::uint8_t byte : data) add(byte);
  return crc ^ 0xFFFFFFFFu;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian(out, Crc32(type, data));
}

// The zlib stream of `raw` in stored blocks, with its Adler-32 check.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> out{0x78, 0x01};  // deflate, 32 K window, no dictionary
  std::size_t at = 0;
  do {
    const std::size_t length = std::min(kStoredBlockMax, raw.size() - at);
    const bool last = at + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(~length & 0xFF));
    out.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (const std::uint8_t byte : raw) {
    a = (a + byte) % kAdlerModulus;
    b = (b + a) % kAdlerModulus;
  }
  PutBigEndian(out, (b << 16) | a);
  return out;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Frame& frame, std::optional<Color> key) {
  const int width = std::max(frame.width, 0), height = std::max(frame.height, 0);
  std::vector<std::uint8_t> header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {kBitDepth, kColourTypeRgba, 0, 0, 0});
  // Each row: filter type 0 (none), then its pixels.
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(height) * (1 + kBytesPerPixel * width));
  // A plain word and a flag: an optional here trips a false "maybe uninitialized" at -O2.
  const bool keyed = key.has_value();
  const std::uint32_t keyWord = keyed ? Frame::Word(*key) : 0;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t word = frame.At(x, y) & 0xFFFFFFu;
      if (keyed && word == keyWord) {
        raw.insert(raw.end(), {0, 0, 0, 0});
        continue;
      }
      raw.insert(raw.end(),
                 {static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
                  static_cast<std::uint8_t>(word), 0xFF});
    }
  }
  std::vector<std::uint8_t> out(kSignature.begin(), kSignature.end());
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", StoredZlib(raw));
  PutChunk(out, "IEND", {});
  return out;
}

bool WritePng(const std::filesystem::path& file, const Frame& frame, std::optional<Color> key) {
  const std::vector<std::uint8_t> bytes = EncodePng(frame, key);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out.good();
}

}  // namespace ui

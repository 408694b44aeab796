#include "platform/ui/bmp_decoder.h"

#include <vector>

#include "platform/ui/bmp_header.h"

namespace ui {
namespace {

constexpr std::size_t kInfoAt = 14;         // the info header follows the 14-byte file header
constexpr std::size_t kColoursUsedAt = 46;  // in the 40-byte part every taken header starts with
constexpr std::size_t kMasksAt = 54;  // bit fields: behind a 40-byte header, or inside a longer one

std::uint32_t Little(std::span<const unsigned char> bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

// One channel of a bit-field pixel brought to 0..255, rounded.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  const std::uint64_t most = mask >> shift;
  const std::uint64_t value = (pixel & mask) >> shift;
  return static_cast<std::uint32_t>((value * 255 + most / 2) / most);
}

class Reader {
 public:
  Reader(std::span<const unsigned char> file, const BmpHead& head, Size size)
      : file_(file), head_(head), size_(size) {}

  std::optional<Frame> Read(std::string& error) {
    frame_ = Frame::Filled(size_.width, size_.height, Color{});
    if (head_.bits <= 8 && !ReadPalette(error)) return std::nullopt;
    if (head_.pixelOffset > file_.size()) {
      error = "the pixels start past the end of the file";
      return std::nullopt;
    }
    if (head_.compression == kBmpRle8 || head_.compression == kBmpRle4) return ReadRunLength(error);
    return ReadRows(error);
  }

 private:
  bool ReadPalette(std::string& error) {
    std::uint32_t count = Little(file_, kColoursUsedAt, 4);
    const std::uint32_t most = 1u << head_.bits;
    if (count == 0 || count > most) count = most;
    const std::size_t at = kInfoAt + head_.infoSize;
    if (at + std::size_t{count} * 4 > file_.size()) {
      error = "the palette runs past the end of the file";
      return false;
    }
    palette_.resize(most, 0);
    for (std::uint32_t i = 0; i < count; ++i) palette_[i] = Little(file_, at + i * 4, 3);
    return true;
  }

  // Row `stored` of the file (counted as stored) is row y of the picture.
  int RowOf(int stored) const { return head_.height < 0 ? stored : size_.height - 1 - stored; }

  std::optional<Frame> ReadRows(std::string& error) {
    const std::size_t stride =
        ((std::size_t{static_cast<std::size_t>(size_.width)} * head_.bits + 31) / 32) * 4;
    if (head_.pixelOffset + stride * static_cast<std::size_t>(size_.height) > file_.size()) {
      error = "the pixels run past the end of the file";
      return std::nullopt;
    }
    std::uint32_t red = 0x7C00, green = 0x03E0, blue = 0x001F;  // 16 bits: five of each
    if (head_.bits == 32) red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;
    if (head_.compression == kBmpBitFields) {
      if (kMasksAt + 12 > file_.size()) {
        error = "the bit fields run past the end of the file";
        return std::nullopt;
      }
      red = Little(file_, kMasksAt, 4);
      green = Little(file_, kMasksAt + 4, 4);
      blue = Little(file_, kMasksAt + 8, 4);
    }
    for (int stored = 0; stored < size_.height; ++stored) {
      const std::span<const unsigned char> row =
          file_.subspan(head_.pixelOffset + stride * static_cast<std::size_t>(stored), stride);
      const int y = RowOf(stored);
      for (int x = 0; x < size_.width; ++x) {
        const auto ux = static_cast<std::size_t>(x);
        std::uint32_t word = 0;
        switch (head_.bits) {
          case 1:
            word = palette_[(row[ux / 8] >> (7 - ux % 8)) & 1u];
            break;
          case 4:
            word = palette_[(row[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 0xFu];
            break;
          case 8:
            word = palette_[row[ux]];
            break;
          case 24:
            word = Little(row, ux * 3, 3);
            break;
          default: {  // 16 and 32 bits through their masks
            const std::uint32_t pixel = Little(row, ux * (head_.bits / 8), head_.bits / 8);
            word =
                (Channel(pixel, red) << 16) | (Channel(pixel, green) << 8) | Channel(pixel, blue);
          }
        }
        frame_.At(x, y) = word & 0xFFFFFFu;
      }
    }
    return std::move(frame_);
  }

  void Put(int x, int stored, std::uint32_t index) {
    if (x < size_.width && stored < size_.height) frame_.At(x, RowOf(stored)) = palette_[index];
  }

  // Runs of one index, absolute stretches, ends of lines, jumps and the end of the picture.
  std::optional<Frame> ReadRunLength(std::string& error) {
    for (int y = 0; y < size_.height; ++y)
      for (int x = 0; x < size_.width; ++x) frame_.At(x, y) = palette_[0];
    const bool four = head_.compression == kBmpRle4;
    std::size_t at = head_.pixelOffset;
    int x = 0, stored = 0;
    const auto byteAt = [&](std::size_t i) -> std::optional<unsigned> {
      if (i >= file_.size()) return std::nullopt;
      return file_[i];
    };
    while (stored < size_.height) {
      const auto count = byteAt(at), value = byteAt(at + 1);
      if (!count || !value) {
        error = "the run-length pixels end before the end-of-picture mark";
        return std::nullopt;
      }
      at += 2;
      if (*count > 0) {
        for (unsigned i = 0; i < *count; ++i, ++x) {
          Put(x, stored, four ? (i % 2 == 0 ? *value >> 4 : *value & 0xFu) : *value);
        }
      } else if (*value == 0) {
        x = 0;
        ++stored;
      } else if (*value == 1) {
        break;
      } else if (*value == 2) {
        const auto dx = byteAt(at), dy = byteAt(at + 1);
        if (!dx || !dy) {
          error = "a jump in the run-length pixels is cut short";
          return std::nullopt;
        }
        at += 2;
        x += static_cast<int>(*dx);
        stored += static_cast<int>(*dy);
      } else {
        const unsigned n = *value;
        const std::size_t bytes = four ? (n + 1) / 2 : n;
        if (at + bytes > file_.size()) {
          error = "an absolute stretch runs past the end of the file";
          return std::nullopt;
        }
        for (unsigned i = 0; i < n; ++i, ++x) {
          const unsigned byte = file_[at + (four ? i / 2 : i)];
          Put(x, stored, four ? (i % 2 == 0 ? byte >> 4 : byte & 0xFu) : byte);
        }
        at += bytes + (bytes % 2);  // stretches end on a 16-bit boundary
      }
    }
    return std::move(frame_);
  }

  std::span<const unsigned char> file_;
  BmpHead head_;
  Size size_;
  std::vector<std::uint32_t> palette_;
  Frame frame_;
};

}  // namespace

std::optional<Frame> DecodeBmp(std::span<const unsigned char> file, std::string& error) {
  const std::optional<Size> size = BmpSize(file);
  const std::optional<BmpHead> head = ReadBmpHead(file);
  if (!size || !head) {
    error = "not a BMP picture this program reads";
    return std::nullopt;
  }
  return Reader(file, *head, *size).Read(error);
}

}  // namespace ui

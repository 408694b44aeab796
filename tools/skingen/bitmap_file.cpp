#include "bitmap_file.h"

#include <QBuffer>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace skingen {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr int kMaxColours = 256;
constexpr int kMaxRun = 255;
// Absolute (literal) stretches shorter than this are cheaper as runs of one.
constexpr int kMinLiteral = 3;

void PutU16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

void PutU32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutByte(std::string& out, int value) {
  out.push_back(static_cast<char>(value));
}

// How many pixels from x on repeat row[x].
int RunLength(const std::vector<std::uint8_t>& row, int x) {
  const int width = static_cast<int>(row.size());
  int n = 1;
  while (x + n < width && n < kMaxRun &&
         row[static_cast<std::size_t>(x + n)] == row[static_cast<std::size_t>(x)])
    ++n;
  return n;
}

// One row in RLE8: runs of two or more as encoded runs, other stretches as absolute mode, then
// the end-of-line mark.
void EncodeRow(const std::vector<std::uint8_t>& row, std::string& out) {
  const int width = static_cast<int>(row.size());
  int x = 0;
  while (x < width) {
    const int run = RunLength(row, x);
    if (run >= 2) {
      PutByte(out, run);
      PutByte(out, row[static_cast<std::size_t>(x)]);
      x += run;
      continue;
    }
    // A literal stretch: up to the next run of two or more.
    int end = x + 1;
    while (end < width && end - x < kMaxRun && RunLength(row, end) < 2) ++end;
    const int count = end - x;
    if (count < kMinLiteral) {
      for (int i = x; i < end; ++i) {
        PutByte(out, 1);
        PutByte(out, row[static_cast<std::size_t>(i)]);
      }
    } else {
      PutByte(out, 0);
      PutByte(out, count);
      for (int i = x; i < end; ++i) PutByte(out, row[static_cast<std::size_t>(i)]);
      if (count % 2 != 0) PutByte(out, 0);  // absolute runs end on a 16-bit boundary
    }
    x = end;
  }
  PutByte(out, 0);
  PutByte(out, 0);
}

std::string Encode24Bit(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP")) {
    throw std::runtime_error("cannot encode a 24-bit bitmap");
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Mean difference per channel, in 0..255 steps, that a quantised picture may show. Far below
// what an eye sees on this art (anti-aliased edges of text and icons on flat fills).
constexpr double kMaxMeanError = 0.5;

struct ColourCount {
  QRgb colour;
  std::uint64_t count;
};

int Channel(QRgb colour, int which) {
  return which == 0 ? qRed(colour) : which == 1 ? qGreen(colour) : qBlue(colour);
}

// Median cut over the colours of a picture, each weighted by its pixel count: boxes are split
// at their weighted median along their widest channel until there are `wanted` of them; each
// box gives its weighted mean colour.
std::vector<QRgb> MedianCut(std::vector<ColourCount> colours, std::size_t wanted) {
  struct Box {
    std::size_t begin, end;
    int channel = 0;   // the widest channel
    double score = 0;  // spread along it times pixel count; 0 when it cannot be split
  };
  const auto measure = [&](Box& box) {
    int spread = -1;
    for (int c = 0; c < 3; ++c) {
      int low = 255, high = 0;
      for (std::size_t i = box.begin; i < box.end; ++i) {
        low = std::min(low, Channel(colours[i].colour, c));
        high = std::max(high, Channel(colours[i].colour, c));
      }
      if (high - low > spread) {
        spread = high - low;
        box.channel = c;
      }
    }
    std::uint64_t weight = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) weight += colours[i].count;
    box.score = box.end - box.begin < 2 ? 0 : double(spread) * double(weight);
  };
  std::vector<Box> boxes{{0, colours.size()}};
  measure(boxes.front());
  while (boxes.size() < wanted) {
    const auto pick = std::max_element(
        boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.score < b.score; });
    if (pick->score <= 0) break;
    const int channel = pick->channel;
    const auto first = colours.begin() + static_cast<std::ptrdiff_t>(pick->begin);
    const auto last = colours.begin() + static_cast<std::ptrdiff_t>(pick->end);
    std::sort(first, last, [&](const ColourCount& a, const ColourCount& b) {
      return Channel(a.colour, channel) < Channel(b.colour, channel);
    });
    std::uint64_t total = 0;
    for (auto it = first; it != last; ++it) total += it->count;
    std::uint64_t seen = 0;
    std::size_t split = pick->begin + 1;
    for (std::size_t i = pick->begin; i + 1 < pick->end; ++i) {
      seen += colours[i].count;
      split = i + 1;
      if (seen * 2 >= total) break;
    }
    Box upper{split, pick->end};
    pick->end = split;
    measure(*pick);
    measure(upper);
    boxes.push_back(upper);
  }
  std::vector<QRgb> palette;
  for (const Box& box : boxes) {
    double r = 0, g = 0, b = 0, n = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
      const auto w = static_cast<double>(colours[i].count);
      r += qRed(colours[i].colour) * w;
      g += qGreen(colours[i].colour) * w;
      b += qBlue(colours[i].colour) * w;
      n += w;
    }
    if (n > 0) palette.push_back(qRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5)));
  }
  return palette;
}

int Distance(QRgb a, QRgb b) {
  const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
  return dr * dr + dg * dg + db * db;
}

// The picture brought to at most 256 colours: the most frequent colours (the flat fills, the
// key colour) exactly, the rest by median cut. Nothing when that would show (see kMaxMeanError).
std::optional<QImage> Quantise(const QImage& image) {
  // Counted run by run: the flat art is mostly long runs of one colour.
  std::unordered_map<QRgb, std::uint64_t> histogram;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width();) {
      int end = x + 1;
      while (end < image.width() && line[end] == line[x]) ++end;
      histogram[line[x] | 0xFF000000u] += static_cast<std::uint64_t>(end - x);
      x = end;
    }
  }
  std::vector<ColourCount> colours;
  colours.reserve(histogram.size());
  for (const auto& [colour, count] : histogram) colours.push_back({colour, count});
  std::sort(colours.begin(), colours.end(), [](const ColourCount& a, const ColourCount& b) {
    return a.count != b.count ? a.count > b.count : a.colour < b.colour;
  });
  constexpr std::size_t kExact = 96;
  std::vector<QRgb> palette;
  for (std::size_t i = 0; i < kExact && i < colours.size(); ++i)
    palette.push_back(colours[i].colour);
  if (colours.size() > kExact) {
    const std::vector<QRgb> rest = MedianCut(
        std::vector<ColourCount>(colours.begin() + kExact, colours.end()), kMaxColours - kExact);
    palette.insert(palette.end(), rest.begin(), rest.end());
  }

  std::unordered_map<QRgb, QRgb> nearest;
  double error = 0;
  for (const auto& [colour, count] : colours) {
    QRgb best = palette.front();
    int bestDistance = Distance(colour, best);
    for (const QRgb candidate : palette) {
      const int distance = Distance(colour, candidate);
      if (distance < bestDistance) {
        best = candidate;
        bestDistance = distance;
      }
    }
    nearest.emplace(colour, best);
    error += static_cast<double>(count) *
             (std::abs(qRed(colour) - qRed(best)) + std::abs(qGreen(colour) - qGreen(best)) +
              std::abs(qBlue(colour) - qBlue(best)));
  }
  const double pixels = double(image.width()) * image.height() * 3;
  if (error / pixels > kMaxMeanError) return std::nullopt;

  QImage quantised = image.copy();
  for (int y = 0; y < quantised.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(quantised.scanLine(y));
    QRgb last = 0;
    QRgb lastMapped = 0;
    for (int x = 0; x < quantised.width(); ++x) {
      if (x == 0 || line[x] != last) {
        last = line[x];
        lastMapped = nearest.at(last | 0xFF000000u);
      }
      line[x] = lastMapped;
    }
  }
  return quantised;
}

}  // namespace

std::optional<std::string> EncodeRle8Bitmap(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  const int width = image.width();
  const int height = image.height();
  if (width <= 0 || height <= 0) return std::nullopt;

  // The palette in order of first appearance, so the same picture always gives the same file.
  std::vector<QRgb> palette;
  std::unordered_map<QRgb, std::uint8_t> index;
  std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    auto& row = rows[static_cast<std::size_t>(y)];
    row.resize(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
      if (x > 0 && line[x] == line[x - 1]) {
        row[static_cast<std::size_t>(x)] = row[static_cast<std::size_t>(x - 1)];
        continue;
      }
      const QRgb colour = line[x] | 0xFF000000u;
      auto found = index.find(colour);
      if (found == index.end()) {
        if (static_cast<int>(palette.size()) == kMaxColours) return std::nullopt;
        found = index.emplace(colour, static_cast<std::uint8_t>(palette.size())).first;
        palette.push_back(colour);
      }
      row[static_cast<std::size_t>(x)] = found->second;
    }
  }

  std::string pixels;
  for (int y = height - 1; y >= 0; --y) EncodeRow(rows[static_cast<std::size_t>(y)], pixels);
  pixels.back() = 1;  // the last end-of-line becomes the end-of-bitmap mark

  const std::size_t paletteBytes = palette.size() * 4;
  const std::size_t offset = kFileHeaderSize + kInfoHeaderSize + paletteBytes;
  std::string out;
  out.reserve(offset + pixels.size());
  out += "BM";
  PutU32(out, static_cast<std::uint32_t>(offset + pixels.size()));
  PutU32(out, 0);
  PutU32(out, static_cast<std::uint32_t>(offset));
  PutU32(out, kInfoHeaderSize);
  PutU32(out, static_cast<std::uint32_t>(width));
  PutU32(out, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
  PutU16(out, 1);                                   // planes
  PutU16(out, 8);                                   // bits per pixel
  PutU32(out, kCompressionRle8);
  PutU32(out, static_cast<std::uint32_t>(pixels.size()));
  PutU32(out, 2835);  // 72 dpi, as the 24-bit writer puts it
  PutU32(out, 2835);
  PutU32(out, static_cast<std::uint32_t>(palette.size()));
  PutU32(out, 0);
  for (const QRgb colour : palette) {
    PutByte(out, qBlue(colour));
    PutByte(out, qGreen(colour));
    PutByte(out, qRed(colour));
    PutByte(out, 0);
  }
  out += pixels;
  return out;
}

std::string EncodeBitmapFile(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  if (auto rle = EncodeRle8Bitmap(image)) return std::move(*rle);
  if (const auto quantised = Quantise(image)) {
    if (auto rle = EncodeRle8Bitmap(*quantised)) return std::move(*rle);
  }
  return Encode24Bit(image);
}

}  // namespace skingen

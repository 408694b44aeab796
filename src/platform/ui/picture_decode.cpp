#include "platform/ui/picture_decode.h"

#ifdef QUELTA_UI_QT
#include <QImageReader>
#include <QString>
#endif
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <system_error>
#include <vector>

#include "platform/ui/bmp_decoder.h"
#include "platform/ui/bmp_header.h"

namespace ui {
namespace {

// For a BMP shorter than its header says it is, what is missing; "" otherwise. An uncompressed
// picture needs its rows; a run-length compressed one the image size its header gives.
std::string BmpTruncation(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::array<unsigned char, kBmpHeadBytes> bytes{};
  in.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
  const std::optional<BmpHead> header =
      ReadBmpHead(std::span(bytes.data(), static_cast<std::size_t>(in.gcount())));
  if (!header) return {};
  const std::uint64_t offset = header->pixelOffset;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  const auto shortBy = [&](std::uint64_t needed) -> std::string {
    if (error || size >= needed) return {};
    return "is cut short: " + std::to_string(size) + " bytes where its header needs " +
           std::to_string(needed);
  };
  const std::uint32_t compression = header->compression;
  if (compression == kBmpRle8 || compression == kBmpRle4) {
    return shortBy(offset + header->imageSize);
  }
  if (compression != kBmpUncompressed && compression != kBmpBitFields) return {};
  const std::uint64_t width = static_cast<std::uint64_t>(std::llabs(header->width));
  const std::uint64_t height = static_cast<std::uint64_t>(std::llabs(header->height));
  const std::uint64_t rowBytes = (width * header->bits + 31) / 32 * 4;
  return shortBy(offset + rowBytes * height);
}

}  // namespace

PictureDecode DecodePictureFile(const std::filesystem::path& file) {
  // A short file first: it says more than the reader's failure to decode it. (A resource is
  // compiled into the program and has no size on disk; the reader checks it.)
  const bool resource = !file.empty() && file.native().front() == ':';
  if (!resource) {
    if (std::string cut = BmpTruncation(file); !cut.empty()) return {{}, std::move(cut)};
  }
#ifndef QUELTA_UI_QT
  std::ifstream in(file, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) return {{}, "cannot be read"};
  std::string error;
  std::optional<Frame> frame = DecodeBmp(bytes, error);
  if (!frame) return {{}, "cannot be opened as a picture: " + error};
  return {std::move(*frame), {}};
#else
  QImageReader reader(QString::fromStdString(file.string()));
  PictureDecode decoded{reader.read(), {}};
  if (decoded.image.isNull()) {
    decoded.problem = "cannot be opened as a picture: " + reader.errorString().toStdString();
  }
  return decoded;
#endif
}

}  // namespace ui

// The BMP header reader against Qt's. Property: a size the header reader gives for the start of
// a file is the size Qt's reader gives for the same bytes (which tells the height of a picture
// stored top row first as negative), so a picture it takes on its own word is one Qt would have
// taken too.
#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "fuzz/fuzz_check.h"
#include "platform/ui/bmp_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<ui::Size> taken = ui::BmpSize(std::span(data, size));
  if (!taken) return 0;
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  const QSize qt = QImageReader(&buffer, "bmp").size();
  FUZZ_CHECK(qt.width() == taken->width && std::abs(qt.height()) == taken->height);
  return 0;
}

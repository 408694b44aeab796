// The socket line reader: bytes in fuzzed chunks. Properties: no line is longer than the
// limit or holds a line break, the chunking does not change the lines, and an overlong line
// never leaves a tail behind.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "mainwindow/window_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t chunk = data[0] % 40 + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  mainwindow::MessageLineReader whole;
  const std::vector<std::string> expected = whole.Feed(bytes);
  mainwindow::MessageLineReader pieces;
  std::vector<std::string> got;
  for (std::size_t at = 0; at < bytes.size(); at += chunk) {
    for (std::string& line : pieces.Feed(bytes.substr(at, chunk))) got.push_back(std::move(line));
  }
  FUZZ_CHECK(got == expected);

  // What the lines must be, worked out line by line from the text itself.
  std::vector<std::string> reference;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find('\n', start)) != std::string_view::npos;
       start = end + 1) {
    if (end - start <= mainwindow::kMaxMessageLine) {
      reference.emplace_back(bytes.substr(start, end - start));
    }
  }
  FUZZ_CHECK(got == reference);
  for (const std::string& line : got) {
    FUZZ_CHECK(line.size() <= mainwindow::kMaxMessageLine);
    mainwindow::DecodeMessage(line);
  }
  return 0;
}

// The settings file parser and editor. Properties: a text that parses writes back byte for
// byte; an edit reads back, changes no other value, and the edited text parses again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/registry/reg_document.h"
#include "platform/registry/reg_syntax.h"
#include "platform/registry/registry_file_error.h"

namespace {

struct Named {
  std::string path;
  std::string name;
};

// Every value line the text holds, with the key it stands under.
std::vector<Named> ValuesOf(std::string_view text) {
  std::vector<Named> values;
  std::string key;
  for (const platform::RegLine& line : platform::ParseRegText(text, "fuzz")) {
    if (line.kind == platform::RegLine::Kind::Key) key = line.path;
    if (line.kind == platform::RegLine::Kind::Value && !key.empty())
      values.push_back({key, line.name});
  }
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The input: a .reg text, then after the last NUL the name and text of one edit.
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::size_t split = all.rfind('\0');
  const std::string_view text = split == std::string_view::npos ? all : all.substr(0, split);
  const std::string_view edit = split == std::string_view::npos ? "" : all.substr(split + 1);

  std::optional<platform::RegDocument> document;
  try {
    document.emplace(platform::RegDocument::Parse(text, "fuzz"));
  } catch (const platform::RegistryFileError&) {
    return 0;
  }
  FUZZ_CHECK(document->Text() == text);

  const std::vector<Named> values = ValuesOf(text);
  std::string key;
  for (const platform::RegLine& line : platform::ParseRegText(text, "fuzz")) {
    if (line.kind == platform::RegLine::Kind::Key && !line.path.empty()) {
      key = line.path;
      break;
    }
  }
  if (key.empty()) return 0;
  const std::size_t bar = edit.find('|');
  const std::string name(edit.substr(0, bar == std::string_view::npos ? 0 : bar));
  const std::string value(bar == std::string_view::npos ? edit : edit.substr(bar + 1));
  // The accessor refuses these before they reach the document.
  if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos ||
      value.find('\0') != std::string::npos) {
    return 0;
  }
  std::vector<std::pair<Named, std::optional<std::string>>> before;
  for (const Named& v : values) {
    const platform::RegValue* found = document->FindValue(v.path, v.name);
    before.push_back({v, found ? platform::TextOf(*found, true) : std::nullopt});
  }
  FUZZ_CHECK(document->SetString(key, name, value));
  const std::string edited = document->Text();
  std::optional<platform::RegDocument> again;
  try {
    again.emplace(platform::RegDocument::Parse(edited, "edited"));
  } catch (const platform::RegistryFileError& error) {
    std::fprintf(stderr, "the edited text does not parse: %s\n", error.what());
    FUZZ_CHECK(false);
  }
  const platform::RegValue* written = again->FindValue(key, name);
  FUZZ_CHECK(written != nullptr);
  // Bytes that are not UTF-8 cannot be carried in the binary form: the store refuses such a
  // save after reading it back, so only text that is UTF-8 or quotable must round-trip.
  const bool quotable = value.find_first_of("\r\n") == std::string::npos;
  const std::optional<std::string> readBack = platform::TextOf(*written, false);
  if (quotable) FUZZ_CHECK(readBack == value);
  const std::string foldedKey = platform::FoldCase(key);
  const std::string foldedName = platform::FoldCase(name);
  for (const auto& [v, text0] : before) {
    if (platform::FoldCase(v.path) == foldedKey && platform::FoldCase(v.name) == foldedName)
      continue;
    const platform::RegValue* now = again->FindValue(v.path, v.name);
    FUZZ_CHECK(now != nullptr);
    FUZZ_CHECK(platform::TextOf(*now, true) == text0);
  }
  return 0;
}

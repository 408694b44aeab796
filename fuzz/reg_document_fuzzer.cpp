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

// Equal without regard to ASCII case, as keys and value names match (FoldCase), without
// making folded copies.
bool SameFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// One value line of the text as the document shows it before the edit.
struct Before {
  const std::string* path;  // the key it stands under (in the parsed lines)
  const std::string* name;
  std::optional<std::string> text;
};

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

  // One pass over the lines the document was parsed from (they parse: the document did):
  // every value line with the key it stands under, and the first key, which the edit goes to.
  const std::vector<platform::RegLine> lines = platform::ParseRegText(text, "fuzz");
  const std::string* under = nullptr;
  const std::string* first = nullptr;
  for (const platform::RegLine& line : lines) {
    if (line.kind != platform::RegLine::Kind::Key) continue;
    if (!line.path.empty()) {
      first = &line.path;
      break;
    }
  }
  if (first == nullptr) return 0;
  const std::string& key = *first;
  const std::size_t bar = edit.find('|');
  const std::string name(edit.substr(0, bar == std::string_view::npos ? 0 : bar));
  const std::string value(bar == std::string_view::npos ? edit : edit.substr(bar + 1));
  // The accessor refuses these before they reach the document.
  if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos ||
      value.find('\0') != std::string::npos) {
    return 0;
  }
  std::vector<Before> before;
  before.reserve(lines.size());
  for (const platform::RegLine& line : lines) {
    if (line.kind == platform::RegLine::Kind::Key) under = &line.path;
    if (line.kind != platform::RegLine::Kind::Value || under == nullptr || under->empty()) continue;
    const platform::RegValue* found = document->FindValue(*under, line.name);
    before.push_back({under, &line.name, found ? platform::TextOf(*found, true) : std::nullopt});
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
  for (const Before& v : before) {
    if (SameFolded(*v.path, key) && SameFolded(*v.name, name)) continue;
    const platform::RegValue* now = again->FindValue(*v.path, *v.name);
    FUZZ_CHECK(now != nullptr);
    FUZZ_CHECK(platform::TextOf(*now, true) == v.text);
  }
  return 0;
}

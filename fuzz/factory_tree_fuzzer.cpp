// The factory tree's index against the settings parser. Properties: a text is refused by one
// exactly when it is refused by the other; once taken, every key and every parent of a key
// exists in both or in neither, and every value named in the text (and a key and name made of
// the input's last line) reads the same from both.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/registry/indexed_reg_tree.h"
#include "platform/registry/reg_document.h"
#include "platform/registry/reg_syntax.h"
#include "platform/registry/registry_file_error.h"

namespace {

bool SameValue(const platform::RegValue* a, const platform::RegValue* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return a->form == b->form && a->text == b->text && a->dword == b->dword &&
         a->hexType == b->hexType && a->bytes == b->bytes;
}

void CheckKey(const platform::RegDocument& document, const platform::IndexedRegTree& tree,
              std::string_view path) {
  FUZZ_CHECK(document.HasKey(path) == tree.HasKey(path));
  // Every parent too: a key that exists only above listed keys.
  for (std::size_t cut = path.find('\\'); cut != std::string_view::npos;
       cut = path.find('\\', cut + 1)) {
    FUZZ_CHECK(document.HasKey(path.substr(0, cut)) == tree.HasKey(path.substr(0, cut)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  std::optional<platform::RegDocument> document;
  try {
    document.emplace(platform::RegDocument::Parse(text, "fuzz"));
  } catch (const platform::RegistryFileError&) {
  }
  std::shared_ptr<const platform::IndexedRegTree> tree;
  try {
    tree = platform::IndexedRegTree::Parse(std::string(text), "fuzz");
  } catch (const platform::RegistryFileError&) {
  }
  FUZZ_CHECK(document.has_value() == (tree != nullptr));
  if (!tree) return 0;

  const std::vector<platform::RegLine> lines = platform::ParseRegText(text, "fuzz");
  std::string under;
  for (const platform::RegLine& line : lines) {
    if (line.kind == platform::RegLine::Kind::Key) {
      under = line.path;
      CheckKey(*document, *tree, under);
    } else if (line.kind == platform::RegLine::Kind::Value && !under.empty()) {
      FUZZ_CHECK(
          SameValue(document->FindValue(under, line.name), tree->FindValue(under, line.name)));
    }
  }

  // Paths and names the text never spelled that way: the last line split at its last
  // backslash, as a key and a value name under it.
  const std::size_t lastLine = text.rfind('\n');
  const std::string_view tail =
      lastLine == std::string_view::npos ? text : text.substr(lastLine + 1);
  const std::size_t cut = tail.rfind('\\');
  const std::string_view path = cut == std::string_view::npos ? tail : tail.substr(0, cut);
  const std::string_view name = cut == std::string_view::npos ? "" : tail.substr(cut + 1);
  CheckKey(*document, *tree, path);
  FUZZ_CHECK(SameValue(document->FindValue(path, name), tree->FindValue(path, name)));
  return 0;
}

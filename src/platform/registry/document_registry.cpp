#include "platform/registry/document_registry.h"

#include <optional>

namespace platform {
namespace {

constexpr std::string_view kNotInNames("\r\n\0", 3);

class DocumentKey : public RegistryKey {
 public:
  DocumentKey(std::shared_ptr<DocumentRegistry::State> state, std::string path)
      : state_(std::move(state)), path_(std::move(path)) {}

  std::string ReadString(std::string_view name) override { return Read(name, false); }
  std::string ReadExpandString(std::string_view name) override { return Read(name, true); }

  bool WriteString(std::string_view name, std::string_view text) override {
    // A registry text cannot hold a NUL: it would end the text early. A value name is one
    // line of the file, so it cannot hold a line break either.
    if (!state_->writable || text.find('\0') != std::string_view::npos ||
        name.find_first_of(kNotInNames) != std::string_view::npos) {
      return false;
    }
    if (state_->Owned(path_)) return false;
    // A key only the tree beneath lists gets its key line in the snapshot.
    state_->snapshot.AddKey(path_);
    if (!state_->snapshot.SetString(path_, name, text)) return false;
    state_->pending.push_back(RegEdit{path_, std::string(name), std::string(text)});
    return true;
  }

 private:
  std::string Read(std::string_view name, bool acceptExpand) const {
    const RegValue* value = state_->FindValue(path_, name);
    if (value == nullptr) return {};
    std::optional<std::string> text = TextOf(*value, acceptExpand);
    if (!text) {
      const std::string shown = name.empty() ? std::string("(default)") : std::string(name);
      throw RegistryReadError("Invalid data type for '" + shown + "' under " + path_ +
                              ": the value is " + value->TypeName() + ", not text");
    }
    return std::move(*text);
  }

  std::shared_ptr<DocumentRegistry::State> state_;
  std::string path_;
};

}  // namespace

bool DocumentRegistry::State::Owned(const std::string& path) const {
  if (ownFolded.empty()) return false;
  const std::string folded = FoldCase(path);
  return folded.starts_with(ownFolded) &&
         (folded.size() == ownFolded.size() || folded[ownFolded.size()] == '\\');
}

bool DocumentRegistry::State::HasKey(const std::string& path) const {
  if (beneath && beneath->HasKey(path)) return true;
  return !Owned(path) && snapshot.HasKey(path);
}

const RegValue* DocumentRegistry::State::FindValue(const std::string& path,
                                                   std::string_view name) const {
  const RegValue* value = Owned(path) ? nullptr : snapshot.FindValue(path, name);
  if (value == nullptr && beneath) value = beneath->FindValue(path, name);
  return value;
}

DocumentRegistry::DocumentRegistry(RegDocument snapshot, RegistryAccess access,
                                   CommitEdits commitEdits, RegBeneath beneath)
    : state_(std::make_shared<State>(State{
          std::move(snapshot), access == RegistryAccess::Write, {}, std::move(beneath.tree), {}})),
      commitEdits_(std::move(commitEdits)) {
  if (state_->beneath && !beneath.ownPath.empty()) {
    state_->ownFolded = FoldCase(NormalizeKeyPath(beneath.ownPath).value_or(beneath.ownPath));
  }
}

DocumentRegistry::~DocumentRegistry() {
  // A destructor cannot report failure; callers that need to know call Commit first.
  if (!state_->pending.empty()) Commit();
  state_->writable = false;
}

std::unique_ptr<RegistryKey> DocumentRegistry::OpenKey(std::string_view path) {
  const std::optional<std::string> normal = NormalizeKeyPath(path);
  if (!normal || !state_->HasKey(*normal)) return nullptr;
  return std::make_unique<DocumentKey>(state_, *normal);
}

bool DocumentRegistry::Commit() {
  if (state_->pending.empty()) return true;
  std::vector<RegEdit> edits;
  edits.swap(state_->pending);
  return commitEdits_(edits);
}

}  // namespace platform

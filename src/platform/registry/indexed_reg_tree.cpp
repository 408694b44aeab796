#include "platform/registry/indexed_reg_tree.h"

#include <optional>

#include "platform/registry/reg_syntax.h"

namespace platform {

std::shared_ptr<const IndexedRegTree> IndexedRegTree::Parse(std::string text,
                                                            const std::string& source) {
  std::shared_ptr<IndexedRegTree> tree(new IndexedRegTree());
  tree->text_ = std::move(text);
  tree->source_ = source;
  // A line's bytes are exactly its part of the text, so adding them up gives where each
  // line starts.
  std::size_t offset = 0;
  ParseRegText(tree->text_, source, [&tree, &offset](RegLine&& line) {
    if (line.kind == RegLine::Kind::Header) {
      tree->header_ = line.raw;
    } else if (line.kind == RegLine::Kind::Key) {
      if (!tree->sections_.empty()) tree->sections_.back().end = offset;
      tree->sectionsOf_[FoldCase(line.path)].push_back(tree->sections_.size());
      tree->sections_.push_back(Section{offset, offset});
    }
    offset += line.raw.size();
  });
  if (!tree->sections_.empty()) tree->sections_.back().end = offset;
  tree->values_.resize(tree->sections_.size());
  return tree;
}

bool IndexedRegTree::HasKey(std::string_view path) const {
  const std::optional<std::string> normal = NormalizeKeyPath(path);
  if (!normal) return false;
  const std::string folded = FoldCase(*normal);
  if (sectionsOf_.contains(folded)) return true;
  // Every key on the way down to a listed key exists too: the first listed path at or after
  // "<path>\\" starts with it when there is one below.
  const std::string below = folded + "\\";
  const auto next = sectionsOf_.lower_bound(below);
  return next != sectionsOf_.end() && next->first.starts_with(below);
}

const RegValue* IndexedRegTree::FindValue(std::string_view path, std::string_view name) const {
  const std::optional<std::string> normal = NormalizeKeyPath(path);
  if (!normal) return nullptr;
  const auto found = sectionsOf_.find(FoldCase(*normal));
  if (found == sectionsOf_.end()) return nullptr;
  const std::string foldedName = FoldCase(name);
  const std::lock_guard lock(mutex_);
  for (auto it = found->second.rbegin(); it != found->second.rend(); ++it) {
    const Values& values = ValuesOf(*it);
    const auto value = values.find(foldedName);
    if (value != values.end()) return &value->second;
  }
  return nullptr;
}

const IndexedRegTree::Values& IndexedRegTree::ValuesOf(std::size_t section) const {
  std::unique_ptr<Values>& values = values_[section];
  if (values) return *values;
  values = std::make_unique<Values>();
  // The section after the file's first line is a small file of its own; it was checked with
  // the whole text.
  const Section& range = sections_[section];
  std::string piece = header_;
  piece.append(text_, range.begin, range.end - range.begin);
  ParseRegText(piece, source_, [&values](RegLine&& line) {
    // A name given twice: the later line is the one in effect, as on import.
    if (line.kind == RegLine::Kind::Value) (*values)[FoldCase(line.name)] = std::move(line.value);
  });
  return *values;
}

}  // namespace platform

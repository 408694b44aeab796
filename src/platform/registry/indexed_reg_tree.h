#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry/reg_lookup.h"

namespace platform {

// A whole .reg text held as it is, for looking into only. The text is checked whole when it is
// made and its key lines are indexed; the values of a key are parsed when the key is first
// looked into. The factory tree holds the skin of every language, and a window reads the
// pictures of one: the others cost their bytes and no more. Any thread may look into it.
class IndexedRegTree : public RegLookup {
 public:
  // Throws RegistryFileError naming `source` and the line when the text is malformed, as
  // RegDocument::Parse does.
  static std::shared_ptr<const IndexedRegTree> Parse(std::string text, const std::string& source);

  bool HasKey(std::string_view path) const override;
  const RegValue* FindValue(std::string_view path, std::string_view name) const override;

 private:
  IndexedRegTree() = default;

  // One key line and the lines up to the next key line, as a range of the text.
  struct Section {
    std::size_t begin = 0;
    std::size_t end = 0;
  };
  using Values = std::unordered_map<std::string, RegValue>;  // folded name -> value in effect

  const Values& ValuesOf(std::size_t section) const;  // with mutex_ held

  std::string text_;
  std::string header_;  // the first line, which a section needs to be parsed on its own
  std::string source_;
  std::vector<Section> sections_;
  // Folded path -> its sections in file order; in path order, so a key that exists only as the
  // parent of listed keys is found next to them.
  std::map<std::string, std::vector<std::size_t>, std::less<>> sectionsOf_;
  mutable std::mutex mutex_;
  mutable std::vector<std::unique_ptr<Values>> values_;  // per section, once parsed
};

}  // namespace platform

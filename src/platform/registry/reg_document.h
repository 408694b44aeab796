#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry/reg_lookup.h"
#include "platform/registry/reg_syntax.h"

namespace platform {

// One text value written by an accessor, to be applied to the file when it commits.
struct RegEdit {
  std::string path;
  std::string name;
  std::string text;
};

// A whole .reg file held as its lines. Lookups go by key path and value name without regard to
// case; an edit rewrites only the line it changes (or adds one), so every other byte of the
// file stays as it was.
class RegDocument : public RegLookup {
 public:
  // Throws RegistryFileError naming `source` and the line when the text is malformed.
  static RegDocument Parse(std::string_view text, const std::string& source);

  std::string Text() const;

  // A key exists when a key line names it or a key below it (as importing the file would
  // create it). Paths may carry outer backslashes.
  bool HasKey(std::string_view path) const override;

  // The value in effect (the last one the file gives under that key); nullptr when absent.
  const RegValue* FindValue(std::string_view path, std::string_view name) const override;

  // Creates or replaces a text value under an existing key; false when the key does not exist.
  bool SetString(std::string_view path, std::string_view name, std::string_view text);

  // Gives a key the file does not have at all its own key line at the end.
  void AddKey(std::string_view path);

  // Applies every edit, or none when one of their keys exists neither here nor in `keysFrom`;
  // a key only `keysFrom` has is added first.
  bool Apply(const std::vector<RegEdit>& edits, const RegLookup* keysFrom = nullptr);

 private:
  struct Section {
    RegLine keyLine;
    std::vector<RegLine> lines;                            // the lines after the key line
    std::unordered_map<std::string, std::size_t> valueAt;  // folded name -> index in lines
    std::size_t valuesEnd = 0;  // index after the last value line (0: no value yet)
  };

  void AddLine(RegLine line);
  // Adds every line in `lines` and empties it.
  void AddLines(std::vector<RegLine>& lines);
  void AppendKeyLine(const std::string& normalPath);
  RegLine& LastLine();
  void EndLastLine();
  void EndLine(std::string& raw) const;

  std::string eol_ = "\n";
  std::vector<RegLine> preamble_;  // the header and what precedes the first key
  std::vector<Section> sections_;
  // Folded path -> its sections, in path order, so a key that exists only as the parent of
  // listed keys is found next to them: each path is held once, and memory stays in step with
  // the file however deep its keys go.
  std::map<std::string, std::vector<std::size_t>, std::less<>> sectionsOf_;
};

}  // namespace platform

#include "platform/registry/reg_document.h"

#include <algorithm>
#include <optional>

namespace platform {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::optional<std::string> FoldedKey(std::string_view path) {
  const std::optional<std::string> normal = NormalizeKeyPath(path);
  if (!normal) return std::nullopt;
  return FoldCase(*normal);
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// The line ending a line carries: "\r\n", "\n", or "" for a last line without one.
std::string_view EndingOf(std::string_view raw) {
  if (EndsWith(raw, kCrLf)) return kCrLf;
  if (EndsWith(raw, "\n")) return "\n";
  return {};
}

}  // namespace

RegDocument RegDocument::Parse(std::string_view text, const std::string& source) {
  RegDocument document;
  // A hint only: a key line is a line that starts with "[".
  document.sections_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '[')));
  // The lines after a key line wait here until the next key line, so each section's list is
  // sized once: the factory tree has thousands of sections, and regrowing each list would
  // leave a trail of freed copies behind.
  std::vector<RegLine> waiting;
  bool first = true;
  ParseRegText(text, source, [&](RegLine&& line) {
    if (first && EndsWith(line.raw, kCrLf)) document.eol_ = std::string(kCrLf);
    first = false;
    if (line.kind == RegLine::Kind::Key) {
      document.AddLines(waiting);
      document.AddLine(std::move(line));
    } else {
      waiting.push_back(std::move(line));
    }
  });
  document.AddLines(waiting);
  return document;
}

void RegDocument::AddLines(std::vector<RegLine>& lines) {
  if (!sections_.empty()) {
    Section& section = sections_.back();
    section.lines.reserve(section.lines.size() + lines.size());
    section.valueAt.reserve(
        static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](const RegLine& line) {
          return line.kind == RegLine::Kind::Value;
        })));
  }
  for (RegLine& line : lines) AddLine(std::move(line));
  lines.clear();
}

void RegDocument::AddLine(RegLine line) {
  if (line.kind == RegLine::Kind::Key) {
    const std::string folded = FoldCase(line.path);
    sectionsOf_[folded].push_back(sections_.size());
    sections_.push_back(Section{std::move(line), {}, {}, 0});
    return;
  }
  if (sections_.empty()) {
    preamble_.push_back(std::move(line));
    return;
  }
  Section& section = sections_.back();
  if (line.kind == RegLine::Kind::Value) {
    // A name given twice: the later line is the one in effect, as on import.
    section.valueAt[FoldCase(line.name)] = section.lines.size();
    section.valuesEnd = section.lines.size() + 1;
  }
  section.lines.push_back(std::move(line));
}

std::string RegDocument::Text() const {
  std::string text;
  for (const RegLine& line : preamble_) text += line.raw;
  for (const Section& section : sections_) {
    text += section.keyLine.raw;
    for (const RegLine& line : section.lines) text += line.raw;
  }
  return text;
}

bool RegDocument::HasKey(std::string_view path) const {
  const std::optional<std::string> folded = FoldedKey(path);
  if (!folded) return false;
  if (sectionsOf_.contains(*folded)) return true;
  // Every key on the way down to a listed key exists too: the first listed path at or after
  // "<path>\\" starts with it when there is one below.
  const std::string below = *folded + "\\";
  const auto next = sectionsOf_.lower_bound(below);
  return next != sectionsOf_.end() && next->first.starts_with(below);
}

const RegValue* RegDocument::FindValue(std::string_view path, std::string_view name) const {
  const std::optional<std::string> folded = FoldedKey(path);
  if (!folded) return nullptr;
  const auto found = sectionsOf_.find(*folded);
  if (found == sectionsOf_.end()) return nullptr;
  const std::string foldedName = FoldCase(name);
  for (auto it = found->second.rbegin(); it != found->second.rend(); ++it) {
    const Section& section = sections_[*it];
    const auto value = section.valueAt.find(foldedName);
    if (value != section.valueAt.end()) return &section.lines[value->second].value;
  }
  return nullptr;
}

RegLine& RegDocument::LastLine() {
  if (sections_.empty()) return preamble_.back();
  Section& last = sections_.back();
  return last.lines.empty() ? last.keyLine : last.lines.back();
}

void RegDocument::EndLastLine() {
  EndLine(LastLine().raw);
}

void RegDocument::EndLine(std::string& raw) const {
  if (!EndingOf(raw).empty()) return;
  // A file cut between CR and LF: the lone CR becomes the file's whole line ending.
  if (!raw.empty() && raw.back() == '\r') raw.pop_back();
  raw += eol_;
}

void RegDocument::AppendKeyLine(const std::string& normalPath) {
  EndLastLine();
  const std::string& last = LastLine().raw;
  const std::size_t lastStart = last.rfind('\n', last.size() - 2);  // it ends with a line break
  const std::string_view lastLine =
      std::string_view(last).substr(lastStart == std::string::npos ? 0 : lastStart + 1);
  if (lastLine.find_first_not_of(" \t\r\n") != std::string_view::npos) {
    RegLine blank;
    blank.raw = eol_;
    AddLine(std::move(blank));
  }
  RegLine keyLine;
  keyLine.kind = RegLine::Kind::Key;
  keyLine.path = normalPath;
  keyLine.raw = FormatKeyLine(normalPath, eol_);
  AddLine(std::move(keyLine));
}

void RegDocument::AddKey(std::string_view path) {
  const std::optional<std::string> normal = NormalizeKeyPath(path);
  if (normal && !HasKey(*normal)) AppendKeyLine(*normal);
}

bool RegDocument::SetString(std::string_view path, std::string_view name, std::string_view text) {
  const std::optional<std::string> normal = NormalizeKeyPath(path);
  if (!normal) return false;
  const std::string folded = FoldCase(*normal);
  if (!HasKey(folded)) return false;
  const std::string foldedName = FoldCase(name);

  RegLine line;
  line.kind = RegLine::Kind::Value;
  line.value.form = RegValue::Form::String;
  line.value.text = std::string(text);

  const auto found = sectionsOf_.find(folded);
  if (found != sectionsOf_.end()) {
    // Replace the line in effect, keeping the name as the file spells it. A wrapped value
    // continues with the file's own line ending, and so the line ends, unless it was the last
    // line and had no ending.
    for (auto it = found->second.rbegin(); it != found->second.rend(); ++it) {
      Section& section = sections_[*it];
      const auto value = section.valueAt.find(foldedName);
      if (value == section.valueAt.end()) continue;
      RegLine& old = section.lines[value->second];
      // A value that already holds the text keeps its bytes, whatever form the file gave it.
      if (TextOf(old.value, false) == text) return true;
      line.name = old.name;
      line.number = old.number;
      line.raw = FormatStringValue(old.name, text, eol_);
      if (EndingOf(old.raw).empty()) line.raw.resize(line.raw.size() - eol_.size());
      old = std::move(line);
      return true;
    }
    // A new value goes after the last value of the key's last section, before any blank line
    // or comment that separates it from the next key.
    Section& section = sections_[found->second.back()];
    RegLine& before =
        section.valuesEnd == 0 ? section.keyLine : section.lines[section.valuesEnd - 1];
    EndLine(before.raw);
    line.name = std::string(name);
    line.raw = FormatStringValue(name, text, eol_);
    section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(section.valuesEnd),
                         std::move(line));
    section.valueAt[foldedName] = section.valuesEnd;
    ++section.valuesEnd;
    return true;
  }

  // The key exists only as the parent of listed keys: it gets its own key line at the end.
  AppendKeyLine(*normal);
  line.name = std::string(name);
  line.raw = FormatStringValue(name, text, eol_);
  AddLine(std::move(line));
  return true;
}

bool RegDocument::Apply(const std::vector<RegEdit>& edits, const RegLookup* keysFrom) {
  for (const RegEdit& edit : edits) {
    if (!HasKey(edit.path) && (keysFrom == nullptr || !keysFrom->HasKey(edit.path))) return false;
  }
  for (const RegEdit& edit : edits) {
    AddKey(edit.path);
    SetString(edit.path, edit.name, edit.text);
  }
  return true;
}

}  // namespace platform

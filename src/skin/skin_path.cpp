#include "skin/skin_path.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

#include "skin/skin_errors.h"

namespace skin {
namespace {

namespace fs = std::filesystem;

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

[[noreturn]] void Refuse(std::string_view stored, std::string_view why) {
  throw SkinFileError("cannot use skin file '" + std::string(stored) + "': " + std::string(why));
}

// The components left after "." and empty ones are dropped and ".." has stepped back.
std::vector<std::string> Components(std::string_view stored) {
  if (stored.empty()) Refuse(stored, "the path is empty");
  if (stored.find('\0') != std::string_view::npos) Refuse(stored, "the path holds a NUL");
  if (IsSeparator(stored.front())) Refuse(stored, "the path is absolute");
  if (stored.find(':') != std::string_view::npos) {
    Refuse(stored, "the path names a drive or stream");
  }
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= stored.size()) {
    std::size_t end = start;
    while (end < stored.size() && !IsSeparator(stored[end])) ++end;
    const std::string_view part = stored.substr(start, end - start);
    if (part == "..") {
      if (parts.empty()) Refuse(stored, "the path leaves the program folder");
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.emplace_back(part);
    }
    start = end + 1;
  }
  if (parts.empty()) Refuse(stored, "the path names no file");
  return parts;
}

// The entry of `folder` called `name`, an exact match first, else the first entry (in name
// order) that differs only in case; empty when there is none.
fs::path FindEntry(const fs::path& folder, const std::string& name) {
  std::error_code error;
  if (fs::exists(folder / name, error)) return folder / name;
  std::vector<fs::path> matches;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (SameIgnoringCase(entry, name)) matches.push_back(it->path());
  }
  if (matches.empty()) return {};
  return *std::min_element(matches.begin(), matches.end());
}

bool IsInside(const fs::path& inner, const fs::path& outer) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;  // the trailing separator of a folder path
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

}  // namespace

fs::path ResolveSkinPath(const fs::path& programFolder, std::string_view stored) {
  fs::path resolved = programFolder;
  std::error_code error;
  bool linked = false;  // whether a link lies on the way down from the program folder
  for (const std::string& part : Components(stored)) {
    fs::path next = FindEntry(resolved, part);
    if (next.empty()) {
      Refuse(stored, "no entry '" + part + "' in " + resolved.string());
    }
    resolved = std::move(next);
    linked = linked || fs::is_symlink(resolved, error);
  }
  if (!fs::is_regular_file(resolved, error)) Refuse(stored, "it is not a file");
  // Without ".." and without links below the program folder the file is inside it; only a
  // link needs the real paths compared (each costs a look at every folder on the way).
  if (!linked) return resolved;
  const fs::path realFile = fs::canonical(resolved, error);
  const fs::path realFolder = error ? fs::path() : fs::canonical(programFolder, error);
  if (error || !IsInside(realFile, realFolder)) {
    Refuse(stored, "the path leaves the program folder");
  }
  return resolved;
}

std::function<fs::path(std::string_view)> SkinFileResolver(fs::path programFolder) {
  return [folder = std::move(programFolder)](std::string_view stored) {
    return ResolveSkinPath(folder, stored);
  };
}

}  // namespace skin

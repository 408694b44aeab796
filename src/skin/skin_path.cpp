#include "skin/skin_path.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
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

// An entry found in a folder, with what it is in itself (a link is not followed).
struct Entry {
  fs::path path;
  fs::file_status status;
};

// The entry of `folder` called `name`, an exact match first, else the first entry (in name
// order) that differs only in case; empty when there is none. An exact match costs one look at
// the entry; a link is followed to see that it leads somewhere.
Entry FindEntry(const fs::path& folder, const std::string& name) {
  std::error_code error;
  fs::path exact = folder / name;
  const fs::file_status status = fs::symlink_status(exact, error);
  const bool found =
      fs::is_symlink(status) ? fs::exists(exact, error) : fs::exists(status) && !error;
  if (found) return {std::move(exact), status};
  std::vector<fs::directory_entry> matches;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (SameIgnoringCase(entry, name)) matches.push_back(*it);
  }
  if (matches.empty()) return {};
  const fs::directory_entry& first =
      *std::min_element(matches.begin(), matches.end(),
                        [](const fs::directory_entry& a, const fs::directory_entry& b) {
                          return a.path() < b.path();
                        });
  return {first.path(), first.symlink_status(error)};
}

bool IsInside(const fs::path& inner, const fs::path& outer) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;  // the trailing separator of a folder path
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

// The folders a resolver found on the way to its files ("Skin", "Skin/Eng"), so that the many
// files of one folder cost one look each rather than one per folder on the way as well.
struct FolderMemo {
  struct Found {
    fs::path path;
    bool linked;  // a link lies on the way down to it
  };
  std::mutex mutex;
  std::map<std::string, Found, std::less<>> found;  // by the stored components, "/"-joined
};

fs::path Resolve(const fs::path& programFolder, std::string_view stored, FolderMemo* memo) {
  const std::vector<std::string> parts = Components(stored);
  fs::path resolved = programFolder;
  std::error_code error;
  bool linked = false;   // whether a link lies on the way down from the program folder
  fs::file_status last;  // of the last entry, as it is in itself
  std::string folder;    // the components taken so far, "/"-joined
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    const bool isFolder = i + 1 < parts.size();
    if (isFolder) folder += (folder.empty() ? "" : "/") + part;
    if (memo && isFolder) {
      const std::lock_guard lock(memo->mutex);
      if (const auto known = memo->found.find(folder); known != memo->found.end()) {
        resolved = known->second.path;
        linked = known->second.linked;
        continue;
      }
    }
    Entry next = FindEntry(resolved, part);
    if (next.path.empty()) {
      Refuse(stored, "no entry '" + part + "' in " + resolved.string());
    }
    resolved = std::move(next.path);
    last = next.status;
    linked = linked || fs::is_symlink(last);
    if (memo && isFolder) {
      const std::lock_guard lock(memo->mutex);
      memo->found.try_emplace(folder, FolderMemo::Found{resolved, linked});
    }
  }
  const bool file = linked ? fs::is_regular_file(resolved, error) : fs::is_regular_file(last);
  if (!file) Refuse(stored, "it is not a file");
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

}  // namespace

fs::path ResolveSkinPath(const fs::path& programFolder, std::string_view stored) {
  return Resolve(programFolder, stored, nullptr);
}

std::function<fs::path(std::string_view)> SkinFileResolver(fs::path programFolder) {
  return [folder = std::move(programFolder), memo = std::make_shared<FolderMemo>()](
             std::string_view stored) { return Resolve(folder, stored, memo.get()); };
}

}  // namespace skin

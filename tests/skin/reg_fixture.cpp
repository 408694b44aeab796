#include "reg_fixture.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>

namespace skin::testing {
namespace {

constexpr std::string_view kRoot = "HKEY_LOCAL_MACHINE\\";

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The text between the quotes that start at `at`, with \\ and \" unescaped; `at` moves past.
std::string Quoted(std::string_view line, std::size_t& at) {
  if (at >= line.size() || line[at] != '"') throw std::invalid_argument("expected a quote");
  std::string out;
  for (++at; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] == '\\' && at + 1 < line.size()) ++at;
    out += line[at];
  }
  if (at >= line.size()) throw std::invalid_argument("unterminated quote");
  ++at;
  return out;
}

class FixtureKey : public platform::RegistryKey {
 public:
  FixtureKey(RegFixture& store, const RegFixture::Key& key, std::string path)
      : store_(store), key_(key), path_(std::move(path)) {}

  std::string ReadString(std::string_view name) override {
    store_.Note(path_ + " : " + std::string(name));
    const auto found = key_.find(Lower(name));
    if (found == key_.end()) return "";
    if (!found->second.isText) {
      throw platform::RegistryReadError("value \"" + std::string(name) + "\" is not text");
    }
    return found->second.text;
  }
  bool WriteString(std::string_view, std::string_view) override { return false; }

 private:
  RegFixture& store_;
  const RegFixture::Key& key_;
  std::string path_;
};

class FixtureRegistry : public platform::Registry {
 public:
  explicit FixtureRegistry(RegFixture& store) : store_(store) {}
  std::unique_ptr<platform::RegistryKey> OpenKey(std::string_view path) override {
    store_.Note("OpenKey " + std::string(path));
    const RegFixture::Key* key = store_.Find(path);
    if (key == nullptr) return nullptr;
    return std::make_unique<FixtureKey>(store_, *key, std::string(path));
  }
  bool Commit() override { return true; }

 private:
  RegFixture& store_;
};

}  // namespace

std::string NormalKeyPath(std::string_view path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return Lower(path);
}

RegFixture::RegFixture(std::string_view regText) {
  std::istringstream lines{std::string(regText)};
  std::string line;
  Key* current = nullptr;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ';') continue;
    std::string_view text = std::string_view(line).substr(first);
    if (text.front() == '[') {
      std::string_view path = text.substr(1, text.find(']') - 1);
      if (path.substr(0, kRoot.size()) == kRoot) path.remove_prefix(kRoot.size());
      std::string normal = NormalKeyPath(path);
      // Listing a key makes every key above it exist too.
      for (std::size_t cut = normal.find('\\'); cut != std::string::npos;
           cut = normal.find('\\', cut + 1)) {
        keys_.try_emplace(normal.substr(0, cut));
      }
      current = &keys_[normal];
      continue;
    }
    if (text.front() != '"' || current == nullptr) continue;  // the header line
    std::size_t at = 0;
    const std::string name = Quoted(text, at);
    if (at >= text.size() || text[at] != '=') throw std::invalid_argument("expected '='");
    ++at;
    Value value;
    if (at < text.size() && text[at] == '"') {
      value.text = Quoted(text, at);
    } else {
      value.isText = false;
    }
    (*current)[Lower(name)] = value;
  }
}

const RegFixture::Key* RegFixture::Find(std::string_view path) const {
  const auto found = keys_.find(NormalKeyPath(path));
  return found == keys_.end() ? nullptr : &found->second;
}

std::unique_ptr<platform::Registry> RegFixture::Open(platform::RegistryAccess) {
  ++accessorsOpened_;
  return std::make_unique<FixtureRegistry>(*this);
}

}  // namespace skin::testing

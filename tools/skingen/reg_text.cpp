#include "reg_text.h"

#include <map>
#include <utility>
#include <vector>

#include "skin/skin_keys.h"

namespace skingen {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;  // in reading order

std::string Flag(bool on) {
  return on ? "1" : "0";
}

class TreeText {
 public:
  explicit TreeText(std::string root) : root_(std::move(root)) {}

  void AddPage(const PageTable& page) {
    const std::string path = root_ + page.pageName + "\\";
    for (const ButtonEntry& b : page.buttons) {
      Add(path + b.key, {{"Left", std::to_string(b.rect.left())},
                         {"Top", std::to_string(b.rect.top())},
                         {"Width", std::to_string(b.rect.width())},
                         {"Height", std::to_string(b.rect.height())},
                         {"LeaveBmp", b.bitmaps[0]},
                         {"EnterBmp", b.bitmaps[1]},
                         {"ClickBmp", b.bitmaps[2]},
                         {"DisBmp", b.bitmaps[3]}});
    }
    for (const DisplayEntry& d : page.displays) {
      const std::string key = path + d.key;
      Add(key, {{"ShowDigit", Flag(d.digit.has_value())},
                {"ShowStatusBar", Flag(d.statusBar.has_value())},
                {"ShowPosBar", Flag(d.posBar.has_value())},
                {"ShowStatusRect", Flag(d.statusRect.has_value())}});
      if (d.digit) {
        const DigitPlace& g = *d.digit;
        Add(key + "\\Digit", {{"Left", std::to_string(g.left)},
                              {"Top", std::to_string(g.top)},
                              {"Width", std::to_string(g.width)},
                              {"Height", std::to_string(g.height)},
                              {"Count", std::to_string(g.count)},
                              {"DecimalCount", std::to_string(g.decimals)},
                              {"isFloat", Flag(g.isFloat)},
                              {"isAttr", Flag(g.isAttr)}});
      }
      if (d.statusBar) {
        const StatusBarPlace& g = *d.statusBar;
        Add(key + "\\StatusBar", {{"Left", std::to_string(g.left)},
                                  {"Top", std::to_string(g.top)},
                                  {"Width", std::to_string(g.width)},
                                  {"Height", std::to_string(g.height)},
                                  {"Min", g.min},
                                  {"Max", g.max},
                                  {"Scale", std::to_string(g.scale)}});
      }
      if (d.posBar) {
        const PosBarPlace& g = *d.posBar;
        Add(key + "\\PosBar", {{"Left", std::to_string(g.left)},
                               {"Top", std::to_string(g.top)},
                               {"Width", std::to_string(g.width)},
                               {"Height", std::to_string(g.height)},
                               {"Path", g.path},
                               {"disPath", g.disPath}});
      }
      if (d.statusRect) {
        const StatusRectPlace& g = *d.statusRect;
        Add(key + "\\StatusRect", {{"Left", std::to_string(g.left)},
                                   {"Top", std::to_string(g.top)},
                                   {"Length", std::to_string(g.length)},
                                   {"Caliper", std::to_string(g.caliper)},
                                   {"Min", g.min},
                                   {"Max", g.max},
                                   {"Horizontal", Flag(g.horizontal)}});
      }
    }
  }

  std::string Text() const {
    std::string text;
    for (const auto& [key, values] : keys_) {
      text += "\n[HKEY_LOCAL_MACHINE" + key + "]\n";
      for (const auto& [name, value] : values) {
        text += RegQuoted(name) + "=" + RegQuoted(value) + "\n";
      }
    }
    return text;
  }

 private:
  // Keys met again (pages both rating forms share) are written once.
  void Add(const std::string& key, Values values) { keys_.try_emplace(key, std::move(values)); }

  std::string root_;
  std::map<std::string, Values> keys_;
};

}  // namespace

std::string RegQuoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string SkinTreeText(const std::string& folder, const SkinTable& normal,
                         const SkinTable& small) {
  TreeText tree(std::string(skin::SkinRoot) + folder + "\\");
  for (const SkinTable* table : {&normal, &small}) {
    for (const PageTable& group : table->managerGroups) tree.AddPage(group);
    tree.AddPage(table->config);
    tree.AddPage(table->alarm);
    tree.AddPage(table->ctrl);
    tree.AddPage(table->voltageWindow);
    tree.AddPage(table->currentWindow);
  }
  return tree.Text();
}

}  // namespace skingen

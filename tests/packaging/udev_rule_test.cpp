// The udev rule of the package, read as udev reads it: it gives the seat's user the PSU
// controller's and the gauge panel's hidraw nodes, and nothing else.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

struct UdevKey {
  std::string key;   // SUBSYSTEM, ATTRS, TAG, ...
  std::string attr;  // what is between the braces of ATTRS{idVendor}; empty without
  std::string op;    // == != = += -= :=
  std::string value;
  bool operator==(const UdevKey&) const = default;
};

bool IsKeyChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// One rule line: KEY[{attr}]OP"value" items separated by commas. Nullopt when malformed.
std::optional<std::vector<UdevKey>> ParseRule(const std::string& line) {
  std::vector<UdevKey> keys;
  std::size_t i = 0;
  const auto skipSpace = [&] {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  };
  for (;;) {
    skipSpace();
    UdevKey key;
    while (i < line.size() && IsKeyChar(line[i])) key.key += line[i++];
    if (key.key.empty()) return std::nullopt;
    if (i < line.size() && line[i] == '{') {
      const std::size_t close = line.find('}', i);
      if (close == std::string::npos || close == i + 1) return std::nullopt;
      key.attr = line.substr(i + 1, close - i - 1);
      i = close + 1;
    }
    skipSpace();
    for (const char* op : {"==", "!=", "+=", "-=", ":=", "="}) {
      if (line.compare(i, std::string(op).size(), op) == 0) {
        key.op = op;
        i += key.op.size();
        break;
      }
    }
    if (key.op.empty()) return std::nullopt;
    skipSpace();
    if (i >= line.size() || line[i] != '"') return std::nullopt;
    const std::size_t end = line.find('"', i + 1);
    if (end == std::string::npos) return std::nullopt;
    key.value = line.substr(i + 1, end - i - 1);
    i = end + 1;
    keys.push_back(key);
    skipSpace();
    if (i == line.size()) return keys;
    if (line[i] != ',') return std::nullopt;
    ++i;
  }
}

std::vector<std::vector<UdevKey>> ReadRules(const std::string& file) {
  std::ifstream in(file);
  EXPECT_TRUE(in) << file;
  std::vector<std::vector<UdevKey>> rules;
  for (std::string line; std::getline(in, line);) {
    if (line.find_first_not_of(" \t") == std::string::npos ||
        line[line.find_first_not_of(" \t")] == '#')
      continue;
    const auto rule = ParseRule(line);
    EXPECT_TRUE(rule.has_value()) << "not a udev rule: " << line;
    if (rule) rules.push_back(*rule);
  }
  return rules;
}

TEST(UdevRule, GivesTheSeatTheTwoDevicesHidrawNodesAndNothingElse) {
  const auto rules = ReadRules(QUELTA_UDEV_RULE);
  ASSERT_EQ(rules.size(), 2u);
  std::set<std::string> products;
  for (const auto& rule : rules) {
    ASSERT_EQ(rule.size(), 4u);
    EXPECT_EQ(rule[0], (UdevKey{"SUBSYSTEM", "", "==", "hidraw"}));
    EXPECT_EQ(rule[1], (UdevKey{"ATTRS", "idVendor", "==", "1044"}));
    EXPECT_EQ(rule[2].key, "ATTRS");
    EXPECT_EQ(rule[2].attr, "idProduct");
    EXPECT_EQ(rule[2].op, "==");
    products.insert(rule[2].value);
    EXPECT_EQ(rule[3], (UdevKey{"TAG", "", "+=", "uaccess"}));
  }
  EXPECT_EQ(products, (std::set<std::string>{"4001", "4100"}));
}

TEST(UdevRule, TheReaderRefusesWhatUdevWouldRefuse) {
  EXPECT_EQ(ParseRule("SUBSYSTEM==\"hidraw\" TAG+=\"uaccess\""), std::nullopt);  // no comma
  EXPECT_EQ(ParseRule("TAG+=uaccess"), std::nullopt);                            // not quoted
  EXPECT_EQ(ParseRule("ATTRS{}==\"1044\""), std::nullopt);                       // empty attribute
  EXPECT_EQ(ParseRule("TAG+=\"uaccess"), std::nullopt);                          // open quote
  EXPECT_EQ(ParseRule("TAG~\"uaccess\""), std::nullopt);                         // no operator
  const auto good = ParseRule("SUBSYSTEM==\"hidraw\" ,  MODE:=\"0660\"");
  ASSERT_TRUE(good.has_value());
  EXPECT_EQ(*good,
            (std::vector<UdevKey>{{"SUBSYSTEM", "", "==", "hidraw"}, {"MODE", "", ":=", "0660"}}));
}

}  // namespace

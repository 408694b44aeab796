#include "platform/registry/indexed_reg_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/registry/reg_document.h"
#include "platform/registry/reg_syntax.h"
#include "platform/registry/registry_file_error.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

// Keys given twice, names given twice, names in another case, a wrapped hex value, a comment
// between values, a key that exists only as a parent, and a last line without its ending.
constexpr char kTree[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; the first key\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n"
    "\"One\"=\"first\"\r\n"
    "\"one\"=\"second\"\r\n"
    "; between\r\n"
    "\"Two\"=dword:00000002\r\n"
    "\"Wrapped\"=hex(1):41,00,\\\r\n"
    "  42,00,00,00\r\n"
    "@=\"default\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\Deep\\Er]\r\n"
    "\"Leaf\"=\"deep\"\r\n"
    "\r\n"
    "[hkey_local_machine\\software\\a]\r\n"
    "\"Two\"=\"again\"\r\n"
    "\"Last\"=\"no line ending\"";

std::string Text(const RegValue* value) {
  if (value == nullptr) return "<none>";
  return TextOf(*value, false).value_or("<" + value->TypeName() + ">");
}

TEST(IndexedRegTree, AnswersEveryLookupAsTheWholeDocumentDoes) {
  const auto tree = IndexedRegTree::Parse(kTree, "t");
  const RegDocument document = RegDocument::Parse(kTree, "t");
  struct Case {
    const char* path;
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"SOFTWARE\\A", "One", "second"},          {"\\software\\a\\", "ONE", "second"},
      {"SOFTWARE\\A", "Two", "again"},  // the later section of the key wins
      {"SOFTWARE\\A", "Wrapped", "AB"},          {"SOFTWARE\\A", "", "default"},
      {"SOFTWARE\\A", "Last", "no line ending"}, {"SOFTWARE\\A\\Deep\\Er", "Leaf", "deep"},
      {"SOFTWARE\\A\\Deep", "Leaf", "<none>"},  // a parent only: no values
      {"SOFTWARE\\A", "Leaf", "<none>"},         {"SOFTWARE\\B", "One", "<none>"},
      {"SOFTWARE\\\\A", "One", "<none>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " / " + c.name);
    EXPECT_EQ(Text(tree->FindValue(c.path, c.name)), c.expected);
    EXPECT_EQ(Text(document.FindValue(c.path, c.name)), c.expected);
  }
  for (const char* key :
       {"SOFTWARE", "software\\a", "SOFTWARE\\A\\Deep", "SOFTWARE\\A\\DEEP\\er"}) {
    EXPECT_TRUE(tree->HasKey(key)) << key;
  }
  for (const char* key : {"SOFTWARE\\A\\De", "SOFTWARE\\A\\Deep\\Er\\Below", "", "SOFTWARE\\B"}) {
    EXPECT_FALSE(tree->HasKey(key)) << key;
  }
  const RegValue* dword = tree->FindValue("SOFTWARE\\A", "Two");
  ASSERT_NE(dword, nullptr);
  EXPECT_EQ(tree->FindValue("SOFTWARE\\A", "two"), dword);  // parsed once, the same value
}

TEST(IndexedRegTree, AgreesWithTheWholeDocumentOnEveryValueOfTheFactoryTree) {
  const std::string text = testing_support::ReadFile(QUELTA_FACTORY_SETTINGS);
  const auto tree = IndexedRegTree::Parse(text, "factory");
  const RegDocument document = RegDocument::Parse(text, "factory");
  std::string path;
  int compared = 0;
  ParseRegText(text, "factory", [&](RegLine&& line) {
    if (line.kind == RegLine::Kind::Key) path = line.path;
    if (line.kind != RegLine::Kind::Value) return;
    ASSERT_TRUE(tree->HasKey(path)) << path;
    EXPECT_EQ(Text(tree->FindValue(path, line.name)), Text(document.FindValue(path, line.name)))
        << path << " / " << line.name;
    ++compared;
  });
  EXPECT_GT(compared, 100);
}

TEST(IndexedRegTree, RefusesAMalformedLineAnywhereWhenMadeAndServesManyThreads) {
  std::string spoilt = kTree;
  spoilt.insert(spoilt.find("\"Leaf\""), "\"Broken\"=\"no end\r\n");
  try {
    IndexedRegTree::Parse(spoilt, "spoilt.reg");
    FAIL() << "a malformed line deep in the text was accepted";
  } catch (const RegistryFileError& error) {
    EXPECT_NE(std::string(error.what()).find("spoilt.reg, line 14"), std::string::npos)
        << error.what();
  }

  // Keys parsed on first sight by several threads at once each come out whole.
  const auto tree = IndexedRegTree::Parse(kTree, "t");
  std::vector<std::string> seen(4);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&tree, &seen, i] {
      seen[i] = Text(tree->FindValue("SOFTWARE\\A", "Two")) +
                Text(tree->FindValue("SOFTWARE\\A\\Deep\\Er", "Leaf"));
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string& s : seen) EXPECT_EQ(s, "againdeep");
}

}  // namespace
}  // namespace platform

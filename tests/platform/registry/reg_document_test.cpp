#include "platform/registry/reg_document.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/registry/memory_registry_store.h"
#include "platform/registry/registry_file_error.h"

namespace platform {
namespace {

using ::testing::HasSubstr;

// Every value form a settings file may hold, with comments, blank lines, odd spacing,
// continuation lines, escapes and a second section of the same key.
std::string SampleWith(const std::string& eol) {
  return "Windows Registry Editor Version 5.00" + eol + eol + "; factory settings" + eol +
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta]" + eol + "\"osLang\"=\"0\"" + eol +
         "@=\"default text\"" + eol + eol +
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage]" + eol +
         "\"12V\"=\"12.00\"" + eol + "\"Path\"=\"Skin\\\\M_Sel.bmp\"" + eol +
         "\"Quote\"=\"say \\\"hi\\\"\"" + eol + "\"Count\"=dword:0000001f" + eol +
         "\"Blob\"=hex:01,02,ff" + eol + "\"Expand\"=hex(2):25,00,41,00,25,00,00,00" + eol +
         "\"Multi\"=hex(7):41,00,00,00,\\" + eol + "  42,00,00,00,00,00" + eol +
         "\"Sz\"=hex(1):54,00,c4,00,00,00" + eol + "  \"Spaced\"  =  \"x\"  " + eol +
         "\"Name\"=\"\xE6\xB8\xA9\xE5\xBA\xA6\"" + eol + "; trailing comment" + eol + eol +
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage]" + eol +
         "\"5V\"=\"5.00\"" + eol;
}

constexpr char kVoltage[] = "SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage";

TEST(RegDocument, GivesBackEveryByteOfAFileItDidNotChange) {
  for (const std::string eol : {"\r\n", "\n"}) {
    const std::string text = SampleWith(eol);
    EXPECT_EQ(RegDocument::Parse(text, "sample").Text(), text);
  }
  // A byte-order mark, the older header and a last line without an ending survive too.
  const std::string bom = "\xEF\xBB\xBFREGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"1\"";
  EXPECT_EQ(RegDocument::Parse(bom, "bom").Text(), bom);
}

TEST(RegDocument, ReadsEveryValueFormAsTyped) {
  const RegDocument document = RegDocument::Parse(SampleWith("\r\n"), "sample");
  auto value = [&](const char* name) { return document.FindValue(kVoltage, name); };

  ASSERT_NE(value("Path"), nullptr);
  EXPECT_EQ(value("Path")->text, "Skin\\M_Sel.bmp");
  EXPECT_EQ(value("Quote")->text, "say \"hi\"");
  EXPECT_EQ(value("Spaced")->text, "x");
  EXPECT_EQ(value("Name")->text, "\xE6\xB8\xA9\xE5\xBA\xA6");
  EXPECT_EQ(value("Count")->form, RegValue::Form::Dword);
  EXPECT_EQ(value("Count")->dword, 0x1fu);
  EXPECT_EQ(value("Blob")->Type(), kRegBinary);
  EXPECT_EQ(value("Blob")->bytes, (std::vector<std::uint8_t>{1, 2, 0xff}));
  EXPECT_EQ(value("Multi")->TypeName(), "hex(7)");
  EXPECT_EQ(value("Multi")->bytes.size(), 10u);
  EXPECT_EQ(TextOf(*value("Sz"), false), "T\xC3\x84");  // "TÄ" stored as UTF-16
  EXPECT_EQ(TextOf(*value("Expand"), false), std::nullopt);
  EXPECT_EQ(TextOf(*value("Expand"), true), "%A%");
  EXPECT_EQ(TextOf(*value("Count"), true), std::nullopt);

  const RegValue* defaultValue = document.FindValue("SOFTWARE\\NORVANE\\Quelta", "");
  ASSERT_NE(defaultValue, nullptr);
  EXPECT_EQ(defaultValue->text, "default text");
}

TEST(RegDocument, MatchesKeysAndNamesWithoutCaseAndKnowsParentKeys) {
  const RegDocument document = RegDocument::Parse(SampleWith("\n"), "sample");
  EXPECT_TRUE(document.HasKey("\\software\\norvane\\QUELTA\\config\\voltage\\"));
  EXPECT_NE(document.FindValue("Software\\Norvane\\Quelta\\Config\\Voltage", "12v"), nullptr);
  // Parents of listed keys exist, as importing the file would create them.
  EXPECT_TRUE(document.HasKey("SOFTWARE"));
  EXPECT_TRUE(document.HasKey("SOFTWARE\\NORVANE\\Quelta\\Config"));
  EXPECT_FALSE(document.HasKey("SOFTWARE\\NORVANE\\Quelta\\Con"));
  EXPECT_FALSE(document.HasKey("SOFTWARE\\\\NORVANE"));
  EXPECT_FALSE(document.HasKey(""));
  // A key listed twice: both parts count, the second for "5V".
  ASSERT_NE(document.FindValue(kVoltage, "5V"), nullptr);
  EXPECT_EQ(document.FindValue(kVoltage, "5V")->text, "5.00");
}

TEST(RegDocument, AnEditChangesOnlyTheLineItWrites) {
  const std::string eol = "\r\n";
  const std::string before = SampleWith(eol);
  RegDocument document = RegDocument::Parse(before, "sample");

  // Replacing keeps the name as the file spells it, and the line's ending.
  ASSERT_TRUE(document.SetString(kVoltage, "12v", "11.50"));
  std::string expected = before;
  expected.replace(expected.find("\"12V\"=\"12.00\""), 13, "\"12V\"=\"11.50\"");
  EXPECT_EQ(document.Text(), expected);

  // A value of another type becomes text, its continuation lines go with it.
  ASSERT_TRUE(document.SetString(kVoltage, "Multi", "a\\b"));
  const std::string multi = "\"Multi\"=hex(7):41,00,00,00,\\" + eol + "  42,00,00,00,00,00" + eol;
  expected.replace(expected.find(multi), multi.size(), "\"Multi\"=\"a\\\\b\"" + eol);
  EXPECT_EQ(document.Text(), expected);

  // A new value goes after the last value of the key's last section.
  ASSERT_TRUE(document.SetString(kVoltage, "33V", "3.30"));
  expected += "\"33V\"=\"3.30\"" + eol;
  EXPECT_EQ(document.Text(), expected);
}

TEST(RegDocument, NewValuesStayInsideTheirKeyAndKeysAreNeverCreated) {
  const std::string before =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_LOCAL_MACHINE\\A\\B]\n"
      "\"x\"=\"1\"\n"
      "; about C\n\n"
      "[HKEY_LOCAL_MACHINE\\A\\B\\C]\n";
  RegDocument document = RegDocument::Parse(before, "sample");

  EXPECT_FALSE(document.SetString("A\\B\\D", "y", "2"));
  EXPECT_EQ(document.Text(), before);

  ASSERT_TRUE(document.SetString("A\\B", "y", "2"));
  ASSERT_TRUE(document.SetString("a\\b\\c", "z", "3"));
  // "A" exists only as the parent of listed keys: it gets a key line of its own at the end.
  ASSERT_TRUE(document.SetString("A", "w", "4"));
  EXPECT_EQ(document.Text(),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\A\\B]\n"
            "\"x\"=\"1\"\n"
            "\"y\"=\"2\"\n"
            "; about C\n\n"
            "[HKEY_LOCAL_MACHINE\\A\\B\\C]\n"
            "\"z\"=\"3\"\n\n"
            "[HKEY_LOCAL_MACHINE\\A]\n"
            "\"w\"=\"4\"\n");
  const RegDocument reread = RegDocument::Parse(document.Text(), "again");
  EXPECT_EQ(reread.FindValue("A", "w")->text, "4");
}

TEST(RegDocument, AddsALineEndingWhereTheLastLineHadNone) {
  RegDocument document =
      RegDocument::Parse("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"1\"", "sample");
  ASSERT_TRUE(document.SetString("A", "x", "2"));
  EXPECT_EQ(document.Text(), "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"2\"");
  ASSERT_TRUE(document.SetString("A", "y", "3"));
  EXPECT_EQ(document.Text(),
            "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"2\"\r\n\"y\"=\"3\"\r\n");
}

TEST(RegDocument, TextThatTheQuotedFormCannotCarryIsWrittenAsBinaryText) {
  RegDocument document = RegDocument::Parse("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n", "sample");
  const std::string text =
      "line one\r\nline \xE2\x82\xAC two \xF0\x9F\x94\xA5 and more than "
      "twenty-five bytes";
  ASSERT_TRUE(document.SetString("A", "Name", text));
  ASSERT_TRUE(document.SetString("A", "Tricky", "\\\"quoted\\\""));
  const RegDocument reread = RegDocument::Parse(document.Text(), "again");
  EXPECT_EQ(TextOf(*reread.FindValue("A", "Name"), false), text);
  EXPECT_EQ(reread.FindValue("A", "Tricky")->text, "\\\"quoted\\\"");
  EXPECT_THAT(document.Text(), HasSubstr("\"Name\"=hex(1):"));
}

TEST(RegDocument, ALaterLineOfTheSameNameIsTheOneInEffectAndTheOneReplaced) {
  const std::string before =
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"1\"\n\"X\"=\"2\"\n"
      "[HKEY_LOCAL_MACHINE\\B]\n[HKEY_LOCAL_MACHINE\\a]\n\"x\"=\"3\"\n";
  RegDocument document = RegDocument::Parse(before, "sample");
  EXPECT_EQ(document.FindValue("A", "x")->text, "3");
  ASSERT_TRUE(document.SetString("A", "x", "4"));
  EXPECT_EQ(document.Text(),
            "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"1\"\n\"X\"=\"2\"\n"
            "[HKEY_LOCAL_MACHINE\\B]\n[HKEY_LOCAL_MACHINE\\a]\n\"x\"=\"4\"\n");
}

struct Malformed {
  std::string_view text;
  std::size_t line;
  const char* says;
};

TEST(RegDocument, RefusesAMalformedFileNamingTheLine) {
  const Malformed cases[] = {
      {"", 1, "empty"},
      {std::string_view("\xFF\xFEW\0i\0", 6), 1, "UTF-16"},
      {"[HKEY_LOCAL_MACHINE\\A]\n", 1, "first line"},
      {"REGEDIT5\n", 1, "first line"},
      {"REGEDIT4\n\"x\"=\"1\"\n", 2, "before any key"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"open\n", 3, "not closed"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"C:\\dir\"\n", 3, "unknown escape"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"\"1\"\n", 3, "expected '='"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"1\" junk\n", 3, "unexpected characters"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:123456789\n", 3, "dword"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:\n", 3, "dword"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:01,zz\n", 3, "\"zz\""},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:01,,02\n", 3, "not a byte"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex(q):01\n", 3, "hex(n)"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\n\"x\"=hex:01,\\\n", 4, "past the end"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=-\n", 3, "removing values"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=text\n", 3, "unknown value type"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\nx=\"1\"\n", 3, "expected a key line"},
      {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\A]\n", 2, "removing keys"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n", 2, "HKEY_LOCAL_MACHINE"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINEX\\A]\n", 2, "HKEY_LOCAL_MACHINE"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", 2, "']'"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n", 2, "empty part"},
      {"REGEDIT4\r\n; ok\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex:00,\\\r\n  01\r\n\"b\"\r\n", 7,
       "expected '='"},
  };
  for (const Malformed& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      RegDocument::Parse(c.text, "settings.reg");
      ADD_FAILURE() << "accepted";
    } catch (const RegistryFileError& error) {
      EXPECT_EQ(error.Line(), c.line);
      EXPECT_THAT(error.what(), HasSubstr("settings.reg, line " + std::to_string(c.line) + ": "));
      EXPECT_THAT(error.what(), HasSubstr(c.says));
    }
  }
}

// The accessor rules every store shares, through the in-memory store.
constexpr char kTree[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\PSUFan]\r\n"
    "\"Mode\"=\"602\"\r\n"
    "\"Count\"=dword:00000001\r\n"
    "\"Expand\"=hex(2):41,00,00,00\r\n";
constexpr char kPsuFan[] = "SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\PSUFan";

TEST(RegistryAccessor, ReadsTextGivesEmptyForAbsentAndRefusesOtherTypes) {
  MemoryRegistryStore store(kTree);
  auto registry = store.Open(RegistryAccess::Read);
  EXPECT_EQ(registry->OpenKey("SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\Missing"), nullptr);
  auto key = registry->OpenKey("\\software\\norvane\\quelta\\config\\fanspeed\\psufan\\");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadString("MODE"), "602");
  EXPECT_EQ(key->ReadString("Absent"), "");
  try {
    key->ReadString("Count");
    ADD_FAILURE() << "a dword was read as text";
  } catch (const RegistryReadError& error) {
    EXPECT_THAT(error.what(), HasSubstr("'Count'"));
    EXPECT_THAT(error.what(), HasSubstr("dword"));
  }
  EXPECT_THROW(key->ReadString("Expand"), RegistryReadError);
  EXPECT_EQ(key->ReadExpandString("Expand"), "A");
}

TEST(RegistryAccessor, WritesOnlyWithWriteAccessAndSeesItsOwnWrites) {
  MemoryRegistryStore store(kTree);
  {
    auto reader = store.Open(RegistryAccess::Read);
    EXPECT_FALSE(reader->OpenKey(kPsuFan)->WriteString("Mode", "601"));
    EXPECT_TRUE(reader->Commit());
  }
  EXPECT_EQ(store.Text(), kTree);
  EXPECT_EQ(store.Commits(), 0);

  auto writer = store.Open(RegistryAccess::Write);
  auto key = writer->OpenKey(kPsuFan);
  EXPECT_TRUE(key->WriteString("Mode", "604"));
  EXPECT_FALSE(key->WriteString("Bad", std::string("a\0b", 3)));  // a NUL cannot be stored
  EXPECT_FALSE(key->WriteString("Two\nlines", "x"));  // nor a name that would break the line
  EXPECT_EQ(key->ReadString("Mode"), "604");
  // Nothing reaches the store before the commit; an accessor opened now sees the old value.
  EXPECT_EQ(store.Open(RegistryAccess::Read)->OpenKey(kPsuFan)->ReadString("Mode"), "602");
  writer.reset();  // destroying it commits
  EXPECT_EQ(store.Open(RegistryAccess::Read)->OpenKey(kPsuFan)->ReadString("Mode"), "604");
  EXPECT_EQ(store.Commits(), 1);
  // A key kept beyond its accessor still reads, but its writes would go nowhere.
  EXPECT_EQ(key->ReadString("Mode"), "604");
  EXPECT_FALSE(key->WriteString("Mode", "601"));
}

TEST(RegistryAccessor, ACommitAppliesOnlyItsOwnWritesToTheStoreAsItIsNow) {
  MemoryRegistryStore store(kTree);
  auto first = store.Open(RegistryAccess::Write);
  auto second = store.Open(RegistryAccess::Write);
  ASSERT_TRUE(first->OpenKey(kPsuFan)->WriteString("Mode", "601"));
  ASSERT_TRUE(second->OpenKey(kPsuFan)->WriteString("Other", "x"));
  EXPECT_TRUE(first->Commit());
  EXPECT_TRUE(second->Commit());
  auto key = store.Open(RegistryAccess::Read)->OpenKey(kPsuFan);
  EXPECT_EQ(key->ReadString("Mode"), "601");
  EXPECT_EQ(key->ReadString("Other"), "x");
}

TEST(RegistryAccessor, AFailedCommitStoresNothingAndIsReported) {
  MemoryRegistryStore store(kTree);
  store.SetCommitsFail(true);
  auto writer = store.Open(RegistryAccess::Write);
  ASSERT_TRUE(writer->OpenKey(kPsuFan)->WriteString("Mode", "601"));
  EXPECT_FALSE(writer->Commit());
  EXPECT_EQ(store.Text(), kTree);
}

}  // namespace
}  // namespace platform

#include "platform/registry/utf16_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

using ::testing::HasSubstr;

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(DecodeUtf16LeText, GivesUtf8ForOneTwoThreeAndFourByteCharacters) {
  // "A" U+0041, "ü" U+00FC, "€" U+20AC, U+1F600 as the pair D83D DE00, then CR LF.
  const Utf16Decoding decoded = DecodeUtf16LeText(
      Bytes({0x41, 0x00, 0xFC, 0x00, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE, 0x0D, 0x00, 0x0A, 0x00}));
  ASSERT_TRUE(decoded.text) << decoded.error;
  EXPECT_EQ(*decoded.text, "A\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80\r\n");
  // The last characters below each surrogate range and the highest code point, U+10FFFF.
  const Utf16Decoding edges =
      DecodeUtf16LeText(Bytes({0xFF, 0xD7, 0x00, 0xE0, 0xFF, 0xDB, 0xFF, 0xDF}));
  ASSERT_TRUE(edges.text) << edges.error;
  EXPECT_EQ(*edges.text, "\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF");
  const Utf16Decoding empty = DecodeUtf16LeText("");
  ASSERT_TRUE(empty.text);
  EXPECT_EQ(*empty.text, "");
}

TEST(DecodeUtf16LeText, RefusesBrokenTextNamingTheByte) {
  struct Case {
    std::string bytes;
    const char* why;
  };
  const Case cases[] = {
      {Bytes({0x41, 0x00, 0x42}), "odd number of bytes (3)"},
      {Bytes({0x41, 0x00, 0x00, 0xD8}), "a high surrogate without a low one after it at byte 2"},
      {Bytes({0xFF, 0xDB, 0x41, 0x00}), "a high surrogate without a low one after it at byte 0"},
      {Bytes({0x41, 0x00, 0x00, 0xDC, 0x41, 0x00}),
       "a low surrogate without a high one before it at byte 2"},
      {Bytes({0x00, 0xD8, 0x00, 0xD8, 0x00, 0xDC}),
       "a high surrogate without a low one after it at byte 0"},
      {Bytes({0x41, 0x00, 0x00, 0x00}), "a NUL character at byte 2"},
  };
  for (const Case& c : cases) {
    const Utf16Decoding decoded = DecodeUtf16LeText(c.bytes);
    EXPECT_FALSE(decoded.text) << c.why;
    EXPECT_THAT(decoded.error, HasSubstr(c.why));
  }
}

}  // namespace
}  // namespace platform

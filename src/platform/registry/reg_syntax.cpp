#include "platform/registry/reg_syntax.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "platform/registry/registry_file_error.h"
#include "platform/registry/utf16_text.h"

namespace platform {
namespace {

constexpr std::string_view kHeaderV5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeaderV4 = "REGEDIT4";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kDwordPrefix = "dword:";
constexpr std::string_view kHexPrefix = "hex";
constexpr std::size_t kMaxDwordDigits = 8;
constexpr std::size_t kHexBytesPerLine = 25;  // keeps written hex lines near 80 columns
// No settings key is nearly this deep; the limit keeps a hostile path from costing much.
constexpr std::size_t kMaxKeyDepth = 512;
constexpr char32_t kReplacementChar = 0xFFFD;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(s[i]) != Lower(prefix[i])) return false;
  }
  return true;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A run of 1..maxDigits hex digits and nothing else; nullopt otherwise.
std::optional<std::uint32_t> ParseHexNumber(std::string_view digits, std::size_t maxDigits) {
  if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
  for (char c : digits) {
    if (!IsHexDigit(c)) return std::nullopt;
  }
  std::uint32_t value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  return value;
}

// Reads the physical lines of a text one after the other.
class PhysicalLines {
 public:
  explicit PhysicalLines(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  std::size_t Number() const { return number_; }

  // The next line: `raw` with its ending, `content` without "\n" or "\r\n".
  void Next(std::string_view& raw, std::string_view& content) {
    const std::size_t end = text_.find('\n', pos_);
    const std::size_t stop = end == std::string_view::npos ? text_.size() : end + 1;
    raw = text_.substr(pos_, stop - pos_);
    content = raw;
    if (!content.empty() && content.back() == '\n') content.remove_suffix(1);
    if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
    pos_ = stop;
    ++number_;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t number_ = 0;
};

class LineParser {
 public:
  LineParser(const std::string& source, std::size_t line) : source_(source), line_(line) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw RegistryFileError(source_ + ", line " + std::to_string(line_) + ": " + what, line_);
  }

  // A quoted text at the start of `s` (which begins with '"'); `s` moves past it.
  std::string QuotedText(std::string_view& s) const {
    std::string text;
    std::size_t i = 1;
    for (; i < s.size(); ++i) {
      const char c = s[i];
      if (c == '"') break;
      if (c == '\\') {
        if (i + 1 >= s.size()) Fail("a text ends with a lone backslash");
        const char next = s[i + 1];
        if (next != '\\' && next != '"') {
          Fail(std::string("unknown escape \"\\") + next + "\" in a text (write \\\\ for \\)");
        }
        text.push_back(next);
        ++i;
      } else {
        text.push_back(c);
      }
    }
    if (i >= s.size()) Fail("a text is not closed with \"");
    s.remove_prefix(i + 1);
    return text;
  }

  void ExpectEnd(std::string_view rest, const char* after) const {
    if (!TrimLeft(rest).empty()) Fail(std::string("unexpected characters after ") + after);
  }

  RegLine KeyLine(std::string_view content) const {
    std::string_view s = TrimRight(TrimLeft(content));
    if (s.size() < 2 || s.back() != ']') Fail("a key line must end with ']'");
    s = s.substr(1, s.size() - 2);
    if (!s.empty() && s.front() == '-') Fail("removing keys is not supported in this file");
    if (!StartsWithNoCase(s, kRootKeyName) ||
        (s.size() > kRootKeyName.size() && s[kRootKeyName.size()] != '\\')) {
      Fail("keys must lie under HKEY_LOCAL_MACHINE");
    }
    s.remove_prefix(kRootKeyName.size());
    RegLine line;
    line.kind = RegLine::Kind::Key;
    const bool root = s.find_first_not_of('\\') == std::string_view::npos;
    if (!root) {
      const std::optional<std::string> path = NormalizeKeyPath(s);
      if (!path) Fail("a key path has an empty part (\"\\\\\")");
      const auto depth = static_cast<std::size_t>(std::count(path->begin(), path->end(), '\\')) + 1;
      if (depth > kMaxKeyDepth) {
        Fail("a key path is " + std::to_string(depth) + " levels deep; at most " +
             std::to_string(kMaxKeyDepth) + " are allowed");
      }
      line.path = *path;
    }
    return line;
  }

  // Parses a value line; for a hex value continued with "\", pulls further lines from `lines`
  // and appends them to `raw`.
  RegLine ValueLine(std::string_view content, PhysicalLines& lines, std::string& raw) const {
    RegLine line;
    line.kind = RegLine::Kind::Value;
    std::string_view s = TrimLeft(content);
    if (s.front() == '@') {
      s.remove_prefix(1);
    } else if (s.front() == '"') {
      line.name = QuotedText(s);
    } else {
      Fail("expected a key line \"[...]\", a value line or a comment");
    }
    s = TrimLeft(s);
    if (s.empty() || s.front() != '=') Fail("expected '=' after the value name");
    s = TrimLeft(s.substr(1));
    if (s.empty()) Fail("the value has no data");

    RegValue& value = line.value;
    if (s.front() == '"') {
      value.form = RegValue::Form::String;
      value.text = QuotedText(s);
      ExpectEnd(s, "the text value");
    } else if (s.front() == '-') {
      Fail("removing values is not supported in this file");
    } else if (StartsWithNoCase(s, kDwordPrefix)) {
      value.form = RegValue::Form::Dword;
      const std::optional<std::uint32_t> number =
          ParseHexNumber(TrimRight(s.substr(kDwordPrefix.size())), kMaxDwordDigits);
      if (!number) Fail("a dword value needs 1 to 8 hex digits");
      value.dword = *number;
    } else if (StartsWithNoCase(s, kHexPrefix)) {
      value.form = RegValue::Form::Hex;
      s.remove_prefix(kHexPrefix.size());
      if (!s.empty() && s.front() == '(') {
        const std::size_t close = s.find(')');
        const std::optional<std::uint32_t> type = close == std::string_view::npos
                                                      ? std::nullopt
                                                      : ParseHexNumber(s.substr(1, close - 1), 8);
        if (!type) Fail("a hex(n) value needs a hex type number n");
        value.hexType = *type;
        s.remove_prefix(close + 1);
      }
      if (s.empty() || s.front() != ':') Fail("expected ':' after hex");
      value.bytes = HexBytes(s.substr(1), lines, raw);
    } else {
      Fail("unknown value type (expected \"text\", dword:, hex: or hex(n):)");
    }
    return line;
  }

 private:
  std::vector<std::uint8_t> HexBytes(std::string_view first, PhysicalLines& lines,
                                     std::string& raw) const {
    std::string list(TrimRight(first));
    while (!list.empty() && list.back() == '\\') {
      list.pop_back();
      if (lines.AtEnd()) Fail("a hex value continues past the end of the file");
      std::string_view nextRaw, nextContent;
      lines.Next(nextRaw, nextContent);
      raw += nextRaw;
      list += TrimRight(TrimLeft(nextContent));
    }
    std::vector<std::uint8_t> bytes;
    std::string_view rest = TrimRight(TrimLeft(list));
    if (rest.empty()) return bytes;
    while (true) {
      const std::size_t comma = rest.find(',');
      const std::string_view token = TrimRight(TrimLeft(rest.substr(0, comma)));
      const std::optional<std::uint32_t> byte = ParseHexNumber(token, 2);
      if (!byte)
        Fail("a hex value holds something that is not a byte: \"" + std::string(token) + "\"");
      bytes.push_back(static_cast<std::uint8_t>(*byte));
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
    return bytes;
  }

  const std::string& source_;
  std::size_t line_;
};

// UTF-8 to code points; a byte that does not start a valid sequence becomes U+FFFD.
std::vector<char32_t> DecodeUtf8(std::string_view text) {
  std::vector<char32_t> out;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t length = b < 0x80           ? 1
                         : (b >> 5) == 0x6  ? 2
                         : (b >> 4) == 0xE  ? 3
                         : (b >> 3) == 0x1E ? 4
                                            : 0;
    char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
    bool valid = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto cont = static_cast<unsigned char>(text[i + k]);
      valid = (cont & 0xC0) == 0x80;
      c = (c << 6) | (cont & 0x3F);
    }
    if (valid && c > 0x10FFFF) valid = false;
    out.push_back(valid ? c : kReplacementChar);
    i += valid ? length : 1;
  }
  return out;
}

// Little-endian UTF-16 to UTF-8, up to the first NUL; an unpaired surrogate becomes U+FFFD.
std::string DecodeUtf16Le(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  const std::size_t units = bytes.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    const char32_t unit = bytes[2 * i] | (bytes[2 * i + 1] << 8);
    if (unit == 0) break;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
      const char32_t low = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacementChar : unit);
  }
  return out;
}

std::string QuoteText(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string NameToken(std::string_view name) {
  return name.empty() ? std::string("@") : QuoteText(name);
}

}  // namespace

void ParseRegText(std::string_view text, const std::string& source,
                  const std::function<void(RegLine&&)>& take) {
  if (text.size() >= 2 &&
      ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'))) {
    throw RegistryFileError(source + ", line 1: the file is UTF-16 text; it must be UTF-8", 1);
  }
  PhysicalLines lines(text);
  if (lines.AtEnd()) {
    throw RegistryFileError(source + ", line 1: the file is empty; it must start with \"" +
                                std::string(kHeaderV5) + "\"",
                            1);
  }

  std::string_view raw, content;
  lines.Next(raw, content);
  std::string_view header = content;
  if (header.substr(0, kUtf8Bom.size()) == kUtf8Bom) header.remove_prefix(kUtf8Bom.size());
  header = TrimRight(header);
  if (header != kHeaderV5 && header != kHeaderV4) {
    throw RegistryFileError(source + ", line 1: the first line must be \"" +
                                std::string(kHeaderV5) + "\" or \"" + std::string(kHeaderV4) + "\"",
                            1);
  }
  // The last line read is held back until the next one shows it is complete: blank lines and
  // comments that follow it may still join it.
  RegLine held{RegLine::Kind::Header, std::string(raw), 1, {}, {}, {}};

  bool inKey = false;
  while (!lines.AtEnd()) {
    lines.Next(raw, content);
    const std::size_t number = lines.Number();
    const LineParser parser(source, number);
    const std::string_view s = TrimLeft(content);
    std::string lineRaw(raw);
    RegLine line;
    if (s.empty() || s.front() == ';') {
      // Blank lines and comments in a row are kept as one, so a file of nothing but line
      // breaks costs no more than its text.
      if (held.kind == RegLine::Kind::Other) {
        held.raw += raw;
        continue;
      }
      line.kind = RegLine::Kind::Other;
    } else if (s.front() == '[') {
      line = parser.KeyLine(s);
      inKey = true;
    } else {
      if (!inKey && (s.front() == '"' || s.front() == '@')) parser.Fail("a value before any key");
      line = parser.ValueLine(s, lines, lineRaw);
    }
    line.raw = std::move(lineRaw);
    line.number = number;
    take(std::move(held));
    held = std::move(line);
  }
  take(std::move(held));
}

std::vector<RegLine> ParseRegText(std::string_view text, const std::string& source) {
  std::vector<RegLine> result;
  // One line each at most: regrowing would cost a copy of each.
  result.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  ParseRegText(text, source, [&result](RegLine&& line) { result.push_back(std::move(line)); });
  return result;
}

std::optional<std::string> NormalizeKeyPath(std::string_view path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (path.empty() || path.find("\\\\") != std::string_view::npos) return std::nullopt;
  return std::string(path);
}

std::string FoldCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Lower(c);
  return out;
}

std::string FormatStringValue(std::string_view name, std::string_view text, std::string_view eol) {
  if (text.find_first_of("\r\n") == std::string_view::npos) {
    return NameToken(name) + "=" + QuoteText(text) + std::string(eol);
  }
  // A REG_SZ in its binary form: UTF-16LE with the terminating NUL.
  std::vector<std::uint8_t> bytes;
  for (char32_t c : DecodeUtf8(text)) {
    auto unit = [&](char32_t u) {
      bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  }
  bytes.push_back(0);
  bytes.push_back(0);
  std::string line = NameToken(name) + "=hex(1):";
  constexpr std::array<char, 16> kDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                            '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    line.push_back(kDigits[bytes[i] >> 4]);
    line.push_back(kDigits[bytes[i] & 0xF]);
    if (i + 1 < bytes.size()) {
      line.push_back(',');
      if ((i + 1) % kHexBytesPerLine == 0) line += "\\" + std::string(eol) + "  ";
    }
  }
  return line + std::string(eol);
}

std::string FormatKeyLine(std::string_view path, std::string_view eol) {
  return "[" + std::string(kRootKeyName) + "\\" + std::string(path) + "]" + std::string(eol);
}

std::optional<std::string> TextOf(const RegValue& value, bool acceptExpand) {
  if (value.form == RegValue::Form::String) return value.text;
  if (value.form == RegValue::Form::Hex &&
      (value.hexType == kRegSz || (acceptExpand && value.hexType == kRegExpandSz))) {
    return DecodeUtf16Le(value.bytes);
  }
  return std::nullopt;
}

}  // namespace platform

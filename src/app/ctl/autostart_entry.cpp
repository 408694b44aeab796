#include "app/ctl/autostart_entry.h"

#include <algorithm>

namespace app::ctl {
namespace {

constexpr std::string_view kEntryGroup = "[Desktop Entry]";
constexpr std::string_view kProgramName = "quelta";

bool IsControl(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned min = 0;
    unsigned code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, min = 0x80, code = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, min = 0x800, code = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, min = 0x10000, code = lead & 0x07u;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

// An Exec argument as desktop entries take it: quoted when it holds anything but plain path
// characters, with ", `, $ and \ escaped inside the quotes and the string's own backslash
// escape on top; a % is doubled.
std::string ExecArgument(const std::string& argument) {
  bool plain = !argument.empty();
  for (const char c : argument) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '/' || c == '.' || c == '_' || c == '-' || c == '+';
    plain = plain && safe;
  }
  if (plain) return argument;
  std::string quoted = "\"";
  for (const char c : argument) {
    if (c == '"' || c == '`' || c == '$') {
      quoted += "\\\\";
      quoted += c;
    } else if (c == '\\') {
      quoted += "\\\\\\\\";
    } else if (c == '%') {
      quoted += "%%";
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// A key as the format allows it: letters, digits and '-', then an optional [locale].
bool IsKey(std::string_view key) {
  const std::size_t open = key.find('[');
  const std::string_view name = key.substr(0, open);
  if (name.empty()) return false;
  for (const char c : name) {
    const bool allowed =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    if (!allowed) return false;
  }
  if (open == std::string_view::npos) return true;
  const std::string_view locale = key.substr(open);
  return locale.size() > 2 && locale.back() == ']' &&
         locale.substr(1, locale.size() - 2).find_first_of("[]") == std::string_view::npos;
}

// The value with the string escapes of the format undone; nullopt for an unknown escape.
std::optional<std::string> Unescaped(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\') {
      out += value[i];
      continue;
    }
    if (++i == value.size()) return std::nullopt;
    switch (value[i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}

// Every %% made one %; any other % (a field code) stays as it is.
std::string WithoutDoubledPercent(const std::string& argument) {
  std::string out;
  for (std::size_t i = 0; i < argument.size(); ++i) {
    out += argument[i];
    if (argument[i] == '%' && i + 1 < argument.size() && argument[i + 1] == '%') ++i;
  }
  return out;
}

std::string Line(std::size_t number) {
  return "line " + std::to_string(number);
}

EntryReading Verdict(EntryVerdict verdict, std::string detail = {}) {
  return EntryReading{verdict, std::move(detail)};
}

}  // namespace

std::string AutostartEntry(const std::filesystem::path& program) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Quelta\n"
         "Comment=PSU monitor in the notification area\n"
         "Exec=" +
         ExecArgument(program.string()) +
         " --tray\n"
         "Icon=quelta\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

std::string AutostartPathProblem(const std::filesystem::path& program) {
  const std::string path = program.string();
  for (const char c : path) {
    if (IsControl(static_cast<unsigned char>(c))) {
      return "the program's path holds a control character (a line break, a tab or the like), "
             "which a login entry cannot carry: " +
             path;
    }
  }
  if (!IsUtf8(path)) return "the program's path is not UTF-8, which a login entry must be";
  return "";
}

std::optional<std::vector<std::string>> ExecArguments(std::string_view value) {
  const std::optional<std::string> text = Unescaped(value);
  if (!text) return std::nullopt;
  std::vector<std::string> arguments;
  std::size_t i = 0;
  while (true) {
    while (i < text->size() && IsBlank((*text)[i])) ++i;
    if (i == text->size()) break;
    std::string argument;
    if ((*text)[i] == '"') {
      for (++i;; ++i) {
        if (i == text->size()) return std::nullopt;  // the quote never closes
        const char c = (*text)[i];
        if (c == '"') break;
        if (c == '\\') {
          if (++i == text->size()) return std::nullopt;
          const char escaped = (*text)[i];
          if (escaped != '"' && escaped != '`' && escaped != '$' && escaped != '\\')
            return std::nullopt;
          argument += escaped;
        } else {
          argument += c;
        }
      }
      ++i;
      if (i < text->size() && !IsBlank((*text)[i])) return std::nullopt;
    } else {
      for (; i < text->size() && !IsBlank((*text)[i]); ++i) {
        const char c = (*text)[i];
        // Outside quotes these only ever stand quoted.
        if (c == '"' || c == '`' || c == '$' || c == '\\') return std::nullopt;
        argument += c;
      }
    }
    arguments.push_back(WithoutDoubledPercent(argument));
  }
  return arguments;
}

namespace {

// The verdict on an entry whose Exec value (from line `execLine`) is `exec`.
EntryReading ExecVerdict(const std::string& exec, std::size_t execLine, bool hidden) {
  const std::optional<std::vector<std::string>> arguments = ExecArguments(exec);
  if (!arguments)
    return Verdict(EntryVerdict::Malformed, Line(execLine) + ": Exec is not a command line");
  if (arguments->empty()) return Verdict(EntryVerdict::NoExec);
  const std::string& program = arguments->front();
  if (std::filesystem::path(program).filename() != kProgramName)
    return Verdict(EntryVerdict::ForeignExec, program);
  return Verdict(hidden ? EntryVerdict::SwitchedOff : EntryVerdict::On, program);
}

}  // namespace

EntryReading ReadAutostartEntry(std::string_view text) {
  if (text.empty()) return Verdict(EntryVerdict::Empty);
  if (text.find('\0') != std::string_view::npos || !IsUtf8(text))
    return Verdict(EntryVerdict::Malformed, "it is not UTF-8 text");

  bool inEntry = false;
  bool seenGroup = false;
  std::optional<std::string> exec;
  std::size_t execLine = 0;
  bool hidden = false;
  std::size_t number = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    ++number;
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string_view trimmed = Trimmed(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    if (trimmed.front() == '[') {
      const bool header =
          trimmed.back() == ']' &&
          trimmed.substr(1, trimmed.size() - 2).find_first_of("[]") == std::string_view::npos;
      if (!header)
        return Verdict(EntryVerdict::Malformed, Line(number) + ": a broken group header");
      // The format puts its own group first.
      if (!seenGroup && trimmed != kEntryGroup)
        return Verdict(EntryVerdict::Malformed,
                       Line(number) + ": the first group is not " + std::string(kEntryGroup));
      seenGroup = true;
      inEntry = trimmed == kEntryGroup;
      continue;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos || !IsKey(Trimmed(trimmed.substr(0, equals))))
      return Verdict(EntryVerdict::Malformed, Line(number) + ": neither a key=value nor a group");
    if (!seenGroup)
      return Verdict(EntryVerdict::Malformed, Line(number) + ": a value before any group");
    if (!inEntry) continue;
    const std::string_view key = Trimmed(trimmed.substr(0, equals));
    const std::string_view value = Trimmed(trimmed.substr(equals + 1));
    if (key == "Exec") {
      exec = std::string(value);
      execLine = number;
    }
    // A hidden entry is one the user switched off in their desktop's settings.
    if ((key == "Hidden" && value == "true") ||
        (key == "X-GNOME-Autostart-enabled" && value == "false"))
      hidden = true;
  }
  if (!seenGroup) return Verdict(EntryVerdict::Malformed, "it has no " + std::string(kEntryGroup));
  if (!exec) return Verdict(EntryVerdict::NoExec);
  return ExecVerdict(*exec, execLine, hidden);
}

}  // namespace app::ctl

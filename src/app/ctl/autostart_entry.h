#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app::ctl {

// The login entry's text: a desktop entry whose Exec starts `program` in the tray (--tray).
// The caller has made sure the path can be written (AutostartPathProblem).
std::string AutostartEntry(const std::filesystem::path& program);

// Why `program` cannot stand in an Exec line ("" when it can): a desktop entry is UTF-8 text of
// lines, so a control character (a newline would start a line of its own) or bytes that are not
// UTF-8 have no form there.
std::string AutostartPathProblem(const std::filesystem::path& program);

// What the text of an entry at the autostart place says.
enum class EntryVerdict {
  On,           // Quelta's entry, switched on
  SwitchedOff,  // Quelta's entry, hidden by the desktop's settings
  Empty,        // no bytes at all
  Malformed,    // not a desktop entry: the detail names the line
  NoExec,       // a desktop entry that starts nothing
  ForeignExec,  // a desktop entry that starts another program: the detail names it
};
struct EntryReading {
  EntryVerdict verdict = EntryVerdict::Malformed;
  std::string detail;
};

// Reads an entry's text. Only the [Desktop Entry] group counts; its Exec must start a program
// named "quelta" for the entry to be ours.
EntryReading ReadAutostartEntry(std::string_view text);

// The arguments of an Exec value as the desktop runs them: the string escapes undone (\s, \n,
// \t, \r, \\), split at blanks, each quoted argument unescaped (\", \`, \$, \\) and every %%
// made one %. Nullopt for a value that breaks these rules.
std::optional<std::vector<std::string>> ExecArguments(std::string_view value);

}  // namespace app::ctl

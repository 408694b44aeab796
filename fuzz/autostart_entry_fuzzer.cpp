// The login entry's reader, on any bytes, and its writer read back. Properties: the reader
// never calls an entry ours unless its program is named "quelta"; and every program path the
// writer takes comes back from the entry it writes exactly as given, ours by its name alone.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/ctl/autostart_entry.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const app::ctl::EntryReading read = app::ctl::ReadAutostartEntry(bytes);
  if (read.verdict == app::ctl::EntryVerdict::On ||
      read.verdict == app::ctl::EntryVerdict::SwitchedOff) {
    FUZZ_CHECK(std::filesystem::path(read.detail).filename() == "quelta");
  }
  app::ctl::ExecArguments(bytes);

  // The same bytes as the program's path.
  if (!app::ctl::AutostartPathProblem(bytes).empty()) return 0;
  const app::ctl::EntryReading written =
      app::ctl::ReadAutostartEntry(app::ctl::AutostartEntry(bytes));
  FUZZ_CHECK(written.detail == bytes);
  const bool ours = std::filesystem::path(bytes).filename() == "quelta";
  FUZZ_CHECK(written.verdict ==
             (ours ? app::ctl::EntryVerdict::On : app::ctl::EntryVerdict::ForeignExec));
  return 0;
}

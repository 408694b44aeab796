// quelta.exe: the window that monitors and tunes the PSU, on the Windows API alone.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/quelta_options.h"
#include "app/run_quelta_win32.h"

namespace {

// The folder of the executable: the module's own path, whatever the caller typed.
std::filesystem::path ProgramFolder(const char* argv0) {
  wchar_t module[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return std::filesystem::path(module).parent_path();
  std::error_code error;
  return std::filesystem::absolute(argv0, error).parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  // What the program prints is the same bytes on both systems.
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  const app::QueltaCommandLine line = app::ReadQueltaCommandLine(
      std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
  if (line.exitCode) return *line.exitCode;
  return app::RunQueltaWin32(line.options, ProgramFolder(argc > 0 ? argv[0] : "quelta.exe"));
}

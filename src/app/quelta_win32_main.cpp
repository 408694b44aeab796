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
  app::QueltaOptions options;
  try {
    options = app::ParseQueltaOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const app::QueltaUsageError& error) {
    std::cerr << "quelta: " << error.what() << "\n" << app::QueltaUsage();
    return 1;
  }
  if (options.help) {
    std::cout << app::QueltaUsage();
    return 0;
  }
  if (options.version) {
    std::cout << app::kQueltaVersionText << "\n";
    return 0;
  }
  return app::RunQueltaWin32(options, ProgramFolder(argc > 0 ? argv[0] : "quelta.exe"));
}

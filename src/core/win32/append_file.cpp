#include "core/append_file.h"

#include <windows.h>

#include "core/win32/system_error_text.h"

namespace core {

AppendFile::OpenResult AppendFile::Open(const std::filesystem::path& path) {
  // FILE_APPEND_DATA without FILE_WRITE_DATA: the system puts every write at the end, as
  // O_APPEND does. Readers and other appenders may open the file at the same time.
  HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {nullptr, SystemErrorText(::GetLastError())};
  return {std::make_unique<AppendFile>(PrivateKey{}, reinterpret_cast<std::intptr_t>(file)), {}};
}

AppendFile::~AppendFile() {
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

void AppendFile::Append(std::string_view bytes) {
  DWORD written = 0;
  ::WriteFile(reinterpret_cast<HANDLE>(handle_), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

}  // namespace core

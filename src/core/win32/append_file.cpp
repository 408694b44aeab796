#include "core/append_file.h"

#include <windows.h>

#include "core/win32/system_error_text.h"

namespace core {

AppendFile::OpenResult AppendFile::Open(const std::filesystem::path& path) {
  // FILE_APPEND_DATA without FILE_WRITE_DATA: the system puts every write at the end, as
  // O_APPEND does. Readers and other appenders may open the file at the same time.
  // FILE_READ_DATA only so that the file's byte-range locks may be taken (see Append).
  HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {nullptr, SystemErrorText(::GetLastError())};
  return {std::make_unique<AppendFile>(PrivateKey{}, reinterpret_cast<std::intptr_t>(file)), {}};
}

AppendFile::~AppendFile() {
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

void AppendFile::Append(std::string_view bytes) {
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  // Not every implementation of the system makes an append one step (Wine finds the end, then
  // writes), so two appenders could write over each other. Every appender first takes one
  // byte far past any end the file will reach, as a lock no reader ever meets.
  OVERLAPPED beyondEnd{};
  beyondEnd.Offset = 0xFFFFFFFF;
  beyondEnd.OffsetHigh = 0x7FFFFFFF;
  const bool locked = ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &beyondEnd) != FALSE;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (locked) ::UnlockFileEx(file, 0, 1, 0, &beyondEnd);
}

}  // namespace core

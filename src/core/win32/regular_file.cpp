#include "core/regular_file.h"

#include <windows.h>

#include "core/win32/system_error_text.h"

namespace core {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::string SizeText(std::size_t bytes) {
  constexpr std::size_t kMiB = 1024 * 1024;
  if (bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes,
                                           std::string& error) {
  // A folder does not open without backup semantics; it is told apart before, by its
  // attributes, so it gets the same answer as on Linux.
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    error = "not a regular file";
    return std::nullopt;
  }
  const Handle handle(::CreateFileW(file.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (handle.Get() == INVALID_HANDLE_VALUE) {
    error = SystemErrorText(::GetLastError());
    return std::nullopt;
  }
  // Pipes and character devices (NUL, CON) are refused before anything is read from them.
  if (::GetFileType(handle.Get()) != FILE_TYPE_DISK) {
    error = "not a regular file";
    return std::nullopt;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(handle.Get(), &size)) {
    error = SystemErrorText(::GetLastError());
    return std::nullopt;
  }
  const auto tooLarge = [&] {
    error = "larger than " + SizeText(maxBytes);
    return std::nullopt;
  };
  if (static_cast<std::uintmax_t>(size.QuadPart) > maxBytes) return tooLarge();

  std::string content;
  content.reserve(static_cast<std::size_t>(size.QuadPart));
  char buffer[65536];
  while (true) {
    DWORD got = 0;
    if (!::ReadFile(handle.Get(), buffer, sizeof buffer, &got, nullptr)) {
      error = SystemErrorText(::GetLastError());
      return std::nullopt;
    }
    if (got == 0) break;
    // The file may grow while it is read: the limit holds for what is read too.
    if (content.size() + got > maxBytes) return tooLarge();
    content.append(buffer, got);
  }
  return content;
}

}  // namespace core

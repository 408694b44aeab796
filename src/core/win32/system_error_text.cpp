#include "core/win32/system_error_text.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace core {

std::string SystemErrorText(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return std::strerror(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return std::strerror(EACCES);
    default:
      break;
  }
  std::string text = std::system_category().message(static_cast<int>(error));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

}  // namespace core

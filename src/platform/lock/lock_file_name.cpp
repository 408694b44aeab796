#include "platform/lock/named_mutex.h"

namespace platform {
namespace {

constexpr char kFilePrefix[] = "named-mutex-";
constexpr char kFileSuffix[] = ".lock";

bool IsPlainNameByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-' || c == '.';
}

}  // namespace

std::string LockFileName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string file = kFilePrefix;
  for (const char raw : name) {
    const auto c = static_cast<unsigned char>(raw);
    if (IsPlainNameByte(c)) {
      file += static_cast<char>(c);
    } else {
      file += '%';
      file += kHex[c >> 4];
      file += kHex[c & 0x0F];
    }
  }
  return file + kFileSuffix;
}

}  // namespace platform

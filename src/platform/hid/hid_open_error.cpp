#include <cerrno>

#include "platform/hid/hid_bus.h"

namespace platform {

HidOpenError HidOpenErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return HidOpenError::None;
    case EACCES:
    case EPERM:
      return HidOpenError::PermissionDenied;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return HidOpenError::Gone;
    default:
      return HidOpenError::Other;
  }
}

}  // namespace platform

#include "platform/hid/hidapi_library.h"

#include <hidapi.h>

namespace platform {

HidapiLibrary::HidapiLibrary() : ready_(hid_init() == 0) {}

HidapiLibrary::~HidapiLibrary() {
  if (ready_) hid_exit();
}

}  // namespace platform

#include "platform/hid/hidapi_bus.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "support/temp_folder.h"

namespace platform {
namespace {

// The real backend on whatever this machine has: it must list and refuse without harm.
TEST(HidapiBus, ListsTheMachineAndRefusesPathsThatDoNotExist) {
  HidapiBus bus;
  for (const HidInterfaceInfo& info : bus.Interfaces()) {
    EXPECT_FALSE(info.path.empty());
    EXPECT_EQ(info.instanceId.rfind("HID\\VID_", 0), 0u) << info.instanceId;
  }
  for (const auto& id : bus.PresentDeviceIds()) {
    if (id) {
      EXPECT_FALSE(id->empty());
    }
  }
  EXPECT_EQ(bus.Open("/dev/hidraw-that-does-not-exist", HidAccess::ReadWrite), nullptr);
}

// A failed open says why: the caller tells a node this user may not open from one that is gone.
TEST(HidapiBus, AFailedOpenSaysWhyItFailed) {
  HidapiBus bus;
  const HidOpenResult gone =
      bus.OpenExplained("/dev/hidraw-that-does-not-exist", HidAccess::ReadWrite);
  EXPECT_EQ(gone.handle, nullptr);
  EXPECT_EQ(gone.error, HidOpenError::Gone);

  const testing_support::TempFolder scratch;
  const std::filesystem::path& folder = scratch.Path();
  // A folder opens for nobody, root included, and for no permission reason.
  const HidOpenResult notANode = bus.OpenExplained(folder.string(), HidAccess::ReadWrite);
  EXPECT_EQ(notANode.handle, nullptr);
  EXPECT_EQ(notANode.error, HidOpenError::Other);
  // A node without read and write permission refuses every user but root.
  if (::geteuid() != 0) {
    const std::filesystem::path locked = folder / "hidraw-locked";
    std::ofstream(locked).put('x');
    ::chmod(locked.c_str(), 0);
    const HidOpenResult denied = bus.OpenExplained(locked.string(), HidAccess::ReadWrite);
    EXPECT_EQ(denied.handle, nullptr);
    EXPECT_EQ(denied.error, HidOpenError::PermissionDenied);
  }
}

TEST(HidOpenError, ErrnoValuesOfRefusalAndOfAbsence) {
  EXPECT_EQ(HidOpenErrorFromErrno(0), HidOpenError::None);
  EXPECT_EQ(HidOpenErrorFromErrno(EACCES), HidOpenError::PermissionDenied);
  EXPECT_EQ(HidOpenErrorFromErrno(EPERM), HidOpenError::PermissionDenied);
  EXPECT_EQ(HidOpenErrorFromErrno(ENOENT), HidOpenError::Gone);
  EXPECT_EQ(HidOpenErrorFromErrno(ENODEV), HidOpenError::Gone);
  EXPECT_EQ(HidOpenErrorFromErrno(ENXIO), HidOpenError::Gone);
  EXPECT_EQ(HidOpenErrorFromErrno(EBUSY), HidOpenError::Other);
  EXPECT_EQ(HidOpenErrorFromErrno(EISDIR), HidOpenError::Other);
}

}  // namespace
}  // namespace platform

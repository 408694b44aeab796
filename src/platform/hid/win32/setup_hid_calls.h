#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/hid/hid_bus.h"

namespace platform {

// The Windows calls the HID search makes, one member for each call or fixed pair of calls, in
// the system's own order, so the search can run against a fake that notes what it was asked.
// Lists and files are opaque numbers here; 0 stands for the system's invalid value.
class SetupHidCalls {
 public:
  using DeviceList = std::uintptr_t;
  using File = std::uintptr_t;

  struct InterfaceDetail {
    std::string path;                       // the device path CreateFileA takes
    std::optional<std::string> instanceId;  // its device's instance id, when readable
  };
  struct Attributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
  };

  virtual ~SetupHidCalls() = default;

  // HidD_GetHidGuid, then SetupDiGetClassDevsA(HID class, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE).
  virtual DeviceList HidInterfaceList() = 0;
  // SetupDiGetClassDevsA(no class, DIGCF_PRESENT | DIGCF_ALLCLASSES).
  virtual DeviceList PresentDeviceList() = 0;
  // SetupDiDestroyDeviceInfoList.
  virtual void DestroyList(DeviceList list) = 0;

  // SetupDiEnumDeviceInterfaces of the HID class at `index`; false past the last.
  virtual bool EnumInterface(DeviceList list, unsigned index) = 0;
  // SetupDiGetDeviceInterfaceDetailA twice (the size, then the record) on that interface,
  // and SetupDiGetDeviceInstanceIdA on the device the record names; nullopt when the
  // record cannot be read.
  virtual std::optional<InterfaceDetail> Detail(DeviceList list, unsigned index) = 0;

  // SetupDiEnumDeviceInfo at `index`; false past the last.
  virtual bool EnumDevice(DeviceList list, unsigned index) = 0;
  // SetupDiGetDeviceInstanceIdA of that device; nullopt when it cannot be read.
  virtual std::optional<std::string> DeviceInstanceId(DeviceList list, unsigned index) = 0;

  // CreateFileA for looking only (no access, sharing read and write): enough for the
  // attributes of any HID device, even one held by the system (keyboards, mice).
  virtual File OpenForQuery(const std::string& path) = 0;
  // CreateFileA with the access and sharing of `access`, for overlapped I/O.
  virtual File Open(const std::string& path, HidAccess access) = 0;
  // HidD_GetAttributes.
  virtual std::optional<Attributes> GetAttributes(File file) = 0;
  // HidD_GetPreparsedData, HidP_GetCaps (which must say HIDP_STATUS_SUCCESS), and
  // HidD_FreePreparsedData whatever the outcome.
  virtual std::optional<HidCapabilities> GetCaps(File file) = 0;
  // CloseHandle.
  virtual void Close(File file) = 0;
  // The handle that reads and writes reports on an open file, which it then owns.
  virtual std::unique_ptr<HidHandle> AdoptFile(File file, HidAccess access,
                                               std::optional<HidCapabilities> caps) = 0;
};

}  // namespace platform

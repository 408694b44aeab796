#include "platform/hid/win32/win32_setup_hid_calls.h"

// windows.h comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}
#include <hidpi.h>
// clang-format on

#include <vector>

#include "platform/hid/win32/win32_hid_handle.h"

namespace platform {
namespace {

// Every record's size field holds the size of the record as this program was built: a 64-bit
// program's interface record is 32 bytes and the fixed part of its ANSI detail record 8, where
// a 32-bit one has 28 and 5. A size made for the other width is refused by the system.
#ifdef _WIN64
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 32);
static_assert(sizeof(SP_DEVINFO_DATA) == 32);
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) == 4 &&
              sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 8);
#endif

// The longest instance id the system makes (MAX_DEVICE_ID_LEN) and its terminating zero.
constexpr DWORD kInstanceIdRoom = 200 + 1;

HDEVINFO AsList(SetupHidCalls::DeviceList list) {
  return reinterpret_cast<HDEVINFO>(list);
}
HANDLE AsFile(SetupHidCalls::File file) {
  return reinterpret_cast<HANDLE>(file);
}

SetupHidCalls::File FileOrZero(HANDLE file) {
  return file == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<SetupHidCalls::File>(file);
}

SetupHidCalls::DeviceList ListOrZero(HDEVINFO list) {
  return list == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<SetupHidCalls::DeviceList>(list);
}

std::optional<std::string> InstanceId(HDEVINFO list, SP_DEVINFO_DATA& device) {
  char id[kInstanceIdRoom] = {};
  if (!::SetupDiGetDeviceInstanceIdA(list, &device, id, sizeof id, nullptr)) return std::nullopt;
  return std::string(id);
}

class Win32SetupHidCalls : public SetupHidCalls {
 public:
  DeviceList HidInterfaceList() override {
    ::HidD_GetHidGuid(&hidClass_);
    return ListOrZero(::SetupDiGetClassDevsA(&hidClass_, nullptr, nullptr,
                                             DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  }

  DeviceList PresentDeviceList() override {
    return ListOrZero(
        ::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
  }

  void DestroyList(DeviceList list) override { ::SetupDiDestroyDeviceInfoList(AsList(list)); }

  bool EnumInterface(DeviceList list, unsigned index) override {
    interface_ = {};
    interface_.cbSize = sizeof interface_;
    return ::SetupDiEnumDeviceInterfaces(AsList(list), nullptr, &hidClass_, index, &interface_) !=
           FALSE;
  }

  std::optional<InterfaceDetail> Detail(DeviceList list, unsigned) override {
    DWORD required = 0;
    ::SetupDiGetDeviceInterfaceDetailA(AsList(list), &interface_, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return std::nullopt;
    std::vector<char> room(required);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(room.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!::SetupDiGetDeviceInterfaceDetailA(AsList(list), &interface_, detail, required, nullptr,
                                            &device)) {
      return std::nullopt;
    }
    return InterfaceDetail{detail->DevicePath, InstanceId(AsList(list), device)};
  }

  bool EnumDevice(DeviceList list, unsigned index) override {
    device_ = {};
    device_.cbSize = sizeof device_;
    return ::SetupDiEnumDeviceInfo(AsList(list), index, &device_) != FALSE;
  }

  std::optional<std::string> DeviceInstanceId(DeviceList list, unsigned) override {
    return InstanceId(AsList(list), device_);
  }

  File OpenForQuery(const std::string& path) override {
    return FileOrZero(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  File Open(const std::string& path, HidAccess access) override {
    // The PSU controller: read and write, shared for both; the gauge panel: write only,
    // shared for writing only.
    const bool both = access == HidAccess::ReadWrite;
    const DWORD rights = both ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE;
    const DWORD sharing = both ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_WRITE;
    return FileOrZero(::CreateFileA(path.c_str(), rights, sharing, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr));
  }

  std::optional<Attributes> GetAttributes(File file) override {
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!::HidD_GetAttributes(AsFile(file), &attributes)) return std::nullopt;
    return Attributes{attributes.VendorID, attributes.ProductID};
  }

  std::optional<HidCapabilities> GetCaps(File file) override {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!::HidD_GetPreparsedData(AsFile(file), &preparsed)) return std::nullopt;
    HIDP_CAPS caps{};
    const NTSTATUS status = ::HidP_GetCaps(preparsed, &caps);
    ::HidD_FreePreparsedData(preparsed);
    if (status != HIDP_STATUS_SUCCESS) return std::nullopt;
    return HidCapabilities{caps.InputReportByteLength, caps.OutputReportByteLength};
  }

  void Close(File file) override { ::CloseHandle(AsFile(file)); }

  std::unique_ptr<HidHandle> AdoptFile(File file, HidAccess access,
                                       std::optional<HidCapabilities> caps) override {
    return std::make_unique<Win32HidHandle>(file, access == HidAccess::WriteOnly, caps);
  }

 private:
  GUID hidClass_{};
  SP_DEVICE_INTERFACE_DATA interface_{};  // the interface the last EnumInterface found
  SP_DEVINFO_DATA device_{};              // the device the last EnumDevice found
};

}  // namespace

std::unique_ptr<SetupHidCalls> MakeWin32SetupHidCalls() {
  return std::make_unique<Win32SetupHidCalls>();
}

}  // namespace platform

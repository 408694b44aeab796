#include "platform/hid/hidapi_bus.h"

#include <fcntl.h>
#include <hidapi.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/hid/hidapi_handle.h"
#include "platform/hid/hidapi_library.h"
#include "platform/hid/instance_id_text.h"
#include "platform/hid/udev_change_monitor.h"
#include "platform/hid/udev_device_ids.h"

namespace platform {
namespace {

constexpr char kHidrawClass[] = "/sys/class/hidraw";
// No report descriptor is larger than this (the HID limit).
constexpr std::streamsize kLargestDescriptor = 4096;

std::string UpperName(const std::string& path) {
  std::string name = std::filesystem::path(path).filename().string();
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

// The report descriptor of a hidraw node ("/dev/hidraw3"), from sysfs.
std::optional<HidReportLayout> ReadLayout(const std::string& path) {
  const std::string node = std::filesystem::path(path).filename().string();
  if (node.rfind("hidraw", 0) != 0) return std::nullopt;
  std::ifstream file(std::filesystem::path(kHidrawClass) / node / "device" / "report_descriptor",
                     std::ios::binary);
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kLargestDescriptor));
  file.read(reinterpret_cast<char*>(bytes.data()), kLargestDescriptor);
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return ParseReportDescriptor(bytes);
}

}  // namespace

HidapiBus::HidapiBus() : library_(std::make_shared<HidapiLibrary>()) {}

HidapiBus::~HidapiBus() = default;

std::vector<HidInterfaceInfo> HidapiBus::Interfaces() {
  std::vector<HidInterfaceInfo> interfaces;
  if (!library_->Ready()) return interfaces;
  hid_device_info* const first = hid_enumerate(0, 0);
  for (const hid_device_info* info = first; info != nullptr; info = info->next) {
    if (info->path == nullptr) continue;
    interfaces.push_back({info->path, info->vendor_id, info->product_id,
                          HidInstanceId(info->vendor_id, info->product_id, UpperName(info->path))});
  }
  hid_free_enumeration(first);
  return interfaces;
}

std::vector<std::optional<std::string>> HidapiBus::PresentDeviceIds() {
  if (auto ids = ListUdevDeviceIds()) return std::move(*ids);
  // Without udev the HID interfaces are all we can see.
  std::vector<std::optional<std::string>> ids;
  for (const HidInterfaceInfo& info : Interfaces()) ids.emplace_back(info.instanceId);
  return ids;
}

std::unique_ptr<HidHandle> HidapiBus::Open(const std::string& path, HidAccess access) {
  return OpenExplained(path, access).handle;
}

HidOpenResult HidapiBus::OpenExplained(const std::string& path, HidAccess access) {
  if (!library_->Ready()) return {nullptr, HidOpenError::Other};
  // hidapi opens for reading and writing alike; a write-only handle refuses reads itself.
  hid_device* device = hid_open_path(path.c_str());
  if (device == nullptr) {
    // hidapi opens the node read-write too, so the same open says why it failed.
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
      ::close(fd);
      return {nullptr, HidOpenError::Other};
    }
    return {nullptr, HidOpenErrorFromErrno(errno)};
  }
  return {std::make_unique<HidapiHandle>(library_, device, access == HidAccess::WriteOnly,
                                         ReadLayout(path)),
          HidOpenError::None};
}

void HidapiBus::SetChangeListener(std::function<void()> listener) {
  if (!monitor_) {
    if (!listener) return;
    monitor_ = std::make_unique<UdevChangeMonitor>();
  }
  monitor_->SetListener(std::move(listener));
}

}  // namespace platform

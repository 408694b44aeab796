#include "platform/hid/win32/setup_hid_bus.h"

namespace platform {
namespace {

// Destroys a device list on every way out of a search.
class ListGuard {
 public:
  ListGuard(SetupHidCalls& calls, SetupHidCalls::DeviceList list) : calls_(calls), list_(list) {}
  ~ListGuard() {
    if (list_ != 0) calls_.DestroyList(list_);
  }
  ListGuard(const ListGuard&) = delete;
  ListGuard& operator=(const ListGuard&) = delete;

 private:
  SetupHidCalls& calls_;
  const SetupHidCalls::DeviceList list_;
};

}  // namespace

SetupHidBus::SetupHidBus(std::unique_ptr<SetupHidCalls> calls) : calls_(std::move(calls)) {}

std::vector<HidInterfaceInfo> SetupHidBus::Interfaces() {
  const std::lock_guard lock(calls_mutex_);
  std::vector<HidInterfaceInfo> found;
  const SetupHidCalls::DeviceList list = calls_->HidInterfaceList();
  if (list == 0) return found;
  const ListGuard guard(*calls_, list);
  // One list for the whole walk: the indexes of a list stay put while it lives.
  for (unsigned index = 0; calls_->EnumInterface(list, index); ++index) {
    const std::optional<SetupHidCalls::InterfaceDetail> detail = calls_->Detail(list, index);
    if (!detail) continue;
    const SetupHidCalls::File file = calls_->OpenForQuery(detail->path);
    if (file == 0) continue;
    const std::optional<SetupHidCalls::Attributes> attributes = calls_->GetAttributes(file);
    calls_->Close(file);
    if (!attributes) continue;
    found.push_back({detail->path, attributes->vendorId, attributes->productId,
                     detail->instanceId.value_or("")});
  }
  return found;
}

std::vector<std::optional<std::string>> SetupHidBus::PresentDeviceIds() {
  const std::lock_guard lock(calls_mutex_);
  std::vector<std::optional<std::string>> ids;
  const SetupHidCalls::DeviceList list = calls_->PresentDeviceList();
  if (list == 0) return ids;
  const ListGuard guard(*calls_, list);
  for (unsigned index = 0; calls_->EnumDevice(list, index); ++index) {
    ids.push_back(calls_->DeviceInstanceId(list, index));
  }
  return ids;
}

std::unique_ptr<HidHandle> SetupHidBus::Open(const std::string& path, HidAccess access) {
  const std::lock_guard lock(calls_mutex_);
  const SetupHidCalls::File file = calls_->Open(path, access);
  if (file == 0) return nullptr;
  return calls_->AdoptFile(file, access, calls_->GetCaps(file));
}

void SetupHidBus::SetChangeListener(std::function<void()>) {}

}  // namespace platform

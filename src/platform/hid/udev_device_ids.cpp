#include "platform/hid/udev_device_ids.h"

#include <libudev.h>

#include "platform/hid/instance_id_text.h"

namespace platform {
namespace {

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string Text(const char* text) {
  return text == nullptr ? std::string() : std::string(text);
}

std::optional<std::string> InstanceIdOf(udev_device* device) {
  const char* sysname = udev_device_get_sysname(device);
  if (sysname == nullptr) return std::nullopt;
  const std::string subsystem = Text(udev_device_get_subsystem(device));
  const std::string devtype = Text(udev_device_get_devtype(device));
  if (subsystem == "usb" && devtype == "usb_device") {
    return UsbInstanceId(Text(udev_device_get_sysattr_value(device, "idVendor")),
                         Text(udev_device_get_sysattr_value(device, "idProduct")), sysname);
  }
  if (subsystem == "hid") {
    return HidInstanceIdFromHidId(Text(udev_device_get_property_value(device, "HID_ID")), sysname);
  }
  return Upper(subsystem.empty() ? "ROOT" : subsystem) + "\\" + sysname;
}

}  // namespace

std::optional<std::vector<std::optional<std::string>>> ListUdevDeviceIds() {
  udev* context = udev_new();
  if (context == nullptr) return std::nullopt;
  udev_enumerate* enumeration = udev_enumerate_new(context);
  if (enumeration == nullptr || udev_enumerate_scan_devices(enumeration) < 0) {
    if (enumeration != nullptr) udev_enumerate_unref(enumeration);
    udev_unref(context);
    return std::nullopt;
  }
  std::vector<std::optional<std::string>> ids;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration)) {
    udev_device* device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
    if (device == nullptr) {
      ids.emplace_back();  // vanished or unreadable: its id cannot be read
      continue;
    }
    ids.push_back(InstanceIdOf(device));
    udev_device_unref(device);
  }
  udev_enumerate_unref(enumeration);
  udev_unref(context);
  return ids;
}

}  // namespace platform

#include <algorithm>
#include <array>
#include <cstdio>

#include "app/ctl/access_report.h"
#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/exit_code.h"
#include "device/device_discovery.h"
#include "device/device_identity.h"

namespace app::ctl {
namespace {

std::string Hex4(std::uint16_t value) {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "%04X", value);
  return text.data();
}

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

std::string RoleOf(const platform::HidInterfaceInfo& info) {
  const auto is = [&](const device::DeviceIdentity& device) {
    return info.vendorId == device.vendorId && info.productId == device.productId;
  };
  if (is(device::kMonitorDevice)) return "PSU controller";
  if (is(device::kGaugeDevice)) return "gauge panel";
  return "";
}

}  // namespace

int RunList(CtlEnvironment& environment, std::span<const std::string> arguments) {
  ExpectArguments(arguments, 0, "list");
  platform::HidBus& bus = environment.Bus();
  const std::vector<platform::HidInterfaceInfo> interfaces = bus.Interfaces();
  std::ostream& out = environment.Out();

  out << "HID interfaces: " << interfaces.size() << "\n";
  if (!interfaces.empty()) {
    std::size_t idWidth = 11, pathWidth = 4;
    for (const auto& info : interfaces) {
      idWidth = std::max(idWidth, info.instanceId.size());
      pathWidth = std::max(pathWidth, info.path.size());
    }
    const std::size_t indexWidth = std::to_string(interfaces.size() - 1).size();
    out << "  " << Padded("#", indexWidth) << "  VID   PID   " << Padded("Instance id", idWidth)
        << "  Path\n";
    for (std::size_t i = 0; i < interfaces.size(); ++i) {
      const auto& info = interfaces[i];
      const std::string role = RoleOf(info);
      std::string line = "  " + Padded(std::to_string(i), indexWidth) + "  " + Hex4(info.vendorId) +
                         "  " + Hex4(info.productId) + "  " + Padded(info.instanceId, idWidth) +
                         "  " +
                         (role.empty() ? info.path : Padded(info.path, pathWidth) + "  " + role);
      out << line << "\n";
    }
  }
  out << "\n";
  const auto presence = [&](const char* name, const device::DeviceIdentity& device) {
    const bool present = device::IsDevicePresent(bus, device.instanceText);
    out << Padded(name, 16) << device.instanceText << "  " << (present ? "present" : "absent")
        << "\n";
  };
  presence("PSU controller", device::kMonitorDevice);
  presence("Gauge panel", device::kGaugeDevice);
  // A device that is there but refuses this user is the one thing the table cannot show.
  const bool monitorDenied = ReportAccessDenied(environment, device::kMonitorDevice);
  const bool gaugeDenied = ReportAccessDenied(environment, device::kGaugeDevice);
  return monitorDenied || gaugeDenied ? kExitNotFound : kExitDone;
}

}  // namespace app::ctl

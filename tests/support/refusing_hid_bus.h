#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "platform/hid/hid_bus.h"
#include "platform/hid/hid_handle.h"

namespace device {

// A bus in front of another whose handles transfer nothing when they write a report with one
// of the refused command codes (byte 1), as a handle whose device went away between its open
// and the write does. Everything else is the inner bus's. The refused codes may be changed
// while a worker writes.
class RefusingHidBus : public platform::HidBus {
 public:
  explicit RefusingHidBus(platform::HidBus& inner) : inner_(inner) {}

  void Refuse(std::uint8_t code) { refused_[code] = true; }
  void Accept(std::uint8_t code) { refused_[code] = false; }

  std::vector<platform::HidInterfaceInfo> Interfaces() override { return inner_.Interfaces(); }
  std::vector<std::optional<std::string>> PresentDeviceIds() override {
    return inner_.PresentDeviceIds();
  }
  std::unique_ptr<platform::HidHandle> Open(const std::string& path,
                                            platform::HidAccess access) override {
    std::unique_ptr<platform::HidHandle> inner = inner_.Open(path, access);
    if (!inner) return nullptr;
    return std::make_unique<Handle>(std::move(inner), refused_);
  }
  void SetChangeListener(std::function<void()> listener) override {
    inner_.SetChangeListener(std::move(listener));
  }

 private:
  using Codes = std::atomic<bool>[256];
  class Handle : public platform::HidHandle {
   public:
    Handle(std::unique_ptr<platform::HidHandle> inner, const Codes& refused)
        : inner_(std::move(inner)), refused_(refused) {}
    std::size_t Write(std::span<const std::uint8_t> report) override {
      if (report.size() > 1 && refused_[report[1]]) return 0;
      return inner_->Write(report);
    }
    std::size_t Read(std::span<std::uint8_t> buffer) override { return inner_->Read(buffer); }
    std::size_t ReadWaiting(std::span<std::uint8_t> buffer) override {
      return inner_->ReadWaiting(buffer);
    }
    std::optional<platform::HidCapabilities> Capabilities() override {
      return inner_->Capabilities();
    }

   private:
    std::unique_ptr<platform::HidHandle> inner_;
    const Codes& refused_;
  };

  platform::HidBus& inner_;
  Codes refused_{};
};

}  // namespace device

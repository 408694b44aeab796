#include "platform/hid/win32/win32_hid_handle.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

// Without capabilities a report is read into room for the largest one a device may have.
constexpr std::size_t kLargestReport = 1024;
// A write that the device does not take within this long is given up.
constexpr DWORD kWriteTimeoutMs = 1000;

HANDLE AsHandle(std::uintptr_t value) {
  return reinterpret_cast<HANDLE>(value);
}

// Waits for an overlapped transfer; one that does not end in time is cancelled and waited
// for, so the buffer and the OVERLAPPED record are no longer the system's when this returns.
// The bytes transferred, or nothing.
std::optional<DWORD> Finish(HANDLE file, OVERLAPPED& overlapped, BOOL started, DWORD timeoutMs) {
  if (!started && ::GetLastError() != ERROR_IO_PENDING) return std::nullopt;
  DWORD transferred = 0;
  if (::WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) {
    ::CancelIo(file);
    ::GetOverlappedResult(file, &overlapped, &transferred, TRUE);
    return std::nullopt;
  }
  if (!::GetOverlappedResult(file, &overlapped, &transferred, FALSE)) return std::nullopt;
  return transferred;
}

}  // namespace

Win32HidHandle::Win32HidHandle(std::uintptr_t file, bool writeOnly,
                               std::optional<HidCapabilities> caps)
    : file_(file),
      event_(reinterpret_cast<std::uintptr_t>(::CreateEventA(nullptr, TRUE, FALSE, nullptr))),
      writeOnly_(writeOnly),
      caps_(caps),
      incoming_(caps && caps->inputReportLength > 0 ? caps->inputReportLength : kLargestReport) {}

Win32HidHandle::~Win32HidHandle() {
  ::CloseHandle(AsHandle(file_));
  if (event_ != 0) ::CloseHandle(AsHandle(event_));
}

std::size_t Win32HidHandle::Write(std::span<const std::uint8_t> report) {
  if (report.empty() || event_ == 0) return 0;
  std::vector<std::uint8_t> outgoing(report.begin(), report.end());
  if (caps_ && caps_->outputReportLength > outgoing.size()) {
    outgoing.resize(caps_->outputReportLength, 0);
  }
  OVERLAPPED overlapped{};
  overlapped.hEvent = AsHandle(event_);
  ::ResetEvent(overlapped.hEvent);
  const BOOL started = ::WriteFile(AsHandle(file_), outgoing.data(),
                                   static_cast<DWORD>(outgoing.size()), nullptr, &overlapped);
  const std::optional<DWORD> written =
      Finish(AsHandle(file_), overlapped, started, kWriteTimeoutMs);
  return written && *written > 0 ? report.size() : 0;
}

std::size_t Win32HidHandle::Read(std::span<std::uint8_t> buffer) {
  return ReadWithin(buffer, static_cast<unsigned long>(kReadTimeout.count()));
}

std::size_t Win32HidHandle::ReadWaiting(std::span<std::uint8_t> buffer) {
  // The HID driver queues reports that came in; one already there completes the read at once.
  return ReadWithin(buffer, 0);
}

std::size_t Win32HidHandle::ReadWithin(std::span<std::uint8_t> buffer, unsigned long milliseconds) {
  if (writeOnly_ || buffer.empty() || event_ == 0) return 0;
  OVERLAPPED overlapped{};
  overlapped.hEvent = AsHandle(event_);
  ::ResetEvent(overlapped.hEvent);
  const BOOL started = ::ReadFile(AsHandle(file_), incoming_.data(),
                                  static_cast<DWORD>(incoming_.size()), nullptr, &overlapped);
  const std::optional<DWORD> got = Finish(AsHandle(file_), overlapped, started, milliseconds);
  if (!got || *got == 0 || *got > buffer.size()) return 0;
  std::memcpy(buffer.data(), incoming_.data(), *got);
  return *got;
}

}  // namespace platform

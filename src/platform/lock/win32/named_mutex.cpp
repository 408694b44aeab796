#include "platform/lock/named_mutex.h"

#include <windows.h>

#include <string>

#include "core/win32/system_error_text.h"

namespace platform {
namespace {

HANDLE Handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// A wait that ends with the mutex ours: WAIT_ABANDONED means its last holder died holding it,
// and the system hands it on to us just the same.
bool Acquired(DWORD waited) {
  return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

}  // namespace

std::filesystem::path DefaultLockDirectory() {
  return {};
}

NamedMutex::OpenResult NamedMutex::Open(std::string_view name, const std::filesystem::path&) {
  if (name.empty()) return {nullptr, "named mutex: the name is empty"};
  if (name.size() >= MAX_PATH) {
    return {nullptr,
            "named mutex: the name is too long (" + std::to_string(name.size()) + " bytes)"};
  }
  const std::string text(name);
  // Open the mutex another process made first; create it only when no one has.
  HANDLE mutex = ::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, text.c_str());
  if (mutex == nullptr) mutex = ::CreateMutexA(nullptr, FALSE, text.c_str());
  if (mutex == nullptr) {
    return {nullptr, "named mutex " + text + ": cannot open (" +
                         core::SystemErrorText(::GetLastError()) + ")"};
  }
  return {std::make_unique<NamedMutex>(PrivateKey{}, reinterpret_cast<std::intptr_t>(mutex), text),
          {}};
}

NamedMutex::~NamedMutex() {
  ::CloseHandle(Handle(handle_));
}

bool NamedMutex::Lock() {
  threads_.lock();
  if (!Acquired(::WaitForSingleObject(Handle(handle_), INFINITE))) {
    threads_.unlock();
    return false;
  }
  Notify(Event::Locked);
  return true;
}

NamedMutex::Attempt NamedMutex::TryTake() {
  // Another thread of this process holds it: busy, as another process would be.
  if (!threads_.try_lock()) return Attempt::Busy;
  const DWORD waited = ::WaitForSingleObject(Handle(handle_), 0);
  if (!Acquired(waited)) {
    threads_.unlock();
    return waited == WAIT_TIMEOUT ? Attempt::Busy : Attempt::Failed;
  }
  Notify(Event::Locked);
  return Attempt::Taken;
}

void NamedMutex::Unlock() {
  Notify(Event::Unlocking);
  ::ReleaseMutex(Handle(handle_));
  threads_.unlock();
}

// A kernel mutex has no file to write a name into, and its owner cannot be asked of it: the
// holder is never known here, and people are told "an unknown process".
std::optional<LockHolder> NamedMutex::Holder() const {
  return std::nullopt;
}

// No user names behind numbers on this system: the number is shown as it is.
std::string HolderText(const std::optional<LockHolder>& holder) {
  if (!holder) return "an unknown process";
  return "pid " + std::to_string(holder->pid) + ", user " + std::to_string(holder->uid);
}

}  // namespace platform

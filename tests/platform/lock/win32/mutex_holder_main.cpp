// A second process for the named mutex tests: takes the mutex named on its command line,
// sets the event "<tag>-taken", then waits for "<tag>-go" (at most 30 s) and either releases
// the mutex ("release") or ends holding it ("abandon").
//
//   named_mutex_holder MUTEX_NAME TAG release|abandon
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/lock/named_mutex.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: named_mutex_holder MUTEX_NAME TAG release|abandon\n");
    return 2;
  }
  const std::string tag = argv[2];
  const std::string ending = argv[3];
  HANDLE taken = ::CreateEventA(nullptr, TRUE, FALSE, (tag + "-taken").c_str());
  HANDLE go = ::CreateEventA(nullptr, TRUE, FALSE, (tag + "-go").c_str());
  auto opened = platform::NamedMutex::Open(argv[1], {});
  if (!opened.mutex || !opened.mutex->Lock()) {
    std::fprintf(stderr, "named_mutex_holder: %s\n", opened.error.c_str());
    return 3;
  }
  ::SetEvent(taken);
  if (::WaitForSingleObject(go, 30000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "named_mutex_holder: no word to go on within 30 s\n");
  }
  if (ending == "release") opened.mutex->Unlock();
  // "abandon": the process ends holding the mutex; the system marks it abandoned.
  ::ExitProcess(0);
}

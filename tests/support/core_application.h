#pragma once

#include <QCoreApplication>

namespace testing_support {

// A QCoreApplication for as long as a fixture lives, with a command line of its own (Qt keeps
// references to the count and the arguments, so they live here beside it).
class CoreApplication {
 private:
  int argc_ = 1;
  char name_[8] = "test";
  char* argv_[1] = {name_};
  QCoreApplication qt_{argc_, argv_};
};

}  // namespace testing_support

#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace ui::testing {

// The one Qt application of a test program (the platform comes from QT_QPA_PLATFORM, which
// the test runner sets to offscreen). It is made on first use and destroyed when the tests
// end, before static destruction, where Qt's own statics may already be gone.
class QtAppEnvironment : public ::testing::Environment {
 public:
  static QApplication& App() {
    static QtAppEnvironment* const environment = [] {
      auto* env = new QtAppEnvironment;  // owned by GoogleTest from here on
      ::testing::AddGlobalTestEnvironment(env);
      return env;
    }();
    if (!environment->app_) {
      static int argc = 1;
      static char name[] = "quelta-test";
      static char* argv[] = {name, nullptr};
      environment->app_ = std::make_unique<QApplication>(argc, argv);
    }
    return *environment->app_;
  }

  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

inline QApplication& QtApp() {
  return QtAppEnvironment::App();
}

}  // namespace ui::testing

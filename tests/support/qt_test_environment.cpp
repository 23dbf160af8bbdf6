// SPDX-License-Identifier: MIT
// Links a QCoreApplication into a test program: the platform's hidden windows, timers and
// socket notifiers need one.

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QCoreApplication::instance()) return;  // a test program of widgets made its own
    static int argc = 1;
    static char name[] = "vexmira_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
  }
};

[[maybe_unused]] ::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

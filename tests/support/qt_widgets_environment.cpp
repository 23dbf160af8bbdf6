// SPDX-License-Identifier: MIT
// Links a QApplication into a test program of widgets, under the offscreen platform unless the
// caller chose another, without a session bus.

#include <QApplication>

#include <gtest/gtest.h>

// Fontconfig keeps a cache that it never frees; the leak checker of sanitized builds would blame
// every test program that draws text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

class QtWidgetsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Closing a window saves its passwords: never into the keyring of the user running the tests.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vexmira-test-bus");
    static int argc = 1;
    static char name[] = "vexmira_widget_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
  }
};

[[maybe_unused]] ::testing::Environment* const qtWidgetsEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtWidgetsEnvironment);

}  // namespace

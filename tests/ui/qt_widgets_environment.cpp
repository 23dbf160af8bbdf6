// Links a QApplication into a UI test program, under the offscreen platform unless the caller
// chose another, with the program's error reports.

#include <QApplication>

#include <gtest/gtest.h>

#include "ui/message_boxes.h"

// Fontconfig keeps a cache that it never frees; the leak checker of sanitized builds would blame
// every test program that draws text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

class QtWidgetsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vexmira_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    InstallErrorReports();  // as the program does at start
  }
};

[[maybe_unused]] ::testing::Environment* const qtWidgetsEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtWidgetsEnvironment);

}  // namespace

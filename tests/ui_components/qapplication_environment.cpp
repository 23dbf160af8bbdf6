// Links a QApplication into a test program: widgets, pixmaps and fonts need one. scripts/test
// runs the tests on the offscreen platform.

#include <QApplication>

#include <gtest/gtest.h>

namespace {

class QApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "vexmira_ui_component_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
  }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QApplicationEnvironment);

}  // namespace

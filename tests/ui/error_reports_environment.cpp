// SPDX-License-Identifier: MIT
// Errors of handlers go to message boxes in the window tests, as they do in the program.

#include <gtest/gtest.h>

#include "ui/message_boxes.h"

namespace {

class ErrorReportsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { InstallErrorReports(); }
};

[[maybe_unused]] ::testing::Environment* const errorReportsEnvironment =
    ::testing::AddGlobalTestEnvironment(new ErrorReportsEnvironment);

}  // namespace

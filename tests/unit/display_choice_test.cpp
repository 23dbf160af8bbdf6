// SPDX-License-Identifier: MIT
// The window system asked of Qt for each kind of session: never one that cannot start.

#include "app/display_choice.h"

#include <gtest/gtest.h>

TEST(DisplayChoice, OnlyWhatCanStartIsAskedForAndTheRestIsSaidInWords) {
  EXPECT_EQ(ChooseDisplay({.wayland = true, .x11 = true, .waylandPluginInstalled = true}).platforms, "wayland;xcb");
  EXPECT_EQ(ChooseDisplay({.wayland = true, .x11 = true, .waylandPluginInstalled = false}).platforms, "xcb");
  EXPECT_EQ(ChooseDisplay({.wayland = false, .x11 = true, .waylandPluginInstalled = true}).platforms, "xcb");
  EXPECT_EQ(ChooseDisplay({.wayland = true, .x11 = false, .waylandPluginInstalled = true}).platforms, "wayland");

  const DisplayChoice noPlugin = ChooseDisplay({.wayland = true, .x11 = false, .waylandPluginInstalled = false});
  EXPECT_EQ(noPlugin.platforms, "");
  EXPECT_NE(noPlugin.problem.find("install the package qt6-wayland"), std::string::npos);
  EXPECT_NE(ChooseDisplay({}).problem.find("neither WAYLAND_DISPLAY nor DISPLAY"), std::string::npos);
}

// SPDX-License-Identifier: MIT
#pragma once
// Which of Qt's window systems to ask for when the user has not named one (QT_QPA_PLATFORM).
// Qt aborts when the one it picks cannot start; this picks only what can, and says in words
// when nothing can.

#include <string>

struct DisplaySession {
  bool wayland = false;               // WAYLAND_DISPLAY is set
  bool x11 = false;                   // DISPLAY is set (an X server, or XWayland)
  bool waylandPluginInstalled = false;  // Qt's Wayland platform plugin (package qt6-wayland)
};

struct DisplayChoice {
  std::string platforms;  // for QT_QPA_PLATFORM: the first that starts is used
  std::string problem;    // why no window can be shown; empty when one can
};

DisplayChoice ChooseDisplay(const DisplaySession& session);

// The session as this process's environment and Qt's installation describe it.
DisplaySession CurrentDisplaySession();

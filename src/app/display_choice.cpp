// SPDX-License-Identifier: MIT
#include "app/display_choice.h"

#include <QFileInfo>
#include <QLibraryInfo>

#include <cstdlib>

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

// A Wayland session is served natively where Qt can; XWayland (DISPLAY) is the way out where it
// cannot.
DisplayChoice ChooseDisplay(const DisplaySession& session) {
  DisplayChoice choice;
  if (session.wayland && session.waylandPluginInstalled) choice.platforms = "wayland";
  if (session.x11) choice.platforms += choice.platforms.empty() ? "xcb" : ";xcb";
  if (!choice.platforms.empty()) return choice;
  choice.problem = session.wayland
                       ? "this Wayland session has no X server (DISPLAY is not set) and Qt's Wayland support is "
                         "not installed; install the package qt6-wayland"
                       : "there is no display to show the windows on (neither WAYLAND_DISPLAY nor DISPLAY is set)";
  return choice;
}

DisplaySession CurrentDisplaySession() {
  const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/libqwayland-generic.so");
  return {Set("WAYLAND_DISPLAY"), Set("DISPLAY"), QFileInfo::exists(plugin)};
}

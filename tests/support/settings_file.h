// SPDX-License-Identifier: MIT
#pragma once
// The settings file alone, without a keyring, in one call each; Load gives the defaults when
// the file cannot be read.

#include <string>

#include "session/settings.h"

inline Settings LoadSettings(const std::string& path) { return SettingsStore(path).Load().fields; }

inline void SaveSettings(const std::string& path, const Settings& fields) { SettingsStore(path).Save(fields); }

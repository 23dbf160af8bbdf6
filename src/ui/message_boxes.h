// SPDX-License-Identifier: MIT
#pragma once
// The program's message boxes and its general error report.

#include <QString>

#include <exception>

#include "vexmira_version.h"

inline constexpr const char* kApplicationTitle = "Vexmira " VEXMIRA_VERSION;

// A modal box centred on the screen: the application title, the text (plain, never markup),
// no icon, an OK button. Returns when the user has closed it.
void ShowMessage(const QString& text);

// The general error report: the exception's message in a modal box; the program goes on.
void ShowException(std::exception_ptr error);

// Makes ShowException the report of every handler's error: those of the windows and components
// (RunReportingErrors) and those of the platform's hidden windows.
void InstallErrorReports();

// SPDX-License-Identifier: MIT
#pragma once
// The application's general error report for exceptions that leave a component's event handler
// while Qt's event loop dispatched it. Qt must never see an exception, so the components catch
// them and pass them here; the program installs its message box once at start.

#include <exception>
#include <functional>

using ApplicationErrorReport = std::function<void(std::exception_ptr)>;

// Replaces the report; an empty one restores the default (the message on stderr).
void SetApplicationErrorReport(ApplicationErrorReport report);
void ReportApplicationError(std::exception_ptr error);

// Runs `body`; an exception that leaves it goes to the report.
template <class Body>
void RunReportingErrors(Body&& body) {
  try {
    body();
  } catch (...) {
    ReportApplicationError(std::current_exception());
  }
}

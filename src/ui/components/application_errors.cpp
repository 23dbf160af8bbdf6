// SPDX-License-Identifier: MIT
#include "ui/components/application_errors.h"

#include <cstdio>
#include <utility>

namespace {

void WriteToStderr(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Vexmira: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "Vexmira: unknown error\n");
  }
}

ApplicationErrorReport& CurrentReport() {
  static ApplicationErrorReport report = WriteToStderr;
  return report;
}

}  // namespace

void SetApplicationErrorReport(ApplicationErrorReport report) {
  CurrentReport() = report ? std::move(report) : WriteToStderr;
}

void ReportApplicationError(std::exception_ptr error) { CurrentReport()(error); }

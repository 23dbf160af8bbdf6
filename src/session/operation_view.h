// SPDX-License-Identifier: MIT
#pragma once
// What Delete and Preview need of the windows: the status panel and the preview window.

#include <string>

class OperationView {
 public:
  virtual ~OperationView() = default;
  virtual void ShowStatus(const std::string& text) = 0;
  virtual void HideStatus() = 0;
  // Modal: returns when the user has closed the preview window, which shows PreviewText.
  virtual void ShowPreviewWindow() = 0;
};

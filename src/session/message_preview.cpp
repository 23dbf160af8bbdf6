// SPDX-License-Identifier: MIT
#include "session/message_preview.h"

#include <algorithm>

std::string ExtractPreviewBody(std::string_view page) {
  constexpr std::string_view kOpen = "<div><pre>";
  constexpr std::string_view kClose = "</pre></div>";
  const auto length = static_cast<long>(page.size());
  const std::size_t open = page.find(kOpen);
  const std::size_t close = page.find(kClose);
  const long p1 = open == std::string_view::npos ? 0 : static_cast<long>(open) + 1;  // 1-based, 0 = absent
  const long p2 = close == std::string_view::npos ? 0 : static_cast<long>(close) + 1;
  long start = std::min(p1 + static_cast<long>(kOpen.size()), length);
  long end = p2 - 1;
  if (end < 0 || end > length) end = length;
  if (end < start) std::swap(start, end);
  return std::string(page.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

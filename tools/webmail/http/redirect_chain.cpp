// SPDX-License-Identifier: MIT
#include "webmail/http/redirect_chain.h"

#include <charconv>
#include <string_view>

#include "webmail/http/server_options.h"

namespace webmail {
namespace {

constexpr std::string_view kHopPrefix = "/redirect/";

}  // namespace

RedirectHop SplitRedirectHop(const std::string& path) {
  if (!path.starts_with(kHopPrefix)) return {0, path};
  const char* digits = path.data() + kHopPrefix.size();
  const char* end = path.data() + path.size();
  int number = 0;
  const auto [stop, error] = std::from_chars(digits, end, number);
  if (error != std::errc() || stop == end || *stop != '/' || number < 1 || number > kMaxRedirects) return {0, path};
  return {number, std::string(stop, end)};
}

Reply RedirectReply(const Route& route, const RedirectHop& hop) {
  std::string location = std::string(kHopPrefix) + std::to_string(hop.number + 1) + hop.path;
  if (route.proxyForm) location.insert(0, ServerOrigin(route.server));
  return ErrorReply(302, "The page is at " + location + ".", {{"Location", location}});
}

}  // namespace webmail

// SPDX-License-Identifier: MIT
#include "webmail/http/request_route.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "session/service.h"

namespace webmail {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

std::string_view WithoutPort(std::string_view authority) { return authority.substr(0, authority.find(':')); }

Route ProxyFormRoute(std::string_view target) {
  Route route;
  route.proxyForm = true;
  route.kind = Route::Kind::Foreign;
  const std::size_t schemeEnd = target.find("://");
  if (Lower(target.substr(0, schemeEnd)) != "http") return route;
  const std::string_view rest = target.substr(schemeEnd + 3);
  const std::size_t pathStart = std::min(rest.find('/'), rest.find('?'));
  const std::string_view authority = rest.substr(0, pathStart);
  const std::string_view host = WithoutPort(authority);
  if (host.size() != authority.size() && authority.substr(host.size()) != ":80") return route;
  if (host == service::kLoginServer) {
    route.server = Server::Login;
  } else if (host == service::kMailServer) {
    route.server = Server::Mail;
  } else {
    return route;
  }
  route.kind = Route::Kind::Service;
  const std::string_view path = pathStart == std::string_view::npos ? std::string_view() : rest.substr(pathStart);
  route.path = path.starts_with('/') ? std::string(path) : "/" + std::string(path);
  return route;
}

}  // namespace

Route RouteRequest(const HttpRequest& request) {
  const std::string& target = request.target;
  if (target.find("://") != std::string::npos && !target.starts_with('/')) return ProxyFormRoute(target);
  Route route;
  if (!target.starts_with('/')) return route;
  const std::string* host = request.Header("Host");
  route.kind = Route::Kind::Service;
  route.server = host && WithoutPort(*host) == service::kMailServer ? Server::Mail : Server::Login;
  route.path = target;
  return route;
}

}  // namespace webmail

// SPDX-License-Identifier: MIT
#pragma once
// Which of the service's two servers a request is for. The emulator is both an origin server
// (requests for "/path") and a forward proxy (requests for "http://host/path").

#include <string>

#include "webmail/http/http_request.h"
#include "webmail/service/site.h"

namespace webmail {

struct Route {
  enum class Kind { Service, Foreign, Invalid };
  Kind kind = Kind::Invalid;
  bool proxyForm = false;  // the target was an absolute URI
  Server server = Server::Login;
  std::string path;  // path and query on that server
};

// Absolute URIs for the login or mail server (port 80) are the service; any other absolute
// URI is Foreign. A "/path" target goes to the mail server when the Host line names it (a
// client whose connection to that address was redirected here), else to the login server.
Route RouteRequest(const HttpRequest& request);

}  // namespace webmail

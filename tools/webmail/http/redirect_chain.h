// SPDX-License-Identifier: MIT
#pragma once
// The redirect fault mode. Each hop is written into the path ("/redirect/2/cgi-bin/start"),
// so the chain needs no state between connections and ends on the original path.

#include <string>

#include "webmail/service/http_reply.h"
#include "webmail/http/request_route.h"

namespace webmail {

struct RedirectHop {
  int number = 0;    // hops already taken
  std::string path;  // the path without the hop prefix
};

RedirectHop SplitRedirectHop(const std::string& path);

// A 302 to the next hop, on the same server and in the same form (absolute for a proxy
// request, a path for an origin request).
Reply RedirectReply(const Route& route, const RedirectHop& hop);

}  // namespace webmail

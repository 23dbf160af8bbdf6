// SPDX-License-Identifier: MIT
#include "webmail/http/request_handler.h"

#include "webmail/http/redirect_chain.h"

namespace webmail {

RequestHandler::RequestHandler(const std::vector<Account>& accounts, std::optional<ProxyCredentials> proxyAuth,
                               FaultModes faults)
    : service_(accounts, faults.hugeMailbox), proxyAuth_(std::move(proxyAuth)), faults_(faults) {}

RequestHandler::RequestHandler(std::unique_ptr<MailStore> store, std::optional<ProxyCredentials> proxyAuth,
                               FaultModes faults)
    : service_(std::move(store), faults.hugeMailbox), proxyAuth_(std::move(proxyAuth)), faults_(faults) {}

// A proxy checks credentials before it looks at where the request goes.
std::optional<Reply> RequestHandler::ProxyRefusal(const HttpRequest& request, const Route& route) const {
  if (route.proxyForm && proxyAuth_ && !HasProxyCredentials(request, *proxyAuth_))
    return ErrorReply(407, "This proxy needs a user name and password.", {{"Proxy-Authenticate", kProxyChallenge}});
  if (route.kind == Route::Kind::Foreign)
    return ErrorReply(
        502, "This proxy reaches only " + ServerOrigin(Server::Login) + " and " + ServerOrigin(Server::Mail) + ".");
  if (route.kind == Route::Kind::Invalid)
    return ErrorReply(400, "The request target must be a path or an http:// URL.");
  return std::nullopt;
}

void RequestHandler::ServiceAnswer(const HttpRequest& request, const Route& route, ReplyTo answer) {
  if (request.method != "GET" && request.method != "POST")
    return answer(ErrorReply(501, "The service answers GET and POST only."));
  const RedirectHop hop = SplitRedirectHop(route.path);
  if (hop.number < faults_.redirects) return answer(RedirectReply(route, hop));
  ReplyTo withFaults = [endless = faults_.endlessBody, answer = std::move(answer)](Reply reply) {
    reply.endless = endless;
    answer(std::move(reply));
  };
  if (faults_.fixedStatus)
    return withFaults(ErrorReply(*faults_.fixedStatus, "The emulator answers every request with this status."));
  service_.Serve(route.server, request.method, hop.path, request.body, std::move(withFaults));
}

void RequestHandler::Answer(const HttpRequest& request, ReplyTo answer) {
  const Route route = RouteRequest(request);
  if (std::optional<Reply> refusal = ProxyRefusal(request, route)) return answer(std::move(*refusal));
  ServiceAnswer(request, route, std::move(answer));
}

Reply RequestHandler::AnswerMalformed(const std::string& error) const {
  return ErrorReply(400, "The request could not be read: " + error + ".");
}

}  // namespace webmail

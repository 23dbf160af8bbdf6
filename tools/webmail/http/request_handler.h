// SPDX-License-Identifier: MIT
#pragma once
// Turns one parsed request into its answer: the proxy's checks first (credentials, which
// host), then the fault modes that decide the answer, then the service.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "webmail/store/accounts.h"
#include "webmail/service/http_reply.h"
#include "webmail/http/http_request.h"
#include "webmail/service/mail_service.h"
#include "webmail/http/proxy_auth.h"
#include "webmail/http/request_route.h"
#include "webmail/http/server_options.h"

namespace webmail {

class RequestHandler {
 public:
  RequestHandler(const std::vector<Account>& accounts, std::optional<ProxyCredentials> proxyAuth, FaultModes faults);
  RequestHandler(std::unique_ptr<MailStore> store, std::optional<ProxyCredentials> proxyAuth, FaultModes faults);

  // `answer` runs once: at once, or when the mail store's work is over.
  void Answer(const HttpRequest& request, ReplyTo answer);

  // The answer to a request that could not be read; `error` says why.
  Reply AnswerMalformed(const std::string& error) const;

  const FaultModes& Faults() const { return faults_; }
  MailService& Service() { return service_; }

 private:
  std::optional<Reply> ProxyRefusal(const HttpRequest& request, const Route& route) const;
  void ServiceAnswer(const HttpRequest& request, const Route& route, ReplyTo answer);

  MailService service_;
  std::optional<ProxyCredentials> proxyAuth_;
  FaultModes faults_;
};

}  // namespace webmail

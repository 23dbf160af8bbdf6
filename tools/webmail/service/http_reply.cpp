// SPDX-License-Identifier: MIT
#include "webmail/service/http_reply.h"

#include <map>

#include "webmail/service/pages.h"

namespace webmail {

std::string ReasonPhrase(int status) {
  static const std::map<int, std::string> kPhrases = {
      {200, "OK"},
      {301, "Moved Permanently"},
      {302, "Found"},
      {400, "Bad Request"},
      {401, "Unauthorized"},
      {403, "Forbidden"},
      {404, "Not Found"},
      {407, "Proxy Authentication Required"},
      {500, "Internal Server Error"},
      {501, "Not Implemented"},
      {502, "Bad Gateway"},
      {503, "Service Unavailable"},
      {504, "Gateway Timeout"},
  };
  const auto it = kPhrases.find(status);
  return it != kPhrases.end() ? it->second : "Status " + std::to_string(status);
}

std::string Reply::Head() const {
  std::string head = "HTTP/1.0 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
  head += "Content-Type: text/html; charset=iso-8859-1\r\n";
  if (!endless) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  for (const HeaderField& field : headers) head += field.name + ": " + field.value + "\r\n";
  return head + "\r\n";
}

Reply HtmlReply(int status, std::string body, std::vector<HeaderField> headers) {
  return Reply{status, std::move(headers), std::move(body), false, {}};
}

Reply ErrorReply(int status, const std::string& explanation, std::vector<HeaderField> headers) {
  return HtmlReply(status, ErrorPage(status, explanation), std::move(headers));
}

}  // namespace webmail

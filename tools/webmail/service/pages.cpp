// SPDX-License-Identifier: MIT
#include "webmail/service/pages.h"

#include <string_view>

#include "webmail/service/http_reply.h"
#include "webmail/service/site.h"

namespace webmail {
namespace {

constexpr std::string_view kBodyEnd = "</pre></div>";

std::string SimplePage(const std::string& title, const std::string& bodyHtml) {
  return "<html>\r\n<head><title>" + title + "</title></head>\r\n<body>\r\n" + bodyHtml + "\r\n</body>\r\n</html>\r\n";
}

// Explanations may quote a request, which is not ours to trust as markup.
std::string EscapeHtml(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '&')
      out += "&amp;";
    else
      out += c;
  }
  return out;
}

}  // namespace

std::string LoginFailedPage() {
  return SimplePage("Hotmail - Sign In", "<p>We're sorry, the login name or password you entered is not valid.</p>");
}

// The body starts on the line after "<div><pre>": the notifier skips the first character
// after the marker, and a browser ignores a line break there.
std::string MessagePage(const Account& account, const MailMessage& m, const std::string& sid) {
  std::string page = "<html>\r\n<head>\r\n<title>Hotmail - " + account.login +
                     " - Message</title>\r\n</head>\r\n"
                     "<body bgcolor=\"#ffffff\">\r\n<table>\r\n"
                     "<tr><td><b>From:</b></td><td>" +
                     m.sender +
                     "</td></tr>\r\n"
                     "<tr><td><b>Date:</b></td><td>" +
                     m.date +
                     "</td></tr>\r\n"
                     "<tr><td><b>Subject:</b></td><td>" +
                     m.subject +
                     "</td></tr>\r\n"
                     "</table>\r\n<div><pre>\r\n";
  for (const std::string& line : m.bodyLines) page += line + "\r\n";
  return page + std::string(kBodyEnd) + "\r\n<p><a href=\"" + site::MailboxLink(sid) +
         "\">Back to Inbox</a></p>\r\n</body>\r\n</html>\r\n";
}

std::string MessageBodyProblem(const MailMessage& m) {
  for (const std::string& line : m.bodyLines)
    if (line.find(kBodyEnd) != std::string::npos)
      return "message \"" + m.id + "\": the body holds \"" + std::string(kBodyEnd) + "\", which ends it early";
  return {};
}

std::string SignedOutPage() { return SimplePage("Hotmail - Signed Out", "<p>You have signed out of Hotmail.</p>"); }

std::string SessionExpiredPage() {
  return SimplePage("Hotmail - Session Expired",
                    "<p>Your session has expired or has been signed out. Please sign in again.</p>");
}

std::string ErrorPage(int status, const std::string& explanation) {
  const std::string title = std::to_string(status) + " " + ReasonPhrase(status);
  return SimplePage(title, "<h1>" + title + "</h1>\r\n<p>" + EscapeHtml(explanation) + "</p>");
}

}  // namespace webmail

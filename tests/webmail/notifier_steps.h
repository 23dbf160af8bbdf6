// SPDX-License-Identifier: MIT
#pragma once
// The notifier's side of the exchange, as far as the emulator tests need it: the requests it
// sends, the hidden-field replay of a deletion and the cut of a preview, all built the way the
// notifier builds them, plus one exchange through a Conversation.

#include <string>
#include <utility>
#include <vector>

#include "session/form_encoding.h"
#include "session/mailbox_scan.h"
#include "session/page_text.h"
#include "session/row_helpers.h"
#include "webmail/http/conversation.h"

namespace notifier {

inline const std::string kLoginOrigin = "http://192.0.2.10";

inline std::string LoginBody(const std::string& login, const std::string& password) {
  return "login=" + EncodeFormValue(login) + "&passwd=" + EncodeFormValue(password) +
         "&enter=Enter&frames=no&curmbox=ACTIVE&js=no";
}

// Request lines as the HTTP client writes them through a proxy (an absolute URI) or directly
// (a path); `extraLines` go in before the empty line, each ending in CR LF.
inline std::string PostRequest(const std::string& target, const std::string& body, const std::string& extraLines = "") {
  return "POST " + target +
         " HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\nHost: 192.0.2.10\r\n"
         "Pragma: no-cache\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n" + extraLines + "\r\n" + body;
}

inline std::string LoginRequest(const std::string& login, const std::string& password,
                                const std::string& extraLines = "") {
  return PostRequest(kLoginOrigin + "/cgi-bin/start", LoginBody(login, password), extraLines);
}

inline std::string GetRequest(const std::string& target, const std::string& extraLines = "") {
  return "GET " + target + " HTTP/1.0\r\nHost: 192.0.2.10\r\nPragma: no-cache\r\n" + extraLines + "\r\n";
}

// The value of the first `key` attribute in `tag`, at most 30 characters, cut at a quote.
inline std::string AttributeValue(const std::string& tag, const std::string& key) {
  const std::size_t k = tag.find(key);
  const std::size_t start =
      k == std::string::npos ? key.size() - 1 : k + key.size();  // absent: from 1-based key length + 1
  if (start >= tag.size()) return {};
  const std::string value = tag.substr(start, 30);
  return value.substr(0, value.find('"'));
}

// The deletion's query: every hidden field of the page (marked as it is read), then NAME=TRUE
// for each checked row, then the Delete button.
inline std::string DeletionQuery(PageText& page, const std::vector<std::string>& checkedNames) {
  const std::string head = "<input type=\"hidden\"";
  std::string query;
  for (std::size_t p; (p = page.Find(head)) != 0;) {
    page.Replace(p - 1, head.size(), "<tupni type=\"hidden\"");
    std::string tag = page.Read(p + 19, 200);
    tag = tag.substr(0, tag.find('>'));
    query += (query.empty() ? "" : "&") + std::string(ExtractNameAttribute(tag)) + "=" + AttributeValue(tag, "value=\"");
  }
  for (const std::string& name : checkedNames) query += "&" + name + "=TRUE";
  return query + "&Delete.x=Delete";
}

// The preview's cut of a message page: from the second character after "<div><pre>" to the
// character before "</pre></div>", on the page as the text buffer holds it.
inline std::string PreviewBody(const std::string& pageBytes) {
  PageText page;
  page.Load(pageBytes);
  const std::size_t p1 = page.Find("<div><pre>");
  const std::size_t p2 = page.Find("</pre></div>");
  return page.Read(p1 + 10, p2 - p1 - 11);
}

struct Answer {
  int status = 0;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  std::string logLine;
  webmail::Conversation::Step step = webmail::Conversation::Step::Close;

  std::string Header(const std::string& name) const {
    for (const auto& [n, v] : headers)
      if (n == name) return v;
    return {};
  }
};

// Sends `request` in one piece (or in pieces of `chunk` bytes), closes the sending side and
// collects at most `maxBytes` of the answer.
inline Answer Exchange(webmail::RequestHandler& handler, const std::string& request, std::size_t chunk = 0,
                       std::size_t maxBytes = 16 * 1024 * 1024) {
  webmail::Conversation conversation(handler);
  Answer answer;
  using Step = webmail::Conversation::Step;
  answer.step = Step::ReadMore;
  const std::size_t piece = chunk == 0 ? request.size() + 1 : chunk;
  for (std::size_t at = 0; at < request.size() && answer.step == Step::ReadMore; at += piece)
    answer.step = conversation.Receive(std::string_view(request).substr(at, piece));
  if (answer.step == Step::ReadMore) answer.step = conversation.ReceiveEnd();
  answer.logLine = conversation.LogLine();
  if (answer.step != Step::Answer) return answer;
  std::string raw;
  while (!conversation.Answer().Finished() && raw.size() < maxBytes) raw += conversation.Answer().Next(64 * 1024);
  const std::size_t headEnd = raw.find("\r\n\r\n");
  if (headEnd == std::string::npos) return answer;
  answer.status = std::stoi(raw.substr(9, 3));
  for (std::size_t at = raw.find("\r\n") + 2; at < headEnd;) {
    const std::size_t end = raw.find("\r\n", at);
    const std::string line = raw.substr(at, end - at);
    answer.headers.emplace_back(line.substr(0, line.find(':')), line.substr(line.find(':') + 2));
    at = end + 2;
  }
  answer.body = raw.substr(headEnd + 4);
  return answer;
}

// The mailbox page of an answer as the notifier scans it, headers wanted.
inline MailboxState Scan(const Answer& answer, PageText& page) {
  MailboxState state;
  page.Load(answer.body);
  ScanMailbox(page, true, state);
  return state;
}

}  // namespace notifier

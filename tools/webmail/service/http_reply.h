// SPDX-License-Identifier: MIT
#pragma once
// One HTTP/1.0 answer. Every answer ends by closing the connection, so the body needs no
// framing beyond Content-Length.

#include <string>
#include <vector>

namespace webmail {

struct HeaderField {
  std::string name;
  std::string value;
};

struct Reply {
  int status = 200;
  std::vector<HeaderField> headers;  // besides Content-Type and Content-Length
  std::string body;
  bool endless = false;  // the body runs on forever after `body`, so no Content-Length is sent
  std::string logNote;   // why the answer is an error, for the request's log line; not sent

  // Status line and header lines, ending with the empty line.
  std::string Head() const;
};

std::string ReasonPhrase(int status);

Reply HtmlReply(int status, std::string body, std::vector<HeaderField> headers = {});

// An error status with a small page saying why.
Reply ErrorReply(int status, const std::string& explanation, std::vector<HeaderField> headers = {});

}  // namespace webmail

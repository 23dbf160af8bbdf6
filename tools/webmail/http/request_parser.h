// SPDX-License-Identifier: MIT
#pragma once
// Reads one HTTP request from bytes as they arrive on a connection. Everything is bounded, so a
// hostile or broken client costs at most a few hundred KiB before it gets its 400.

#include <cstddef>
#include <string>
#include <string_view>

#include "webmail/http/http_request.h"

namespace webmail {

class RequestParser {
 public:
  static constexpr std::size_t kMaxLineLength = 8 * 1024;  // request line or one header line
  static constexpr std::size_t kMaxHeaderCount = 100;
  static constexpr std::size_t kMaxBodyLength = 64 * 1024;  // the login form is a few dozen bytes

  enum class Status { NeedMore, Complete, Malformed };

  // Takes the next bytes of the connection. Bytes after a complete request are ignored: every
  // answer closes the connection.
  Status Feed(std::string_view bytes);

  // The client closed its side. A request that had begun and is not complete is malformed.
  Status FeedEnd();

  bool Started() const { return started_; }
  const HttpRequest& Request() const { return request_; }
  const std::string& Error() const { return error_; }  // why the request is malformed

 private:
  enum class Phase { RequestLine, Headers, Body };

  Status Fail(std::string error);
  Status TakeLines();
  bool TakeLine(std::string_view line);
  bool TakeRequestLine(std::string_view line);
  bool TakeHeaderLine(std::string_view line);
  bool EndOfHeaders();
  Status TakeBody();

  Status status_ = Status::NeedMore;
  Phase phase_ = Phase::RequestLine;
  bool started_ = false;
  std::string pending_;      // received bytes not yet taken as lines or body
  std::size_t scanned_ = 0;  // bytes of the current line already searched for its end
  std::size_t bodyLength_ = 0;
  HttpRequest request_;
  std::string error_;
};

}  // namespace webmail

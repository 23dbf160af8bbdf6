// SPDX-License-Identifier: MIT
#include "webmail/http/request_parser.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace webmail {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 32 && c != '\t') || byte == 127;
}

// Header names and methods are tokens: visible ASCII without separators.
bool IsToken(std::string_view text) {
  if (text.empty()) return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return c > 32 && c < 127 && std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
  });
}

bool IsVersion(std::string_view v) {
  return v.size() == 8 && v.starts_with("HTTP/") && std::isdigit(static_cast<unsigned char>(v[5])) && v[6] == '.' &&
         std::isdigit(static_cast<unsigned char>(v[7]));
}

// A request target travels in the request line unencoded, so it must be visible ASCII.
bool IsVisibleAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c > 32 && c < 127; });
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string LineTooLong() {
  return "a header line is longer than " + std::to_string(RequestParser::kMaxLineLength) + " bytes";
}

}  // namespace

const std::string* HttpRequest::Header(std::string_view name) const {
  for (const auto& [n, value] : headers)
    if (EqualsIgnoringCase(n, name)) return &value;
  return nullptr;
}

RequestParser::Status RequestParser::Fail(std::string error) {
  error_ = std::move(error);
  return status_ = Status::Malformed;
}

RequestParser::Status RequestParser::Feed(std::string_view bytes) {
  if (status_ != Status::NeedMore || bytes.empty()) return status_;
  started_ = true;
  pending_.append(bytes);
  return phase_ == Phase::Body ? TakeBody() : TakeLines();
}

RequestParser::Status RequestParser::FeedEnd() {
  if (status_ != Status::NeedMore || !started_) return status_;
  if (phase_ == Phase::Body)
    return Fail("the connection closed after " + std::to_string(pending_.size()) + " of " +
                std::to_string(bodyLength_) + " body bytes");
  return Fail("the connection closed in the middle of the request header");
}

// Lines end in LF, optionally preceded by CR. Only the unscanned tail is searched, so a line
// that arrives byte by byte costs no rescans.
RequestParser::Status RequestParser::TakeLines() {
  std::size_t start = 0;
  while (status_ == Status::NeedMore && phase_ != Phase::Body) {
    const std::size_t lf = pending_.find('\n', start + scanned_);
    if (lf == std::string::npos) {
      scanned_ = pending_.size() - start;
      const bool mayEndInCr = scanned_ == kMaxLineLength + 1 && pending_.back() == '\r';
      if (scanned_ > kMaxLineLength && !mayEndInCr) return Fail(LineTooLong());
      break;
    }
    std::string_view line(pending_.data() + start, lf - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    start = lf + 1;
    scanned_ = 0;
    if (line.size() > kMaxLineLength) return Fail(LineTooLong());
    if (!TakeLine(line)) return status_;
  }
  pending_.erase(0, start);
  return phase_ == Phase::Body ? TakeBody() : status_;
}

bool RequestParser::TakeLine(std::string_view line) {
  if (std::any_of(line.begin(), line.end(), IsControl)) {
    Fail("a control character in the request header");
    return false;
  }
  return phase_ == Phase::RequestLine ? TakeRequestLine(line) : TakeHeaderLine(line);
}

bool RequestParser::TakeRequestLine(std::string_view line) {
  const std::size_t first = line.find(' ');
  const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos) {
    Fail("the request line is not METHOD TARGET HTTP/x.y");
    return false;
  }
  const std::string_view method = line.substr(0, first);
  const std::string_view target = line.substr(first + 1, second - first - 1);
  const std::string_view version = line.substr(second + 1);
  if (!IsToken(method) || target.empty() || !IsVisibleAscii(target) || !IsVersion(version)) {
    Fail("the request line is not METHOD TARGET HTTP/x.y");
    return false;
  }
  request_.method = method;
  request_.target = target;
  request_.version = version;
  phase_ = Phase::Headers;
  return true;
}

bool RequestParser::TakeHeaderLine(std::string_view line) {
  if (line.empty()) return EndOfHeaders();
  if (line.front() == ' ' || line.front() == '\t') {
    Fail("folded header lines are not accepted");
    return false;
  }
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || !IsToken(line.substr(0, colon))) {
    Fail("a header line is not NAME: VALUE");
    return false;
  }
  if (request_.headers.size() == kMaxHeaderCount) {
    Fail("more than " + std::to_string(kMaxHeaderCount) + " header lines");
    return false;
  }
  request_.headers.emplace_back(line.substr(0, colon), TrimSpaces(line.substr(colon + 1)));
  return true;
}

// HTTP/1.0 frames a request body by Content-Length alone; several copies must agree.
bool RequestParser::EndOfHeaders() {
  if (request_.Header("Transfer-Encoding")) {
    Fail("Transfer-Encoding is not accepted; send a Content-Length");
    return false;
  }
  const std::string* length = nullptr;
  for (const auto& [name, value] : request_.headers) {
    if (!EqualsIgnoringCase(name, "Content-Length")) continue;
    if (length && *length != value) {
      Fail("conflicting Content-Length headers");
      return false;
    }
    length = &value;
  }
  if (!length) {
    if (request_.method == "POST") Fail("a POST needs a Content-Length");
    phase_ = Phase::Body;
    return status_ == Status::NeedMore;
  }
  const char* end = length->data() + length->size();
  const auto [stop, error] = std::from_chars(length->data(), end, bodyLength_);
  if (length->empty() || error != std::errc() || stop != end) {
    Fail("Content-Length is not a number");
    return false;
  }
  if (bodyLength_ > kMaxBodyLength) {
    Fail("the request body is larger than " + std::to_string(kMaxBodyLength) + " bytes");
    return false;
  }
  phase_ = Phase::Body;
  return true;
}

RequestParser::Status RequestParser::TakeBody() {
  if (pending_.size() < bodyLength_) return status_;
  request_.body = pending_.substr(0, bodyLength_);
  pending_.clear();
  return status_ = Status::Complete;
}

}  // namespace webmail

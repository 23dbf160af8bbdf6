// SPDX-License-Identifier: MIT
// The response side of HttpClient: lines of the header, status, relocation and the body.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

#include "http/http_client.h"
#include "http/request_line.h"
#include "http/split_url.h"

namespace {

std::string Lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The three characters of the code read as a decimal conversion reads a number: leading blanks,
// an optional sign, then nothing but digits.
std::optional<int> StatusCodeOf(std::string_view code) {
  while (!code.empty() && (code.front() == ' ' || code.front() == '\t')) code.remove_prefix(1);
  const bool negative = !code.empty() && code.front() == '-';
  if (!code.empty() && (code.front() == '+' || code.front() == '-')) code.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(code.data(), code.data() + code.size(), value);
  if (code.empty() || !std::isdigit(static_cast<unsigned char>(code.front())) || error != std::errc() ||
      end != code.data() + code.size())
    return std::nullopt;
  return negative ? -value : value;
}

// The port as a number where it is one, so that "80" and "080" are the same place.
std::string CanonicalPort(const std::string& port) {
  const std::size_t digits = port.find_first_not_of('0');
  if (port.empty() || port.find_first_not_of("0123456789") != std::string::npos) return port;
  return digits == std::string::npos ? "0" : port.substr(digits);
}

}  // namespace

void HttpClient::SocketDataAvailable() {
  ArmTimeLimit();
  const std::size_t limit = FState == hsReceivingBody ? kReceiveBufferSize : kHeaderBufferSize;
  const int n = FSocket->Receive(ReceiveBuffer.get() + ReceiveFill, static_cast<int>(limit - 1 - ReceiveFill));
  if (n < 0 && FSocket->LastError() == ws::WSAECONNRESET) ConnectionReset = true;
  if (n <= 0) return;
  ReceiveFill += static_cast<std::size_t>(n);
  ReceiveBuffer[ReceiveFill] = '\0';
  if (FState == hsReceivingBody) {
    DeliverBufferAsBody();
    return;
  }
  HandleBufferedLines();
}

// Cuts the buffered bytes into lines. A zero byte is data like any other. A line that cannot
// be completed in the buffer, or any line after the client dropped the connection on an error,
// ends the reading: a later status line must not turn a failure into success.
void HttpClient::HandleBufferedLines() {
  while (ReceiveFill > 0) {
    const auto* lf = static_cast<const char*>(std::memchr(ReceiveBuffer.get(), '\n', ReceiveFill));
    if (lf == nullptr) {
      if (ReceiveFill == kHeaderBufferSize - 1) FailRequest("Response header line too long");
      return;
    }
    const std::size_t p = static_cast<std::size_t>(lf - ReceiveBuffer.get()) + 1;
    if (FState == hsAwaitingHeader && !CountHeaderLine(p)) {
      ReceiveFill = 0;
      return;
    }
    std::size_t length = p - 1;
    if (length > 0 && ReceiveBuffer[length - 1] == '\r') --length;
    FHeaderLine.assign(ReceiveBuffer.get(), length);
    FLastLine = FHeaderLine;
    std::memmove(ReceiveBuffer.get(), ReceiveBuffer.get() + p, ReceiveFill - p + 1);
    ReceiveFill -= p;
    if (FState != hsAwaitingHeader && FState != hsReceivingBody) continue;
    (this->*LineHandler)();
    if (!Connected) {
      ReceiveFill = 0;
      return;
    }
  }
}

void HttpClient::HandleHeaderLine() {
  if (HeaderLineCount == 0) FireHeaderBegin();
  ++HeaderLineCount;
  if (FLastLine.empty()) {
    if (RelocationPending) {
      Relocate();
      return;
    }
    SetClientState(hsReceivingBody);
    LineHandler = &HttpClient::HandleBodyData;
    FireHeaderEnd();
    if (ReceiveFill > 0) DeliverBufferAsBody();
    return;
  }
  const std::string line(FLastLine);  // handlers may replace LastLine
  FHeaderLines.push_back(line);
  if (line.starts_with("HTTP/1.0") || line.starts_with("HTTP/1.1")) {
    HandleStatusLine(line);
  } else if (const std::size_t colon = line.find(':'); colon != std::string::npos) {
    const std::string name = Lowercase(line.substr(0, colon));
    const std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : std::string();
    if (name == "location") HandleLocation(value);
    if (name == "content-length") NoteContentLength(value);
  }
  Fire(OnHeaderData);
  if (FStatusCode >= 400 && Connected) CloseConnection();
}

// The code stands in characters 10 to 12, the reason from character 14 on. A code that is no
// number ends the request: the answer cannot be judged.
void HttpClient::HandleStatusLine(const std::string& Line) {
  const std::optional<int> code = StatusCodeOf(Line.size() > 9 ? std::string_view(Line).substr(9, 3) : "");
  if (!code) {
    FailRequest("Invalid status line in response");
    return;
  }
  FStatusCode = *code;
  StatusLineReceived = true;
  FReasonPhrase = Line.size() > 13 ? Line.substr(13) : std::string();
}

// The new target, without its fragment, goes into the next request line as it stands, so a value
// that would break that line, or that names nothing, ends the request; so does a protocol this
// client does not speak.
void HttpClient::HandleLocation(const std::string& Location) {
  const std::string Value(WithoutFragment(Location));
  if (Value.empty() || std::any_of(Value.begin(), Value.end(), [](char c) { return UnfitForRequestLine(c); })) {
    FailRequest("Invalid location in response");
    return;
  }
  const UrlParts v = SplitUrl(Value);
  if (!v.protocol.empty() && Lowercase(v.protocol) != "http") {
    FailRequest("Relocation to a protocol other than http");
    return;
  }
  RelocationPending = true;
  if (!Proxy.empty()) {
    if (v.host.empty()) {
      RequestPath = AbsoluteUri(v.protocol, v.path);
    } else {
      RequestPath = Value;
      TargetHost = v.host;
      TargetPort = v.port;
    }
    return;
  }
  if (Value.starts_with('/')) {
    RequestPath = Value;
  } else {
    ConnectHost = v.host;
    RequestPath = v.path;
    if (!v.port.empty()) ConnectPort = v.port;
    if (ConnectHost.empty()) {
      RequestPath = v.protocol + "://" + TargetHost + RequestPath;
      ConnectHost = TargetHost;
    } else {
      TargetHost = ConnectHost;
    }
  }
  if (RequestPath.empty()) RequestPath = "/";
}

// A request body never leaves its origin: relocated elsewhere, a POST goes on as a GET without
// its body, as browsers do, and stays one for the rest of the chain.
void HttpClient::Relocate() {
  if (++Relocations > kMaxRelocations) {
    FailRequest("Too many relocations (more than " + std::to_string(kMaxRelocations) + ")");
    return;
  }
  if (Origin() != SentOrigin) SendBody = false;
  FSocket->OnSessionClosed = [this](AsyncSocketBase*, std::uint16_t) { RelocationClosed(); };
  FSocket->Close();
  ReceiveFill = 0;
}

void HttpClient::RelocationClosed() {
  Connected = false;
  RelocationPending = false;
  EndRequestOnClose();
  Fire(OnLocationChange);
  win::PostMessage(NotifyWindow, WM_CLIENT_RELOCATE, 0, 0);
}

// Host and port that the request goes to: the server's, or through a proxy the URL's.
std::string HttpClient::Origin() const {
  if (Proxy.empty()) return Lowercase(ConnectHost) + ":" + CanonicalPort(ConnectPort);
  return Lowercase(TargetHost) + ":" + CanonicalPort(TargetPort.empty() ? "80" : TargetPort);
}

void HttpClient::DeliverBufferAsBody() {
  FLastLine = std::string_view(ReceiveBuffer.get(), ReceiveFill);
  ReceiveFill = 0;  // the chunk stays in the buffer until the next read
  HandleBodyData();
}

void HttpClient::HandleBodyData() {
  if (BodyChunkCount == 0) FireDocBegin();
  ++BodyChunkCount;
  const auto length = static_cast<std::int32_t>(FLastLine.size());
  FReceivedCount += length;
  FireDocData(FLastLine.data(), length);
  if (ReceiveStream == nullptr) return;
  try {
    ReceiveStream->Write(FLastLine.data(), FLastLine.size());
  } catch (const std::exception& e) {
    FailRequest(std::string("Cannot store the document: ") + e.what());
  }
}

void HttpClient::FireDocData(const char* Buffer, std::int32_t Len) {
  if (OnDocData) OnDocData(this, Buffer, Len);
}

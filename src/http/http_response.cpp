// The response side of HttpClient: lines of the header, status, relocation and the body.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

#include "http/http_client.h"
#include "http/split_url.h"

void HttpClient::SocketDataAvailable() {
  ArmTimeLimit();
  const std::size_t limit = FState == hsReceivingBody ? kReceiveBufferSize : kHeaderBufferSize;
  const int n = FSocket->Receive(ReceiveBuffer + ReceiveFill, static_cast<int>(limit - 1 - ReceiveFill));
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
    const auto* lf = static_cast<const char*>(std::memchr(ReceiveBuffer, '\n', ReceiveFill));
    if (lf == nullptr) {
      if (ReceiveFill == kHeaderBufferSize - 1) FailRequest("Response header line too long");
      return;
    }
    const std::size_t p = static_cast<std::size_t>(lf - ReceiveBuffer) + 1;
    std::size_t length = p - 1;
    if (length > 0 && ReceiveBuffer[length - 1] == '\r') --length;
    FHeaderLine.assign(ReceiveBuffer, length);
    FLastLine = FHeaderLine;
    std::memmove(ReceiveBuffer, ReceiveBuffer + p, ReceiveFill - p + 1);
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
    std::string name = line.substr(0, colon);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (name == "location") HandleLocation(colon + 2 <= line.size() ? line.substr(colon + 2) : std::string());
  }
  Fire(OnHeaderData);
  if (FStatusCode >= 400 && Connected) CloseConnection();
}

// The code stands in characters 10 to 12, the reason from character 14 on. A code that is no
// number ends the request: the answer cannot be judged.
void HttpClient::HandleStatusLine(const std::string& Line) {
  const std::string code = Line.size() > 9 ? Line.substr(9, 3) : std::string();
  int value = 0;
  const auto [end, error] = std::from_chars(code.data(), code.data() + code.size(), value);
  if (code.empty() || error != std::errc() || end != code.data() + code.size()) {
    FailRequest("Invalid status line in response");
    return;
  }
  FStatusCode = value;
  FReasonPhrase = Line.size() > 13 ? Line.substr(13) : std::string();
}

void HttpClient::HandleLocation(const std::string& Value) {
  // A lone CR or a NUL would reach the next request line.
  if (Value.find_first_of(std::string_view("\r\0", 2)) != std::string::npos) {
    FailRequest("Invalid location in response");
    return;
  }
  RelocationPending = true;
  const UrlParts v = SplitUrl(Value);
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

void HttpClient::Relocate() {
  if (++Relocations > kMaxRelocations) {
    FailRequest("Too many relocations (more than " + std::to_string(kMaxRelocations) + ")");
    return;
  }
  FSocket->OnSessionClosed = [this](AsyncSocketBase*, std::uint16_t) { RelocationClosed(); };
  FSocket->Close();
  ReceiveFill = 0;
}

void HttpClient::RelocationClosed() {
  Connected = false;
  RelocationPending = false;
  FSocket->OnSessionClosed = [this](AsyncSocketBase*, std::uint16_t) { EndRequest(); };
  Fire(OnLocationChange);
  win::PostMessage(NotifyWindow, WM_CLIENT_RELOCATE, 0, 0);
}

void HttpClient::DeliverBufferAsBody() {
  FLastLine = std::string_view(ReceiveBuffer, ReceiveFill);
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

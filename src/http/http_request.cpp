// SPDX-License-Identifier: MIT
// The request side of HttpClient: start, look-up, connect, request header and POST body.

#include <array>
#include <string_view>
#include <utility>

#include "http/base64.h"
#include "http/http_client.h"
#include "http/request_line.h"
#include "http/split_url.h"

namespace {

bool HoldsLineBreakOrNul(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) != text.npos; }

}  // namespace

// Every text that reaches the request line or a header line is checked here, before the
// request changes anything: no property can add a line of its own to the request.
void HttpClient::CheckRequestProperties() const {
  const std::array<std::pair<const char*, const std::string*>, 12> texts = {{
      {"URL", &URL}, {"Proxy", &Proxy}, {"ProxyPort", &ProxyPort}, {"Sender", &Sender}, {"Agent", &Agent},
      {"Reference", &Reference}, {"Username", &Username}, {"Password", &Password},
      {"ProxyUsername", &ProxyUsername}, {"ProxyPassword", &ProxyPassword}, {"Cookie", &Cookie},
      {"ContentTypePost", &ContentTypePost},
  }};
  for (const auto& [name, text] : texts) {
    if (HoldsLineBreakOrNul(*text))
      throw HttpError(std::string("HTTP component refused ") + name + ": CR, LF or NUL in its value",
                           kHttpBadProperty);
  }
  if (SplitUrl(URL).host.empty()) throw HttpError("HTTP component refused URL: no host name", kHttpNoHost);
  if (!Proxy.empty() && SplitUrl(Proxy).host.empty())
    throw HttpError("HTTP component refused Proxy: no host name", kHttpNoHost);
}

void HttpClient::StartRequest(HttpRequestKind Kind) {
  if (FState != hsIdle) throw HttpError("HTTP component is busy", kHttpBusy);
  if (Kind == hrPost && PostStream == nullptr)
    throw HttpError("HTTP component has nothing to post", kHttpNothingToPost);
  CheckRequestProperties();

  FHeaderLines.clear();
  RequestKind = Kind;
  DoneError = 0;
  EndRequestOnClose();
  SetClientState(hsConnecting);
  FStatusCode = 0;
  FReceivedCount = FSentCount = 0;
  HeaderLineCount = BodyChunkCount = 0;
  Sending = false;
  ReceiveFill = 0;
  RelocationPending = false;
  Relocations = 0;
  PostStart = PostStream ? PostStream->Position() : 0;
  SendBody = Kind == hrPost;
  PrepareTargets();
  ArmTotalTimeLimit();
  StartLookup();
}

void HttpClient::PrepareTargets() {
  const UrlParts url = SplitUrl(URL);
  TargetHost = url.host;
  TargetPort = url.port;
  // Credentials in the URL serve this request only; the properties stay as the caller set them.
  AuthUsername = url.user.empty() ? Username : url.user;
  AuthPassword = url.password.empty() ? Password : url.password;
  if (Proxy.empty()) {
    RequestPath = url.path;
    ConnectHost = url.host;
    ConnectPort = url.port.empty() ? "80" : url.port;
  } else {
    RequestPath = AbsoluteUri(url.protocol.empty() ? std::string("http") : url.protocol, url.path);
    const UrlParts proxy = SplitUrl(Proxy);
    ConnectHost = proxy.host;
    ConnectPort = proxy.port.empty() ? ProxyPort : proxy.port;
  }
  if (RequestPath.empty()) RequestPath = "/";
  AuthOrigin = Origin();
}

// The absolute URI for a proxy keeps an explicit port of the URL: without it the proxy would
// go to port 80.
std::string HttpClient::AbsoluteUri(const std::string& Protocol, const std::string& Path) const {
  return Protocol + "://" + TargetHost + (TargetPort.empty() ? "" : ":" + TargetPort) + Path;
}

// A look-up that cannot even start (a name the resolver refuses) ends the request like a
// failed one instead of leaving the client stuck in the resolving state. The socket speaks IPv4
// only: a bracketed IP literal (IPv6) is said to be unsupported rather than unresolvable.
void HttpClient::StartLookup() {
  SetClientState(hsResolving);
  ArmTimeLimit();
  try {
    if (ConnectHost.starts_with('[')) throw std::runtime_error("IPv6 addresses are not supported");
    FSocket->DnsLookup(ConnectHost);
  } catch (const std::exception& e) {
    FStatusCode = kLocalFailureStatus;
    FReasonPhrase = e.what();
    EndRequest();
  }
}

void HttpClient::SocketDnsLookupDone(std::uint16_t Error) {
  if (Error != 0) {
    if (FState == hsAborting) return;
    FStatusCode = kLocalFailureStatus;
    FReasonPhrase = "can't resolve hostname to IP address";
    EndRequest();
    return;
  }
  SetClientState(hsConnecting);
  ArmTimeLimit();
  ConnectToResult();
}

void HttpClient::ConnectToResult() {
  try {
    FSocket->SetAddr(FSocket->DnsResult());
    FSocket->SetPort(ConnectPort);
    FSocket->SetProto("tcp");
    FSocket->Connect();
  } catch (const std::exception& e) {
    const int code = FSocket->LastError();
    DoneError = static_cast<std::uint16_t>(code);
    FStatusCode = kLocalFailureStatus;
    // A setter that refuses (a port that is no number or service) leaves no socket error code.
    FReasonPhrase = "can't connect: " + (code != 0 ? SocketErrorText(code) : e.what());
    FSocket->Close();
    EndRequest();
  }
}

void HttpClient::SocketSessionConnected(std::uint16_t Error) {
  if (Error != 0) {
    FStatusCode = kLocalFailureStatus;
    FReasonPhrase = SocketErrorText(Error);
    EndRequest();
    return;
  }
  Connected = true;
  ResponseHeaderBytes = 0;
  ResponseHeaderLines = 0;
  ContentLength = -1;
  StatusLineReceived = false;
  ConnectionReset = false;
  SentOrigin = Origin();
  LineHandler = &HttpClient::HandleHeaderLine;
  SetClientState(hsAwaitingHeader);
  ArmTimeLimit();
  try {
    SendRequest();
  } catch (const std::exception& e) {
    // The request cannot have gone out whole: fail it rather than return an empty answer.
    FailRequest(std::string("Cannot send the request: ") + e.what());
  }
}

void HttpClient::SendRequest() {
  switch (RequestKind) {
    case hrGet:
      SendRequestHeader("GET");
      break;
    case hrHead:
      SendRequestHeader("HEAD");
      break;
    case hrPost:
      if (!SendBody) {  // relocated to another origin: the body stays behind
        SendRequestHeader("GET");
        break;
      }
      SendRequestHeader("POST");
      FireSendBegin();
      Sending = true;
      SendBodyChunk();
      break;
    case hrNone:
      break;
  }
}

void HttpClient::SendRequestHeader(const std::string& Method) {
  const bool post = Method == "POST";
  RequestBuffer.clear();
  FireHeaderBegin();
  AddHeaderLine(Method + " " + EncodeForRequestLine(RequestPath) + " HTTP/1.0");
  if (!Sender.empty()) AddHeaderLine("From: " + Sender);
  if (!Reference.empty()) AddHeaderLine("Referer: " + Reference);
  if (post && !ContentTypePost.empty()) AddHeaderLine("Content-Type: " + ContentTypePost);
  if (!Agent.empty()) AddHeaderLine("User-Agent: " + Agent);
  AddHeaderLine("Host: " + EncodeForRequestLine(TargetHost));  // as the authority of an absolute URI
  if (NoCache) AddHeaderLine("Pragma: no-cache");
  if (post) AddHeaderLine("Content-Length: " + std::to_string(PostStream->Size()));
  if (ModifiedSince != 0) AddHeaderLine("If-Modified-Since: " + FormatHttpDate(ModifiedSince) + " GMT");
  if (!AuthUsername.empty() && Origin() == AuthOrigin)
    AddHeaderLine("Authorization: Basic " + EncodeBase64(AuthUsername + ":" + AuthPassword));
  if (!Proxy.empty() && !ProxyUsername.empty())
    AddHeaderLine("Proxy-Authorization: Basic " + EncodeBase64(ProxyUsername + ":" + ProxyPassword));
  if (!Cookie.empty()) AddHeaderLine("Cookie: " + Cookie);
  FireHeaderEnd();
  AddHeaderLine("");
  FSocket->Send(RequestBuffer.data(), static_cast<int>(RequestBuffer.size()));
  RequestBuffer.clear();
}

void HttpClient::AddHeaderLine(const std::string& Line) {
  if (OnCommand) OnCommand(this, Line);
  RequestBuffer += Line;
  RequestBuffer += "\r\n";
}

// Each drained send queue pulls the next chunks, so the body flows at the connection's pace.
// A body stream that fails ends the request with its message instead of leaving it hanging.
void HttpClient::SendBodyChunk() {
  if (!Sending || !Connected) return;
  std::size_t filled = 0;
  for (std::size_t chunk = 0; chunk < kChunksPerSend; ++chunk) {
    std::size_t n = 0;
    try {
      n = PostStream->Read(PostBuffer + filled, kSendChunkSize);
    } catch (const std::exception& e) {
      Sending = false;
      FailRequest(std::string("Cannot read the request body: ") + e.what());
      return;
    }
    if (n == 0) break;
    FSentCount += static_cast<std::int64_t>(n);
    FireSendData(PostBuffer + filled, static_cast<std::int32_t>(n));
    filled += n;
    if (FSocket->State() != wsConnected) return;  // a handler ended the request
  }
  if (filled > 0) {
    FSocket->Send(PostBuffer, static_cast<int>(filled));
  } else {
    Sending = false;
    FireSendEnd();
  }
  ArmTimeLimit();  // after the chunk is queued: the limit watches it leave
}

void HttpClient::FireSendData(const char* Buffer, std::int32_t Len) {
  if (OnSendData) OnSendData(this, Buffer, Len);
}

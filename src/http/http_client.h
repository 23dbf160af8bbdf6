// SPDX-License-Identifier: MIT
// Event-driven HTTP/1.0 client over AsyncSocket, with proxy support, Basic credentials and
// relocation, and the synchronous Get and Post that the program uses.
//
// One request runs at a time. Each step is started by a socket event or by a message posted to
// the client's own hidden window, so the client never blocks; Get and Post wait on the event
// loop until the client is idle again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "http/http_date.h"
#include "http/http_exception.h"
#include "http/streams.h"
#include "net/async_socket.h"
#include "platform/message_window.h"

enum HttpClientState : std::uint8_t {
  hsIdle = 0,
  hsConnecting = 1,
  hsResolving = 2,
  hsAwaitingHeader = 3,
  hsReceivingBody = 4,
  hsAborting = 5,
};
enum HttpRequestKind : std::uint8_t { hrNone = 0, hrGet = 1, hrPost = 2, hrHead = 3 };

class HttpClient;
using HttpNotifyEvent = std::function<void(HttpClient* Sender)>;
using CommandEvent = std::function<void(HttpClient* Sender, const std::string& S)>;
using DocDataEvent = std::function<void(HttpClient* Sender, const char* Buffer, std::int32_t Len)>;
using RequestDoneEvent = std::function<void(HttpClient* Sender, HttpRequestKind RqType, std::uint16_t Error)>;

constexpr win::UINT WM_CLIENT_DONE = win::WM_USER + 1;
constexpr win::UINT WM_CLIENT_IDLE = win::WM_USER + 2;
constexpr win::UINT WM_CLIENT_RELOCATE = win::WM_USER + 3;

// Codes of HttpError besides the status codes of finished requests.
constexpr std::uint16_t kHttpBusy = 1;
constexpr std::uint16_t kHttpNothingToPost = 2;
constexpr std::uint16_t kHttpBadProperty = 3;  // CR, LF or NUL in a property
constexpr std::uint16_t kHttpNoHost = 4;       // URL or Proxy without a host
// Status code of every request that ends without a usable answer of the server.
constexpr std::int32_t kLocalFailureStatus = 404;
constexpr int kMaxRelocations = 20;
// Bounds of one response header, far above what real servers send.
constexpr std::size_t kMaxResponseHeaderBytes = 256 * 1024;
constexpr int kMaxResponseHeaderLines = 1000;

class HttpClient : private win::MessageReceiver {
 public:
  HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;
  // A running request is not ended first; nothing fires.
  ~HttpClient();

  // Starts a request and returns at once. Raises HttpError when the client is busy, a POST
  // has nothing to post, or a property cannot make a request (nothing changes then).
  void StartRequest(HttpRequestKind Kind);
  // Synchronous requests: return when the client is idle again; raise HttpError when the
  // request ended with a status of 400 or more (local failures and Abort give 404).
  void Get();
  void Post();
  // Ends the running request; the waiting Get or Post raises "Connection aborted on request".
  void Abort();

  // Published properties.
  std::string URL;
  std::string Proxy;
  std::string ProxyPort = "80";
  std::string Sender;
  std::string Agent;
  std::string Reference;
  std::string Username;
  std::string Password;
  std::string ProxyUsername;
  std::string ProxyPassword;
  bool NoCache = false;
  DateTime ModifiedSince = 0;
  std::string Cookie;
  std::string ContentTypePost = "application/x-www-form-urlencoded";
  // Seconds without progress (look-up, connect, data, request bytes taken by the peer) after
  // which a request ends as timed out; 0 waits for ever.
  int TimeLimit = 0;
  // Seconds that a whole request may take, relocations included, however steadily data moves;
  // 0 sets no bound.
  int TotalTimeLimit = 0;
  bool MultiThreaded() const { return FMultiThreaded; }
  void SetMultiThreaded(bool Value);

  // Lent streams, owned by the caller.
  Stream* PostStream = nullptr;
  Stream* ReceiveStream = nullptr;

  // Results.
  HttpClientState ClientState() const { return FState; }
  std::int32_t StatusCode() const { return FStatusCode; }
  const std::string& ReasonPhrase() const { return FReasonPhrase; }
  const std::vector<std::string>& HeaderLines() const { return FHeaderLines; }
  // The header line just completed, or the body chunk just received; valid until the next one.
  std::string_view LastLine() const { return FLastLine; }
  std::int64_t ReceivedCount() const { return FReceivedCount; }
  std::int64_t SentCount() const { return FSentCount; }
  AsyncSocket& Socket() { return *FSocket; }

  // Events.
  HttpNotifyEvent OnStateChange, OnHeaderBegin, OnHeaderEnd, OnHeaderData, OnDocBegin, OnDocEnd;
  DocDataEvent OnDocData;
  HttpNotifyEvent OnSendBegin, OnSendEnd;
  DocDataEvent OnSendData;
  HttpNotifyEvent OnTrace;
  CommandEvent OnCommand;
  RequestDoneEvent OnRequestDone;
  HttpNotifyEvent OnLocationChange;

 protected:
  virtual void AddHeaderLine(const std::string& Line);
  virtual void StartLookup();
  virtual void CloseConnection();
  virtual void FireHeaderBegin() { Fire(OnHeaderBegin); }
  virtual void FireHeaderEnd() { Fire(OnHeaderEnd); }
  virtual void FireDocBegin() { Fire(OnDocBegin); }
  virtual void FireDocData(const char* Buffer, std::int32_t Len);
  virtual void FireDocEnd() { Fire(OnDocEnd); }
  virtual void FireSendBegin() { Fire(OnSendBegin); }
  virtual void FireSendData(const char* Buffer, std::int32_t Len);
  virtual void FireSendEnd() { Fire(OnSendEnd); }

 private:
  // The body is read in chunks of 8192 bytes (one OnSendData each); up to eight of them go to
  // the socket in one Send, so that a large body costs few system calls.
  static constexpr std::size_t kSendChunkSize = 8192;
  static constexpr std::size_t kChunksPerSend = 8;
  // Header lines are assembled in the first 8191 bytes; once the body runs, each read takes up
  // to the whole buffer, so a large document costs few system calls (per 256 KiB, a read, the
  // socket's look at what is pending, and the write of the chunk).
  static constexpr std::size_t kHeaderBufferSize = 8192;  // 8191 bytes and a closing zero
  static constexpr std::size_t kReceiveBufferSize = 256 * 1024 + 1;
  static constexpr win::UINT_PTR kTimeLimitTimer = 1;
  static constexpr win::UINT_PTR kTotalTimeLimitTimer = 2;

  void WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM lParam) override;
  void Fire(const HttpNotifyEvent& event) {
    if (event) event(this);
  }
  void SetClientState(HttpClientState NewState);
  void CheckRequestProperties() const;
  void PrepareTargets();
  std::string AbsoluteUri(const std::string& Protocol, const std::string& Path) const;
  void EndRequest();
  void SocketSessionClosed(std::uint16_t Error);
  static std::string SocketErrorText(int Code);  // the text of a socket error and its number
  void EndRequestOnClose();
  void CheckResponseComplete();
  bool RequestStillGoingOut();
  void FailRequest(const std::string& Reason);
  void StopRequest(const std::string& Reason, std::uint16_t DoneError);
  void WaitUntilIdle();
  void Synchronous(HttpRequestKind Kind);

  // Time limits.
  void ArmTimeLimit();
  void DisarmTimeLimit();
  void ArmTotalTimeLimit();
  void StopTimers();
  void TimeLimitExpired();
  void TotalTimeLimitExpired();
  void RecordHandlerFailure(std::string& failure, const std::string& what);

  // Request side.
  void SocketDnsLookupDone(std::uint16_t Error);
  void ConnectToResult();
  void SocketSessionConnected(std::uint16_t Error);
  void SendRequest();
  void SendRequestHeader(const std::string& Method);
  void SendBodyChunk();

  // Response side.
  void SocketDataAvailable();
  void HandleBufferedLines();
  void HandleHeaderLine();
  void HandleStatusLine(const std::string& Line);
  void HandleLocation(const std::string& Location);
  bool CountHeaderLine(std::size_t bytes);
  void NoteContentLength(const std::string& Value);
  std::string Origin() const;
  void Relocate();
  void RelocationClosed();
  void HandleBodyData();
  void DeliverBufferAsBody();

  std::unique_ptr<AsyncSocket> FSocket;
  win::HWND NotifyWindow = 0;
  bool FMultiThreaded = false;
  HttpClientState FState = hsIdle;
  std::string ConnectHost, TargetHost, ConnectPort;
  std::string TargetPort;  // explicit port of the URL, kept in absolute URIs for a proxy
  bool Connected = false;
  char PostBuffer[kSendChunkSize * kChunksPerSend];
  HttpRequestKind RequestKind = hrNone;
  std::unique_ptr<char[]> ReceiveBuffer = std::make_unique_for_overwrite<char[]>(kReceiveBufferSize);
  std::size_t ReceiveFill = 0;
  std::string FHeaderLine;
  std::string_view FLastLine;  // FHeaderLine, or a body chunk in ReceiveBuffer (no copy)
  std::int32_t HeaderLineCount = 0;
  std::int32_t BodyChunkCount = 0;
  bool Sending = false;
  std::string RequestPath;
  std::int32_t FStatusCode = 0;
  std::string FReasonPhrase;
  bool RelocationPending = false;
  int Relocations = 0;
  std::size_t PostStart = 0;  // where the body starts in PostStream, for a relocated POST
  bool SendBody = false;      // a POST whose relocations stayed at its origin
  std::string SentOrigin;     // host and port that the request went to last
  // Credentials of this request (the URL's, else the properties) and the one origin they go to.
  std::string AuthUsername, AuthPassword, AuthOrigin;
  // The response on the current connection.
  std::size_t ResponseHeaderBytes = 0;
  int ResponseHeaderLines = 0;
  std::int64_t ContentLength = -1;  // announced body length; -1 when none
  bool StatusLineReceived = false;
  bool ConnectionReset = false;
  std::int32_t TimeLimitBacklog = -1;  // request bytes the peer had not taken at the last arming
  std::vector<std::string> FHeaderLines;
  std::int64_t FReceivedCount = 0;
  std::int64_t FSentCount = 0;
  std::string RequestBuffer;
  std::uint16_t DoneError = 0;
  void (HttpClient::*LineHandler)() = &HttpClient::HandleHeaderLine;
};

// SPDX-License-Identifier: MIT
// Life cycle, state, posted steps and the synchronous calls of HttpClient.

#include "http/http_client.h"

HttpClient::HttpClient() : FSocket(std::make_unique<AsyncSocket>()) {
  NotifyWindow = win::CreateMessageWindow(*this);
  EndRequestOnClose();
  FSocket->OnDataAvailable = [this](AsyncSocketBase*, std::uint16_t) { SocketDataAvailable(); };
  FSocket->OnSessionConnected = [this](AsyncSocketBase*, std::uint16_t Error) { SocketSessionConnected(Error); };
  FSocket->OnDataSent = [this](AsyncSocketBase*, std::uint16_t) { SendBodyChunk(); };
  FSocket->OnDnsLookupDone = [this](AsyncSocketBase*, std::uint16_t Error) { SocketDnsLookupDone(Error); };
}

HttpClient::~HttpClient() {
  FSocket.reset();
  win::DestroyMessageWindow(NotifyWindow);
}

void HttpClient::SetMultiThreaded(bool Value) {
  FMultiThreaded = Value;
  FSocket->MultiThreaded = Value;
}

void HttpClient::WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM) {
  switch (message) {
    case WM_CLIENT_DONE:
      if (OnRequestDone) OnRequestDone(this, RequestKind, DoneError);
      break;
    case WM_CLIENT_IDLE:
      SetClientState(hsIdle);
      break;
    case WM_CLIENT_RELOCATE:
      // An Abort that came while the old connection was closing ends the chain here.
      if (FState == hsAborting) {
        EndRequest();
      } else {
        if (SendBody && PostStream) PostStream->Seek(PostStart);
        StartLookup();
      }
      break;
    case win::WM_TIMER:
      if (wParam == kTimeLimitTimer) TimeLimitExpired();
      if (wParam == kTotalTimeLimitTimer) TotalTimeLimitExpired();
      break;
  }
}

void HttpClient::SetClientState(HttpClientState NewState) {
  if (NewState == FState) return;
  FState = NewState;
  Fire(OnStateChange);
  if (NewState == hsIdle) {
    StopTimers();
    win::PostMessage(NotifyWindow, WM_CLIENT_DONE, 0, 0);
  }
}

// The request ends with the connection: from here on nothing more is sent.
void HttpClient::EndRequest() {
  Connected = false;
  Sending = false;
  StopTimers();
  CheckResponseComplete();
  if (BodyChunkCount > 0) FireDocEnd();
  win::PostMessage(NotifyWindow, WM_CLIENT_IDLE, 0, 0);
}

// A local failure while connected: record it like an error answer and drop the connection, so
// the request ends through the socket's close report.
void HttpClient::FailRequest(const std::string& Reason) {
  FStatusCode = kLocalFailureStatus;
  FReasonPhrase = Reason;
  CloseConnection();
}

void HttpClient::CloseConnection() {
  FSocket->Close();
  Connected = false;
}

// Ends a running request from outside the socket's events: Abort and the time limit.
void HttpClient::StopRequest(const std::string& Reason, std::uint16_t Error) {
  const bool resolving = FState == hsResolving;
  SetClientState(hsAborting);
  if (resolving) {
    try {
      FSocket->CancelDnsLookup();
    } catch (const std::exception&) {
      // The look-up is abandoned either way; its reply finds the client aborting.
    }
  }
  FStatusCode = kLocalFailureStatus;
  FReasonPhrase = Reason;
  DoneError = Error;
  if (resolving) {
    EndRequest();
  } else {
    FSocket->Close();
  }
}

void HttpClient::Abort() {
  if (FState == hsIdle) {
    if (FSocket->State() != wsClosed) FSocket->Close();
    return;
  }
  StopRequest("Connection aborted on request", 3);
}

// Sleeps on the event loop (no polling) while every message of the thread is dispatched. A
// handler that raises during the wait fails the request with its message: the client is never
// left busy, and the caller only ever sees HttpError.
void HttpClient::WaitUntilIdle() {
  std::string failure;
  while (FState != hsIdle) {
    try {
      win::WaitMessages();
    } catch (const std::exception& e) {
      RecordHandlerFailure(failure, e.what());
    } catch (...) {
      RecordHandlerFailure(failure, "");
    }
  }
  if (failure.empty()) return;
  FStatusCode = kLocalFailureStatus;
  FReasonPhrase = failure;
}

// The first failure is the reason; it stops the request if that is still running.
void HttpClient::RecordHandlerFailure(std::string& failure, const std::string& what) {
  if (failure.empty()) failure = what.empty() ? "Unknown error while waiting for the answer" : what;
  if (FState != hsIdle && FState != hsAborting) StopRequest(failure, 3);
}

void HttpClient::Synchronous(HttpRequestKind Kind) {
  StartRequest(Kind);
  WaitUntilIdle();
  if (FStatusCode >= 400) throw HttpError(FReasonPhrase, static_cast<std::uint16_t>(FStatusCode));
}

void HttpClient::Get() { Synchronous(hrGet); }

void HttpClient::Post() { Synchronous(hrPost); }

// SPDX-License-Identifier: MIT
// Event-driven IPv4 socket over WinSock 1.1.
//
// Every socket is non-blocking; readiness arrives as messages on the component's own hidden
// window and becomes events. Everything runs on the thread that created the component, and
// every wait dispatches that thread's messages, so handlers may run inside any wait.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "net/send_buffer.h"
#include "net/socket_exception.h"
#include "net/wait_countdown.h"
#include "platform/message_window.h"
#include "platform/winsock_shim.h"

enum SocketState : std::uint8_t {
  wsInvalidState = 0,
  wsOpened = 1,
  wsBound = 2,
  wsConnecting = 3,
  wsConnected = 4,
  wsAccepting = 5,
  wsListening = 6,
  wsClosed = 7,
};
enum SocketSendFlags : std::int32_t { wsSendNormal = 0, wsSendUrgent = 1 };
enum SocketLingerOnOff : std::uint8_t { wsLingerOff = 0, wsLingerOn = 1, wsLingerNoSet = 2 };

class AsyncSocketBase;

using SocketErrorEvent = std::function<void(AsyncSocketBase* Sender, std::uint16_t Error)>;
using DataAvailableEvent = SocketErrorEvent;
using DataSentEvent = SocketErrorEvent;
using SessionClosedEvent = SocketErrorEvent;
using SessionAvailableEvent = SocketErrorEvent;
using SessionConnectedEvent = SocketErrorEvent;
using DnsLookupDoneEvent = SocketErrorEvent;
using ChangeStateEvent = std::function<void(AsyncSocketBase* Sender, SocketState OldState, SocketState NewState)>;
using SocketNotifyEvent = std::function<void(AsyncSocketBase* Sender)>;

constexpr win::UINT WM_SOCKET_EVENT = win::WM_USER + 1;
constexpr win::UINT WM_DNS_REPLY = win::WM_USER + 2;

class AsyncSocketBase : private win::MessageReceiver {
 public:
  AsyncSocketBase();
  AsyncSocketBase(const AsyncSocketBase&) = delete;
  AsyncSocketBase& operator=(const AsyncSocketBase&) = delete;
  // Closes and cancels without firing any event.
  virtual ~AsyncSocketBase();

  // Connecting and closing.
  virtual void Connect();
  virtual void Close();
  virtual void Abort();
  // Sends everything queued before returning, or until FlushTimeout seconds have passed.
  virtual void Flush();
  // Delivers received data until the connection closes, sleeping in the message loop meanwhile.
  virtual void WaitUntilClosed();
  // Binds to Addr:Port and listens; 0 on success, -1 on a failure reported through OnError.
  // OnSessionAvailable then tells when to Accept; another component takes the handle with Dup.
  virtual int Listen();
  virtual ws::SOCKET Accept();
  // Data.
  virtual int Receive(void* Buffer, int BufferSize);
  virtual int ReceiveFrom(void* Buffer, int BufferSize, ws::sockaddr_in& From, int& FromLen);
  virtual int Send(const void* Data, int Len);
  virtual int SendStr(const std::string& Str);
  // Host look-up: OnDnsLookupDone reports the outcome.
  virtual void DnsLookup(const std::string& HostName);
  virtual void CancelDnsLookup();
  // Addresses of the connection.
  virtual std::string GetPeerAddr();
  virtual int GetPeerName(ws::sockaddr_in& Name, int NameLen);
  virtual std::string GetLocalPortText();
  virtual bool TimevalIsSet(const ws::timeval& tvp);
  virtual void TimevalClear(ws::timeval& tvp);
  virtual bool TimevalCompare(const ws::timeval& tvp, const ws::timeval& uvp, bool Equal);
  // Whether WantedState arrives within Timeout seconds; false at once if it is already there.
  virtual bool Wait(int Timeout, SocketState WantedState);
  // Reads one line (without CR and LF, at most 254 characters) into Buffer, waiting up to
  // Timeout seconds; a line that is not complete by then is continued by the next call.
  virtual void ReadLine(int Timeout, std::string& Buffer);
  virtual int GetSockName(ws::sockaddr_in& Name, int& NameLen);
  // Takes over a connected handle (from another component's Accept), closing any current one.
  virtual void Dup(ws::SOCKET NewHSocket);
  virtual void Shutdown(int How);
  virtual void Pause();
  virtual void Resume();

  // Delivers every message pending for the calling thread and returns.
  void PumpMessages();

 protected:
  virtual void ResetToDefaults();
  virtual void BindAnyLocal();
  virtual void RaiseSocketExceptionFmt(const char* Format, ...) __attribute__((format(printf, 2, 3)));
  virtual void RaiseSocketException(const std::string& Msg);
  virtual bool FireDataAvailable(std::uint16_t Error);
  virtual void FireSessionAvailable(std::uint16_t Error);
  virtual void FireSessionConnected(std::uint16_t Error);
  virtual void FireSessionClosed(std::uint16_t Error);
  virtual void FireDataSent(std::uint16_t Error);
  virtual void FireChangeState(SocketState OldState, SocketState NewState);
  virtual void FireDnsLookupDone(std::uint16_t Error);
  virtual void FireError();

  // Properties (published by AsyncSocket).
  const std::string& Addr() const { return FAddrStr; }
  void SetAddr(const std::string& Value);
  const std::string& Port() const { return FPortStr; }
  void SetPort(const std::string& Value);
  const std::string& Proto() const { return FProtoStr; }
  void SetProto(const std::string& Value);
  const std::string& DnsResult() const { return FDnsResult; }
  const std::vector<std::string>& DnsResultList() const { return FDnsResultList; }
  SocketState State() const { return FState; }
  std::int32_t ReadCount() const { return FReadCount; }
  std::int32_t RcvdCount();
  // Bytes of this connection the peer has not taken yet: the send queue and what the system
  // holds until the peer acknowledges it; -1 without a socket or when the system cannot tell.
  std::int32_t PendingOutput();
  std::int32_t LastError() const { return FLastError; }
  WaitCountdown* WaitCtrl() const { return FWaitCtrl; }
  void SetWaitCtrl(WaitCountdown* Value);
  SocketSendFlags SendFlags();
  void SetSendFlags(SocketSendFlags Value);

  // Internal steps.
  void ChangeState(SocketState NewState);
  void ReportSocketError(const std::string& FunctionName);
  bool TryToSend();
  void QueueSendData(const char* Data, int Len);
  bool SendDirect(const char* Data, int Len);
  bool HandleSendError();
  int SendPending(int& Offered);
  void ConsumeSent(int Sent);
  void DropDrainedBlocks();
  SendBuffer NewBlock();
  void PostDrainNotice();
  void HandleWriteEvent(std::uint16_t Error);
  bool CheckWaitCtrl();
  void ApplyLinger();
  void DoClose(bool ShutdownFirst);
  void HandleSocketEvent(win::WPARAM wParam, win::LPARAM lParam);
  void HandleReadEvent(std::uint16_t Error);
  void HandleDnsReply(win::WPARAM wParam, win::LPARAM lParam);
  void ReceiveLineBytes();
  int FillReadAhead(ws::u_long Pending);
  bool TakeLineBytes();
  int TakeReadAhead(char* Buffer, int BufferSize);
  bool HasReadAhead() const { return ReadAheadAt < ReadAhead.size(); }
  void EndLine();
  void StopWaitCtrl();
  void DiscardSendQueue();
  void ReportPeerGone(int Code);
  void PumpUntil(int TimeoutSeconds, const std::function<bool()>& Done);
  void RunWaitCtrl(int Timeout);
  bool DeliverPendingData();
  void ReleaseUnadoptedSocket();

  // Component data.
  ws::SOCKET FHSocket = ws::INVALID_SOCKET;
  bool PortAssigned = false;
  bool AddrAssigned = false;
  bool ProtoAssigned = true;
  std::string FProtoStr;
  std::string FAddrStr;
  std::string FPortStr;
  std::int32_t FPortNum = 0;
  std::int32_t LocalPort = 0;
  std::int32_t FProto = ws::WS_IPPROTO_TCP;
  std::int32_t FType = ws::WS_SOCK_STREAM;
  std::string FDnsResult;
  std::vector<std::string> FDnsResultList;
  std::int32_t FAddrFormat = ws::WS_AF_INET;
  ws::SOCKET FASocket = ws::INVALID_SOCKET;
  SocketState FState = wsClosed;
  std::deque<SendBuffer> BufferList;
  std::int32_t BufferSize = SendBuffer::kDefaultSize;
  std::vector<SendBuffer> SpareBlocks;  // drained blocks kept for reuse, so a stream allocates once
  bool DataSentDue = true;           // the queue drained (or connected) and OnDataSent has not said so
  bool DrainNoticeQueued = false;    // Send posted an FD_WRITE notice that is not yet handled
  std::int32_t FSendFlags = 0;
  WaitCountdown* FWaitCtrl = nullptr;
  SocketState AwaitedState = wsInvalidState;
  std::int32_t FLastError = 0;
  bool Paused = false;
  bool AllSent = true;
  bool SendSideGone = false;  // a send met a reset; the close is on its way
  std::string LineBuffer;
  std::int32_t LineLength = 0;
  bool LineReading = false;
  // Bytes that line reading took from the kernel past the line, from ReadAheadAt on; every read
  // hands them out before anything newer.
  std::string ReadAhead;
  std::size_t ReadAheadAt = 0;
  bool ReadNoticeQueued = false;  // EndLine posted an FD_READ notice that is not yet handled
  std::int32_t FReadCount = 0;
  bool CloseNotified = false;
  win::HWND FWindowHandle = 0;
  ws::HostEntry HostEntryBuffer;
  ws::HANDLE DnsLookupHandle = 0;
  ws::sockaddr_in PeerSockAddr{};

 public:
  // Plain properties and events (published by AsyncSocket).
  bool MultiThreaded = false;
  std::int32_t FlushTimeout = 60;
  SocketLingerOnOff LingerOnOff = wsLingerOn;
  std::int32_t LingerTimeout = 0;
  // Connections the system queues for Accept; beyond them a burst of callers waits for SYN
  // retries. Not touched by reset.
  std::int32_t ListenBacklog = 5;
  SessionAvailableEvent OnSessionAvailable;
  SessionConnectedEvent OnSessionConnected;
  SessionClosedEvent OnSessionClosed;
  ChangeStateEvent OnChangeState;
  DataAvailableEvent OnDataAvailable;
  DataSentEvent OnDataSent;
  SocketNotifyEvent OnLineTooLong;
  DnsLookupDoneEvent OnDnsLookupDone;
  SocketNotifyEvent OnError;

 private:
  friend class WaitCountdown;
  void WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM lParam) override;
  bool FDestroying = false;
  win::UINT_PTR FNextTimerId = 1;
};

class AsyncSocket : public AsyncSocketBase {
 public:
  using AsyncSocketBase::Addr;
  using AsyncSocketBase::DnsResult;
  using AsyncSocketBase::DnsResultList;
  using AsyncSocketBase::LastError;
  using AsyncSocketBase::Port;
  using AsyncSocketBase::Proto;
  using AsyncSocketBase::RcvdCount;
  using AsyncSocketBase::PendingOutput;
  using AsyncSocketBase::ReadCount;
  using AsyncSocketBase::SendFlags;
  using AsyncSocketBase::SetAddr;
  using AsyncSocketBase::SetPort;
  using AsyncSocketBase::SetProto;
  using AsyncSocketBase::SetSendFlags;
  using AsyncSocketBase::SetWaitCtrl;
  using AsyncSocketBase::State;
  using AsyncSocketBase::WaitCtrl;
};

// Text to integer: leading blanks skipped, then decimal digits up to the first other character.
std::int32_t ParseDecimal(const std::string& Text);
// Dotted address or host name to an IPv4 address in network order; raises SocketError.
ws::u_long ResolveHost(const std::string& Host);
// Starts WinSock once for the process; raises SocketError when it cannot.
void WinsockStartup(const std::string& LibraryName);

// SPDX-License-Identifier: MIT
#pragma once
// One gateway account's thread: it runs the account's mailbox work in arrival order on one
// kept connection, keeps that connection alive with a NOOP while it waits, and logs out when
// the connection has not been used for the idle limit or the gateway stops. A stalled server
// holds up this account only.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "webmail/imap/imap_mailbox.h"

namespace webmail {

class AccountWorker {
 public:
  using Clock = std::chrono::steady_clock;
  // Runs on the worker's thread when the work is over: nullopt, or what went wrong.
  using Finished = std::function<void(std::optional<MailStoreError>)>;

  AccountWorker(const GatewayAccount& account, const TlsTrust& trust, const TokenStore& tokens,
                std::chrono::seconds idleLimit);
  // Logs out, waiting a few seconds at most.
  ~AccountWorker();
  // Starts the logout without waiting for it, so that many accounts log out at once.
  void RequestExit();
  AccountWorker(const AccountWorker&) = delete;
  AccountWorker& operator=(const AccountWorker&) = delete;

  // `work` runs by `deadline`, or is given up with a time-out failure.
  void Submit(Clock::time_point deadline, MailboxWork work, Finished finished);

 private:
  struct Job {
    Clock::time_point deadline;
    MailboxWork work;
    Finished finished;
  };

  void Loop();
  void Execute(Job& job);
  void Attempt(Job& job);
  void LookAfterConnection();
  Clock::time_point NextLook() const;
  MailStoreError Failure(const std::string& what) const;

  const GatewayAccount& account_;
  const std::chrono::seconds idleLimit_;
  StopSignal stop_;
  ImapMailbox mailbox_;
  Clock::time_point lastUse_;
  Clock::time_point lastNoop_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool exiting_ = false;
  bool exited_ = false;
  std::thread thread_;
};

}  // namespace webmail

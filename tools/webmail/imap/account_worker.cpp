// SPDX-License-Identifier: MIT
#include "webmail/imap/account_worker.h"

#include <algorithm>

namespace webmail {
namespace {

// Quiet longer than this and the kept connection is tested with a NOOP, before a server or a
// router in between forgets it.
constexpr std::chrono::minutes kKeepAliveAfter{4};
// Requests waiting for one stalled account are bounded too; each also has its deadline.
constexpr std::size_t kMaxWaiting = 64;
// How long the end of the gateway waits for a polite LOGOUT before it cuts the connection.
constexpr std::chrono::seconds kExitWait{3};

}  // namespace

AccountWorker::AccountWorker(const GatewayAccount& account, const TlsTrust& trust, const TokenStore& tokens,
                             std::chrono::seconds idleLimit)
    : account_(account), idleLimit_(idleLimit), mailbox_(account, trust, stop_, tokens), thread_(&AccountWorker::Loop, this) {}

AccountWorker::~AccountWorker() {
  RequestExit();
  std::unique_lock lock(mutex_);
  if (!wake_.wait_for(lock, kExitWait, [this] { return exited_; })) stop_.Raise();
  lock.unlock();
  thread_.join();
}

void AccountWorker::RequestExit() {
  std::lock_guard lock(mutex_);
  exiting_ = true;
  wake_.notify_all();
}

void AccountWorker::Submit(Clock::time_point deadline, MailboxWork work, Finished finished) {
  {
    std::lock_guard lock(mutex_);
    if (jobs_.size() < kMaxWaiting) {
      jobs_.push_back({deadline, std::move(work), std::move(finished)});
      wake_.notify_all();
      return;
    }
  }
  finished(Failure("too many requests are waiting for this mailbox"));
}

MailStoreError AccountWorker::Failure(const std::string& what) const {
  return MailStoreError(account_.server.Url() + " as " + account_.user + ": " + what);
}

void AccountWorker::Loop() {
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait_until(lock, NextLook(), [this] { return exiting_ || !jobs_.empty(); });
    if (exiting_) break;  // nobody waits for the answers any more
    if (jobs_.empty()) {
      lock.unlock();
      LookAfterConnection();
      lock.lock();
      continue;
    }
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    Execute(job);
    lock.lock();
  }
  lock.unlock();
  mailbox_.LogOut();
  lock.lock();
  exited_ = true;
  wake_.notify_all();
}

// A job whose deadline passed while it waited has had its answer already.
void AccountWorker::Execute(Job& job) {
  if (Clock::now() >= job.deadline)
    return job.finished(Failure("no answer within " + std::to_string(account_.timeout.count()) + " seconds"));
  try {
    Attempt(job);
  } catch (const ImapFailure& e) {
    return job.finished(Failure(e.what()));
  } catch (const GatewayConfigError& e) {
    return job.finished(Failure(e.what()));
  } catch (const MailStoreError& e) {
    return job.finished(e);
  } catch (const std::exception& e) {  // a message the MIME side could not take, memory
    mailbox_.Drop();
    return job.finished(Failure(e.what()));
  }
  job.finished(std::nullopt);
}

// A kept connection may have died since it was last used: one more try on a new one.
void AccountWorker::Attempt(Job& job) {
  mailbox_.Begin(job.deadline);
  const bool kept = mailbox_.Connected();
  try {
    job.work(mailbox_);
  } catch (const ImapFailure&) {
    mailbox_.Drop();
    if (!kept || Clock::now() >= job.deadline) throw;
    job.work(mailbox_);
  }
  lastUse_ = lastNoop_ = Clock::now();
}

void AccountWorker::LookAfterConnection() {
  if (!mailbox_.Connected()) return;
  const Clock::time_point now = Clock::now();
  if (now >= lastUse_ + idleLimit_) return mailbox_.LogOut();
  if (now >= lastNoop_ + kKeepAliveAfter) {
    mailbox_.KeepAlive();
    lastNoop_ = now;
  }
}

AccountWorker::Clock::time_point AccountWorker::NextLook() const {
  if (!mailbox_.Connected()) return Clock::now() + std::chrono::hours(1);
  return std::min<Clock::time_point>(lastUse_ + idleLimit_, lastNoop_ + kKeepAliveAfter);
}

}  // namespace webmail

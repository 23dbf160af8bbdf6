// SPDX-License-Identifier: MIT
#pragma once
// The desktop's Secret Service (gnome-keyring, KeePassXC, ...) as the keyring of the saved
// passwords, through QtKeychain. QtKeychain answers asynchronously; each call here waits for its
// answer on a local event loop (user input held back) for at most the answer limit, so that a
// locked, stalled or vanished keyring costs a bounded wait and never hangs the program.

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

#include "session/password_keyring.h"

class QEventLoop;
namespace QKeychain {
class Job;
}

class SecretServiceKeyring : public PasswordKeyring {
 public:
  static constexpr std::chrono::milliseconds kDefaultAnswerLimit{20000};  // time to unlock it

  explicit SecretServiceKeyring(std::chrono::milliseconds answerLimit = kDefaultAnswerLimit);

  // A Secret Service holds its name on the session bus. Asking the bus does not start one: a
  // keyring that the desktop has not started would only show its prompts at odd moments.
  bool Available() override;
  std::string Read(const std::string& name) override;
  void Write(const std::string& name, const std::string& password) override;
  void Remove(const std::string& name) override;

  // The program is ending: a wait for the keyring ends now (as if it had not answered in time),
  // and later calls fail at once. From any thread.
  void Abandon();

 private:
  template <class OnFinished>
  void Run(QKeychain::Job* job, OnFinished onFinished);

  std::chrono::milliseconds answerLimit_;
  std::atomic<bool> abandoned_{false};
  std::mutex waitingMutex_;
  std::vector<QEventLoop*> waiting_;  // the local loops of calls under way, on any thread
};

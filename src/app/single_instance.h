// SPDX-License-Identifier: MIT
#pragma once
// One running program per user, display and settings folder, so that two windows never save
// over each other's settings. The first start holds a lock file and listens on a local socket
// beside it, both in the user's private runtime directory. A later start finds the lock held,
// asks the running program over the socket to raise its window, waits for its answer and ends.
// A lock left behind by a program that died is taken over.

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "app/local_channel.h"

class SingleInstance : public QObject {
 public:
  // The lock and the socket are named after a digest of the key, inside directory.
  SingleInstance(const QString& directory, const QString& key);
  ~SingleInstance() override;

  // The program's own instance: under the user's runtime directory, keyed by the display and
  // the settings folder.
  static std::unique_ptr<SingleInstance> ForProgram(const QString& settingsDirectory);

  enum class Start { First, Raised, NoAnswer };

  // First: this process holds the lock (or could not take part, which is reported on stderr).
  // Raised: another process holds it and has raised its window. NoAnswer: another process holds
  // it but did not answer within the time given.
  Start Claim(int timeoutMilliseconds);

  // Once the window exists, as the first: answers each later start by running raise.
  void AnswerLaterStarts(std::function<void()> raise);

 private:
  std::string socketPath_;  // in the file system's encoding
  QLockFile lock_;
  LocalListener listener_;
};

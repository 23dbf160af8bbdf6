// SPDX-License-Identifier: MIT
#include "keyring/secret_service_keyring.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QEventLoop>
#include <QTimer>

namespace {

constexpr const char* kService = "Vexmira";  // the items' service attribute
constexpr int kBusAnswerLimitMs = 2000;

QString FromBytes(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

SecretServiceKeyring::SecretServiceKeyring(std::chrono::milliseconds answerLimit) : answerLimit_(answerLimit) {}

// Runs `job` (deleted by QtKeychain once it has finished) and waits for its end; nothing stored
// under the job's key is no error. A job that does not answer in time, or whose wait is
// abandoned, is left behind: the connection ends with the local loop, and the job deletes
// itself whenever its answer comes. `onFinished` reads the job's result while it still exists.
template <class OnFinished>
void SecretServiceKeyring::Run(QKeychain::Job* job, OnFinished onFinished) {
  if (abandoned_) {
    job->deleteLater();
    throw KeyringError("the keyring did not answer in time");
  }
  QEventLoop loop;
  bool finished = false;
  QKeychain::Error error = QKeychain::OtherError;
  QString reason;
  QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
    finished = true;
    error = done->error();
    reason = done->errorString();
    if (error == QKeychain::NoError) onFinished(*done);
    loop.quit();
  });
  QTimer::singleShot(answerLimit_, &loop, &QEventLoop::quit);
  job->start();
  if (!finished) {
    {
      std::lock_guard lock(waitingMutex_);
      waiting_.push_back(&loop);
    }
    if (!abandoned_) loop.exec(QEventLoop::ExcludeUserInputEvents);
    std::lock_guard lock(waitingMutex_);
    std::erase(waiting_, &loop);
  }
  if (!finished) throw KeyringError("the keyring did not answer in time");
  if (error != QKeychain::NoError && error != QKeychain::EntryNotFound) throw KeyringError(reason.toStdString());
}

void SecretServiceKeyring::Abandon() {
  abandoned_ = true;
  std::lock_guard lock(waitingMutex_);
  for (QEventLoop* loop : waiting_) QMetaObject::invokeMethod(loop, &QEventLoop::quit, Qt::QueuedConnection);
}

bool SecretServiceKeyring::Available() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage ask = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                    QStringLiteral("/org/freedesktop/DBus"),
                                                    QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
  ask << QStringLiteral("org.freedesktop.secrets");
  const QDBusMessage answer = bus.call(ask, QDBus::Block, kBusAnswerLimitMs);
  return answer.type() == QDBusMessage::ReplyMessage && answer.arguments().value(0).toBool();
}

// Passwords are bytes; they travel as binary data, so that every byte comes back.
std::string SecretServiceKeyring::Read(const std::string& name) {
  auto* job = new QKeychain::ReadPasswordJob(QString::fromLatin1(kService));
  job->setKey(FromBytes(name));
  QByteArray password;
  Run(job, [&](QKeychain::Job& done) { password = static_cast<QKeychain::ReadPasswordJob&>(done).binaryData(); });
  return password.toStdString();
}

void SecretServiceKeyring::Write(const std::string& name, const std::string& password) {
  auto* job = new QKeychain::WritePasswordJob(QString::fromLatin1(kService));
  job->setKey(FromBytes(name));
  job->setBinaryData(QByteArray(password.data(), static_cast<qsizetype>(password.size())));
  Run(job, [](QKeychain::Job&) {});
}

void SecretServiceKeyring::Remove(const std::string& name) {
  auto* job = new QKeychain::DeletePasswordJob(QString::fromLatin1(kService));
  job->setKey(FromBytes(name));
  Run(job, [](QKeychain::Job&) {});
}

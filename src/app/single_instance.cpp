// SPDX-License-Identifier: MIT
#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>

namespace {

constexpr char kRaiseRequest[] = "raise\n";
constexpr char kRaisedAnswer[] = "raised\n";
constexpr int kRetryMilliseconds = 50;

void Warn(const QString& text) {
  std::fprintf(stderr, "vexmira: %s\n", text.toLocal8Bit().constData());
}

// The screen the windows go to. X programs also run on a Wayland desktop, so its name comes
// first; an X display counts without its screen number; else the platform alone (offscreen).
QString DisplayName() {
  const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
  if (!wayland.isEmpty()) return QStringLiteral("wayland ") + wayland;
  QString x = qEnvironmentVariable("DISPLAY");
  if (!x.isEmpty()) {
    const qsizetype screen = x.indexOf(QLatin1Char('.'), x.lastIndexOf(QLatin1Char(':')));
    if (screen > 0) x.truncate(screen);
    return QStringLiteral("x11 ") + x;
  }
  return QGuiApplication::platformName();
}

// The lock's and the socket's path without their extensions.
QString PathStem(const QString& directory, const QString& key) {
  const QByteArray digest = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
  return directory + QStringLiteral("/vexmira-") + QString::fromLatin1(digest);
}

}  // namespace

SingleInstance::SingleInstance(const QString& directory, const QString& key)
    : socketPath_(QFile::encodeName(PathStem(directory, key) + QStringLiteral(".socket")).toStdString()),
      lock_(PathStem(directory, key) + QStringLiteral(".lock")) {
  // Only a lock whose process has ended is taken over, however old the lock is.
  lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

std::unique_ptr<SingleInstance> SingleInstance::ForProgram(const QString& settingsDirectory) {
  const QString canonical = QFileInfo(settingsDirectory).canonicalFilePath();
  const QString settings = canonical.isEmpty() ? QDir::cleanPath(settingsDirectory) : canonical;
  return std::make_unique<SingleInstance>(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
                                          DisplayName() + QLatin1Char('\n') + settings);
}

// The loop also covers the moments when the running program has its lock but no socket yet
// (it listens once its window exists), or has closed its socket and is about to give up the
// lock.
SingleInstance::Start SingleInstance::Claim(int timeoutMilliseconds) {
  const QDeadlineTimer deadline(timeoutMilliseconds);
  for (;;) {
    if (lock_.tryLock(0)) return Start::First;
    if (lock_.error() != QLockFile::LockFailedError) {
      Warn(QStringLiteral("cannot create %1; a second start will not find this one").arg(lock_.fileName()));
      return Start::First;
    }
    if (AskLocalListener(socketPath_, kRaiseRequest, int(deadline.remainingTime())) == kRaisedAnswer)
      return Start::Raised;
    if (deadline.hasExpired()) return Start::NoAnswer;
    QThread::msleep(kRetryMilliseconds);
  }
}

// The lock is ours, so a socket file already there was left by a program that died.
void SingleInstance::AnswerLaterStarts(std::function<void()> raise) {
  if (!lock_.isLocked()) return;
  try {
    listener_.Listen(socketPath_, [raise = std::move(raise)](const std::string& line) -> std::string {
      if (line != kRaiseRequest) return {};
      QMetaObject::invokeMethod(qApp, raise, Qt::QueuedConnection);  // once the answer is out
      return kRaisedAnswer;
    });
  } catch (const std::exception& e) {
    Warn(QStringLiteral("cannot listen on %1 (%2); a second start will not find this one")
             .arg(QFile::decodeName(socketPath_.c_str()), QString::fromLocal8Bit(e.what())));
  }
}

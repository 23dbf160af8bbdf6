// SPDX-License-Identifier: MIT
#pragma once
// The webmail emulator as a child process for end-to-end tests, on a port of the system's choice,
// with the requests it answered read from its log. WEBMAIL_PROGRAM names the binary.

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryFile>

#include <cstdint>
#include <stdexcept>

class WebmailProcess {
 public:
  // `options` are the emulator's own, such as a fault mode.
  explicit WebmailProcess(const QStringList& options = {}) {
    if (!log_.open()) throw std::runtime_error("cannot create the emulator's log file");
    process_.setStandardErrorFile(log_.fileName());
    process_.start(QStringLiteral(WEBMAIL_PROGRAM), QStringList{QStringLiteral("--port"), QStringLiteral("0")} + options);
    while (!process_.canReadLine() && process_.waitForReadyRead(10000)) {
    }
    const QString line = QString::fromLatin1(process_.readLine()).trimmed();
    const QRegularExpressionMatch listening =
        QRegularExpression(QStringLiteral(R"(^webmail: listening on 127\.0\.0\.1:(\d+)$)")).match(line);
    if (!listening.hasMatch()) throw std::runtime_error("webmail did not start: " + line.toStdString());
    port_ = listening.captured(1).toUShort();
  }
  ~WebmailProcess() {
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished();
  }
  WebmailProcess(const WebmailProcess&) = delete;
  WebmailProcess& operator=(const WebmailProcess&) = delete;

  std::uint16_t Port() const { return port_; }

  // "METHOD TARGET STATUS" of each request answered so far, in order.
  QStringList Requests() const {
    QFile log(log_.fileName());
    if (!log.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read the emulator's log");
    QStringList requests;
    for (const QByteArray& line : log.readAll().split('\n'))
      if (line.startsWith("GET ") || line.startsWith("POST ")) requests << QString::fromLatin1(line);
    return requests;
  }

 private:
  QTemporaryFile log_;
  QProcess process_;
  std::uint16_t port_ = 0;
};

#pragma once
// The webmail emulator as a child process for C++ end-to-end tests: started on a port of the
// system's choice, stopped with SIGTERM when the object goes.

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <stdexcept>
#include <string>

class WebmailProcess {
 public:
  explicit WebmailProcess(QStringList options = {}) {
    process_.setProgram(WEBMAIL_PROGRAM);
    process_.setArguments(QStringList{"--port", "0"} + options);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
    if (!process_.waitForReadyRead(10000)) throw std::runtime_error("webmail did not start");
    const auto match = QRegularExpression(R"(127\.0\.0\.1:(\d+))").match(QString::fromUtf8(process_.readLine()));
    if (!match.hasMatch()) throw std::runtime_error("webmail printed no port");
    port_ = match.captured(1).toStdString();
  }
  ~WebmailProcess() {
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
  }
  WebmailProcess(const WebmailProcess&) = delete;
  WebmailProcess& operator=(const WebmailProcess&) = delete;

  const std::string& Port() const { return port_; }

 private:
  QProcess process_;
  std::string port_;
};

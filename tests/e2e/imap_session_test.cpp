// SPDX-License-Identifier: MIT
// The notifier's own check cycle, Preview and Delete against the webmail program as an IMAP
// gateway in front of a real Dovecot on 127.0.0.1 (started by tests/e2e/dovecot_peer.py).

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <fstream>

#include "session/fake_main_view.h"
#include "webmail_process.h"

namespace {

struct RecordingWindows : OperationView {
  void ShowStatus(const std::string&) override {}
  void HideStatus() override {}
  void ShowPreviewWindow() override {}
};

// A Dovecot with one user whose INBOX holds `messages`, unseen, in this order.
class DovecotPeer {
 public:
  DovecotPeer(const QTemporaryDir& dir, const std::vector<std::string>& messages) {
    QStringList args{QStringLiteral(DOVECOT_PEER), QStringLiteral("1")};
    for (std::size_t i = 0; i < messages.size(); ++i) {
      const QString path = dir.filePath(QStringLiteral("m%1.eml").arg(i));
      std::ofstream(path.toStdString(), std::ios::binary) << messages[i];
      args << path;
    }
    process_.start(QStringLiteral("python3"), args);
    while (!process_.canReadLine() && process_.waitForReadyRead(30000)) {
    }
    info_ = QJsonDocument::fromJson(process_.readLine()).object();
    if (info_.isEmpty()) throw std::runtime_error("dovecot_peer.py did not start: " + process_.readAllStandardError().toStdString());
  }
  ~DovecotPeer() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(20000)) process_.kill();
  }
  std::string Get(const char* key) const { return info_[QLatin1String(key)].toString().toStdString(); }
  std::string User() const { return info_[QLatin1String("users")].toArray()[0].toString().toStdString(); }

 private:
  QProcess process_;
  QJsonObject info_;
};

std::string Message(const std::string& from, const std::string& subject, const std::string& body) {
  return "From: " + from + "\r\nSubject: " + subject + "\r\nDate: Mon, 9 Dec 2024 08:00:00 +0000\r\n\r\n" + body;
}

}  // namespace

TEST(ImapGatewaySession, CheckPreviewAndDeleteThroughTheGateway) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  DovecotPeer dovecot(dir, {Message("Ann <ann@example.org>", "first", "one\r\n"),
                            Message("bob@example.org", "=?UTF-8?Q?second_=E2=80=93_caf=C3=A9?=", "two\r\nlines\r\n"),
                            Message("Carol <c@example.org>", "third", "three\r\n")});
  const std::string passwordFile = dir.filePath(QStringLiteral("imap-password")).toStdString();
  std::ofstream(passwordFile) << dovecot.Get("password") << "\n";
  ::chmod(passwordFile.c_str(), 0600);
  const std::string gatewayFile = dir.filePath(QStringLiteral("gateway.conf")).toStdString();
  std::ofstream(gatewayFile) << "[watcher]\npassword = local\nimap = " << dovecot.Get("imaps")
                             << "\nuser = " << dovecot.User() << "\npassword-file = " << passwordFile
                             << "\nca-file = " << dovecot.Get("cert") << "\n";
  ::chmod(gatewayFile.c_str(), 0600);

  WebmailProcess gateway({QStringLiteral("--imap-gateway"), QString::fromStdString(gatewayFile)});
  FakeMainView view;
  WebmailSession session{view};
  view.login = "watcher";
  view.password = "local";
  view.proxyPort = std::to_string(gateway.Port());
  view.session = &session;
  view.showHeaders = true;
  RecordingWindows windows;
  std::vector<std::string> listed;
  view.onMessagesWindow = [&] {
    listed = view.SenderLines();
    session.PreviewMessage({1, 1, 1, 1}, windows);
    session.State.Messages.senders[0].state = CheckState::Checked;
    session.State.Messages.senders[2].state = CheckState::Checked;
    session.DeleteCheckedMessages(windows);
  };
  session.RunCheckCycle();
  EXPECT_EQ(listed, (std::vector<std::string>{"Carol", "bob@example.org", "Ann"}));
  EXPECT_EQ(session.PreviewText, "Sender: bob@example.org\r\nDate: Dec 9 2024 08:00\r\nSubject: second - caf\xE9\r\n" +
                                     std::string(26, '-') + "\r\n\ntwo\r\nlines\r\n\r\n");
  EXPECT_EQ(view.SenderLines(), std::vector<std::string>{"bob@example.org"});

  view.onMessagesWindow = nullptr;
  session.RunCheckCycle();  // a new connection sees what the server kept
  EXPECT_EQ(view.SenderLines(), std::vector<std::string>{"bob@example.org"});
  EXPECT_EQ(session.State.NewMailCount, 1);
}

// SPDX-License-Identifier: MIT
// Saves pictures of the Messages window with rows, the status panel and the preview window, for
// checking their layout by eye:
//   messages_windows_screenshot DIRECTORY
// Reads the settings of $XDG_CONFIG_HOME like the program; point it at an empty directory.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>

#include <cstdio>

#include "output_directory.h"
#include "ui/program_windows.h"
#include "ui/text_list_box.h"

namespace {

bool Save(QWidget& window, const QDir& directory, const char* name) {
  QApplication::processEvents();
  const QString path = directory.filePath(QString::fromLatin1(name));
  if (window.grab().save(path)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

void FillRows(MessageList& m) {
  const char* rows[][4] = {{"Ann Example", "Dec 7", "Lunch on Friday?", "2k"},
                           {"Bob Sample", "12/07", "Quarterly report: figures for the third quarter", "48k"},
                           {"Carol Test", "Dec 8", "Re: tickets", "1k"},
                           {"Hotmail Staff", "Dec 9", "Welcome to Hotmail", "3k"}};
  m.Clear();
  for (int i = 0; i < 4; ++i) {
    m.links.push_back("/cgi-bin/getmsg?msg=MSG" + std::to_string(i));
    m.fieldNames.push_back("MSG" + std::to_string(i));
    m.senders.push_back({rows[i][0]});
    m.dates.push_back(rows[i][1]);
    m.subjects.push_back(rows[i][2]);
    m.sizes.push_back(rows[i][3]);
  }
  m.senders[1].state = CheckState::Checked;
}

const char* const kPreview =
    "Sender: Ann Example\r\nDate: Dec 7\r\nSubject: Lunch on Friday?\r\n--------------------------\r\n"
    "\nHi Alice,\r\n\r\nlunch on Friday at noon, at the usual place? The new place on the corner has a long "
    "table by the window, and they keep it free on Fridays if we ask before eleven.\r\n\r\n  Ann\r\n\r\n";

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QDir directory = OutputDirectoryArgument(argc, argv);
  ProgramWindows windows;
  MainWindow& mainWindow = windows.mainWindow;
  MessagesWindow& messagesWindow = windows.messagesWindow;
  StatusPanel& statusPanel = windows.statusPanel;
  PreviewWindow& previewWindow = windows.previewWindow;
  mainWindow.loginEdit->setText(QStringLiteral("alice"));
  MailboxState& state = mainWindow.Session().State;
  FillRows(state.Messages);
  state.MessageButtonsEnabled = true;
  mainWindow.MailboxStateChanged();

  messagesWindow.show();
  messagesWindow.subjects->setCurrentRow(2);
  if (!Save(messagesWindow, directory, "messages-window.png")) return 1;
  statusPanel.ShowStatus(QStringLiteral("Deleting mails"));
  if (!Save(statusPanel, directory, "status-panel.png")) return 1;
  statusPanel.HideStatus();
  previewWindow.messageText->setPlainText(QString::fromLatin1(kPreview));
  previewWindow.show();
  return Save(previewWindow, directory, "preview-window.png") ? 0 : 1;
}

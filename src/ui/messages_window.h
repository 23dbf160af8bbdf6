// SPDX-License-Identifier: MIT
#pragma once
// The Messages window: the new messages of the last mailbox scan in four lists kept in step
// (sender with its check box, date, subject, size), Delete and Preview within a check's
// session, the service's home page, and OK. It shows the session's MailboxState and writes the
// user's check-box changes back into it; the operations themselves are WebmailSession's.

#include <QCoreApplication>
#include <QDialog>

#include "session/check_cycle.h"

class QLabel;
class QListWidget;
class QPushButton;
class CheckListBox;
class StatusPanel;
class PreviewWindow;
class TextListBox;

class MessagesWindow : public QDialog, public OperationView {
  Q_DECLARE_TR_FUNCTIONS(MessagesWindow)

 public:
  // `mainWindow` supplies the login of the heading.
  MessagesWindow(WebmailSession& session, const MainView& mainWindow);

  // Delete and Preview show their progress in the status panel and their result in the preview
  // window; the program connects the two once all windows exist.
  void SetOperationWindows(StatusPanel& statusPanel, PreviewWindow& previewWindow);
  // The lists and the Delete and Preview buttons show the session's MailboxState anew.
  void ShowMailboxState();

  // Handlers.
  void ShowHeading();
  void SenderSelected();
  void DateSelected();
  void SubjectSelected();
  void SizeSelected();
  void SenderCheckChanged(int row);
  void DeleteChecked();
  void PreviewSelected();
  void OpenHomePage();
  void CloseWindow();

  // OperationView.
  void ShowStatus(const std::string& text) override;
  void HideStatus() override;
  void ShowPreviewWindow() override;

  // Controls; each one's object name is its member's name.
  QLabel* heading;
  QLabel* senderLabel;
  QLabel* dateLabel;
  QLabel* subjectLabel;
  QLabel* sizeLabel;
  CheckListBox* senders;    // with the row's check box; also status lines
  TextListBox* dates;
  TextListBox* subjects;
  TextListBox* sizes;
  QListWidget* fieldNames;  // hidden: the rows' form field names
  QListWidget* links;       // hidden
  QPushButton* okButton;
  QPushButton* deleteButton;
  QPushButton* previewButton;
  QPushButton* homePageButton;

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildWindow();
  void ConnectHandlers();
  OperationView& OperationWindows();

  WebmailSession& session_;
  const MainView& mainWindow_;
  StatusPanel* statusPanel_ = nullptr;
  PreviewWindow* previewWindow_ = nullptr;
  bool placed_ = false;  // centred at the first showing; later ones keep the place
};

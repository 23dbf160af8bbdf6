// SPDX-License-Identifier: MIT
// The Messages window's controls at their design positions (left, top, width, height) and the
// wiring of their handlers.

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include "ui/check_list_box.h"
#include "ui/components/application_errors.h"
#include "ui/control_look.h"
#include "ui/list_selection.h"
#include "ui/messages_window.h"
#include "ui/text_list_box.h"

namespace {

constexpr QSize kClientSize{377, 318};

template <class Control>
Control* Named(Control* control, const char* name, const QRect& geometry) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(geometry);
  return control;
}

QLabel* AddLabel(QWidget* window, const char* name, const QString& caption, int left, int top) {
  auto* label = new QLabel(caption, window);
  label->setObjectName(QString::fromLatin1(name));
  label->move(left, top);
  label->adjustSize();
  return label;
}

QPushButton* AddButton(QWidget* window, const char* name, const QString& caption, int left, QStyle::StandardPixmap glyph) {
  QPushButton* button = Named(new QPushButton(caption, window), name, {left, 280, 75, 25});
  UseStandardGlyph(button, glyph);
  return button;
}

QLabel* AddHeading(QWidget* window) {
  QLabel* heading = Named(new QLabel(window), "heading", {0, 3, 377, 49});
  heading->setFrameStyle(QFrame::Panel | QFrame::Raised);
  heading->setAlignment(Qt::AlignCenter);
  heading->setTextFormat(Qt::PlainText);  // the login is the user's text, never markup
  QFont font = DesignFont();
  font.setBold(true);
  font.setPixelSize(13);
  heading->setFont(font);
  QPalette palette = heading->palette();
  palette.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));  // navy
  heading->setPalette(palette);
  return heading;
}

QListWidget* AddHiddenList(QWidget* window, const char* name) {
  auto* list = new QListWidget(window);
  list->setObjectName(QString::fromLatin1(name));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->hide();
  return list;
}

}  // namespace

// Focusable controls are created in the design's tab order, which Qt's focus chain follows.
void MessagesWindow::BuildWindow() {
  setObjectName(QStringLiteral("messagesWindow"));
  setWindowTitle(tr("Messages"));
  // Title only, no system menu, minimise, maximise or close box: the window is left through OK.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(DesignFont());
  setFixedSize(kClientSize);

  senderLabel = AddLabel(this, "senderLabel", tr("From:"), 0, 56);
  dateLabel = AddLabel(this, "dateLabel", tr("Date"), 136, 56);
  subjectLabel = AddLabel(this, "subjectLabel", tr("Subject"), 184, 56);
  sizeLabel = AddLabel(this, "sizeLabel", tr("Size"), 328, 56);
  dates = Named(new TextListBox(this), "dates", {136, 72, 49, 193});
  subjects = Named(new TextListBox(this), "subjects", {184, 72, 145, 193});
  sizes = Named(new TextListBox(this), "sizes", {328, 72, 49, 193});
  heading = AddHeading(this);
  homePageButton = AddButton(this, "homePageButton", tr("HotMail"), 271, QStyle::SP_DriveNetIcon);
  homePageButton->setToolTip(tr("Open HotMail in the default browser"));
  fieldNames = AddHiddenList(this, "fieldNames");
  senders = Named(new CheckListBox(this), "senders", {0, 72, 136, 193});
  deleteButton = AddButton(this, "deleteButton", tr("Delete"), 111, QStyle::SP_TrashIcon);
  deleteButton->setEnabled(false);
  okButton = AddButton(this, "okButton", tr("OK"), 31, QStyle::SP_DialogOkButton);
  okButton->setDefault(true);  // no tooltip: its hint is not shown
  links = AddHiddenList(this, "links");
  previewButton = AddButton(this, "previewButton", tr("Preview"), 191, QStyle::SP_FileDialogContentsView);
  previewButton->setEnabled(false);
}

// Every handler's error goes to the general error report; the window stays open.
void MessagesWindow::ConnectHandlers() {
  const auto on = [this](auto* sender, auto signal, void (MessagesWindow::*handler)()) {
    connect(sender, signal, this, [this, handler] { RunReportingErrors([this, handler] { (this->*handler)(); }); });
  };
  on(senders, &QListWidget::itemSelectionChanged, &MessagesWindow::SenderSelected);
  on(dates, &QListWidget::itemSelectionChanged, &MessagesWindow::DateSelected);
  on(subjects, &QListWidget::itemSelectionChanged, &MessagesWindow::SubjectSelected);
  on(sizes, &QListWidget::itemSelectionChanged, &MessagesWindow::SizeSelected);
  on(deleteButton, &QPushButton::clicked, &MessagesWindow::DeleteChecked);
  on(previewButton, &QPushButton::clicked, &MessagesWindow::PreviewSelected);
  on(homePageButton, &QPushButton::clicked, &MessagesWindow::OpenHomePage);
  on(okButton, &QPushButton::clicked, &MessagesWindow::CloseWindow);
  senders->OnClickCheck = [this](int row) { RunReportingErrors([this, row] { SenderCheckChanged(row); }); };
  ScrollInStep({senders, dates, subjects, sizes});
}

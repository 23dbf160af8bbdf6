// SPDX-License-Identifier: MIT
#pragma once
// The preview window: a retrieved message in a read-only, word-wrapping text area whose text can
// be selected and scrolled, closed with OK.

#include <QCoreApplication>
#include <QDialog>

class QFrame;
class QPlainTextEdit;
class QPushButton;

// The text area's lines: a line ends at CR LF only, as the preview text is built; a lone CR or
// LF (a message body starts with one) breaks nothing and shows as nothing.
QString PreviewLines(const QString& text);

class PreviewWindow : public QDialog {
  Q_DECLARE_TR_FUNCTIONS(PreviewWindow)

 public:
  PreviewWindow();

  // Shows `text` (lines broken by CR LF) modally; returns when the user has closed the window.
  void ShowPreview(const QString& text);

  QFrame* textBevel;
  QFrame* buttonBevel;
  QPlainTextEdit* messageText;
  QPushButton* okButton;
};

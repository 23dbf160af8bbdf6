// SPDX-License-Identifier: MIT
#pragma once
// A file name field with a browse button that opens the file chooser.

#include <QCoreApplication>
#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

// "Description|pattern|Description|pattern" as the design writes chooser filters, to Qt's
// "Description (patterns);;..." form. A description that already names its pattern in
// parentheses is kept as it is.
QString QtFileFilter(const QString& filter);

class FileNameEdit : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(FileNameEdit)

 public:
  FileNameEdit(const QString& filter, QWidget* parent);

  QString FileName() const;
  void SetFileName(const QString& name);
  QLineEdit* Edit() const { return edit_; }
  QToolButton* BrowseButton() const { return browse_; }

 private:
  void Browse();

  QString filter_;
  QLineEdit* edit_;
  QToolButton* browse_;
};

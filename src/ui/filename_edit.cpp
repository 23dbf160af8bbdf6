// SPDX-License-Identifier: MIT
#include "ui/filename_edit.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStringList>
#include <QToolButton>

#include "ui/components/application_errors.h"
#include "ui/control_look.h"
#include "ui/latin1_text.h"
#include "ui/modal_owner.h"
#include "ui/single_line_field.h"

QString QtFileFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString& description = parts[i];
    entries << (description.contains(QLatin1Char('(') + patterns + QLatin1Char(')'))
                    ? description
                    : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
  }
  return entries.join(QStringLiteral(";;"));
}

FileNameEdit::FileNameEdit(const QString& filter, QWidget* parent)
    : QWidget(parent), filter_(filter), edit_(new QLineEdit(this)), browse_(new QToolButton(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(edit_);
  layout->addWidget(browse_);
  UseFieldColours(edit_);
  GuardSingleLineField(edit_);
  browse_->setFixedWidth(21);
  browse_->setText(QStringLiteral("..."));
  browse_->setToolTip(tr("Browse"));
  browse_->setFocusPolicy(Qt::NoFocus);
  connect(browse_, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { Browse(); }); });
}

QString FileNameEdit::FileName() const { return edit_->text(); }

void FileNameEdit::SetFileName(const QString& name) { edit_->setText(name); }

// The field holds the name's bytes (one character each, as everywhere); the chooser works with
// the names as the file system decodes them.
void FileNameEdit::Browse() {
  const QString current = QFile::decodeName(BytesFromText(FileName()).c_str());
  QFileDialog chooser(nullptr, QString(), QFileInfo(current).path(), QtFileFilter(filter_));
  chooser.setFileMode(QFileDialog::ExistingFile);
  MakeModalToFront(chooser);
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
  SetFileName(TextFromBytes(QFile::encodeName(chooser.selectedFiles().first()).toStdString()));
}

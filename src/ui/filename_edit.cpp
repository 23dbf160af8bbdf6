#include "ui/filename_edit.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStringList>
#include <QToolButton>

#include "ui/control_look.h"
#include "ui/components/application_errors.h"

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
  browse_->setFixedWidth(21);
  browse_->setText(QStringLiteral("..."));
  browse_->setToolTip(QStringLiteral("Browse"));
  browse_->setFocusPolicy(Qt::NoFocus);
  connect(browse_, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { Browse(); }); });
}

QString FileNameEdit::FileName() const { return edit_->text(); }

void FileNameEdit::SetFileName(const QString& name) { edit_->setText(name); }

void FileNameEdit::Browse() {
  const QString chosen = QFileDialog::getOpenFileName(this, QString(), QFileInfo(FileName()).path(),
                                                      QtFileFilter(filter_));
  if (!chosen.isEmpty()) SetFileName(chosen);
}

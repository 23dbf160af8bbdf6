// SPDX-License-Identifier: MIT
#include "ui/message_boxes.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <stdexcept>

#include "platform/message_window.h"
#include "ui/components/application_errors.h"
#include "ui/latin1_text.h"
#include "ui/modal_owner.h"

namespace {

void ShowModalBox(QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);  // texts may come from a server's page or error
  MakeModalToFront(box);
  box.exec();
}

QString MessageOf(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return TextFromBytes(e.what());
  } catch (...) {
    return QCoreApplication::translate("MessageBoxes", "Unknown error");
  }
}

}  // namespace

void ShowMessage(const QString& text) { ShowModalBox(QMessageBox::NoIcon, text); }

void ShowException(std::exception_ptr error) { ShowModalBox(QMessageBox::Critical, MessageOf(error)); }

void InstallErrorReports() {
  SetApplicationErrorReport(ShowException);
  win::SetUncaughtExceptionHandler(ReportApplicationError);
}

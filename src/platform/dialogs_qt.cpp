#include "platform/dialogs_qt.h"

#include <QFileDialog>
#include <QMessageBox>

namespace lumivex {

namespace {

QString Utf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

MessageButton MessageBoxes::Show(std::string_view text, std::string_view caption,
                                 MessageButtons buttons) {
  QMessageBox box(QMessageBox::NoIcon, Utf8(caption), Utf8(text), QMessageBox::NoButton, owner_);
  box.setWindowModality(Qt::ApplicationModal);
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  switch (buttons) {
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return MessageButton::Cancel;
    case QMessageBox::Yes:
      return MessageButton::Yes;
    case QMessageBox::No:
      return MessageButton::No;
    default:
      return MessageButton::Ok;
  }
}

std::optional<std::string> QtFileDialog::OpenFile(const OpenFileRequest& request) {
  QFileDialog dialog(owner_, Utf8(request.title), Utf8(request.initialFolder),
                     Utf8(QtFilterFromWindows(request.filter)));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!request.defaultExt.empty()) dialog.setDefaultSuffix(Utf8(request.defaultExt));
  if (!request.fileName.empty()) dialog.selectFile(Utf8(request.fileName));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  const QByteArray utf8 = files.front().toUtf8();
  return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace lumivex

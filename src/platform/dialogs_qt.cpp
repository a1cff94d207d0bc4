#include "platform/dialogs_qt.h"

#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace lumivex {

namespace {

QString Utf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The open dialog in the widget form, whose accept this program can see: a
// name typed without an extension is looked up with the default extension in
// either letter case before the dialog judges it missing.
class OpenDialog : public QFileDialog {
 public:
  OpenDialog(QWidget* owner, const OpenFileRequest& request)
      : QFileDialog(owner, Utf8(request.title), Utf8(request.initialFolder),
                    Utf8(QtFilterFromWindows(request.filter))),
        defaultExt_(request.defaultExt) {
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    if (!request.fileName.empty()) selectFile(Utf8(request.fileName));
  }

  // The file the dialog was accepted with.
  QString Chosen() const {
    if (!typedFile_.isEmpty()) return typedFile_;
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.front();
  }

  void accept() override {
    const QStringList files = selectedFiles();
    if (files.size() == 1) {
      const std::string typed = QFile::encodeName(files.front()).toStdString();
      const std::optional<std::string> found = FindTypedFile(typed, defaultExt_);
      if (found && *found != typed) {
        typedFile_ = QFile::decodeName(QByteArray::fromStdString(*found));
        QDialog::accept();
        return;
      }
    }
    QFileDialog::accept();
  }

 private:
  std::string defaultExt_;
  QString typedFile_;
};

}  // namespace

int TitleBarWidth(const QString& caption, const QFont& font) {
  QFont title = font;
  title.setBold(true);
  const QFontMetrics metrics(title);
  // Title faces run up to half as large again as the window's own face;
  // beside the caption sit the window icon, the window menu, the close button
  // and the gaps between them, each about a glyph-high square.
  return metrics.horizontalAdvance(caption) * 3 / 2 + 6 * metrics.height();
}

std::unique_ptr<QMessageBox> NewMessageBox(QWidget* owner, std::string_view text,
                                           std::string_view caption, MessageButtons buttons) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, Utf8(caption), Utf8(text),
                                           QMessageBox::NoButton, owner);
  box->setWindowModality(Qt::ApplicationModal);
  box->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                      Qt::WindowStaysOnTopHint);
  switch (buttons) {
    case MessageButtons::Ok:
      box->setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::OkCancel:
      box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MessageButtons::YesNo:
      box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
  }
  // The box sizes itself to its text and buttons when shown; a row as wide as
  // the caption needs keeps it from being narrower than its title bar.
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
    const int width = TitleBarWidth(box->windowTitle(), box->font());
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  return box;
}

MessageButton MessageBoxes::Show(std::string_view text, std::string_view caption,
                                 MessageButtons buttons) {
  const std::unique_ptr<QMessageBox> box = NewMessageBox(owner_, text, caption, buttons);
  switch (box->exec()) {
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
  OpenDialog dialog(owner_, request);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString file = dialog.Chosen();
  if (file.isEmpty()) return std::nullopt;
  const QByteArray utf8 = file.toUtf8();
  return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace lumivex

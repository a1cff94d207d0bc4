// Message boxes and the open-file dialog on Qt Widgets.
#pragma once

#include <memory>

#include "platform/dialogs.h"

class QFont;
class QMessageBox;
class QString;
class QWidget;

namespace lumivex {

// The width a title bar needs to show caption whole: the caption in a bold
// face half as large again as font (window managers draw titles in their own,
// usually bold and often larger, face) and room for the window icon, the
// window menu and the close button.
int TitleBarWidth(const QString& caption, const QFont& font);

// A message box as the program shows it: no icon, application-modal, kept
// above other windows (the program's boxes are topmost), only a close button
// on its title bar, and at least TitleBarWidth wide, so its caption is never
// cut. Texts are UTF-8.
std::unique_ptr<QMessageBox> NewMessageBox(QWidget* owner, std::string_view text,
                                           std::string_view caption, MessageButtons buttons);

// Runs NewMessageBox boxes.
class MessageBoxes : public Messages {
 public:
  explicit MessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }
  MessageButton Show(std::string_view text, std::string_view caption,
                     MessageButtons buttons) override;

 private:
  QWidget* owner_;
};

// QFileDialog for one existing file. A name typed without an extension
// finds its file through FindTypedFile.
class QtFileDialog : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }
  std::optional<std::string> OpenFile(const OpenFileRequest& request) override;

 private:
  QWidget* owner_;
};

}  // namespace lumivex

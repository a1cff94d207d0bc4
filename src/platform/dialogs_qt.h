// Message boxes and the open-file dialog on Qt Widgets.
#pragma once

#include "platform/dialogs.h"

class QWidget;

namespace lumivex {

// QMessageBox with no icon, application-modal, kept above other windows
// (the program's boxes are topmost). Texts are UTF-8.
class MessageBoxes : public Messages {
 public:
  explicit MessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }
  MessageButton Show(std::string_view text, std::string_view caption,
                     MessageButtons buttons) override;

 private:
  QWidget* owner_;
};

// QFileDialog for one existing file.
class QtFileDialog : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }
  std::optional<std::string> OpenFile(const OpenFileRequest& request) override;

 private:
  QWidget* owner_;
};

}  // namespace lumivex

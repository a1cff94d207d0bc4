// The open-file dialog behind an interface, and recording fakes for the
// dialog and the message boxes, so no test ever waits on a modal window.
// Qt implementations: dialogs_qt.h.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/engine.h"

namespace lumivex {

struct OpenFileRequest {
  std::string title;            // empty: the toolkit's default title
  std::string defaultExt;       // "MQ4": appended to a typed name without extension
  std::string fileName;         // initial name, e.g. "*.mq4"
  std::string filter;           // "MQL files (*.mq4)|*.MQ4" (description|patterns pairs)
  std::string initialFolder;    // empty: the toolkit's choice
  bool operator==(const OpenFileRequest&) const = default;
};

class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // Runs the dialog; the chosen file's full path, or nothing when cancelled.
  virtual std::optional<std::string> OpenFile(const OpenFileRequest& request) = 0;
};

// Converts a filter of "description|patterns" pairs (patterns separated by
// ";") to the Qt form: "MQL files (*.mq4)|*.MQ4" -> "MQL files (*.mq4 *.MQ4)".
// Patterns already in the description's trailing parentheses are merged with
// the pair's patterns; several pairs are joined by ";;".
std::string QtFilterFromWindows(std::string_view filter);

// The file a name typed in the open dialog stands for: the name itself when
// it names a regular file; for a name without an extension that names
// nothing, name + "." + defaultExt with the extension as given, in lower case
// or in upper case, the first that names a regular file (on a file system
// that tells letter cases apart, "name" finds "name.mq4" as well as
// "name.MQ4"). Nothing when no such file exists.
std::optional<std::string> FindTypedFile(const std::string& path, std::string_view defaultExt);

// Message boxes that answer from a queue (default Ok / Yes when empty) and
// record what was shown.
class RecordingMessages : public Messages {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    bool operator==(const Shown&) const = default;
  };
  std::vector<Shown> shown;
  std::deque<MessageButton> answers;

  MessageButton Show(std::string_view text, std::string_view caption,
                     MessageButtons buttons) override {
    shown.push_back({std::string(text), std::string(caption), buttons});
    if (!answers.empty()) {
      MessageButton a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == MessageButtons::YesNo ? MessageButton::Yes : MessageButton::Ok;
  }
};

// An open-file dialog that answers from a queue (cancelled when empty) and
// records the requests.
class RecordingFileDialog : public FileDialog {
 public:
  std::vector<OpenFileRequest> requests;
  std::deque<std::optional<std::string>> answers;

  std::optional<std::string> OpenFile(const OpenFileRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace lumivex

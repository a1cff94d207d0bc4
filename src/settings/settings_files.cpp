#include "settings/settings_files.h"

#include <algorithm>
#include <charconv>

#include "text/line_cursor.h"
#include "text/text.h"
#include "text/text_file.h"

namespace lumivex {

namespace {

enum class KeyKind { Int, Box, Radio, Edit };

struct FileKey {
  std::string_view key;
  std::string_view control;
  KeyKind kind;
};

const std::vector<FileKey>& Keys() {
  static const std::vector<FileKey> keys = [] {
    std::vector<FileKey> k = {
        {"This-Left", "Left", KeyKind::Int},
        {"This-Top", "Top", KeyKind::Int},
        {"chk_FrontMost", "chk_FrontMost", KeyKind::Box},
        {"chkBackup", "chkBackup", KeyKind::Box},
        {"chkNextStart", "chkNextStart", KeyKind::Box},
        {"chkOrderSelect", "chkOrderSelect", KeyKind::Box},
        {"rdoOrderSelectAuto", "rdoOrderSelectAuto", KeyKind::Radio},
        {"rdoOrderSelectIfOut", "rdoOrderSelectIfOut", KeyKind::Radio},
        {"rdoOrderSelectContinue", "rdoOrderSelectContinue", KeyKind::Radio},
        {"chkOrderModify", "chkOrderModify", KeyKind::Box},
        {"chkFixReturn", "chkFixReturn", KeyKind::Box},
    };
    for (std::string_view edit : SettingsModel::TextNames()) k.push_back({edit, edit, KeyKind::Edit});
    for (std::string_view box :
         {"chkInvalidIndexValueHeader", "chkAndOrPriorityLevel", "chkUnrecognizedEscape",
          "chkHidesGlobalDeclaration", "chkNotUsedVariable", "chkReplaceCommentArr",
          "chkReplaceFuncVariable", "chkChangeGrbAlreadyReserved", "chkStringConcatenate",
          "chkExpressionsNotAllowedGlobalScope", "chkArraysPassedByReferenceOnly"})
      k.push_back({box, box, KeyKind::Box});
    return k;
  }();
  return keys;
}

// The value of a line that starts with key: everything after the key and the
// one character that follows it (normally "=", but any character is skipped).
std::string_view ValueAfter(std::string_view line, std::string_view key) {
  return line.size() > key.size() ? line.substr(key.size() + 1) : std::string_view();
}

void ApplySettingsLine(SettingsModel& model, std::string_view line) {
  for (const FileKey& k : Keys()) {
    if (!line.starts_with(k.key)) continue;
    const std::string_view value = ValueAfter(line, k.key);
    switch (k.kind) {
      case KeyKind::Int: model.SetInt(k.control, IntVal(value)); break;
      case KeyKind::Box:
        if (value == "1") model.SetChecked(k.control, true);
        else if (value == "0") model.SetChecked(k.control, false);
        break;
      case KeyKind::Radio:
        if (value == "1") model.SetChecked(k.control, true);
        break;
      case KeyKind::Edit: model.SetText(k.control, std::string(value)); break;
    }
    return;
  }
}

std::string IntText(int value) {
  char buf[16];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

void AppendLine(std::string& text, std::string_view key, std::string_view value) {
  text.append(key).append("=").append(value).append("\r\n");
}

}  // namespace

void LoadSettings(SettingsModel& model, const std::string& path, Messages* messages) {
  LineCursor lines(ReadTextFile(path, messages));
  while (!lines.Empty()) {
    const std::string_view line = lines.FetchView("\r\n");
    if (!line.empty()) ApplySettingsLine(model, line);
  }
}

std::string SettingsFileText(const SettingsModel& model) {
  std::string text;
  for (const FileKey& k : Keys()) {
    switch (k.kind) {
      case KeyKind::Int: AppendLine(text, k.key, IntText(model.Int(k.control))); break;
      case KeyKind::Box: AppendLine(text, k.key, model.Checked(k.control) ? "1" : "0"); break;
      case KeyKind::Radio:
        if (model.Checked(k.control)) AppendLine(text, k.key, "1");
        break;
      case KeyKind::Edit: AppendLine(text, k.key, model.Text(k.control)); break;
    }
  }
  return text;
}

void SaveSettings(const SettingsModel& model, const std::string& path) {
  if (path.empty()) return;
  WriteTextFile(SettingsFileText(model), path);
}

std::string StateFilePath(const std::string& appDir) {
  if (appDir.empty() || appDir.back() == '/') return appDir + std::string(StateFileName);
  return appDir + "/" + std::string(StateFileName);
}

void LoadStateIni(StateValues& state, const std::string& appDir, float programVersion,
                  Messages* messages) {
  state.RevisionNumber = programVersion;
  LineCursor lines(ReadTextFile(StateFilePath(appDir), messages));
  auto number = [](std::string_view value) {
    return static_cast<float>(FloatVal(DigitsAndPoints(value)));
  };
  while (!lines.Empty()) {
    const std::string_view line = lines.FetchView("\r\n");
    if (line.empty()) continue;
    if (line.starts_with("ReadMe")) {
      state.ReadMe = ValueAfter(line, "ReadMe");
    } else if (line.starts_with("Revision")) {
      state.Revision = ValueAfter(line, "Revision");
      state.RevisionNumber = number(state.Revision);
    } else if (line.starts_with("Newision")) {
      state.Newision = ValueAfter(line, "Newision");
      state.NewisionNumber = number(state.Newision);
    } else if (line.starts_with("flgNotNews")) {
      state.flgNotNews = ValueAfter(line, "flgNotNews");
    } else if (line.starts_with("DataPath")) {
      state.DataPath = ValueAfter(line, "DataPath");
    }
  }
  state.RevisionNumber = std::max(state.RevisionNumber, programVersion);
  state.NewisionNumber = std::max(state.NewisionNumber, programVersion);
}

std::string StateFileText(const StateValues& state) {
  std::string text;
  AppendLine(text, "ReadMe", state.ReadMe);
  AppendLine(text, "Revision", state.Revision);
  AppendLine(text, "Newision", state.Newision);
  AppendLine(text, "flgNotNews", state.flgNotNews);
  AppendLine(text, "DataPath", state.DataPath);
  return text;
}

void SaveStateIni(const StateValues& state, const std::string& appDir) {
  WriteTextFile(StateFileText(state), StateFilePath(appDir));
}

}  // namespace lumivex

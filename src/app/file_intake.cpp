#include "app/file_intake.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/shell_link.h"

namespace lumivex {

namespace {

struct RowTexts {
  const char* dialogText;
  const char* dialogCaption;
  const char* dropText;
  const char* dropCaption;
};

// Rows 1 to 5 of the result table; the trailing blanks belong to the texts.
constexpr RowTexts kRows[] = {
    {"completed.！", "completed.？", "Processing was completed！", "completed."},
    {"The \" init() \" sentence is necessary for written EA. ", "No Write",
     "The \" init() \" sentence is necessary for written EA. ", "init()"},
    {"This is indicator. ", "This is indicator. ", "This is an indicator. ", "This is indicator？"},
    {"This is not dealings EA. ！", "This is not EA. ", "This is not in dealings EA. ！",
     "dealings EA. ？"},
    {"There is no change. ！", "There is no change？", "There is no change. ！", "Preparation OK?"},
};

// lowerExt must be lower-case. ASCII folding only: the C locale that the
// toolkit switches must not fold other bytes.
bool HasExtensionNoCase(std::string_view name, std::string_view lowerExt) {
  if (name.size() < lowerExt.size()) return false;
  return std::equal(lowerExt.begin(), lowerExt.end(),
                    name.end() - static_cast<std::ptrdiff_t>(lowerExt.size()),
                    [](char want, char c) {
                      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
                      return c == want;
                    });
}

bool IsExistingFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

}  // namespace

ResultMessage ChooseResult(Road road, bool outcome, const Engine& engine) {
  ResultMessage m;
  if (outcome) {
    m.row = 1;
    m.colour = engine.OrderSelectFixed ? kColourPurple : kColourLime;
  } else if (engine.NoInit) {
    m.row = 2;
    m.colour = kColourRed;
  } else if (engine.IsIndicator) {
    m.row = 3;
    m.colour = kColourRed;
  } else if (engine.ConverterRan) {
    m.row = 4;
    m.colour = kColourRed;
  } else {
    m.row = 5;
    m.colour = kColourBlue;
  }
  const RowTexts& r = kRows[m.row - 1];
  m.text = road == Road::Dialog ? r.dialogText : r.dropText;
  m.caption = road == Road::Dialog ? r.dialogCaption : r.dropCaption;
  return m;
}

std::optional<std::string> ResolveDroppedName(const std::string& name) {
  const std::optional<std::filesystem::path> target = FollowLinks(name);
  if (!target) return std::nullopt;
  std::error_code ec;
  if (!HasExtensionNoCase(target->native(), ".mq4") ||
      !std::filesystem::is_regular_file(*target, ec))
    return std::nullopt;
  return target->string();
}

std::vector<std::string> CollectDroppedFiles(const std::vector<std::string>& names) {
  std::vector<std::string> sources;
  for (const std::string& name : names) {
    if (std::optional<std::string> source = ResolveDroppedName(name))
      sources.push_back(std::move(*source));
  }
  return sources;
}

FileIntake::FileIntake(const Engine& engine, Hooks hooks)
    : engine_(engine), hooks_(std::move(hooks)) {}

void FileIntake::RunBusy(const std::function<void()>& body) {
  busy_ = true;
  try {
    body();
  } catch (const std::exception& e) {
    busy_ = false;
    if (hooks_.showException) hooks_.showException(e.what());
    return;
  } catch (...) {
    busy_ = false;
    if (hooks_.showException) hooks_.showException(std::string());
    return;
  }
  busy_ = false;
}

bool FileIntake::ConvertChosenFile(const std::optional<std::string>& name,
                                   const std::string& openedWith) {
  if (busy_) return false;
  if (!name) return true;
  RunBusy([&] {
    if (*name == openedWith || !IsExistingFile(*name)) return;
    const bool ok = hooks_.convert(*name);
    if (hooks_.report) hooks_.report(ChooseResult(Road::Dialog, ok, engine_));
  });
  return true;
}

bool FileIntake::ConvertDroppedFiles(const std::vector<std::string>& names, bool onDropArea) {
  if (busy_) return false;
  if (hooks_.processEvents) hooks_.processEvents();
  // A road may have started while the events ran.
  if (busy_) return false;
  if (!onDropArea || names.empty()) return true;
  RunBusy([&] {
    bool any = false;
    for (const std::string& path : CollectDroppedFiles(names)) {
      // A file that fails does not stop the others.
      if (hooks_.convert(path)) any = true;
    }
    if (hooks_.report) hooks_.report(ChooseResult(Road::Drop, any, engine_));
  });
  return true;
}

}  // namespace lumivex

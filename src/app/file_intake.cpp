#include "app/file_intake.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <set>
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

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

bool IsSymlink(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec));
}

bool IsExistingFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

// The target of one symbolic link, made absolute against the link's folder.
std::optional<std::string> SymlinkTarget(const std::string& link) {
  std::error_code ec;
  std::filesystem::path target = std::filesystem::read_symlink(link, ec);
  if (ec) return std::nullopt;
  if (target.is_relative()) target = std::filesystem::path(link).parent_path() / target;
  return target.lexically_normal().string();
}

}  // namespace

ShortcutReader PlatformShortcutReader() {
  return [](const std::string& link) -> std::optional<std::string> {
    std::optional<ShortcutTarget> target = ResolveShortcut(link);
    if (!target) return std::nullopt;
    return target->path.string();
  };
}

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

bool HasExtensionNoCase(const std::string& name, const std::string& ext) {
  if (name.size() < ext.size()) return false;
  return std::equal(ext.begin(), ext.end(), name.end() - static_cast<std::ptrdiff_t>(ext.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

std::optional<std::string> ResolveDroppedName(const std::string& dropped,
                                              const ShortcutReader& readShortcut) {
  // Every name followed for this drop; coming back to one ends the chain,
  // whether the loop runs through shortcuts, symbolic links or both.
  std::set<std::string> followed;
  std::string name = dropped;
  while (followed.insert(name).second) {
    if (IsSymlink(name)) {
      std::optional<std::string> target = SymlinkTarget(name);
      if (!target) return std::nullopt;
      name = *target;
      continue;
    }
    if (HasExtensionNoCase(name, ".mq4") && IsExistingFile(name)) return name;
    if (IsFolder(name)) return std::nullopt;
    if (!HasExtensionNoCase(name, ".lnk") || !readShortcut) return std::nullopt;
    std::optional<std::string> target = readShortcut(name);
    if (!target || target->empty()) return std::nullopt;
    name = *target;
  }
  return std::nullopt;
}

std::vector<std::string> CollectDroppedFiles(const std::vector<std::string>& names,
                                             const ShortcutReader& readShortcut) {
  std::vector<std::string> sources;
  for (const std::string& name : names) {
    if (std::optional<std::string> source = ResolveDroppedName(name, readShortcut))
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
    for (const std::string& path : CollectDroppedFiles(names, hooks_.readShortcut)) {
      // A file that fails does not stop the others.
      if (hooks_.convert(path)) any = true;
    }
    if (hooks_.report) hooks_.report(ChooseResult(Road::Drop, any, engine_));
  });
  return true;
}

}  // namespace lumivex

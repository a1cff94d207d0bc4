// Desktop services the windows use: the work area and starting other programs
// (text editor, file browser, web browser). The Qt implementation is
// SystemDesktop (desktop_qt.h); FakeDesktop records for tests.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/placement.h"

namespace lumivex {

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Opens a text file in a desktop text editor. False when nothing could be started.
  virtual bool OpenTextFile(const std::filesystem::path& file) = 0;
  // Opens a folder in the file browser (xdg-open).
  virtual bool OpenFolder(const std::filesystem::path& folder) = 0;
  // Opens a URL or a local page address in the web browser (xdg-open), passed as given.
  virtual bool OpenUrl(std::string_view url) = 0;
};

class Desktop : public Launcher {
 public:
  // The primary screen's work area.
  virtual Rect WorkArea() const = 0;
  // The work area of every screen, the primary screen's first.
  virtual std::vector<Rect> ScreenAreas() const { return {WorkArea()}; }
};

// Tool locator. The text editors tried in order before falling back to xdg-open.
inline constexpr std::string_view kTextEditors[] = {
    "gedit", "mousepad", "kate", "xed", "pluma", "gnome-text-editor"};

// First executable regular file named `program` in the ":"-separated search
// path (the PATH value); a name holding "/" is checked as it is.
std::optional<std::filesystem::path> FindOnPath(std::string_view program,
                                                std::string_view searchPath);

// The program that opens text files: the first editor of kTextEditors found on
// searchPath, else xdg-open, else nothing.
std::optional<std::filesystem::path> FindTextEditor(std::string_view searchPath);

// The program that opens folders and URLs: xdg-open when found.
std::optional<std::filesystem::path> FindOpener(std::string_view searchPath);

// Records launches instead of starting programs; work area set by the test.
class FakeDesktop : public Desktop {
 public:
  enum class Kind { TextFile, Folder, Url };
  struct Launch {
    Kind kind;
    std::string target;
    bool operator==(const Launch&) const = default;
  };

  Rect workArea{0, 0, 1920, 1040};
  bool launchesSucceed = true;
  std::vector<Launch> launches;

  Rect WorkArea() const override { return workArea; }
  bool OpenTextFile(const std::filesystem::path& file) override {
    return Record(Kind::TextFile, file.string());
  }
  bool OpenFolder(const std::filesystem::path& folder) override {
    return Record(Kind::Folder, folder.string());
  }
  bool OpenUrl(std::string_view url) override { return Record(Kind::Url, std::string(url)); }

 private:
  bool Record(Kind kind, std::string target) {
    launches.push_back({kind, std::move(target)});
    return launchesSucceed;
  }
};

}  // namespace lumivex

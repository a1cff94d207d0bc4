// Recording fakes and a temporary folder for the driver and file road tests.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/file_road.h"
#include "text/engine.h"

namespace lumivex::testing {

// Records every progress call as text: "visible 1", "max 7", "pos 3", "refresh", "hide later".
class RoadProgress : public Progress {
 public:
  void SetVisible(bool visible) override { calls.push_back(visible ? "visible 1" : "visible 0"); }
  void SetMax(int max) override { calls.push_back("max " + std::to_string(max)); }
  void SetPosition(int position) override { calls.push_back("pos " + std::to_string(position)); }
  void Refresh() override { calls.push_back("refresh"); }
  void HideLater() override { calls.push_back("hide later"); }
  std::vector<std::string> calls;
};

// Records the boxes shown as "caption|text".
class RoadMessages : public Messages {
 public:
  MessageButton Show(std::string_view text, std::string_view caption,
                     MessageButtons buttons) override {
    boxes.push_back(std::string(caption) + "|" + std::string(text) +
                    (buttons == MessageButtons::OkCancel ? "" : "|not OK/Cancel"));
    return MessageButton::Ok;
  }
  std::vector<std::string> boxes;
};

// The real file system with one chosen operation failing or throwing.
class FaultyFileSystem : public FileSystem {
 public:
  enum class Op { IsRegularFile, Exists, ReadAll, CreateDirectories, CopyNewFile, ReplaceContents };
  FaultyFileSystem(Op op, bool throws) : op_(op), throws_(throws) {}

  bool IsRegularFile(const std::string& path) override;
  // A failing existence test reports every name as taken.
  bool Exists(const std::string& path) override;
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool CreateDirectories(const std::string& path) override;
  bool CopyNewFile(const std::string& from, const std::string& to) override;
  bool ReplaceContents(const std::string& path, std::string_view bytes) override;

  std::set<Op> called;

 private:
  bool Fails(Op op);
  Op op_;
  bool throws_;
};

// A fresh folder under the temporary folder, removed with its contents afterwards.
class RoadTempDir {
 public:
  RoadTempDir();
  ~RoadTempDir();
  const std::filesystem::path& path() const { return path_; }
  // Writes bytes to name inside the folder; returns the full path.
  std::string Write(const std::string& name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& path);
// FF FE and the UTF-16LE code units, as the road writes a file.
std::string Utf16Le(std::u16string_view units, bool mark = true);
std::string Utf16Be(std::u16string_view units, bool mark = true);

}  // namespace lumivex::testing

// Recording fakes, a failing file system and a temporary folder for the driver and road tests.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
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

// Records the boxes shown as "caption|text", with "|not OK/Cancel" for other buttons.
class RoadMessages : public Messages {
 public:
  MessageButton Show(std::string_view text, std::string_view caption, MessageButtons buttons) override {
    boxes.push_back(std::string(caption) + "|" + std::string(text) +
                    (buttons == MessageButtons::OkCancel ? "" : "|not OK/Cancel"));
    return MessageButton::Ok;
  }
  std::vector<std::string> boxes;
};

// The real file system with one operation failing or throwing (Exists: every name is taken).
class FaultyFileSystem : public FileSystem {
 public:
  enum class Op { None, Exists, ReadAll, CreateDirectories, CopyNewFile, ReplaceContents };
  FaultyFileSystem(Op op, bool throws) : op_(op), throws_(throws) {}

  bool IsRegularFile(const std::string& path) override { return real_.IsRegularFile(path); }
  bool Exists(const std::string& path) override { return Fails(Op::Exists) || real_.Exists(path); }
  std::optional<std::string> ReadAll(const std::string& path) override {
    return Fails(Op::ReadAll) ? std::nullopt : real_.ReadAll(path);
  }
  bool CreateDirectories(const std::string& path) override {
    return !Fails(Op::CreateDirectories) && real_.CreateDirectories(path);
  }
  bool CopyNewFile(const std::string& from, const std::string& to) override {
    return !Fails(Op::CopyNewFile) && real_.CopyNewFile(from, to);
  }
  bool ReplaceContents(const std::string& path, std::string_view bytes) override {
    return !Fails(Op::ReplaceContents) && real_.ReplaceContents(path, bytes);
  }
  std::set<Op> called;

 private:
  bool Fails(Op op) {
    called.insert(op);
    if (op == op_ && throws_) throw std::runtime_error("injected fault");
    return op == op_;
  }
  FileSystem& real_ = RealFileSystem();
  Op op_;
  bool throws_;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh folder under the temporary folder, removed with its contents afterwards.
class RoadTempDir {
 public:
  RoadTempDir() {
    std::string name = (std::filesystem::temp_directory_path() / "lumivex-road-XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("no temporary folder");
    path_ = name;
  }
  ~RoadTempDir() { std::error_code ec; std::filesystem::remove_all(path_, ec); }
  const std::filesystem::path& path() const { return path_; }
  // Writes bytes to name inside the folder; returns the full path.
  std::string Write(const std::string& name, std::string_view bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
    return (path_ / name).string();
  }

 private:
  std::filesystem::path path_;
};

}  // namespace lumivex::testing

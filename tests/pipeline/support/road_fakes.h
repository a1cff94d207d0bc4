// Recording fakes and a failing file system for the driver and road tests.
#pragma once

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "pipeline/file_road.h"
#include "support/temp_files.h"
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

// The real file system with one operation failing or throwing (Exists: every name is taken).
class FaultyFileSystem : public FileSystem {
 public:
  enum class Op { None, Exists, ReadAll, CreateDirectories, WriteNewFile, ReplaceContents };
  FaultyFileSystem(Op op, bool throws) : op_(op), throws_(throws) {}

  bool IsRegularFile(const std::string& path) override { return real_.IsRegularFile(path); }
  bool Exists(const std::string& path) override { return Fails(Op::Exists) || real_.Exists(path); }
  std::optional<std::string> ReadAll(const std::string& path) override {
    return Fails(Op::ReadAll) ? std::nullopt : real_.ReadAll(path);
  }
  bool CreateDirectories(const std::string& path) override {
    return !Fails(Op::CreateDirectories) && real_.CreateDirectories(path);
  }
  bool WriteNewFile(const std::string& path, std::string_view bytes) override {
    return !Fails(Op::WriteNewFile) && real_.WriteNewFile(path, bytes);
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

}  // namespace lumivex::testing

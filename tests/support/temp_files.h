// A temporary folder, a byte reader and a recording message box for tests
// that work on real files.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "text/engine.h"

namespace lumivex::testing {

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

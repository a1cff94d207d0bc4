#include "pipeline/support/road_fakes.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace lumivex::testing {

bool FaultyFileSystem::Fails(Op op) {
  called.insert(op);
  if (op != op_) return false;
  if (throws_) throw std::runtime_error("injected fault");
  return true;
}

bool FaultyFileSystem::IsRegularFile(const std::string& path) {
  return !Fails(Op::IsRegularFile) && RealFileSystem().IsRegularFile(path);
}
bool FaultyFileSystem::Exists(const std::string& path) {
  return Fails(Op::Exists) || RealFileSystem().Exists(path);
}
std::optional<std::string> FaultyFileSystem::ReadAll(const std::string& path) {
  if (Fails(Op::ReadAll)) return std::nullopt;
  return RealFileSystem().ReadAll(path);
}
bool FaultyFileSystem::CreateDirectories(const std::string& path) {
  return !Fails(Op::CreateDirectories) && RealFileSystem().CreateDirectories(path);
}
bool FaultyFileSystem::CopyNewFile(const std::string& from, const std::string& to) {
  return !Fails(Op::CopyNewFile) && RealFileSystem().CopyNewFile(from, to);
}
bool FaultyFileSystem::ReplaceContents(const std::string& path, std::string_view bytes) {
  return !Fails(Op::ReplaceContents) && RealFileSystem().ReplaceContents(path, bytes);
}

RoadTempDir::RoadTempDir() {
  static int counter = 0;
  path_ = std::filesystem::temp_directory_path() /
          ("lumivex-road-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

RoadTempDir::~RoadTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string RoadTempDir::Write(const std::string& name, std::string_view bytes) const {
  std::ofstream(path_ / name, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return (path_ / name).string();
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Utf16Le(std::u16string_view units, bool mark) {
  std::string out = mark ? "\xFF\xFE" : "";
  for (const char16_t u : units) out += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  return out;
}

std::string Utf16Be(std::u16string_view units, bool mark) {
  std::string out = mark ? "\xFE\xFF" : "";
  for (const char16_t u : units) out += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
  return out;
}

}  // namespace lumivex::testing

#include "online/archiver.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace lumivex {

namespace {

bool Passable(std::string_view path) {
  if (path.empty()) return false;
  for (unsigned char c : path) {
    if (c < 0x20 || c == 0x7F || c == '"') return false;
  }
  return true;
}

}  // namespace

bool LoadUnlha(UnlhaBinding& binding, const std::filesystem::path& programFolder) {
  if (binding.Loaded()) return true;
  const std::string beside = (programFolder / kUnlhaLibraryName).string();
  // A name without "/" makes dlopen search LD_LIBRARY_PATH, the run path and
  // the system folders; never PATH, never the working folder by itself.
  void* module = programFolder.empty() ? nullptr : ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) module = ::dlopen(kUnlhaLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!module) return false;
  void* symbol = ::dlsym(module, kUnlhaFunctionName);
  if (!symbol) {
    ::dlclose(module);
    return false;
  }
  binding.UnlhaModule = module;
  binding.UnlhaProc = reinterpret_cast<UnlhaFunction>(symbol);
  return true;
}

void FreeUnlha(UnlhaBinding& binding) {
  if (binding.UnlhaModule) ::dlclose(binding.UnlhaModule);
  binding = UnlhaBinding{};
}

std::string UnlhaCommandLine(std::string_view archivePath, std::string_view destDir) {
  std::string line = "x ";
  line += kUnlhaOptions;
  line += " \"";
  line += archivePath;
  line += "\" \"";
  line += destDir;
  line += '"';
  return line;
}

int ExtractArchive(const UnlhaBinding& binding, const std::string& archivePath,
                   const std::string& destDir, void* window) {
  struct stat st {};
  if (!binding.Loaded() || ::stat(archivePath.c_str(), &st) != 0) return -1;
  if (!Passable(archivePath) || !Passable(destDir)) return -1;
  const std::string commandLine = UnlhaCommandLine(archivePath, destDir);
  char buffer[4] = {};
  return binding.UnlhaProc(window, commandLine.c_str(), buffer, static_cast<int>(sizeof buffer));
}

}  // namespace lumivex

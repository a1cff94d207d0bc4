// The LHA archiver plugin "libunlha32.so" and the calls made through it.
//
// The plugin ships beside the program (built from src/online/unlha) and
// exports one function:
//   int Unlha(void* window, const char* commandLine, char* buffer, int size);
// It is looked for in the program folder, then by its bare name through the
// dynamic loader's own search path; nothing fetched at run time is ever loaded.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lumivex {

using UnlhaFunction = int (*)(void* window, const char* commandLine, char* buffer, int size);

inline constexpr const char* kUnlhaLibraryName = "libunlha32.so";
inline constexpr const char* kUnlhaFunctionName = "Unlha";

// The loaded plugin: the module handle and its function, both null while
// nothing is loaded. Owned by the main window; only the GUI thread uses it.
struct UnlhaBinding {
  void* UnlhaModule = nullptr;
  UnlhaFunction UnlhaProc = nullptr;
  bool Loaded() const { return UnlhaProc != nullptr; }
};

// Loads the plugin into binding: programFolder/libunlha32.so, else the bare
// name through the loader's search path. False (binding left empty) when it
// is missing or has no "Unlha". Never throws. An already loaded binding stays.
bool LoadUnlha(UnlhaBinding& binding, const std::filesystem::path& programFolder);

// Unloads the plugin and clears binding (the main window's FormDestroy; never
// while an update is running).
void FreeUnlha(UnlhaBinding& binding);

// The options every extraction passes: the archive's folders kept, no questions.
inline constexpr std::string_view kUnlhaOptions = "-+ -a2 -d1 -f0 -n1 -m1";

// "x " + options + " \"" + archivePath + "\" \"" + destDir + "\"".
std::string UnlhaCommandLine(std::string_view archivePath, std::string_view destDir);

// Extracts archivePath into destDir through the plugin and returns its result
// (0 = every file in place). -1 without calling the plugin when the archive
// does not exist, the plugin is not loaded, or either path holds a double
// quote or a control byte (it could not be passed on the command line).
int ExtractArchive(const UnlhaBinding& binding, const std::string& archivePath,
                   const std::string& destDir, void* window = nullptr);

}  // namespace lumivex

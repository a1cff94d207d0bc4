// The running program: its file, its folder and its version.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lumivex {

// Full path of the running executable (/proc/self/exe); empty when unreadable.
std::filesystem::path ProgramFilePath();

// The folder the program keeps its files in (`AppDir`): the executable's
// folder with a trailing "/".
std::string ProgramFolder();

// The program's file version as compiled in from the build's project version
// (for example "1.1.7.0"); stands in for the version resource.
std::string GetFileVersionText();

// `ProgramVersion` from a file version text: major = the text before the first
// "." ("0" when empty), rest = the digits of what follows, value = major "."
// rest as a 32-bit float plus 0.0005 ("1.1.7.0" -> 1.1705f, "" -> 0.0005f).
float ProgramVersionFromText(std::string_view fileVersionText);

// A number in the general form with 15 significant digits, "." as the point
// (1.1705f -> "1.17049992084503"). Independent of the C locale.
std::string FloatToText(double value);

// `VersionText`: the toolkit's FormatNumber("##.###", FloatToText(programVersion)).
std::string VersionTextOf(float programVersion);

// What the main window appends to its caption: " Ver " + versionText.
std::string VersionCaptionSuffix(std::string_view versionText);

}  // namespace lumivex

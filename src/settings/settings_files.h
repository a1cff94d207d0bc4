// The settings file "Lumivex.dat" and the state file "Lumivex.ini".
//
// Both are lines of key + "=" + value, each ended by "\r\n", in the system
// code page without a mark. Readers take each non-empty line for the first
// key (in a fixed order) that the line starts with, and the value is the rest
// after the key and one more character, whatever that character is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_model.h"
#include "text/engine.h"

namespace lumivex {

inline constexpr std::string_view SettingsFileName = "Lumivex.dat";
inline constexpr std::string_view StateFileName = "Lumivex.ini";

// Applies the settings file at path, read by ReadTextFile, to model: a
// missing file, or one that cannot be opened or read, changes nothing.
// Boxes take "1" and "0" only, radio buttons "1" only, edits any value,
// "This-Left"/"This-Top" IntVal of it. Each change goes through the model's
// setters, so couplings and observers run.
void LoadSettings(SettingsModel& model, const std::string& path, Messages* messages);
// The settings file text for model (radio buttons only when checked).
std::string SettingsFileText(const SettingsModel& model);
// Replaces the file at path with SettingsFileText(model); the old file stays
// whole when the write fails. Nothing happens for an empty path; failures are
// not reported.
void SaveSettings(const SettingsModel& model, const std::string& path);

// The main window's values kept in the state file.
struct StateValues {
  std::string ReadMe;
  std::string Revision;
  std::string Newision;
  std::string flgNotNews;
  std::string DataPath;
  // Derived when loading: the numbers in Revision and Newision, raised to the
  // running program version.
  float RevisionNumber = 0.0f;
  float NewisionNumber = 0.0f;
};

// appDir is the program folder, with or without its trailing "/".
std::string StateFilePath(const std::string& appDir);
// Reads appDir + "Lumivex.ini" into state (keys absent from the file keep
// their value) and derives the two numbers. Read failures are reported
// through messages (when given).
void LoadStateIni(StateValues& state, const std::string& appDir, float programVersion,
                  Messages* messages = nullptr);
// The state file text for state.
std::string StateFileText(const StateValues& state);
// Replaces appDir + "Lumivex.ini" with StateFileText(state); reports nothing.
void SaveStateIni(const StateValues& state, const std::string& appDir);

}  // namespace lumivex

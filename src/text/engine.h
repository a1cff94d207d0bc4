// The state of one conversion and the services the engine is handed.
//
// The engine never reads globals: the file road creates one Engine per
// conversion run (or reuses one across files, as the main window does) and
// passes it explicitly to every member that sets or reads its fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumivex {

// Conversion switches and default texts, read by control name at the moment a
// rule tests them ("chkOrderSelect", "rdoOrderSelectAuto", "txtInt" ...).
// The settings window implements this by reading its widgets; the plain model
// implements it with a map holding the form defaults.
class Settings {
 public:
  virtual ~Settings() = default;
  // Check box or radio button state; false for an unknown name.
  virtual bool Checked(std::string_view control) const = 0;
  // Edit field text; empty for an unknown name.
  virtual std::string Text(std::string_view control) const = 0;
};

// Progress of one conversion, shown by the main window's progress bar.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetMax(int max) = 0;
  virtual void SetPosition(int position) = 0;
  // Repaint the bar now and let pending window events run, so timers, menus
  // and the settings window stay live while a file converts.
  virtual void Refresh() = 0;
  // Hide the bar a moment after the run ends (the main window's one-second timer).
  virtual void HideLater() = 0;
};

// Message boxes. Returns the button chosen (see MessageButton).
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageButton { Ok, Cancel, Yes, No };
class Messages {
 public:
  virtual ~Messages() = default;
  virtual MessageButton Show(std::string_view text, std::string_view caption,
                             MessageButtons buttons) = 0;
};

// Marker bytes and strings that hold things out of the rules' way while they run.
namespace markers {
inline constexpr std::string_view DelChar = "\x7f";
inline constexpr std::string_view BsChar = "\x08";
inline constexpr std::string_view MarkOpen = "<\x7f<";     // folded comment: MarkOpen + index + MarkClose
inline constexpr std::string_view MarkClose = ">\x7f>";
inline constexpr std::string_view MarkOpenAt = "<\x7f@";   // grouped condition operand
inline constexpr std::string_view MarkCloseAt = "@\x7f>";
}  // namespace markers

// One conversion's state. Fields named as the program knows them.
struct Engine {
  // Set by the replace members and the renaming rules when they find what
  // they replace; decides backup and rewrite.
  bool TextChanged = false;
  // The line FindInCodeLine found last.
  std::string FoundLine;

  // Program-kind flags, written by the conversion driver.
  bool ConverterRan = false;
  bool IsIndicator = false;
  bool NoInit = false;
  bool NoDeinit = false;
  bool NoStart = false;
  bool NoOnCalculate = false;
  bool NoOnTick = false;
  bool OrderSelectFixed = false;
  std::string EntryFuncLine;

  // Comments folded out of the way by the line pre-pass, by marker number.
  std::vector<std::string> FoldedComments;

  // Services; settings is required by every rule, the others may be null.
  const Settings* settings = nullptr;
  Progress* progress = nullptr;
  Messages* messages = nullptr;

  bool Checked(std::string_view control) const { return settings && settings->Checked(control); }
  std::string Text(std::string_view control) const {
    return settings ? settings->Text(control) : std::string();
  }
};

}  // namespace lumivex

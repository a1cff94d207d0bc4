// The Conversion settings as a plain model: every check box, radio button,
// edit field and window position that the converter and the settings file
// know, by control name, with its form default and its Enabled state.
//
// The settings window is a two-way view of this model: it writes user
// changes through the setters and follows the model through the observers.
// The main window reacts to its own boxes (chkBackup, chk_FrontMost,
// chkNextStart) the same way, so a change made by loading the settings file
// runs the same reactions as a click.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "text/engine.h"

namespace lumivex {

class SettingsModel : public Settings {
 public:
  enum class Change {
    Value,    // Checked, Text or Int of the control changed
    Enabled,  // Enabled of the control changed
  };
  using Observer = std::function<void(std::string_view control, Change change)>;

  // Form defaults: every box checked except chk_FrontMost, rdoOrderSelectAuto
  // the checked radio button, the edit defaults, Left and Top 0, everything
  // enabled.
  SettingsModel();

  // Check box or radio button; false for an unknown name.
  bool Checked(std::string_view control) const override;
  // Edit field; "" for an unknown name.
  std::string Text(std::string_view control) const override;
  // Integer value ("Left", "Top"); 0 for an unknown name.
  int Int(std::string_view control) const;
  // Enabled state of any control, labels included; true for a name that no
  // coupling governs.
  bool Enabled(std::string_view control) const;

  // Setting a value that differs from the current one notifies the
  // observers; an equal value changes and notifies nothing. Unknown names are
  // ignored. Checking a radio button unchecks the other two of its group.
  // A change of chkOrderSelect, chkHidesGlobalDeclaration or chkFixReturn sets
  // Enabled of the controls it governs to its new state (their values stay).
  void SetChecked(std::string_view control, bool checked);
  void SetText(std::string_view control, std::string text);
  void SetInt(std::string_view control, int value);

  // Observers are called in the order they were added, after the change, on
  // the caller's thread. The returned id removes the observer.
  int AddObserver(Observer observer);
  void RemoveObserver(int id);

  // Names known to the model, in form order.
  static const std::vector<std::string_view>& CheckBoxNames();  // main window's boxes included
  static const std::vector<std::string_view>& RadioNames();     // the OrderSelect group
  static const std::vector<std::string_view>& TextNames();      // the 14 txt... edits
  static const std::vector<std::string_view>& IntNames();       // "Left", "Top"
  // The controls whose Enabled follows box (empty for a box without coupling).
  static const std::vector<std::string_view>& CoupledControls(std::string_view box);

 private:
  void Notify(std::string_view control, Change change);
  void ApplyCoupling(std::string_view box, bool checked);
  void SetCheckedRaw(const std::string& control, bool checked, std::vector<std::string>& changed);

  std::map<std::string, bool, std::less<>> checked_;
  std::map<std::string, std::string, std::less<>> texts_;
  std::map<std::string, int, std::less<>> ints_;
  std::map<std::string, bool, std::less<>> enabled_;
  std::vector<std::pair<int, Observer>> observers_;
  int nextObserverId_ = 1;
};

}  // namespace lumivex

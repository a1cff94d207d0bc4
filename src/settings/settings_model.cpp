#include "settings/settings_model.h"

#include <algorithm>

namespace lumivex {

namespace {

using Names = std::vector<std::string_view>;

const Names kCheckBoxes = {
    "chkOrderSelect",         "chkOrderModify",
    "chkFixReturn",           "chkInvalidIndexValueHeader",
    "chkExpressionsNotAllowedGlobalScope",
    "chkAndOrPriorityLevel",  "chkUnrecognizedEscape",
    "chkHidesGlobalDeclaration",
    "chkNotUsedVariable",     "chkReplaceCommentArr",
    "chkReplaceFuncVariable", "chkChangeGrbAlreadyReserved",
    "chkStringConcatenate",   "chkArraysPassedByReferenceOnly",
    // Boxes of the main window.
    "chk_FrontMost",          "chkBackup",
    "chkNextStart",           "chkCommentCompression",
};

const Names kRadios = {"rdoOrderSelectAuto", "rdoOrderSelectIfOut", "rdoOrderSelectContinue"};

const Names kTexts = {"txtString", "txtBool",  "txtDatetime", "txtColor", "txtChar",
                      "txtUchar",  "txtShort", "txtUshort",   "txtInt",   "txtUint",
                      "txtLong",   "txtUlong", "txtFloat",    "txtDouble"};

const char* const kTextDefaults[] = {"\"\"", "false", "TimeCurrent()", "White", "0", "0", "0",
                                     "0",    "0",     "0",             "0",     "0", "0.0", "0.0"};

const Names kInts = {"Left", "Top"};

const Names kOrderSelectCoupled = {"rdoOrderSelectIfOut", "rdoOrderSelectContinue"};

const Names kHidesGlobalCoupled = {
    "chkNotUsedVariable",          "lblNotUsedVariable",          "chkReplaceCommentArr",
    "lblReplaceCommentArr",        "chkReplaceFuncVariable",      "lblReplaceFuncVariable",
    "chkChangeGrbAlreadyReserved", "lblChangeGrbAlreadyReserved", "chkStringConcatenate",
    "lblStringConcatenate"};

const Names kFixReturnCoupled = {
    "lblInvalidIndexValueHeader", "chkInvalidIndexValueHeader",
    "lblExpressionsNotAllowedGlobalScope", "chkExpressionsNotAllowedGlobalScope",
    "lblString", "txtString", "lblBool", "txtBool", "lblDatetime", "txtDatetime",
    "lblColor", "txtColor", "lblChar", "txtChar", "lblUchar", "txtUchar",
    "lblShort", "txtShort", "lblUshort", "txtUshort", "lblInt", "txtInt",
    "lblUint", "txtUint", "lblLong", "txtLong", "lblUlong", "txtUlong",
    "lblFloat", "txtFloat", "lblDouble", "txtDouble", "lblTypeInfo"};

const Names kNone = {};

bool IsRadio(std::string_view name) {
  return std::find(kRadios.begin(), kRadios.end(), name) != kRadios.end();
}

}  // namespace

SettingsModel::SettingsModel() {
  for (std::string_view box : kCheckBoxes) checked_.emplace(std::string(box), true);
  checked_["chk_FrontMost"] = false;
  for (std::string_view radio : kRadios) checked_.emplace(std::string(radio), false);
  checked_["rdoOrderSelectAuto"] = true;
  for (std::size_t i = 0; i < kTexts.size(); ++i)
    texts_.emplace(std::string(kTexts[i]), kTextDefaults[i]);
  for (std::string_view name : kInts) ints_.emplace(std::string(name), 0);
  for (const Names* coupled : {&kOrderSelectCoupled, &kHidesGlobalCoupled, &kFixReturnCoupled})
    for (std::string_view name : *coupled) enabled_.emplace(std::string(name), true);
}

bool SettingsModel::Checked(std::string_view control) const {
  auto it = checked_.find(control);
  return it != checked_.end() && it->second;
}

std::string SettingsModel::Text(std::string_view control) const {
  auto it = texts_.find(control);
  return it == texts_.end() ? std::string() : it->second;
}

int SettingsModel::Int(std::string_view control) const {
  auto it = ints_.find(control);
  return it == ints_.end() ? 0 : it->second;
}

bool SettingsModel::Enabled(std::string_view control) const {
  auto it = enabled_.find(control);
  return it == enabled_.end() || it->second;
}

void SettingsModel::SetCheckedRaw(const std::string& control, bool checked,
                                  std::vector<std::string>& changed) {
  auto it = checked_.find(control);
  if (it == checked_.end() || it->second == checked) return;
  it->second = checked;
  changed.push_back(control);
}

void SettingsModel::SetChecked(std::string_view control, bool checked) {
  auto it = checked_.find(control);
  if (it == checked_.end() || it->second == checked) return;
  std::vector<std::string> changed;
  SetCheckedRaw(it->first, checked, changed);
  // A radio button that becomes checked takes the check from its group.
  if (checked && IsRadio(control)) {
    for (std::string_view other : kRadios)
      if (other != control) SetCheckedRaw(std::string(other), false, changed);
  }
  for (const std::string& name : changed) Notify(name, Change::Value);
  ApplyCoupling(control, checked);
}

void SettingsModel::SetText(std::string_view control, std::string text) {
  auto it = texts_.find(control);
  if (it == texts_.end() || it->second == text) return;
  it->second = std::move(text);
  Notify(it->first, Change::Value);
}

void SettingsModel::SetInt(std::string_view control, int value) {
  auto it = ints_.find(control);
  if (it == ints_.end() || it->second == value) return;
  it->second = value;
  Notify(it->first, Change::Value);
}

void SettingsModel::ApplyCoupling(std::string_view box, bool checked) {
  for (std::string_view name : CoupledControls(box)) {
    auto it = enabled_.find(name);
    if (it == enabled_.end() || it->second == checked) continue;
    it->second = checked;
    Notify(it->first, Change::Enabled);
  }
}

int SettingsModel::AddObserver(Observer observer) {
  observers_.emplace_back(nextObserverId_, std::move(observer));
  return nextObserverId_++;
}

void SettingsModel::RemoveObserver(int id) {
  std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void SettingsModel::Notify(std::string_view control, Change change) {
  // A copy, so an observer may add or remove observers while it runs.
  const auto observers = observers_;
  const std::string name(control);
  for (const auto& entry : observers) entry.second(name, change);
}

const std::vector<std::string_view>& SettingsModel::CheckBoxNames() { return kCheckBoxes; }
const std::vector<std::string_view>& SettingsModel::RadioNames() { return kRadios; }
const std::vector<std::string_view>& SettingsModel::TextNames() { return kTexts; }
const std::vector<std::string_view>& SettingsModel::IntNames() { return kInts; }

const std::vector<std::string_view>& SettingsModel::CoupledControls(std::string_view box) {
  if (box == "chkOrderSelect") return kOrderSelectCoupled;
  if (box == "chkHidesGlobalDeclaration") return kHidesGlobalCoupled;
  if (box == "chkFixReturn") return kFixReturnCoupled;
  return kNone;
}

}  // namespace lumivex

// Settings for engine tests: the form defaults, changeable per test.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex::testing {

class FakeSettings : public Settings {
 public:
  FakeSettings() {
    for (const char* box :
         {"chkOrderSelect", "rdoOrderSelectAuto", "chkOrderModify", "chkFixReturn",
          "chkInvalidIndexValueHeader", "chkAndOrPriorityLevel", "chkUnrecognizedEscape",
          "chkHidesGlobalDeclaration", "chkNotUsedVariable", "chkReplaceCommentArr",
          "chkReplaceFuncVariable", "chkChangeGrbAlreadyReserved", "chkStringConcatenate",
          "chkExpressionsNotAllowedGlobalScope", "chkArraysPassedByReferenceOnly", "chkBackup",
          "chkNextStart", "chkCommentCompression"}) {
      checked_[box] = true;
    }
    texts_ = {{"txtString", "\"\""},     {"txtBool", "false"}, {"txtDatetime", "TimeCurrent()"},
              {"txtColor", "White"},     {"txtChar", "0"},     {"txtUchar", "0"},
              {"txtShort", "0"},         {"txtUshort", "0"},   {"txtInt", "0"},
              {"txtUint", "0"},          {"txtLong", "0"},     {"txtUlong", "0"},
              {"txtFloat", "0.0"},       {"txtDouble", "0.0"}};
  }

  bool Checked(std::string_view control) const override {
    auto it = checked_.find(std::string(control));
    return it != checked_.end() && it->second;
  }
  std::string Text(std::string_view control) const override {
    auto it = texts_.find(std::string(control));
    return it == texts_.end() ? std::string() : it->second;
  }

  void Set(const std::string& control, bool checked) { checked_[control] = checked; }
  // Checks one of the three OrderSelect radio buttons and unchecks the others.
  void SetRadio(const std::string& control) {
    for (const char* r : {"rdoOrderSelectAuto", "rdoOrderSelectIfOut", "rdoOrderSelectContinue"})
      checked_[r] = (control == r);
  }
  void SetText(const std::string& control, std::string text) { texts_[control] = std::move(text); }

 private:
  std::map<std::string, bool> checked_;
  std::map<std::string, std::string> texts_;
};

}  // namespace lumivex::testing

#include <gtest/gtest.h>

#include "settings/settings_files.h"
#include "settings/settings_model.h"
#include "support/temp_files.h"
#include "text/line_cursor.h"

namespace lumivex {
namespace {

using Change = SettingsModel::Change;
using Strings = std::vector<std::string>;
using testing::ReadBytes;

constexpr std::string_view kDefaultFile =
    "This-Left=0\r\nThis-Top=0\r\nchk_FrontMost=0\r\nchkBackup=1\r\nchkNextStart=1\r\n"
    "chkOrderSelect=1\r\nrdoOrderSelectAuto=1\r\nchkOrderModify=1\r\nchkFixReturn=1\r\n"
    "txtString=\"\"\r\ntxtBool=false\r\ntxtDatetime=TimeCurrent()\r\ntxtColor=White\r\n"
    "txtChar=0\r\ntxtUchar=0\r\ntxtShort=0\r\ntxtUshort=0\r\ntxtInt=0\r\ntxtUint=0\r\n"
    "txtLong=0\r\ntxtUlong=0\r\ntxtFloat=0.0\r\ntxtDouble=0.0\r\n"
    "chkInvalidIndexValueHeader=1\r\nchkAndOrPriorityLevel=1\r\nchkUnrecognizedEscape=1\r\n"
    "chkHidesGlobalDeclaration=1\r\nchkNotUsedVariable=1\r\nchkReplaceCommentArr=1\r\n"
    "chkReplaceFuncVariable=1\r\nchkChangeGrbAlreadyReserved=1\r\nchkStringConcatenate=1\r\n"
    "chkExpressionsNotAllowedGlobalScope=1\r\nchkArraysPassedByReferenceOnly=1\r\n";

// The model's settings file against the default one: its new lines, then "-" and each lost line.
std::string Delta(const SettingsModel& model) {
  const std::string now = "\n" + SettingsFileText(model), before = "\n" + std::string(kDefaultFile);
  std::string out;
  auto missing = [&](const std::string& from, const std::string& in, const char* sign) {
    for (LineCursor lines(from.substr(1)); !lines.Empty();) {
      const std::string line(lines.FetchView("\r\n"));
      if (in.find("\n" + line + "\r") == std::string::npos) out += (out.empty() ? "" : "|") + (sign + line);
    }
  };
  missing(now, before, "");
  missing(before, now, "-");
  return out;
}

TEST(SettingsModel, CouplingsNotifyRealChangesAndSurviveSaveAndLoad) {
  SettingsModel model;
  EXPECT_EQ(SettingsFileText(model), kDefaultFile);
  Strings events;
  model.AddObserver([&](std::string_view name, Change change) {
    events.push_back(std::string(name) + (change == Change::Enabled ? ":enabled" : ""));
  });
  model.SetChecked("chkBackup", true);  // unchanged values and unknown names notify nothing
  model.SetText("txtBool", "false");
  model.SetChecked("chkNoSuchBox", true);
  model.SetChecked("chkOrderSelect", false);
  model.SetChecked("rdoOrderSelectIfOut", true);
  model.SetChecked("chkFixReturn", false);
  EXPECT_EQ(Strings(events.begin(), events.begin() + 5),
            (Strings{"chkOrderSelect", "rdoOrderSelectIfOut:enabled", "rdoOrderSelectContinue:enabled",
                     "rdoOrderSelectIfOut", "rdoOrderSelectAuto"}));
  EXPECT_EQ(events.size(), 5u + 1u + SettingsModel::CoupledControls("chkFixReturn").size());
  for (const char* name : {"txtUlong", "lblTypeInfo", "rdoOrderSelectContinue"}) EXPECT_FALSE(model.Enabled(name));
  for (const char* name : {"rdoOrderSelectAuto", "Label7", "chkAndOrPriorityLevel"}) EXPECT_TRUE(model.Enabled(name));
  EXPECT_EQ(Delta(model), "chkOrderSelect=0|rdoOrderSelectIfOut=1|chkFixReturn=0|-chkOrderSelect=1|-rdoOrderSelectAuto=1|-chkFixReturn=1");
  // Saved over a longer file and loaded back.
  const testing::RoadTempDir dir;
  const std::string path = dir.Write("Lumivex.dat", std::string(5000, 'x'));
  SaveSettings(model, path);
  EXPECT_EQ(ReadBytes(path), SettingsFileText(model));
  SettingsModel loaded;
  LoadSettings(loaded, path, nullptr);
  EXPECT_EQ(Delta(loaded), Delta(model));
  EXPECT_FALSE(loaded.Enabled("rdoOrderSelectContinue"));
}

TEST(SettingsFile, LoadCases) {
  const testing::RoadTempDir dir;
  struct Case { std::string file, delta; };
  const std::vector<Case> cases = {
      {"chkBackup=0\r\n", "chkBackup=0|-chkBackup=1"}, {"txtString=\r\n", "txtString=|-txtString=\"\""},
      {"rdoOrderSelectAuto=1\r\nrdoOrderSelectIfOut=1\r\nrdoOrderSelectAuto=0\r\n", "rdoOrderSelectIfOut=1|-rdoOrderSelectAuto=1"},
      {"txtInt\r\nchkBackup\r\n", "txtInt=|-txtInt=0"},  // a key alone: empty edit, box kept
      {"This-Top=-7\r\nThis-Left=12\r\nThis-Left=abc\r\n", "This-Top=-7|-This-Top=0"},
      {" chkBackup=0\r\n\tchkFixReturn=0\r\nCHKBACKUP=0\r\n", ""},
      {"txtBoolfalse\r\nchkBackup:0\r\nchkOrderSelect_0\r\n",
       "chkBackup=0|chkOrderSelect=0|txtBool=alse|-chkBackup=1|-chkOrderSelect=1|-txtBool=false"},
      {"chkBackup=2\r\nchkFixReturn=true\r\nchkOrderModify=0 \r\n", ""},
      {"\r\n\r\nchkBackup=0\r\n\r\nchk_FrontMost=1", "chk_FrontMost=1|chkBackup=0|-chk_FrontMost=0|-chkBackup=1"},
  };
  for (const Case& c : cases) {
    SettingsModel model;
    LoadSettings(model, dir.Write("Lumivex.dat", c.file), nullptr);
    EXPECT_EQ(Delta(model), c.delta) << c.file;
  }
  // Nothing to read: the form values stay, and no box (a short or failed read is no exception).
  SettingsModel model;
  testing::RoadMessages messages;
  for (const std::string& path : {(dir.path() / "missing").string(), dir.path().string(), std::string(), std::string("/proc/self/mem")})
    LoadSettings(model, path, &messages);
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_EQ(SettingsFileText(model), kDefaultFile);
}

TEST(StateFile, LoadAndSave) {
  const testing::RoadTempDir dir;
  struct Case { std::string file; float version; StateValues expected; };
  const std::vector<Case> cases = {
      {"Revision=Ver. 1.2\r\n", 1.3f, {"", "Ver. 1.2", "", "", "", 1.3f, 1.3f}},
      {"Revision=2.5\r\nNewision=v12\r\n", 1.3f, {"", "2.5", "v12", "", "", 2.5f, 12.0f}},
      {"ReadMe:1\r\nflgNotNews1\r\n DataPath=x\r\nDataPath=/a b=c\r\n", 1.0f, {"1", "", "", "", "/a b=c", 1.0f, 1.0f}},
  };
  for (const Case& c : cases) {
    dir.Write("Lumivex.ini", c.file);
    StateValues state;
    LoadStateIni(state, dir.path().string(), c.version);
    EXPECT_EQ(StateFileText(state), StateFileText(c.expected)) << c.file;
    EXPECT_FLOAT_EQ(state.RevisionNumber, c.expected.RevisionNumber) << c.file;
    EXPECT_FLOAT_EQ(state.NewisionNumber, c.expected.NewisionNumber) << c.file;
  }
  SaveStateIni({"1", "1.25", "3.5", "0", "/home/user/MQL4"}, dir.path().string() + "/");
  EXPECT_EQ(ReadBytes(dir.path() / "Lumivex.ini"),
            "ReadMe=1\r\nRevision=1.25\r\nNewision=3.5\r\nflgNotNews=0\r\nDataPath=/home/user/MQL4\r\n");
}

}  // namespace
}  // namespace lumivex

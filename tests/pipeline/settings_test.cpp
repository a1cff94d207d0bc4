#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "pipeline/settings_files.h"
#include "pipeline/settings_model.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using Change = SettingsModel::Change;
using Strings = std::vector<std::string>;

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

// Records every notification as "name" (value) or "name:enabled".
struct Recorder {
  explicit Recorder(SettingsModel& model) {
    model.AddObserver([this](std::string_view name, Change change) {
      events.push_back(std::string(name) + (change == Change::Enabled ? ":enabled" : ""));
    });
  }
  Strings events;
};

struct RecordingMessages : Messages {
  MessageButton Show(std::string_view text, std::string_view caption, MessageButtons) override {
    shown.push_back(std::string(caption) + ": " + std::string(text));
    return MessageButton::Ok;
  }
  Strings shown;
};

Strings Lines(std::string_view text) {
  Strings lines;
  for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos; text.remove_prefix(end + 2))
    lines.emplace_back(text.substr(0, end));
  return lines;
}

// How the model's settings file differs from the default one: its new lines,
// then "-" and each default line it lost, joined by "|".
std::string Delta(const SettingsModel& model) {
  const Strings now = Lines(SettingsFileText(model)), before = Lines(kDefaultFile);
  std::string out;
  auto add = [&](const std::string& s) { out += (out.empty() ? "" : "|") + s; };
  for (const auto& l : now) if (std::find(before.begin(), before.end(), l) == before.end()) add(l);
  for (const auto& l : before) if (std::find(now.begin(), now.end(), l) == now.end()) add("-" + l);
  return out;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class SettingsDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) /
           ("settings_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(std::string_view name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// ---- the model ----------------------------------------------------------------

TEST(SettingsModel, DefaultsAreTheFormValues) {
  SettingsModel model;
  EXPECT_EQ(SettingsFileText(model), kDefaultFile);
  EXPECT_TRUE(model.Checked("chkCommentCompression"));  // in no file
  // Unknown names read as nothing and take nothing.
  Recorder rec(model);
  model.SetChecked("chkNoSuchBox", true);
  model.SetText("txtNoSuchEdit", "x");
  EXPECT_FALSE(model.Checked("chkNoSuchBox"));
  EXPECT_EQ(model.Text("txtNoSuchEdit"), "");
  EXPECT_FALSE(model.Checked("txtBool"));
  EXPECT_TRUE(model.Enabled("chkNoSuchBox"));
  EXPECT_TRUE(rec.events.empty());
}

TEST(SettingsModel, CouplingsSetEnabledOnly) {
  struct Case { std::string_view box; Strings governed, untouched; };
  const std::vector<Case> cases = {
      {"chkOrderSelect", {"rdoOrderSelectIfOut", "rdoOrderSelectContinue"}, {"rdoOrderSelectAuto"}},
      {"chkHidesGlobalDeclaration",
       {"chkNotUsedVariable", "lblNotUsedVariable", "chkReplaceCommentArr", "lblReplaceCommentArr",
        "chkReplaceFuncVariable", "lblReplaceFuncVariable", "chkChangeGrbAlreadyReserved",
        "lblChangeGrbAlreadyReserved", "chkStringConcatenate", "lblStringConcatenate"},
       {"chkArraysPassedByReferenceOnly"}},
      {"chkFixReturn",
       {"lblInvalidIndexValueHeader", "chkInvalidIndexValueHeader",
        "lblExpressionsNotAllowedGlobalScope", "chkExpressionsNotAllowedGlobalScope", "lblString",
        "txtString", "lblUlong", "txtUlong", "lblDouble", "txtDouble", "lblTypeInfo"},
       {"Label7", "chkAndOrPriorityLevel"}},
  };
  for (const Case& c : cases) {
    SettingsModel model;
    model.SetChecked(c.box, false);
    for (const auto& name : c.governed) EXPECT_FALSE(model.Enabled(name)) << c.box << " " << name;
    for (const auto& name : c.untouched) EXPECT_TRUE(model.Enabled(name)) << c.box << " " << name;
    EXPECT_EQ(Delta(model), std::string(c.box) + "=0|-" + std::string(c.box) + "=1");  // values stay
    model.SetChecked(c.box, true);
    for (const auto& name : c.governed) EXPECT_TRUE(model.Enabled(name)) << c.box << " " << name;
  }
  EXPECT_EQ(SettingsModel::CoupledControls("chkFixReturn").size(), 4u + 28u + 1u);
}

TEST(SettingsModel, NotifiesRealChangesOnly) {
  SettingsModel model;
  Recorder rec(model);
  int calls = 0;
  const int id = model.AddObserver([&](std::string_view, Change) { ++calls; });
  model.SetChecked("chkBackup", true);  // unchanged values
  model.SetText("txtBool", "false");
  model.SetInt("Left", 0);
  model.SetChecked("chkBackup", false);
  model.RemoveObserver(id);
  model.SetText("txtBool", "true");
  model.SetInt("Left", 12);
  model.SetChecked("chkOrderSelect", false);
  model.SetChecked("rdoOrderSelectIfOut", true);
  EXPECT_EQ(rec.events, (Strings{"chkBackup", "txtBool", "Left", "chkOrderSelect",
                                 "rdoOrderSelectIfOut:enabled", "rdoOrderSelectContinue:enabled",
                                 "rdoOrderSelectIfOut", "rdoOrderSelectAuto"}));
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(model.Checked("rdoOrderSelectAuto"));
}

// ---- the settings file ----------------------------------------------------------

TEST_F(SettingsDir, LoadCases) {
  struct Case { std::string label, file, delta; };
  const std::vector<Case> cases = {
      {"LoneBackupLine", "chkBackup=0\r\n", "chkBackup=0|-chkBackup=1"},
      {"LaterRadioWins", "rdoOrderSelectAuto=1\r\nrdoOrderSelectIfOut=1\r\n",
       "rdoOrderSelectIfOut=1|-rdoOrderSelectAuto=1"},
      {"RadioZeroIgnored", "rdoOrderSelectAuto=0\r\nrdoOrderSelectContinue=0\r\n", ""},
      {"BoxOffKeepsRadio", "rdoOrderSelectIfOut=1\r\nchkOrderSelect=0\r\n",
       "chkOrderSelect=0|rdoOrderSelectIfOut=1|-chkOrderSelect=1|-rdoOrderSelectAuto=1"},
      {"EmptyEdit", "txtString=\r\n", "txtString=|-txtString=\"\""},
      {"KeyAloneEmptiesEditKeepsBox", "txtInt\r\nchkBackup\r\n", "txtInt=|-txtInt=0"},
      {"NotANumberIsZero", "This-Top=-7\r\nThis-Left=12\r\nThis-Left=abc\r\n",
       "This-Top=-7|-This-Top=0"},
      {"LeadingBlankNoKey", " chkBackup=0\r\n\tchkFixReturn=0\r\n", ""},
      {"AnyCharacterAfterKey", "txtBoolfalse\r\nchkBackup:0\r\n",
       "chkBackup=0|txtBool=alse|-chkBackup=1|-txtBool=false"},
      {"FirstKeyByPrefix", "chkOrderSelect_0\r\n", "chkOrderSelect=0|-chkOrderSelect=1"},
      {"OtherBoxValuesIgnored", "chkBackup=2\r\nchkFixReturn=true\r\nchkOrderModify=0 \r\n", ""},
      {"EditKeepsBlanksAndBytes", "txtColor= Red \x82\xA0\r\n", "txtColor= Red \x82\xA0|-txtColor=White"},
      {"CaseSensitive", "CHKBACKUP=0\r\n", ""},
      {"EmptyLinesNoFinalBreak", "\r\n\r\nchkBackup=0\r\n\r\nchk_FrontMost=1",
       "chk_FrontMost=1|chkBackup=0|-chk_FrontMost=0|-chkBackup=1"},
      {"EndsAtZeroByte", std::string("chkBackup=0\r\n\0chkFixReturn=0\r\n", 30),
       "chkBackup=0|-chkBackup=1"},
  };
  for (const Case& c : cases) {
    WriteFile(Path("Lumivex.dat"), c.file);
    SettingsModel model;
    RecordingMessages messages;
    LoadSettings(model, Path("Lumivex.dat"), &messages);
    EXPECT_EQ(Delta(model), c.delta) << c.label;
    EXPECT_TRUE(messages.shown.empty()) << c.label;
  }
}

TEST_F(SettingsDir, LoadRunsCouplingsAndNotifiesChangesOnly) {
  WriteFile(Path("Lumivex.dat"), "chkBackup=1\r\nchk_FrontMost=1\r\nchkHidesGlobalDeclaration=0\r\n");
  SettingsModel model;
  Recorder rec(model);
  LoadSettings(model, Path("Lumivex.dat"), nullptr);
  ASSERT_GE(rec.events.size(), 3u);
  EXPECT_EQ(Strings(rec.events.begin(), rec.events.begin() + 3),
            (Strings{"chk_FrontMost", "chkHidesGlobalDeclaration", "chkNotUsedVariable:enabled"}));
  EXPECT_FALSE(model.Enabled("lblStringConcatenate"));
}

TEST_F(SettingsDir, MissingOrUnreadableFile) {
  SettingsModel model;
  RecordingMessages messages;
  for (const std::string& path : {Path("missing.dat"), dir_.string(), std::string()})
    LoadSettings(model, path, &messages);
  EXPECT_TRUE(messages.shown.empty());
  // A regular file whose first read fails (offset 0 of the own address space).
  if (fs::is_regular_file("/proc/self/mem")) {
    LoadSettings(model, "/proc/self/mem", &messages);
    EXPECT_EQ(messages.shown, (Strings{"File Error: Can't perform one of the following file "
                                       "operations: Open, Seek, Read, Close."}));
  }
  EXPECT_EQ(SettingsFileText(model), kDefaultFile);
}

TEST_F(SettingsDir, SaveRoundTripAndReplace) {
  WriteFile(Path("Lumivex.dat"), std::string(5000, 'x'));
  SettingsModel model;
  model.SetInt("Left", -20);
  model.SetChecked("chkNextStart", false);
  model.SetChecked("rdoOrderSelectContinue", true);
  model.SetChecked("chkFixReturn", false);
  model.SetText("txtString", "");
  SaveSettings(model, Path("Lumivex.dat"));
  EXPECT_EQ(ReadFile(Path("Lumivex.dat")), SettingsFileText(model));
  SettingsModel loaded;
  LoadSettings(loaded, Path("Lumivex.dat"), nullptr);
  EXPECT_EQ(Delta(loaded), Delta(model));
  EXPECT_FALSE(loaded.Enabled("txtInt"));

  SaveSettings(model, Path("no/such/folder/Lumivex.dat"));
  EXPECT_FALSE(fs::exists(Path("no")));
}

// ---- the state file ---------------------------------------------------------------

TEST_F(SettingsDir, StateFile) {
  struct Case { std::string label, file; float version; StateValues expected; };
  const std::vector<Case> cases = {
      {"Missing", "", 1.3f, {"", "", "", "", "", 1.3f, 1.3f}},
      {"RaisedToVersion", "Revision=Ver. 1.2\r\n", 1.3f, {"", "Ver. 1.2", "", "", "", 1.3f, 1.3f}},
      {"AboveVersionKept", "Revision=2.5\r\nNewision=v12\r\n", 1.3f, {"", "2.5", "v12", "", "", 2.5f, 12.0f}},
      {"AnyCharacterAfterKey", "ReadMe:1\r\nflgNotNews1\r\n", 1.0f, {"1", "", "", "", "", 1.0f, 1.0f}},
      {"OtherLinesIgnored", "\r\nFoo=1\r\n DataPath=x\r\nDataPath=/a b=c\r\n", 1.0f,
       {"", "", "", "", "/a b=c", 1.0f, 1.0f}},
  };
  for (const Case& c : cases) {
    fs::remove(Path("Lumivex.ini"));
    if (!c.file.empty()) WriteFile(Path("Lumivex.ini"), c.file);
    StateValues state;
    LoadStateIni(state, dir_.string(), c.version);
    EXPECT_EQ(StateFileText(state), StateFileText(c.expected)) << c.label;
    EXPECT_FLOAT_EQ(state.RevisionNumber, c.expected.RevisionNumber) << c.label;
    EXPECT_FLOAT_EQ(state.NewisionNumber, c.expected.NewisionNumber) << c.label;
  }

  const StateValues state{"1", "1.25", "3.5", "0", "/home/user/MQL4"};
  SaveStateIni(state, dir_.string() + "/");
  EXPECT_EQ(ReadFile(Path("Lumivex.ini")),
            "ReadMe=1\r\nRevision=1.25\r\nNewision=3.5\r\nflgNotNews=0\r\nDataPath=/home/user/MQL4\r\n");
  StateValues loaded;
  LoadStateIni(loaded, dir_.string(), 1.0f);
  EXPECT_EQ(StateFileText(loaded), StateFileText(state));
  EXPECT_FLOAT_EQ(loaded.NewisionNumber, 3.5f);
}

}  // namespace
}  // namespace lumivex

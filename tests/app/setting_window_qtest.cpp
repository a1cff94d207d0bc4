// The settings window as a view of the settings model, through the real widgets.
#include <QtTest>
#include <QtWidgets>

#include "app/setting_window.h"
#include "settings/settings_files.h"
#include "platform/support/temp_dir.h"
#include "text/text_file.h"

using namespace lumivex;

namespace {

struct Fixture {
  SettingsModel model;
  TSetting window{model, nullptr, [] { return Rect{48, 27, 1281, 1000}; }};

  QAbstractButton* Button(std::string_view name) { return qobject_cast<QAbstractButton*>(window.Control(name)); }
  QLineEdit* Edit(const char* name) { return qobject_cast<QLineEdit*>(window.Control(name)); }
  bool Enabled(std::string_view name) { return window.Control(name)->isEnabled(); }
};

}  // namespace

class SettingWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void window() {
    Fixture f;
    QCOMPARE(f.window.pos(), QPoint(48 + 831 / 2, 27 + 1000 - 749));
    for (char16_t c : {u'設', u'定', u'戻', u'値'}) QVERIFY(QFontMetrics(f.window.font()).inFont(QChar(c)));
    // An "&" shows as written.
    QCOMPARE(f.Button("chkReplaceFuncVariable")->text().replace("&&", "&"),
             QStringLiteral(R"(Renaming (".""?") of illegal variable identifier & function name)"));
    QCOMPARE(qobject_cast<QLabel*>(f.window.Control("Label10"))->text(), QStringLiteral("&"));
  }

  void couplingsFollowTheBox() {
    const std::pair<std::string, QStringList> cases[] = {
        {"chkOrderSelect", {"rdoOrderSelectAuto", "chkOrderModify"}},
        {"chkHidesGlobalDeclaration", {"Label6", "chkArraysPassedByReferenceOnly"}},
        {"chkFixReturn", {"Label7", "Label2", "chkAndOrPriorityLevel"}}};
    for (const auto& [box, untouched] : cases) {
      Fixture f;
      const auto& governed = SettingsModel::CoupledControls(box);
      QVERIFY(!governed.empty());
      f.Button(box)->click();
      QVERIFY(!f.model.Checked(box));
      for (std::string_view name : governed) QVERIFY2(!f.Enabled(name), name.data());
      for (const QString& name : untouched) QVERIFY2(f.Enabled(name.toStdString()), qPrintable(name));
      // The governed boxes keep their values; setChecked couples as a click does.
      QVERIFY(f.Button("rdoOrderSelectAuto")->isChecked() && f.Button("chkNotUsedVariable")->isChecked());
      f.Button(box)->setChecked(true);
      for (std::string_view name : governed) QVERIFY2(f.Enabled(name), name.data());
    }
  }

  void editsAndClicksAreWrittenToTheSettingsFile() {
    testing::TempDir dir;
    const std::string path = (dir / "Lumivex.dat").string();
    Fixture f;
    f.model.SetText("txtString", "\x82\xa0");  // "あ" in Shift-JIS
    QCOMPARE(f.Edit("txtString")->text(), QStringLiteral("あ"));
    f.Edit("txtBool")->setText(QStringLiteral("\"情報\""));
    QCOMPARE(f.model.Text("txtBool"), std::string("\"\x8f\xee\x95\xf1\""));
    f.Button("chkOrderSelect")->click();
    f.Button("rdoOrderSelectContinue")->click();  // disabled: a click does nothing
    QVERIFY(f.model.Checked("rdoOrderSelectAuto"));
    f.model.SetChecked("chkOrderSelect", true);
    f.Button("rdoOrderSelectContinue")->click();
    f.Button("chkFixReturn")->click();
    f.Edit("txtInt")->setText("-1");
    SaveSettings(f.model, path);
    const std::string text = ReadTextFile(path);
    for (const char* line : {"\r\nchkOrderSelect=1\r\nrdoOrderSelectContinue=1\r\nchkOrderModify=1\r\n",
                             "\r\nchkFixReturn=0\r\n", "\r\ntxtInt=-1\r\n"})
      QVERIFY2(text.find(line) != std::string::npos, line);

    Fixture again;
    LoadSettings(again.model, path, nullptr);
    QVERIFY(again.Button("rdoOrderSelectContinue")->isChecked());
    QVERIFY(!again.Enabled("txtInt"));
    QCOMPARE(again.Edit("txtInt")->text(), QStringLiteral("-1"));
    QCOMPARE(SettingsFileText(again.model), text);
  }
};

QTEST_MAIN(SettingWindowTest)
#include "setting_window_qtest.moc"

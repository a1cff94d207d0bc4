// The settings window as a view of the settings model: its controls and
// captions, the couplings through the real widgets, and the settings file
// read into and written from the window.
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <iterator>
#include <map>

#include "app/setting_window.h"
#include "pipeline/settings_files.h"

using namespace lumivex;

namespace {

const Rect kWorkArea{0, 0, 1280, 1000};

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct Fixture {
  SettingsModel model;
  TSetting window{model, nullptr, [] { return kWorkArea; }};

  QAbstractButton* Button(const char* name) {
    auto* button = qobject_cast<QAbstractButton*>(window.Control(name));
    if (!button) qFatal("no button %s", name);
    return button;
  }
  QLineEdit* Edit(const char* name) {
    auto* edit = qobject_cast<QLineEdit*>(window.Control(name));
    if (!edit) qFatal("no edit %s", name);
    return edit;
  }
  bool Enabled(std::string_view name) { return window.Control(name)->isEnabled(); }
};

// What the user reads on a button: "&&" is one ampersand, a lone "&" marks
// the mnemonic and is not shown.
QString Shown(QString caption) {
  caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  caption.remove(u'&');
  return caption.replace(u'\x01', u'&');
}

QString CaptionOf(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return Shown(button->text());
  return {};
}

QColor TextColour(QWidget* widget) { return widget->palette().color(QPalette::Active, QPalette::WindowText); }

}  // namespace

class SettingWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void windowWithEveryControlTopToBottom() {
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QCOMPARE(f.window.windowTitle(), QStringLiteral("設定"));
    QCOMPARE(f.window.size(), QSize(450, 749));
    // 15794112 is 0xF0FFC0 with blue in the high byte.
    QCOMPARE(f.window.palette().color(QPalette::Window), QColor(0xC0, 0xFF, 0xF0));
    QVERIFY(f.window.findChildren<QPushButton*>().isEmpty());
    QVERIFY2(QFontInfo(f.window.font()).family().contains("Gothic"),
             qPrintable(QFontInfo(f.window.font()).family()));
    const std::vector<std::pair<const char*, QString>> rows = {
        {"grpOrderSelect", "OrderSelectの戻り値"},
        {"chkOrderSelect", "Method of return value of OrderSelect corresponding"},
        {"Label1", "（Fix warning）　return value of 'OrderSelect' should be checked "},
        {"rdoOrderSelectAuto", "Auto（Loop:if (!OrderSelect(..))continue; Not:if (OrderSelect(..))）"},
        {"rdoOrderSelectIfOut", "if (OrderSelect(i, SELECT_BY_POS, MODE_TRADES))"},
        {"rdoOrderSelectContinue", "if (!OrderSelect(i, SELECT_BY_POS, MODE_TRADES)) continue;"},
        {"chkOrderModify", "Another who receives return value of OrderModify"},
        {"Label5", "（Fix warning）　return value of 'OrderModify' should be checked"},
        {"chkFixReturn", "Correction of return value of return sentence"},
        {"Label2", "（Fix warning） not all control paths return a value or more"},
        {"Label7", "Return value of Default (Value when not specifying it at return o'clock of the function). "},
        {"chkInvalidIndexValueHeader",
         "The subscript specification wrong is corrected by the Global declaration and the array variable. "},
        {"lblInvalidIndexValueHeader", "（Fix warning）  '[' - invalid index value"},
        {"chkExpressionsNotAllowedGlobalScope", "An invalid expression of the program in global scope. "},
        {"lblExpressionsNotAllowedGlobalScope", "（Fix warning） expressions are not allowed on a global scope"},
        {"chkAndOrPriorityLevel", "Correction of AND OR priority level of if sentence"},
        {"Label3", "（Fix warning） check operator precedence for possible error; ....."},
        {"chkUnrecognizedEscape", "Escape \"\\\" sequence deletion to which character string inside is not recognized"},
        {"Label4", "（Fix warning） '？' - unrecognized character escape sequence"},
        {"chkHidesGlobalDeclaration", "The Global variable was declared again as a local variable. "},
        {"Label6", "（Fix warning） declaration of 'xxx' hides global declaration at line ..."},
        {"chkNotUsedVariable", "Processing of local variable not used (End comment). "},
        {"lblNotUsedVariable", "（Fix warning） variable 'xxx' not used\t"},
        {"chkReplaceCommentArr", "No data type adjustment correction of Comment sentence"},
        {"lblReplaceCommentArr", "（Fix warning） implicit conversion from 'number' to 'string"},
        {"chkReplaceFuncVariable", "Renaming (\".\"\"?\") of illegal variable identifier & function name"},
        {"lblReplaceFuncVariable", "（Fix warning） implicit conversion from 'number' to 'string"},
        {"chkChangeGrbAlreadyReserved",
         "Because reserved word \"Reserved words\" was used for the Global variable, it changes. "},
        {"lblChangeGrbAlreadyReserved", "（Fix warning） 'xxx' - name expected"},
        {"chkStringConcatenate", "Making of declaration of invalid, simple variable of StringConcatenate effective"},
        {"lblStringConcatenate", "（Fix warning） 'xxx' -  undeclared identifier\t"},
        {"chkArraysPassedByReferenceOnly",
         "The array of the argument of the function is \"function (int handed over only by call-by-reference. "},
        {"Label9", "（Fix warning） ArraysPassedByReferenceOnly"},
    };
    int lastTop = -1;
    for (const auto& [name, caption] : rows) {
      QWidget* control = f.window.Control(name);
      QVERIFY2(control, name);
      QCOMPARE(control->objectName(), QString::fromLatin1(name));
      if (qstrcmp(name, "grpOrderSelect") == 0)
        QCOMPARE(qobject_cast<QGroupBox*>(control)->title(), caption);
      else
        QCOMPARE(CaptionOf(control), caption);
      const int top = control->mapTo(&f.window, QPoint(0, 0)).y();
      QVERIFY2(top > lastTop, name);
      lastTop = top;
      // Explanatory labels are maroon, Label7 navy.
      if (qobject_cast<QLabel*>(control))
        QCOMPARE(TextColour(control), qstrcmp(name, "Label7") == 0 ? QColor(0, 0, 0x80) : QColor(0x80, 0, 0));
    }
    for (std::string_view edit : SettingsModel::TextNames())
      QCOMPARE(CaptionOf(f.window.Control("lbl" + std::string(edit.substr(3)))),
               QString::fromLatin1(edit.data() + 3, edit.size() - 3).toLower());
    // The ampersand label between Label9 and Label11 shows one "&".
    QCOMPARE(CaptionOf(f.window.Control("Label10")), QStringLiteral("&"));
    QCOMPARE(CaptionOf(f.window.Control("Label11")), QStringLiteral("array[ ] )」"));
    QCOMPARE(CaptionOf(f.window.Control("lblTypeInfo")), QStringLiteral("← Type name of function"));
    QCOMPARE(TextColour(f.window.Control("Label10")), QColor(0xFF, 0, 0));
    QCOMPARE(TextColour(f.window.Control("lblTypeInfo")), QColor(0x80, 0, 0x80));
    auto textLeft = [&](const char* name) {
      QWidget* w = f.window.Control(name);
      return w->mapTo(&f.window, w->contentsRect().topLeft()).x();
    };
    QVERIFY(textLeft("Label10") > textLeft("Label9"));
    QVERIFY(textLeft("Label11") > textLeft("Label10"));
    // Sub-options stand indented under their box.
    for (const char* sub : {"chkNotUsedVariable", "chkStringConcatenate"})
      QVERIFY2(textLeft(sub) > textLeft("chkHidesGlobalDeclaration"), sub);
    QVERIFY(textLeft("rdoOrderSelectContinue") > textLeft("chkOrderSelect"));
  }

  void couplingsFollowAClickedBox_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("untouched");
    QTest::newRow("chkOrderSelect") << "chkOrderSelect"
                                    << QStringList{"rdoOrderSelectAuto", "chkOrderModify", "Label1"};
    QTest::newRow("chkHidesGlobalDeclaration")
        << "chkHidesGlobalDeclaration" << QStringList{"Label6", "chkArraysPassedByReferenceOnly"};
    QTest::newRow("chkFixReturn") << "chkFixReturn" << QStringList{"Label7", "Label2", "chkAndOrPriorityLevel"};
  }
  void couplingsFollowAClickedBox() {
    QFETCH(QString, box);
    QFETCH(QStringList, untouched);
    Fixture f;
    const std::string boxName = box.toStdString();
    QStringList governed;
    for (std::string_view name : SettingsModel::CoupledControls(boxName))
      governed << QString::fromLatin1(name.data(), name.size());
    QVERIFY(!governed.isEmpty());
    std::map<QString, bool> valuesBefore;
    for (const QString& name : governed)
      if (auto* b = qobject_cast<QAbstractButton*>(f.window.Control(name.toStdString())))
        valuesBefore[name] = b->isChecked();

    f.Button(boxName.c_str())->click();
    QVERIFY(!f.model.Checked(boxName));
    for (const QString& name : governed) QVERIFY2(!f.Enabled(name.toStdString()), qPrintable(name));
    for (const QString& name : untouched) QVERIFY2(f.Enabled(name.toStdString()), qPrintable(name));
    // The governed controls keep their values.
    for (const auto& [name, checked] : valuesBefore)
      QCOMPARE(qobject_cast<QAbstractButton*>(f.window.Control(name.toStdString()))->isChecked(), checked);

    // setChecked (as the main window's code may call it) couples as a click does.
    f.Button(boxName.c_str())->setChecked(true);
    QVERIFY(f.model.Checked(boxName));
    for (const QString& name : governed) QVERIFY2(f.Enabled(name.toStdString()), qPrintable(name));
  }

  void modelChangesReachTheWidgets() {
    Fixture f;
    f.model.SetChecked("chkFixReturn", false);
    f.model.SetChecked("rdoOrderSelectContinue", true);
    f.model.SetText("txtString", "\x82\xa0");  // "あ" in Shift-JIS
    QVERIFY(!f.Button("chkFixReturn")->isChecked());
    QVERIFY(!f.Enabled("txtInt"));
    QVERIFY(f.Button("rdoOrderSelectContinue")->isChecked());
    QVERIFY(!f.Button("rdoOrderSelectAuto")->isChecked());
    QCOMPARE(f.Edit("txtString")->text(), QStringLiteral("あ"));
  }

  void userEditsReachTheModelAsShiftJis() {
    Fixture f;
    QLineEdit* edit = f.Edit("txtBool");
    edit->clear();
    QTest::keyClicks(edit, "true");
    QCOMPARE(f.model.Text("txtBool"), std::string("true"));
    edit->setText(QStringLiteral("\"情報\""));
    QCOMPARE(f.model.Text("txtBool"), std::string("\"\x8f\xee\x95\xf1\""));
  }

  void loadingTheSettingsFileUpdatesTheWidgets() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("Lumivex.dat").toStdString();
    WriteBytes(path,
               "chkOrderSelect=0\r\n"
               "rdoOrderSelectAuto=1\r\n"
               "rdoOrderSelectIfOut=1\r\n"
               "txtString=\r\n"
               "txtColor= Red \r\n"
               "chkHidesGlobalDeclaration=0\r\n"
               "chkNotUsedVariable=0\r\n"
               "chkAndOrPriorityLevel=x\r\n");
    Fixture f;
    LoadSettings(f.model, path, nullptr);
    QVERIFY(!f.Button("chkOrderSelect")->isChecked());
    QVERIFY(f.Button("rdoOrderSelectIfOut")->isChecked());  // the later radio line wins
    QVERIFY(!f.Button("rdoOrderSelectAuto")->isChecked());
    QVERIFY(!f.Enabled("rdoOrderSelectIfOut"));
    QVERIFY(!f.Enabled("rdoOrderSelectContinue"));
    QVERIFY(f.Enabled("rdoOrderSelectAuto"));
    QCOMPARE(f.Edit("txtString")->text(), QString());
    QCOMPARE(f.Edit("txtColor")->text(), QStringLiteral(" Red "));
    QVERIFY(!f.Button("chkHidesGlobalDeclaration")->isChecked());
    QVERIFY(!f.Button("chkNotUsedVariable")->isChecked());
    QVERIFY(!f.Enabled("chkNotUsedVariable"));
    QVERIFY(!f.Enabled("lblStringConcatenate"));
    QVERIFY(f.Button("chkAndOrPriorityLevel")->isChecked());
  }

  void clicksAreWrittenToTheSettingsFile() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("Lumivex.dat").toStdString();
    Fixture f;
    f.Button("chkOrderSelect")->click();
    f.Button("rdoOrderSelectContinue")->click();  // disabled: a click does nothing
    f.model.SetChecked("chkOrderSelect", true);
    f.Button("rdoOrderSelectContinue")->click();
    f.Button("chkFixReturn")->click();
    f.Button("chkStringConcatenate")->click();
    f.Edit("txtInt")->setText("-1");
    SaveSettings(f.model, path);
    const std::string text = ReadBytes(path);
    for (const char* line :
         {"\r\nchkOrderSelect=1\r\nrdoOrderSelectContinue=1\r\nchkOrderModify=1\r\n",
          "\r\nchkFixReturn=0\r\n", "\r\ntxtInt=-1\r\n", "\r\nchkStringConcatenate=0\r\n",
          "\r\nchkHidesGlobalDeclaration=1\r\n"})
      QVERIFY2(text.find(line) != std::string::npos, line);
    QVERIFY(text.find("rdoOrderSelectAuto") == std::string::npos);

    // The file read into a fresh window gives the same widgets.
    Fixture again;
    LoadSettings(again.model, path, nullptr);
    QVERIFY(again.Button("rdoOrderSelectContinue")->isChecked());
    QVERIFY(!again.Button("chkFixReturn")->isChecked());
    QVERIFY(!again.Enabled("txtInt"));
    QCOMPARE(again.Edit("txtInt")->text(), QStringLiteral("-1"));
    QCOMPARE(SettingsFileText(again.model), text);
  }

  void placedAtTheBottomCentreOfTheWorkArea_data() {
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("odd width truncated") << QRect(0, 0, 1281, 1000) << QPoint(415, 251);
    QTest::newRow("panels left and top") << QRect(48, 27, 1280, 1000) << QPoint(463, 278);
    QTest::newRow("narrower than the window") << QRect(0, 0, 401, 700) << QPoint(-24, -49);
  }
  void placedAtTheBottomCentreOfTheWorkArea() {
    QFETCH(QRect, workArea);
    QFETCH(QPoint, topLeft);
    const Rect area{workArea.x(), workArea.y(), workArea.width(), workArea.height()};
    SettingsModel model;
    TSetting window(model, nullptr, [area] { return area; });
    QCOMPARE(window.pos(), topLeft);
  }
};

QTEST_MAIN(SettingWindowTest)
#include "setting_window_qtest.moc"

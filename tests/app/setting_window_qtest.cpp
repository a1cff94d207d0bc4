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

// The height the caption of w needs at w's width, its text wrapped where it may wrap; -1 when
// a word or an unwrapped caption is wider than the room it has.
int CaptionHeightNeeded(QWidget* w) {
  const QFontMetrics fm(w->font());
  QString text;
  int room = w->contentsRect().width();
  int flags = Qt::TextShowMnemonic;
  if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
    QStyle* style = w->style();
    using S = QStyle;
    room -= style->pixelMetric(radio ? S::PM_ExclusiveIndicatorWidth : S::PM_IndicatorWidth, nullptr, w) +
            style->pixelMetric(radio ? S::PM_RadioButtonLabelSpacing : S::PM_CheckBoxLabelSpacing, nullptr, w);
    text = button->text();
    flags |= Qt::TextWordWrap;
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    text = label->text();
    flags = label->wordWrap() ? Qt::TextWordWrap : 0;
  }
  const QRect needed = fm.boundingRect(QRect(0, 0, room, 1 << 20), flags, text);
  return needed.width() > room ? -1 : needed.height();
}

// The face that draws the first character of text in font (a fallback face where font's own
// faces lack it).
QRawFont FaceDrawing(const QString& text, const QFont& font) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  return layout.glyphRuns().front().rawFont();
}

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

  // Once the platform's frame is known, the frame's bottom edge, not the inside's, lies on the
  // bottom of the work area.
  void placedWithItsFrame() {
    Fixture f;
    f.window.show();
    const QRect frame = f.window.frameGeometry();
    QVERIFY(frame.height() > f.window.height());
    QCOMPARE(frame.bottom() + 1, 27 + 1000);
    QCOMPARE(frame.left(), 48 + (1281 - frame.width()) / 2);
    // Placed once: where the user puts it, it stays.
    f.window.move(10, 20);
    f.window.hide();
    f.window.show();
    QCOMPARE(f.window.pos(), QPoint(10, 20));
  }

  void captionsShownWhole() {
    Fixture f;
    f.window.show();
    QVERIFY(f.window.height() >= 749 && f.window.width() == 450);
    std::vector<std::pair<QString, QRect>> placed;
    for (QWidget* w : f.window.findChildren<QWidget*>()) {
      if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLabel*>(w)) continue;
      const QRect at(w->mapTo(&f.window, QPoint(0, 0)), w->size());
      const QString name = w->objectName();
      QVERIFY2(f.window.rect().contains(at), qPrintable(name));
      const int needed = CaptionHeightNeeded(w);
      QVERIFY2(needed >= 0 && needed <= w->height(), qPrintable(name + " needs " + QString::number(needed)));
      for (const auto& [other, rect] : placed) QVERIFY2(!rect.intersects(at), qPrintable(name + " covers " + other));
      placed.emplace_back(name, at);
    }
    QVERIFY2(placed.size() > 40, qPrintable(QString::number(placed.size())));
  }

  // The Japanese faces draw a backslash as a yen sign; a Latin face (one without kana) draws
  // it as a backslash. Japanese text still finds its face.
  void backslashDrawnByALatinFace() {
    Fixture f;
    QAbstractButton* escape = f.Button("chkUnrecognizedEscape");
    QVERIFY(escape->text().contains(u'\\'));
    QVERIFY(!FaceDrawing("\\", escape->font()).supportsCharacter(QChar(u'あ')));
    const QFont group = f.window.Control("grpOrderSelect")->font();
    QVERIFY(FaceDrawing(QStringLiteral("戻"), group).supportsCharacter(QChar(u'戻')));
  }

  void subOptionsIndentedUnderTheirMaster() {
    Fixture f;
    f.window.show();
    auto left = [&](std::string_view name) { return f.window.Control(name)->mapTo(&f.window, QPoint(0, 0)).x(); };
    const std::pair<const char*, std::vector<const char*>> groups[] = {
        {"chkOrderSelect", {"rdoOrderSelectAuto", "rdoOrderSelectIfOut", "rdoOrderSelectContinue"}},
        {"chkHidesGlobalDeclaration",
         {"chkNotUsedVariable", "chkReplaceCommentArr", "chkReplaceFuncVariable", "chkChangeGrbAlreadyReserved",
          "chkStringConcatenate"}}};
    for (const auto& [master, subs] : groups)
      for (const char* sub : subs) QVERIFY2(left(sub) > left(master), sub);
    for (const char* level :
         {"chkOrderModify", "chkFixReturn", "chkUnrecognizedEscape", "chkArraysPassedByReferenceOnly"})
      QVERIFY2(left(level) == left("chkHidesGlobalDeclaration"), level);
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

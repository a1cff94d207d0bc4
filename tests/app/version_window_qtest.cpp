// The About window: its generated page, byte for byte, and how its QTextBrowser shows it.
#include <QtTest>
#include <QtWidgets>

#include "app/version_window.h"
#include "platform/support/temp_dir.h"
#include "text/text_file.h"

using namespace lumivex;

namespace {

// The page for version 1.170: Shift-JIS title and "！！".
const std::string kPage1170 =
    "<html>\r\n<head>\r\n<title>\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1</title>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n</head>\r\n"
    "<body bgcolor=\"EEFFCC\">\r\n<div align=\"center\">\r\n<table border=\"0\" width=\"100\">\r\n"
    " <tr align=\"center\">\r\n"
    " <td nowrap><font size=\"4\"><font color=\"FF0000\">Lumivex </font><font color=\"00CC00\">"
    "Converter\x81\x49\x81\x49</font><BR><BR><font color=\"3333FF\"> Ver 1.170</font></font><br><br>\r\n"
    " </td>\r\n</tr>\r\n</table>\r\n</div>\r\n</body>\r\n</html>\r\n";

// The colour of the second character of word's first occurrence.
QColor ColourOf(QTextDocument* document, const QString& word) {
  QTextCursor at = document->find(word);
  at.setPosition(at.selectionStart() + 1);
  return at.charFormat().foreground().color();
}

}  // namespace

class VersionWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // An older page, even a read-only one, is replaced whole. Where no page can be written it is
  // shown from memory, never an older one; the window shows the running version in its colours.
  void writesAndShowsThePage() {
    testing::TempDir dir;
    const std::string appDir = dir.path().string() + "/";
    const std::string path = dir.Touch("Version.htm", "an older and longer page " + std::string(4000, 'x'));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    QVERIFY(WriteVersionPage(appDir, "1.170"));
    QCOMPARE(ReadTextFile(path), kPage1170);

    auto view = std::make_unique<RecordingWebView>();
    RecordingWebView* recorded = view.get();
    TfrmVersion window(nullptr, std::move(view), [] { return Rect{0, 0, 1000, 800}; });
    QVERIFY(window.LoadVersionPage(appDir, "1.170"));
    QVERIFY(!window.LoadVersionPage(appDir + "gone/", "1.170"));
    QCOMPARE(recorded->navigated, std::vector<std::string>{appDir + "Version.htm"});
    QCOMPARE(recorded->pages, std::vector<std::string>{kPage1170});

    TfrmVersion shown(nullptr, nullptr, [] { return Rect{0, 0, 1000, 800}; });
    shown.ShowVersion(appDir, "1.170");
    QVERIFY(shown.isVisible() && !shown.isModal());
    QCOMPARE(shown.windowTitle(), QStringLiteral("バージョン情報"));
    const Qt::WindowFlags flags = shown.windowFlags();  // fixed size: a close button only
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint) && flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint) && !flags.testFlag(Qt::WindowMinimizeButtonHint));
    QTextDocument* page = shown.findChild<QTextBrowser*>("wbINFO")->document();
    QVERIFY(page->toPlainText().contains(QStringLiteral("Lumivex Converter！！")));
    QVERIFY(page->toPlainText().contains(QStringLiteral("Ver 1.170")));
    // Colours written without "#" show all the same.
    QCOMPARE(ColourOf(page, "Lumivex"), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(ColourOf(page, "Converter"), QColor(0x00, 0xCC, 0x00));
    QCOMPARE(page->rootFrame()->frameFormat().background().color(), QColor(0xEE, 0xFF, 0xCC));
  }

  void fixesLegacyMarkupAndDecodesByTheCharset() {
    const std::pair<QString, QString> fixed[] = {
        {"<body bgcolor=00cc00><FONT COLOR = \"FF0000\">a</FONT><font color=\"3333FF\">",
         "<body bgcolor=#00cc00><FONT COLOR = \"#FF0000\">a</FONT><font color=\"#3333FF\">"},
        {" <td nowrap>x</td><TH align=left NOWRAP=nowrap>",
         " <td style=\"white-space: nowrap\">x</td><TH align=left style=\"white-space: nowrap\">"}};
    for (const auto& [before, after] : fixed) QCOMPARE(FixLegacyMarkup(before), after);
    for (const char* same : {"<font color=\"#FF0000\">", "<font color=FF00001>", "<font color=F00>",
                             "colours FF0000", "<td style=\"color:red\" nowrap>", "<p>nowrap</p><thead nowrap>"})
      QCOMPARE(FixLegacyMarkup(same), QString(same));
    QCOMPARE(PageCharset("<meta name=\"x\" content=\"y\"><meta charset=euc-jp/>"), std::string("euc-jp"));
    QCOMPARE(DecodePage("<p>情報</p>"), QStringLiteral("<p>情報</p>"));
    // Code page 932 keeps the backslash; 0xA0 starts no character; 0x82 at the end is cut off.
    QCOMPARE(DecodePage("<meta charset=Shift_JIS>\x8f\xee\x95\xf1 C:\\x\xa0" "b\x82\xa0\x82"),
             QStringLiteral("<meta charset=Shift_JIS>情報 C:\\x\uFFFDbあ\uFFFD"));
  }
};

QTEST_MAIN(VersionWindowTest)
#include "version_window_qtest.moc"

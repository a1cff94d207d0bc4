// The About window: the bytes of its generated page, the page file, and what
// its QTextBrowser view shows of a legacy Shift-JIS page.
#include <QtTest>
#include <QtWidgets>

#include "app/version_window.h"
#include "platform/support/temp_dir.h"
#include "text/text_file.h"

using namespace lumivex;

namespace {

// The page for version 1.170, byte for byte: Shift-JIS title and "！！".
const std::string kPage1170 =
    "<html>\r\n<head>\r\n<title>\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1</title>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n</head>\r\n"
    "<body bgcolor=\"EEFFCC\">\r\n<div align=\"center\">\r\n<table border=\"0\" width=\"100\">\r\n"
    " <tr align=\"center\">\r\n"
    " <td nowrap><font size=\"4\"><font color=\"FF0000\">Lumivex </font><font color=\"00CC00\">"
    "Converter\x81\x49\x81\x49</font><BR><BR><font color=\"3333FF\"> Ver 1.170</font></font><br><br>\r\n"
    " </td>\r\n</tr>\r\n</table>\r\n</div>\r\n</body>\r\n</html>\r\n";

std::string AppDir(const testing::TempDir& dir) { return dir.path().string() + "/"; }

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
  // An older page, even a read-only one, is replaced as a whole.
  void writesTheExactPageBesideTheProgram() {
    testing::TempDir dir;
    const std::string path = dir.Touch("Version.htm", "an older and longer page " + std::string(4000, 'x'));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    QVERIFY(WriteVersionPage(AppDir(dir), "1.170"));
    QCOMPARE(ReadTextFile(path), kPage1170);
  }

  // A folder that takes no file must not leave an older page (another
  // version) on view: the page is then shown from memory.
  void loadNavigatesToThePageOrShowsItFromMemory() {
    testing::TempDir dir;
    auto view = std::make_unique<RecordingWebView>();
    RecordingWebView* recorded = view.get();
    TfrmVersion window(nullptr, std::move(view), [] { return Rect{0, 0, 1000, 800}; });
    QVERIFY(window.LoadVersionPage(AppDir(dir), "1.170"));
    QVERIFY(!window.LoadVersionPage(AppDir(dir) + "gone/", "1.170"));
    QCOMPARE(recorded->navigated, std::vector<std::string>{AppDir(dir) + "Version.htm"});
    QCOMPARE(recorded->pages, std::vector<std::string>{kPage1170});
  }

  void theWindowShowsTheRunningVersionInItsColours() {
    testing::TempDir dir;
    TfrmVersion window(nullptr, nullptr, [] { return Rect{0, 0, 1000, 800}; });
    window.ShowVersion(AppDir(dir), "1.170");
    QVERIFY(window.isVisible() && !window.isModal());
    QCOMPARE(window.windowTitle(), QStringLiteral("バージョン情報"));
    QTextDocument* page = window.findChild<QTextBrowser*>("wbINFO")->document();
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
    const char* unchanged[] = {"<font color=\"#FF0000\">", "<font color=FF00001>", "<font color=F00>",
                               "<p style=\"color: FF0000\">", "colours FF0000 and EEFFCC",
                               "<td style=\"color:red\" nowrap>", "<p>nowrap</p><thead nowrap>"};
    for (const char* same : unchanged) QCOMPARE(FixLegacyMarkup(same), QString(same));
    QCOMPARE(PageCharset("<meta name=\"x\" content=\"y\"><meta charset=euc-jp/>"), std::string("euc-jp"));
    QCOMPARE(DecodePage("<p>情報</p>"), QStringLiteral("<p>情報</p>"));
    // Code page 932 keeps the backslash. 0xA0 starts no character; 0x82 at the
    // very end is a cut-off lead byte.
    QCOMPARE(DecodePage("<meta charset=Shift_JIS>\x8f\xee\x95\xf1 C:\\x\xa0" "b\x82\xa0\x82"),
             QStringLiteral("<meta charset=Shift_JIS>情報 C:\\x\uFFFDbあ\uFFFD"));
  }
};

QTEST_MAIN(VersionWindowTest)
#include "version_window_qtest.moc"

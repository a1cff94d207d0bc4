// The About window: the bytes of its generated page, the page file, and the
// window itself.
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/version_window.h"

using namespace lumivex;

namespace {

// The page for version 1.170, byte for byte: Shift-JIS title and "！！",
// every line ended by CR LF.
const std::string kPage1170 =
    "<html>\r\n"
    "<head>\r\n"
    "<title>\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1</title>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
    "</head>\r\n"
    "<body bgcolor=\"EEFFCC\">\r\n"
    "<div align=\"center\">\r\n"
    "<table border=\"0\" width=\"100\">\r\n"
    " <tr align=\"center\">\r\n"
    " <td nowrap><font size=\"4\"><font color=\"FF0000\">Lumivex </font><font color=\"00CC00\">"
    "Converter\x81\x49\x81\x49</font><BR><BR><font color=\"3333FF\"> Ver 1.170</font></font>"
    "<br><br>\r\n"
    " </td>\r\n"
    "</tr>\r\n"
    "</table>\r\n"
    "</div>\r\n"
    "</body>\r\n"
    "</html>\r\n";

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string AppDir(const QTemporaryDir& dir) { return dir.path().toStdString() + "/"; }

}  // namespace

class VersionWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void pageBytesAreExact() { QCOMPARE(BuildVersionPage("1.170"), kPage1170); }

  void pageHasSixteenCrLfLinesWhateverTheVersion_data() {
    QTest::addColumn<QString>("version");
    QTest::newRow("empty") << "";
    QTest::newRow("2.013") << "2.013";
    QTest::newRow("12.345") << "12.345";
  }
  void pageHasSixteenCrLfLinesWhateverTheVersion() {
    QFETCH(QString, version);
    const std::string page = BuildVersionPage(version.toStdString());
    int lines = 0;
    for (std::size_t i = 0; i < page.size(); ++i) {
      if (page[i] != '\n') continue;
      QVERIFY2(i > 0 && page[i - 1] == '\r', "a line ended without CR");
      ++lines;
    }
    QCOMPARE(lines, 16);
    QVERIFY(page.ends_with("</html>\r\n"));
    const std::string versionPart = "> Ver " + version.toStdString() + "</font></font><br><br>\r\n";
    QVERIFY(page.find(versionPart) != std::string::npos);
  }

  // An older page, even a read-only one, is replaced as a whole.
  void writesThePageBesideTheProgram() {
    QTemporaryDir dir;
    const std::string path = VersionPagePath(AppDir(dir));
    QCOMPARE(path, AppDir(dir) + "Version.htm");
    WriteBytes(path, "an older and longer page " + std::string(4000, 'x'));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    QVERIFY(WriteVersionPage(AppDir(dir), "1.170"));
    QCOMPARE(ReadBytes(path), kPage1170);
  }

  void loadNavigatesToTheWrittenPage() {
    QTemporaryDir dir;
    auto view = std::make_unique<RecordingWebView>();
    RecordingWebView* recorded = view.get();
    TfrmVersion window(nullptr, std::move(view), [] { return Rect{0, 0, 1000, 800}; });
    QVERIFY(window.LoadVersionPage(AppDir(dir), "1.170"));
    QCOMPARE(recorded->navigated, std::vector<std::string>{AppDir(dir) + "Version.htm"});
    QVERIFY(recorded->pages.empty());
    QVERIFY(!window.isVisible());
  }

  // A folder that takes no file must not leave an older page (another
  // version) on view: the page is then shown from memory.
  void aFolderWithoutThePageShowsItFromMemory() {
    QTemporaryDir dir;
    const std::string missingDir = AppDir(dir) + "gone/";
    auto view = std::make_unique<RecordingWebView>();
    RecordingWebView* recorded = view.get();
    TfrmVersion window(nullptr, std::move(view), [] { return Rect{0, 0, 1000, 800}; });
    QVERIFY(!window.LoadVersionPage(missingDir, "1.170"));
    QVERIFY(recorded->navigated.empty());
    QCOMPARE(recorded->pages, std::vector<std::string>{kPage1170});
  }

  void theWindowShowsTheRunningVersion() {
    QTemporaryDir dir;
    TfrmVersion window(nullptr, nullptr, [] { return Rect{0, 0, 1000, 800}; });
    window.ShowVersion(AppDir(dir), "1.170");
    QVERIFY(window.isVisible());
    QVERIFY(!window.isModal());
    QCOMPARE(window.windowTitle(), QStringLiteral("バージョン情報"));
    QCOMPARE(window.size(), QSize(344, 192));
    auto* browser = window.findChild<QTextBrowser*>("wbINFO");
    QVERIFY(browser);
    QCOMPARE(browser->size(), QSize(344, 192));
    QCOMPARE(browser->documentTitle(), QStringLiteral("バージョン情報"));
    const QString text = browser->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("Lumivex Converter！！")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Ver 1.170")), qPrintable(text));
  }

  void isCentredInTheWorkArea_data() {
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("odd remainder truncated") << QRect(0, 0, 1001, 801) << QPoint(328, 304);
    QTest::newRow("panel on the left and top") << QRect(64, 30, 1000, 800) << QPoint(392, 334);
    QTest::newRow("smaller than the window") << QRect(0, 0, 300, 150) << QPoint(-22, -21);
  }
  void isCentredInTheWorkArea() {
    QFETCH(QRect, workArea);
    QFETCH(QPoint, topLeft);
    const Rect area{workArea.x(), workArea.y(), workArea.width(), workArea.height()};
    TfrmVersion window(nullptr, std::make_unique<RecordingWebView>(), [area] { return area; });
    QCOMPARE(window.pos(), topLeft);
  }
};

QTEST_MAIN(VersionWindowTest)
#include "version_window_qtest.moc"

// The About window's page view: charset from the page, colour attributes
// without "#", and what a QTextBrowser actually shows.
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFrame>
#include <QtTest>
#include <fstream>

#include "app/web_view.h"

using namespace lumivex;

namespace {

void WriteBytes(const QString& path, std::string_view bytes) {
  std::ofstream out(path.toStdString(), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The foreground colour of the first character of the first occurrence of word.
QColor ColourOf(QTextDocument* document, const QString& word) {
  QTextCursor at = document->find(word);
  if (at.isNull()) return {};
  at.setPosition(at.selectionStart() + 1);
  return at.charFormat().foreground().color();
}

}  // namespace

class WebViewTest : public QObject {
  Q_OBJECT

 private slots:
  void fixesBareColourValues_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("body bgcolor") << R"(<body bgcolor="EEFFCC">)" << R"(<body bgcolor="#EEFFCC">)";
    QTest::newRow("font color") << R"(<font color="FF0000">)" << R"(<font color="#FF0000">)";
    QTest::newRow("lower-case digits") << "<font color='00cc00'>" << "<font color='#00cc00'>";
    QTest::newRow("unquoted") << "<font color=3333FF>" << "<font color=#3333FF>";
    QTest::newRow("upper-case name, blanks") << R"(<BODY BGCOLOR = "EEFFCC">)"
                                            << R"(<BODY BGCOLOR = "#EEFFCC">)";
    QTest::newRow("several on a line")
        << R"(<font color="FF0000">a</font><font color="00CC00">b</font>)"
        << R"(<font color="#FF0000">a</font><font color="#00CC00">b</font>)";
  }
  void fixesBareColourValues() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QCOMPARE(FixLegacyColours(before), after);
  }

  void leavesOtherValuesAlone_data() {
    QTest::addColumn<QString>("html");
    QTest::newRow("already with #") << R"(<font color="#FF0000">)";
    QTest::newRow("colour name") << R"(<font color="red">)";
    QTest::newRow("seven digits") << R"(<font color="FF00001">)";
    QTest::newRow("three digits") << R"(<font color="F00">)";
    QTest::newRow("style sheet") << R"(<p style="color: FF0000">)";
    QTest::newRow("other attribute") << R"(<td data-x="EEFFCC">)";
    QTest::newRow("plain text") << "colours FF0000 and EEFFCC";
  }
  void leavesOtherValuesAlone() {
    QFETCH(QString, html);
    QCOMPARE(FixLegacyColours(html), html);
  }

  void nowrapCellsBecomeStyledCells_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("bare attribute") << " <td nowrap><font>x</font>"
                                    << " <td style=\"white-space: nowrap\"><font>x</font>";
    QTest::newRow("with value, header cell") << "<TH align=left NOWRAP='nowrap'>"
                                             << "<TH align=left style=\"white-space: nowrap\">";
    QTest::newRow("cell with a style") << "<td style=\"color:red\" nowrap>"
                                       << "<td style=\"color:red\" nowrap>";
    QTest::newRow("outside a cell") << "<p>nowrap</p><thead nowrap>" << "<p>nowrap</p><thead nowrap>";
  }
  void nowrapCellsBecomeStyledCells() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QCOMPARE(FixLegacyNowrap(before), after);
  }

  void readsTheCharsetFromTheMetaTag_data() {
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("charset");
    QTest::newRow("http-equiv Shift_JIS")
        << QByteArray(R"(<head><meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS"></head>)")
        << "shift_jis";
    QTest::newRow("html5 utf-8") << QByteArray(R"(<meta charset="UTF-8">)") << "utf-8";
    QTest::newRow("other meta first")
        << QByteArray(R"(<meta name="x" content="y"><meta charset='euc-jp'/>)") << "euc-jp";
    QTest::newRow("none") << QByteArray("<html><body>x</body></html>") << "";
  }
  void readsTheCharsetFromTheMetaTag() {
    QFETCH(QByteArray, page);
    QFETCH(QString, charset);
    QCOMPARE(QString::fromStdString(PageCharset(std::string_view(page.data(), page.size()))), charset);
  }

  void decodesShiftJisPagesAsCodePage932() {
    // "情報" and a backslash, which code page 932 keeps as a backslash.
    const std::string page = "<meta charset=Shift_JIS><p>\x8f\xee\x95\xf1 C:\\x</p>";
    QCOMPARE(DecodePage(page), QStringLiteral("<meta charset=Shift_JIS><p>情報 C:\\x</p>"));
  }

  void decodesOtherPagesAsUtf8() {
    QCOMPARE(DecodePage("<p>情報</p>"), QStringLiteral("<p>情報</p>"));
  }

  void aDamagedShiftJisPageStillDecodes() {
    // 0xA0 starts no character; 0x82 at the very end is a cut-off lead byte.
    const std::string page = "<meta charset=Shift_JIS>a\xa0" "b\x82\xa0\x82";
    QCOMPARE(DecodePage(page), QStringLiteral("<meta charset=Shift_JIS>a\uFFFDbあ\uFFFD"));
  }

  void navigateShowsTheColoursOfALegacyPage() {
    QTemporaryDir dir;
    const QString path = dir.filePath("page.htm");
    WriteBytes(path,
               "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
               "charset=Shift_JIS\"></head>\r\n<body bgcolor=\"EEFFCC\"><font color=\"FF0000\">"
               "Red </font><font color=\"00CC00\">\x97\xce</font></body></html>\r\n");
    TextBrowserView view;
    QVERIFY(view.Navigate(path.toStdString()));
    QTextDocument* document = view.Browser()->document();
    QVERIFY(document->toPlainText().contains(QStringLiteral("Red 緑")));
    QCOMPARE(ColourOf(document, "Red"), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(ColourOf(document, QStringLiteral("緑")), QColor(0x00, 0xCC, 0x00));
    QCOMPARE(document->rootFrame()->frameFormat().background().color(), QColor(0xEE, 0xFF, 0xCC));
  }

  void navigateToAMissingPageFailsAndShowsNothing() {
    QTemporaryDir dir;
    TextBrowserView view;
    view.SetPage("<p>old</p>");
    QVERIFY(!view.Navigate(dir.filePath("missing.htm").toStdString()));
    QVERIFY(view.Browser()->document()->toPlainText().isEmpty());
  }
};

QTEST_MAIN(WebViewTest)
#include "web_view_qtest.moc"

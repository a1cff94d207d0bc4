#include "app/version_window.h"

#include <QVBoxLayout>

#include "platform/desktop_qt.h"
#include "text/text_file.h"
#include "text/transcode.h"

namespace lumivex {

std::string BuildVersionPage(std::string_view versionText) {
  std::string page;
  for (std::string_view line : {
           std::string_view("<html>"),
           std::string_view("<head>"),
           std::string_view("<title>バージョン情報</title>"),
           std::string_view(R"(<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">)"),
           std::string_view("</head>"),
           std::string_view(R"(<body bgcolor="EEFFCC">)"),
           std::string_view(R"(<div align="center">)"),
           std::string_view(R"(<table border="0" width="100">)"),
           std::string_view(R"( <tr align="center">)"),
       }) {
    page.append(line).append("\r\n");
  }
  page.append(R"( <td nowrap><font size="4"><font color="FF0000">Lumivex </font>)"
              R"(<font color="00CC00">Converter！！</font><BR><BR><font color="3333FF"> Ver )")
      .append(versionText)
      .append("</font></font><br><br>\r\n");
  for (std::string_view line : {" </td>", "</tr>", "</table>", "</div>", "</body>", "</html>"})
    page.append(line).append("\r\n");
  // The page text is fixed and every character of it has a code page 932 form.
  return Transcode("CP932", "UTF-8", page, "?");
}

std::string VersionPagePath(const std::string& appDir) { return appDir + "Version.htm"; }

// Desktop shells mark this page hidden; Linux file systems have no such
// attribute, and a renamed dot-file would break the fixed name, so the page
// simply stays visible in the program folder until the program closes.
bool WriteVersionPage(const std::string& appDir, std::string_view versionText) {
  return ReplaceFileContents(VersionPagePath(appDir), BuildVersionPage(versionText),
                             ReadOnlyTargets::Replace);
}

TfrmVersion::TfrmVersion(QWidget* parent, std::unique_ptr<WebView> view,
                         std::function<Rect()> workArea)
    : QDialog(parent), workArea_(workArea ? std::move(workArea) : std::function<Rect()>(WorkArea)) {
  setObjectName(QStringLiteral("frmVersion"));
  setWindowTitle(QStringLiteral("バージョン情報"));
  setFixedSize(344, 192);
  SetFixedWindowButtons(this, false);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  if (!view) view = std::make_unique<TextBrowserView>(this);
  view_ = std::move(view);
  if (QWidget* w = view_->Widget()) layout->addWidget(w);
  FormCreate();
}

TfrmVersion::~TfrmVersion() = default;

void TfrmVersion::FormCreate() {
  const QSize size = frameGeometry().size();
  const Position at = AboutWindowPosition(workArea_(), size.width(), size.height());
  move(at.left, at.top);
}

bool TfrmVersion::LoadVersionPage(const std::string& appDir, std::string_view versionText) {
  const bool written = WriteVersionPage(appDir, versionText);
  if (!written || !view_->Navigate(VersionPagePath(appDir)))
    view_->SetPage(BuildVersionPage(versionText));
  return written;
}

void TfrmVersion::ShowVersion(const std::string& appDir, std::string_view versionText) {
  LoadVersionPage(appDir, versionText);
  show();
  raise();
  activateWindow();
}

}  // namespace lumivex

#include "app/setting_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMoveEvent>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVBoxLayout>
#include <algorithm>
#include <type_traits>

#include "app/colours.h"
#include "encoding/unicode.h"
#include "platform/desktop_qt.h"

namespace lumivex {
namespace {

constexpr int kClientWidth = 450;
constexpr int kClientHeight = 749;
constexpr int kLabelIndent = 18;               // explanatory label under its box
constexpr int kSubIndent = 18;                 // sub-options under their master box

const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kPurple(0x80, 0x00, 0x80);
const QColor kRed(0xFF, 0x00, 0x00);

// The model keeps edit texts as Shift-JIS bytes, the form the rules and the
// settings file use.
QString FromModelText(const std::string& sjis) {
  const std::string utf16 = ShiftJisToUtf16Le(sjis);
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(utf16.data()),
                            static_cast<qsizetype>(utf16.size() / 2));
}

std::string ToModelText(const QString& text) {
  return Utf16ToCodePage932(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                static_cast<std::size_t>(text.size())));
}

// Captions of buttons treat "&" as a mnemonic mark; the captions here are
// shown as written.
QString LiteralCaption(QString caption) { return caption.replace(u'&', QStringLiteral("&&")); }

void SetTextColour(QWidget* widget, const QColor& colour) {
  // Active and inactive only: a disabled control keeps the greyed text.
  QPalette palette = widget->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText, colour);
    palette.setColor(group, QPalette::ButtonText, colour);
  }
  widget->setPalette(palette);
}

QVBoxLayout* NewColumn(QWidget* owner) {
  auto* column = new QVBoxLayout(owner);
  column->setContentsMargins(6, 4, 6, 4);
  column->setSpacing(1);
  return column;
}

// Adds widget to column, its left edge indent pixels further in.
void AddIndented(QVBoxLayout* column, QWidget* widget, int indent) {
  if (indent == 0) {
    column->addWidget(widget);
    return;
  }
  auto* row = new QHBoxLayout;
  row->setContentsMargins(indent, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(widget);
  column->addLayout(row);
}

// A check box or radio button whose caption wraps onto further lines where the
// window is narrower than the caption, instead of being cut off at the edge.
// The indicator stays beside the first line; the whole area takes clicks.
template <class Button>
class WrappingButton : public Button {
 public:
  explicit WrappingButton(const QString& caption) : Button(caption) {
    // A button's height is fixed to one line by default; here it follows
    // the number of lines.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum,
                       this->sizePolicy().controlType());
    policy.setHeightForWidth(true);
    this->setSizePolicy(policy);
  }

  bool hasHeightForWidth() const override { return true; }

  int heightForWidth(int width) const override {
    const QRect text = this->fontMetrics().boundingRect(
        QRect(0, 0, std::max(1, width - TextLeft()), 1 << 20), kTextFlags, this->text());
    return std::max(LineBand(), TextTop() + text.height());
  }

  // One line, as an ordinary button would be.
  QSize sizeHint() const override {
    const int text = this->fontMetrics().size(Qt::TextShowMnemonic, this->text()).width();
    return {TextLeft() + text, LineBand()};
  }

  QSize minimumSizeHint() const override {
    return {TextLeft() + 8 * this->fontMetrics().averageCharWidth(), LineBand()};
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    this->initStyleOption(&option);
    const QSize indicator = Indicator();
    QStyleOptionButton mark = option;
    mark.rect = QRect(QPoint(0, (LineBand() - indicator.height()) / 2), indicator);
    painter.drawPrimitive(kRadio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox,
                          mark);
    const QRect text(TextLeft(), TextTop(), this->width() - TextLeft(), this->height() - TextTop());
    painter.drawItemText(text, kTextFlags, option.palette, this->isEnabled(), this->text(),
                         QPalette::WindowText);
    if (option.state & QStyle::State_HasFocus) {
      QStyleOptionFocusRect focus;
      focus.initFrom(this);
      focus.rect =
          this->fontMetrics().boundingRect(text, kTextFlags, this->text()).adjusted(-1, 0, 1, 0);
      painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
  }

  bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }

 private:
  static constexpr bool kRadio = std::is_base_of_v<QRadioButton, Button>;
  static constexpr int kTextFlags =
      Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;

  int Metric(QStyle::PixelMetric checkBox, QStyle::PixelMetric radio) const {
    return this->style()->pixelMetric(kRadio ? radio : checkBox, nullptr, this);
  }
  QSize Indicator() const {
    return {Metric(QStyle::PM_IndicatorWidth, QStyle::PM_ExclusiveIndicatorWidth),
            Metric(QStyle::PM_IndicatorHeight, QStyle::PM_ExclusiveIndicatorHeight)};
  }
  int TextLeft() const {
    return Indicator().width() +
           Metric(QStyle::PM_CheckBoxLabelSpacing, QStyle::PM_RadioButtonLabelSpacing);
  }
  // The height of the first line, which the indicator sits beside.
  int LineBand() const { return std::max(Indicator().height(), this->fontMetrics().height()); }
  int TextTop() const { return (LineBand() - this->fontMetrics().height()) / 2; }
};

}  // namespace

QFont SettingsWindowFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                    QStringLiteral("DejaVu Sans"), QStringLiteral("MS PGothic"),
                    QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
  font.setPixelSize(12);
  return font;
}

QColor DesktopColour(unsigned value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

TSetting::TSetting(SettingsModel& model, QWidget* parent, std::function<Rect()> workArea)
    : QWidget(parent, Qt::Tool),
      model_(model),
      workArea_(workArea ? std::move(workArea) : std::function<Rect()>(WorkArea)) {
  setObjectName(QStringLiteral("Setting"));
  setWindowTitle(QStringLiteral("設定"));
  setFont(SettingsWindowFont());
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, DesktopColour(kColourWindow));
  setPalette(palette);
  setAutoFillBackground(true);
  SetFixedWindowButtons(this, false);

  BuildControls();
  // The form's size, taller only where the fonts at hand need more lines than
  // it holds, so that no caption is cut.
  setFixedSize(kClientWidth,
               std::max(kClientHeight, layout()->totalHeightForWidth(kClientWidth)));
  ShowEverything();
  observerId_ = model_.AddObserver(
      [this](std::string_view control, SettingsModel::Change change) { ModelChanged(control, change); });
  FormCreate();
}

TSetting::~TSetting() { model_.RemoveObserver(observerId_); }

QWidget* TSetting::Control(std::string_view name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

void TSetting::FormCreate() {
  const QSize size = frameGeometry().size();
  const Position at = SettingsWindowPosition(workArea_(), size.width(), size.height());
  move(at.left, at.top);
  createdAt_ = pos();
}

// A window manager adds its frame only once the window is shown, so the
// placement at creation puts the bottom of the window's inside, not of its
// frame, on the bottom of the work area, and the frame's lower part (the last
// rows of the window) would stand below it.
void TSetting::PlaceWithFrame() {
  if (placedWithFrame_ || !isVisible()) return;
  const QRect frame = frameGeometry();
  if (frame.size() == size()) return;  // not framed (yet)
  placedWithFrame_ = true;
  if (pos() != createdAt_) return;  // the user has placed it
  const Position at = SettingsWindowPosition(workArea_(), frame.width(), frame.height());
  if (at.left != x() || at.top != y()) move(at.left, at.top);
}

void TSetting::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  PlaceWithFrame();
}

void TSetting::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  PlaceWithFrame();
}

// ---- building -------------------------------------------------------------

void TSetting::Register(QWidget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  controls_.emplace(name, widget);
}

QLabel* TSetting::NewLabel(const char* name, const QString& caption, const QColor& colour) {
  auto* label = new QLabel(caption);
  label->setTextFormat(Qt::PlainText);
  SetTextColour(label, colour);
  Register(label, name);
  return label;
}

QLabel* TSetting::AddLabel(QVBoxLayout* layout, const char* name, const QString& caption,
                           int indent) {
  QLabel* label = NewLabel(name, caption, kMaroon);
  label->setWordWrap(true);
  AddIndented(layout, label, indent);
  return label;
}

QAbstractButton* TSetting::AddCheckBox(QVBoxLayout* layout, const char* name,
                                       const QString& caption, int indent) {
  auto* box = new WrappingButton<QCheckBox>(LiteralCaption(caption));
  Register(box, name);
  AddIndented(layout, box, indent);
  // The three coupling boxes have handlers of their own; every other box goes
  // straight to the model.
  const std::string key(name);
  if (key == "chkOrderSelect")
    connect(box, &QCheckBox::toggled, this, &TSetting::chkOrderSelectClick);
  else if (key == "chkHidesGlobalDeclaration")
    connect(box, &QCheckBox::toggled, this, &TSetting::chkHidesGlobalDeclarationClick);
  else if (key == "chkFixReturn")
    connect(box, &QCheckBox::toggled, this, &TSetting::chkFixReturnClick);
  else
    connect(box, &QCheckBox::toggled, this, [this, key](bool checked) { BoxToggled(key, checked); });
  return box;
}

QAbstractButton* TSetting::AddRadio(QVBoxLayout* layout, const char* name, const QString& caption,
                                    int indent) {
  auto* radio = new WrappingButton<QRadioButton>(LiteralCaption(caption));
  Register(radio, name);
  AddIndented(layout, radio, indent);
  const std::string key(name);
  connect(radio, &QRadioButton::toggled, this,
          [this, key](bool checked) { RadioToggled(key, checked); });
  return radio;
}

// The fourteen default return values, three type/edit pairs to a row, with
// the hint pointing back at the type names after the last pair.
void TSetting::AddTypeGrid(QVBoxLayout* layout) {
  auto* grid = new QGridLayout;
  grid->setContentsMargins(kLabelIndent, 2, 0, 2);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(2);
  constexpr int kPairsPerRow = 3;
  int i = 0;
  for (std::string_view edit : SettingsModel::TextNames()) {
    const std::string type(edit.substr(3));  // "String"
    const std::string labelName = "lbl" + type;
    auto* label = new QLabel(QString::fromStdString(type).toLower());
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Register(label, labelName.c_str());
    auto* field = new QLineEdit;
    field->setFixedHeight(18);
    Register(field, std::string(edit).c_str());
    const std::string key(edit);
    connect(field, &QLineEdit::textChanged, this,
            [this, key](const QString& text) { EditChanged(key, text); });
    grid->addWidget(label, i / kPairsPerRow, (i % kPairsPerRow) * 2);
    grid->addWidget(field, i / kPairsPerRow, (i % kPairsPerRow) * 2 + 1);
    ++i;
  }
  QLabel* info = NewLabel("lblTypeInfo", QStringLiteral("← Type name of function"), kPurple);
  grid->addWidget(info, i / kPairsPerRow, (i % kPairsPerRow) * 2, 1,
                  (kPairsPerRow - i % kPairsPerRow) * 2);
  layout->addLayout(grid);
}

void TSetting::BuildControls() {
  auto* window = NewColumn(this);
  window->setSpacing(4);

  auto* orderSelect = new QGroupBox(QStringLiteral("OrderSelectの戻り値"));
  Register(orderSelect, "grpOrderSelect");
  auto* os = NewColumn(orderSelect);
  AddCheckBox(os, "chkOrderSelect", QStringLiteral("Method of return value of OrderSelect corresponding"), 0);
  AddLabel(os, "Label1",
           QStringLiteral("（Fix warning）　return value of 'OrderSelect' should be checked "),
           kLabelIndent);
  AddRadio(os, "rdoOrderSelectAuto",
           QStringLiteral("Auto（Loop:if (!OrderSelect(..))continue; Not:if (OrderSelect(..))）"),
           kSubIndent);
  AddRadio(os, "rdoOrderSelectIfOut",
           QStringLiteral("if (OrderSelect(i, SELECT_BY_POS, MODE_TRADES))"), kSubIndent);
  AddRadio(os, "rdoOrderSelectContinue",
           QStringLiteral("if (!OrderSelect(i, SELECT_BY_POS, MODE_TRADES)) continue;"), kSubIndent);
  AddCheckBox(os, "chkOrderModify",
              QStringLiteral("Another who receives return value of OrderModify"), 0);
  AddLabel(os, "Label5",
           QStringLiteral("（Fix warning）　return value of 'OrderModify' should be checked"),
           kLabelIndent);
  window->addWidget(orderSelect);

  auto* proUse = new QGroupBox;
  Register(proUse, "grpProUse");
  auto* pu = NewColumn(proUse);
  AddCheckBox(pu, "chkFixReturn", QStringLiteral("Correction of return value of return sentence"), 0);
  AddLabel(pu, "Label2",
           QStringLiteral("（Fix warning） not all control paths return a value or more"),
           kLabelIndent);
  QLabel* label7 = NewLabel(
      "Label7",
      QStringLiteral("Return value of Default (Value when not specifying it at return o'clock of "
                     "the function). "),
      kNavy);
  label7->setWordWrap(true);
  AddIndented(pu, label7, kLabelIndent);
  AddTypeGrid(pu);
  // The rule switches, top to bottom, each with its explanatory label; the
  // per-function rules sit indented under their master switch.
  struct Switch {
    const char* box;
    QString caption;
    const char* label;
    QString labelText;
    bool under;
  };
  const QString implicitConversion =
      QStringLiteral("（Fix warning） implicit conversion from 'number' to 'string");
  const Switch switches[] = {
      {"chkInvalidIndexValueHeader",
       QStringLiteral("The subscript specification wrong is corrected by the Global "
                      "declaration and the array variable. "),
       "lblInvalidIndexValueHeader", QStringLiteral("（Fix warning）  '[' - invalid index value"),
       false},
      {"chkExpressionsNotAllowedGlobalScope",
       QStringLiteral("An invalid expression of the program in global scope. "),
       "lblExpressionsNotAllowedGlobalScope",
       QStringLiteral("（Fix warning） expressions are not allowed on a global scope"), false},
      {"chkAndOrPriorityLevel", QStringLiteral("Correction of AND OR priority level of if sentence"),
       "Label3", QStringLiteral("（Fix warning） check operator precedence for possible error; ....."),
       false},
      {"chkUnrecognizedEscape",
       QStringLiteral(R"(Escape "\" sequence deletion to which character string inside is not recognized)"),
       "Label4", QStringLiteral("（Fix warning） '？' - unrecognized character escape sequence"), false},
      {"chkHidesGlobalDeclaration",
       QStringLiteral("The Global variable was declared again as a local variable. "), "Label6",
       QStringLiteral("（Fix warning） declaration of 'xxx' hides global declaration at line ..."),
       false},
      {"chkNotUsedVariable",
       QStringLiteral("Processing of local variable not used (End comment). "),
       "lblNotUsedVariable", QStringLiteral("（Fix warning） variable 'xxx' not used\t"), true},
      {"chkReplaceCommentArr",
       QStringLiteral("No data type adjustment correction of Comment sentence"),
       "lblReplaceCommentArr", implicitConversion, true},
      {"chkReplaceFuncVariable",
       QStringLiteral(R"(Renaming (".""?") of illegal variable identifier & function name)"),
       "lblReplaceFuncVariable", implicitConversion, true},
      {"chkChangeGrbAlreadyReserved",
       QStringLiteral(R"(Because reserved word "Reserved words" was used for the Global variable, it changes. )"),
       "lblChangeGrbAlreadyReserved", QStringLiteral("（Fix warning） 'xxx' - name expected"), true},
      {"chkStringConcatenate",
       QStringLiteral("Making of declaration of invalid, simple variable of StringConcatenate effective"),
       "lblStringConcatenate", QStringLiteral("（Fix warning） 'xxx' -  undeclared identifier\t"),
       true},
  };
  for (const Switch& sw : switches) {
    const int indent = sw.under ? kSubIndent : 0;
    AddCheckBox(pu, sw.box, sw.caption, indent);
    AddLabel(pu, sw.label, sw.labelText, indent + kLabelIndent);
  }
  AddCheckBox(pu, "chkArraysPassedByReferenceOnly",
              QStringLiteral(R"(The array of the argument of the function is "function (int handed over only by call-by-reference. )"),
              0);
  auto* arrays = new QHBoxLayout;
  arrays->setContentsMargins(kLabelIndent, 0, 0, 0);
  arrays->setSpacing(3);
  arrays->addWidget(NewLabel("Label9", QStringLiteral("（Fix warning） ArraysPassedByReferenceOnly"), kMaroon));
  // The form caption "&&" shows a single ampersand; plain text shows it as is.
  arrays->addWidget(NewLabel("Label10", QStringLiteral("&"), kRed));
  arrays->addWidget(NewLabel("Label11", QStringLiteral("array[ ] )」"), kMaroon));
  arrays->addStretch(1);
  pu->addLayout(arrays);
  window->addWidget(proUse);
  window->addStretch(1);
}

// ---- widget -> model --------------------------------------------------------

void TSetting::chkOrderSelectClick() {
  BoxToggled("chkOrderSelect", static_cast<QAbstractButton*>(Control("chkOrderSelect"))->isChecked());
}

void TSetting::chkHidesGlobalDeclarationClick() {
  BoxToggled("chkHidesGlobalDeclaration",
             static_cast<QAbstractButton*>(Control("chkHidesGlobalDeclaration"))->isChecked());
}

void TSetting::chkFixReturnClick() {
  BoxToggled("chkFixReturn", static_cast<QAbstractButton*>(Control("chkFixReturn"))->isChecked());
}

void TSetting::BoxToggled(const std::string& name, bool checked) {
  if (showingModel_) return;
  model_.SetChecked(name, checked);
}

// A radio button is only ever turned off by checking another one of its
// group, which the model does itself; forwarding the "off" half would leave
// the model without a checked button for a moment.
void TSetting::RadioToggled(const std::string& name, bool checked) {
  if (showingModel_ || !checked) return;
  model_.SetChecked(name, true);
}

void TSetting::EditChanged(const std::string& name, const QString& text) {
  if (showingModel_) return;
  model_.SetText(name, ToModelText(text));
}

// ---- model -> widgets -------------------------------------------------------

void TSetting::ModelChanged(std::string_view control, SettingsModel::Change change) {
  QWidget* widget = Control(control);
  if (!widget) return;  // a main-window control
  const bool wasShowing = showingModel_;
  showingModel_ = true;
  if (change == SettingsModel::Change::Enabled)
    widget->setEnabled(model_.Enabled(control));
  else
    ShowValue(std::string(control));
  showingModel_ = wasShowing;
}

void TSetting::ShowValue(const std::string& name) {
  QWidget* widget = Control(name);
  if (qobject_cast<QRadioButton*>(widget)) {
    ShowRadioGroup();
  } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    box->setChecked(model_.Checked(name));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    // Rewriting an unchanged text would move the caret while the user types.
    if (ToModelText(edit->text()) != model_.Text(name)) edit->setText(FromModelText(model_.Text(name)));
  }
}

void TSetting::ShowRadioGroup() {
  const auto& radios = SettingsModel::RadioNames();
  bool anyChecked = false;
  for (std::string_view name : radios) {
    if (!model_.Checked(name)) continue;
    static_cast<QAbstractButton*>(Control(name))->setChecked(true);
    anyChecked = true;
  }
  if (anyChecked) return;
  // A group with none checked cannot be shown by an exclusive group.
  for (std::string_view name : radios) {
    auto* radio = static_cast<QAbstractButton*>(Control(name));
    radio->setAutoExclusive(false);
    radio->setChecked(false);
    radio->setAutoExclusive(true);
  }
}

void TSetting::ShowEverything() {
  showingModel_ = true;
  for (const auto& [name, widget] : controls_) {
    ShowValue(name);
    widget->setEnabled(model_.Enabled(name));
  }
  showingModel_ = false;
}

}  // namespace lumivex

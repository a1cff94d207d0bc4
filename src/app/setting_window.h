// The settings window: a view of the Conversion settings.
//
// Every control is named as the settings model names it (objectName), shows
// the model's value and Enabled state, and writes the user's changes back to
// the model at once, so the next rule that tests a switch reads the click. The
// couplings (Enabled of the sub-options following chkOrderSelect,
// chkHidesGlobalDeclaration and chkFixReturn) live in the model; the window
// only reflects them, whichever side made the change: a click, a call of
// setChecked on a box (Qt's toggled), or the settings file loaded into the
// model.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "settings/settings_model.h"
#include "platform/placement.h"

class QAbstractButton;
class QLabel;
class QVBoxLayout;

namespace lumivex {

class TSetting : public QWidget {
  Q_OBJECT

 public:
  // model must outlive the window. workArea supplies the screen's work area
  // for the placement (the platform's WorkArea() when not given).
  explicit TSetting(SettingsModel& model, QWidget* parent = nullptr,
                    std::function<Rect()> workArea = {});
  ~TSetting() override;

  SettingsModel& Model() { return model_; }
  // The control named name (check box, radio button, edit, label, group);
  // null for a name the window does not show.
  QWidget* Control(std::string_view name) const;

  // Puts the window's bottom edge on the bottom of the work area, centred
  // across (done once at creation, and once more when the window manager's
  // frame is first known, unless the window was moved meanwhile).
  void FormCreate();

  // The couplings' boxes; each hands the box's state to the model, which sets
  // Enabled of the controls the box governs.
  void chkOrderSelectClick();
  void chkHidesGlobalDeclarationClick();
  void chkFixReturnClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void BuildControls();
  // Places the window again, its frame counted, the first time the frame is known.
  void PlaceWithFrame();
  QAbstractButton* AddCheckBox(QVBoxLayout* layout, const char* name, const QString& caption,
                               int indent);
  QAbstractButton* AddRadio(QVBoxLayout* layout, const char* name, const QString& caption,
                            int indent);
  QLabel* AddLabel(QVBoxLayout* layout, const char* name, const QString& caption, int indent);
  QLabel* NewLabel(const char* name, const QString& caption, const QColor& colour);
  void AddTypeGrid(QVBoxLayout* layout);
  void Register(QWidget* widget, const char* name);

  // Widget -> model.
  void BoxToggled(const std::string& name, bool checked);
  void RadioToggled(const std::string& name, bool checked);
  void EditChanged(const std::string& name, const QString& text);
  // Model -> widgets.
  void ModelChanged(std::string_view control, SettingsModel::Change change);
  void ShowValue(const std::string& name);
  void ShowRadioGroup();
  void ShowEverything();

  SettingsModel& model_;
  std::function<Rect()> workArea_;
  std::map<std::string, QWidget*, std::less<>> controls_;
  int observerId_ = 0;
  QPoint createdAt_;
  bool placedWithFrame_ = false;
  // Set while the window copies model values into its widgets, so the
  // widgets' own signals do not echo them back.
  bool showingModel_ = false;
};

// The program's font, 12 pixels high: Latin text in a Latin face (Liberation
// Sans, Arial or DejaVu Sans), whose glyphs are narrow enough for the
// captions and which draws a backslash as a backslash where the Japanese faces
// draw a yen sign; Japanese text in MS P Gothic where installed, else in the
// IPA gothic faces that Debian provides.
QFont SettingsWindowFont();

// A desktop colour value (red in the low byte, blue in the high byte) as a QColor.
QColor DesktopColour(unsigned value);

}  // namespace lumivex

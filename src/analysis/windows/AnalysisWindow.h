// What every analysis window shares (the model fit, the box, the part and
// the compensation windows): not modal, beside the main window, made of the
// main window's current measurement. Below its own controls each has the
// buttons (its command, "保存(&P)...", "閉じる"), a table of results and two
// labels. A result belongs to the measurement it was made of: it is drawn
// over the graph (Overlay) and may be saved only while that measurement is
// on show, and it goes when the measurement changes or the window closes.
// Return runs the command (or presses the focused button), Escape closes.
#pragma once

#include <QStringList>
#include <QWidget>
#include <complex>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "analysis/Curves.h"
#include "data/Kavo_setting.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kavo {

struct FitResult;
struct ReportedValue;

class TFormAnalysis : public QWidget {
  Q_OBJECT

 public:
  // The main window's measurement (unsmoothed values, data set, the name of
  // its file, empty for a sweep not saved) and the Re last entered in the Re
  // window (0 for none), which fills the window's Re field while it is empty.
  void SetSource(const PointValues* raw, const MeasureData* measurement, const QString* fileName, double re = 0);
  // Another measurement is on show: the result of the earlier one goes.
  void MeasurementChanged() { Clear(); }
  // The files the main window shows: a save never replaces them.
  std::function<QStringList()> filesShown;
  // Called whenever the curve to draw appears or goes.
  std::function<void()> overlayChanged;
  // The result's curve at the slots of `band`, while there is a result and
  // the measurement is the one it was made of; null otherwise.
  const PointValues* Overlay(int32_t band) const;

  virtual void RunClick() = 0;
  void SaveClick();

  QLineEdit* ReEdit = nullptr;  // the windows that take Re
  QPushButton* RunButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QPushButton* CloseButton = nullptr;
  QTableWidget* Table = nullptr;
  QLabel* InfoLabel = nullptr;   // what the result is of: residual, ranges
  QLabel* NotesLabel = nullptr;  // notes and warnings

 protected:
  // A saved file's type: its name in the dialog's list and its extension.
  struct SaveType {
    const char* name;  // "テキストファイル"
    const char* extension;  // ".txt"
  };

  TFormAnalysis(QWidget* parent, const char* objectName, const char* caption, const char* runText);
  // The buttons, the table (`columns`, room for `rows`) and the labels
  // below the window's own controls, from `row` of `grid` on, `span` columns
  // wide; the Tab order: `inputs` first, then the buttons and the table.
  void FinishLayout(QGridLayout* grid, int row, int span, std::initializer_list<QWidget*> inputs, QStringList columns,
                    int rows);
  // A label for `buddy` (its "&X" the buddy's key), and a field for a number.
  QLabel* Label(const char* text, QWidget* buddy);
  QLineEdit* NumberEdit(int width);
  void Tell(const QString& text);
  FitCurve Current() const;
  // A result is on show, made of `made` (and of the files `inputs`, which a
  // save never replaces): its table rows (with a tool tip per row where
  // `tips` has one), the two labels.
  void ShowResult(const FitCurve& made, const std::vector<QStringList>& rows, const QString& info,
                  const QString& notes, const QStringList& inputs = {}, const QStringList& tips = {});
  void Clear();
  // The measurement's file name, `separator`, its date; on one line each.
  QString SourceText(const QString& separator) const;

  // Per slot of the band: the curve's impedance at `f` (the measured
  // frequency, or the slot's where nothing was measured); false for none.
  virtual bool OverlayAt(double f, std::complex<double>& z) const = 0;
  // The saved file's bytes, of SaveTypes()[type].
  virtual QByteArray SaveBytes(int type) const = 0;
  virtual std::vector<SaveType> SaveTypes() const = 0;
  // Appended to the measurement's base name for the name 保存 proposes.
  virtual QString SaveSuffix() const { return {}; }
  // The result goes: the window's own part of it.
  virtual void Forget() = 0;

  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  // `text` for one line of a saved file: a control character (a line break
  // in a file name) would start a line of its own.
  static QString OneLine(QString text);
  // A number typed as the Re window takes it, above 0; false for an empty or bad field.
  static bool Number(const QLineEdit* edit, double& value);
  // An optional field: true when empty (`value` unchanged) or a number above 0.
  static bool Optional(const QLineEdit* edit, double& value);
  // A value's row: name, value, ±σ, unit (σ's digits decide the value's).
  static QStringList ValueRow(const ReportedValue& info, double value, double sigma);
  // "残差 x %（ranges、n 点）" of a fit; `roleName` names each curve's range
  // when there are several.
  static QString ResidualText(const FitResult& fit, const std::function<QString(int role)>& roleName);

  const char* caption_;
  const PointValues* raw_ = nullptr;
  const MeasureData* measurement_ = nullptr;
  const QString* fileName_ = nullptr;

 private:
  bool StillMade() const;

  bool have_ = false;
  FitCurve made_;
  QStringList inputs_;
  std::unique_ptr<PointValues> overlay_;
};

}  // namespace kavo

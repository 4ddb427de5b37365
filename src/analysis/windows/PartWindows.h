// The crossover windows, not modal, beside the main window:
//   "部品の測定"       a part's curve fitted (analysis/PartModel): its values
//                      with ±σ, the fitted part dashed over the measurement;
//   "インピーダンス補正" the Zobel and notch designed from the driver's curve
//                      (analysis/Compensation): each component with ±σ and
//                      its standard value, the flatness, the compensated curve
//                      (standard values) dashed over the measurement.
// What a window shows goes when the measurement changes or the window closes.
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <memory>

#include "analysis/Compensation.h"
#include "analysis/PartModel.h"
#include "data/Kavo_setting.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kavo {

// What both windows share: the measurement, the table, the buttons, the
// overlay's life and the save.
class TFormCrossover : public QWidget {
  Q_OBJECT

 public:
  // The main window's measurement (unsmoothed values, its data set and the
  // name of its file, empty for a sweep not saved).
  void SetSource(const PointValues* raw, const MeasureData* measurement, const QString* fileName);
  void MeasurementChanged() { Clear(); }
  // The files the main window shows: a save never replaces them.
  std::function<QStringList()> filesShown;
  // Called when the curve to draw appears or goes.
  std::function<void()> overlayChanged;
  // The curve to draw dashed over the measurement at the slots of `band`,
  // while there is one and the measurement is the one it was made of.
  const PointValues* Overlay(int32_t band) const;

  virtual void RunClick() = 0;
  void SaveClick();

  QPushButton* RunButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QPushButton* CloseButton = nullptr;
  QTableWidget* Table = nullptr;
  QLabel* InfoLabel = nullptr;

 protected:
  TFormCrossover(QWidget* parent, const char* objectName, const char* caption, const char* runText);
  // The buttons, the table and the label below the window's own controls
  // (rows from `row` on), and the Tab order: `inputs` first.
  void FinishLayout(QGridLayout* grid, int row, std::initializer_list<QWidget*> inputs, QStringList headers);
  void Tell(const QString& text);
  FitCurve Current() const;
  // A result is on show for the curve `made`: the table's rows, the label, the
  // overlay's values per slot frequency.
  void ShowResult(const FitCurve& made, const std::vector<QStringList>& rows, const QString& info);
  void Clear();
  QString SourceText(const QString& separator) const;
  // Per slot of the band: the overlay's |Z| and θ at the measured frequency.
  virtual bool OverlayAt(double f, double& r, double& thetaDeg) const = 0;
  // The saved file's bytes; type 0 text, 1 (when the window offers it) ZMA.
  virtual QByteArray SaveBytes(int type) const = 0;
  virtual QString SaveFilter() const = 0;
  virtual void Forget() = 0;

  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  const char* caption_;
  const PointValues* raw_ = nullptr;
  const MeasureData* measurement_ = nullptr;
  const QString* fileName_ = nullptr;
  bool have_ = false;
  FitCurve made_;
  std::unique_ptr<PointValues> overlay_;
};

class TFormPart : public TFormCrossover {
  Q_OBJECT

 public:
  explicit TFormPart(QWidget* parent = nullptr);
  void RunClick() override;
  const PartResult& Result() const { return result_; }

  QComboBox* KindCombo = nullptr;  // 自動, インダクタ, コンデンサ, 抵抗
  QLineEdit* AtEdit = nullptr;     // the part's value also at this frequency

 protected:
  bool OverlayAt(double f, double& r, double& thetaDeg) const override;
  QByteArray SaveBytes(int type) const override;
  QString SaveFilter() const override;
  void Forget() override { result_ = {}; }
  void showEvent(QShowEvent* event) override;

 private:
  PartResult result_;
};

class TFormComp : public TFormCrossover {
  Q_OBJECT

 public:
  explicit TFormComp(QWidget* parent = nullptr);
  // The Re last entered in the Re window (0 for none) fills an empty field.
  void SetRe(double re);
  void RunClick() override;
  const CompensationResult& Result() const { return result_; }

  QLineEdit* ReEdit = nullptr;
  QCheckBox* ZobelCheck = nullptr;
  QCheckBox* NotchCheck = nullptr;
  QLineEdit* LowEdit = nullptr;
  QLineEdit* HighEdit = nullptr;
  QComboBox* SeriesCombo = nullptr;  // E12/E24, E12, E24, exact
  QLineEdit* PowerEdit = nullptr;

 protected:
  bool OverlayAt(double f, double& r, double& thetaDeg) const override;
  QByteArray SaveBytes(int type) const override;
  QString SaveFilter() const override;
  void Forget() override { result_ = {}; }
  void showEvent(QShowEvent* event) override;

 private:
  CompensationResult result_;
  bool exact_ = false;
};

}  // namespace kavo

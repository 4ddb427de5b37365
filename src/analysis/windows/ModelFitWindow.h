// The model-fit window ("モデル適合解析"): the driver's model fitted to the
// current measurement, alone or with a second measurement of the same
// driver (an added mass or a closed box, read from its file), with ±1σ on
// every value. Not modal. While it is open, the fitted model's R and θ are
// drawn over the measurement in the main graph (OverlayValues), until the
// window closes or the measurement changes.
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include "analysis/ModelFit.h"
#include "data/Kavo_setting.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace kavo {

class TFormFit : public QWidget {
  Q_OBJECT

 public:
  explicit TFormFit(QWidget* parent = nullptr);

  // The main window's measurement (unsmoothed values, data set and the name
  // of its file, empty for a sweep not saved) and the Re last entered in the
  // Re window (0 for none).
  void SetSource(const PointValues* raw, const MeasureData* measurement, const QString* fileName, double re);
  // Another measurement is on show (opened, swept, closed): the fit of the
  // earlier one goes, and with it its model over the graph.
  void MeasurementChanged() { Clear(); }
  // The files the main window shows (measurement, references): a save never
  // replaces them.
  std::function<QStringList()> filesShown;
  // Called whenever the model to draw appears or goes (the main window
  // redraws its graph).
  std::function<void()> overlayChanged;
  // The fitted model at the slots of `band`, while there is one and the
  // measurement is still the one it was fitted to; null otherwise.
  const PointValues* Overlay(int32_t band) const;

  void FitClick();
  void SaveClick();
  void BrowseClick();
  const FitResult& Result() const { return result_; }

  QComboBox* CoilCombo = nullptr;
  QCheckBox* CreepCheck = nullptr;
  QRadioButton* ReFixed = nullptr;
  QLineEdit* ReEdit = nullptr;
  QRadioButton* ReFitted = nullptr;
  QLineEdit* ReSigmaEdit = nullptr;  // the σ of the Re typed, Ω; empty: 1 % of it
  QLineEdit* FminEdit = nullptr;
  QLineEdit* FmaxEdit = nullptr;
  QLineEdit* SdEdit = nullptr;
  QComboBox* SecondCombo = nullptr;  // なし, 付加質量, 密閉箱
  QLineEdit* SecondValue = nullptr;  // g or L
  QLabel* SecondUnit = nullptr;
  QLineEdit* SecondFile = nullptr;
  QPushButton* BrowseButton = nullptr;
  QPushButton* FitButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QPushButton* CloseButton = nullptr;
  QTableWidget* Table = nullptr;
  QLabel* ResidualLabel = nullptr;
  QLabel* WarningsLabel = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void SecondChanged();
  void ShowResult();
  void Clear();
  void Tell(const QString& text);
  // The current measurement as the fit takes it.
  FitCurve Current() const;
  // The text table's opening lines: what was fitted, to what, over which range.
  std::string TextHeader() const;
  // The measurement's file name, `separator` and its date.
  QString SourceText(const QString& separator) const;

  const PointValues* raw_ = nullptr;
  const MeasureData* measurement_ = nullptr;
  const QString* fileName_ = nullptr;
  FitResult result_;
  QString modelName_;  // "semi, creep", for the driver file
  QString fittedSecond_;  // the second measurement's file of the fit shown, or empty
  bool haveModel_ = false;
  FitCurve fitted_;  // the measurement the model was fitted to
  std::unique_ptr<PointValues> overlay_;
};

}  // namespace kavo

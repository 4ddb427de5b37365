// The box window ("箱の解析"): a finished loudspeaker's closed or vented box
// fitted to the current measurement (analysis/BoxModel), with the driver
// from a free-air measurement's file, a driver file or values typed in.
// Not modal. While it is open the fitted system impedance is drawn dashed
// over the measurement (Overlay), until the window closes or the
// measurement changes.
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include "analysis/BoxModel.h"
#include "data/Kavo_setting.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kavo {

class TFormBox : public QWidget {
  Q_OBJECT

 public:
  explicit TFormBox(QWidget* parent = nullptr);

  // The main window's measurement (unsmoothed values, data set, the name of
  // its file) and the Re last entered in the Re window (0 for none).
  void SetSource(const PointValues* raw, const MeasureData* measurement, const QString* fileName, double re);
  // Another measurement is on show: the fit of the earlier one goes.
  void MeasurementChanged() { Clear(); }
  // The files the main window shows: a save never replaces them.
  std::function<QStringList()> filesShown;
  // Called whenever the curve to draw appears or goes.
  std::function<void()> overlayChanged;
  // The fitted system at the slots of `band` while there is a fit of the
  // measurement on show; null otherwise.
  const PointValues* Overlay(int32_t band) const;

  void FitClick();
  void SaveClick();
  void BrowseClick();
  const BoxResult& Result() const { return result_; }

  QComboBox* KindCombo = nullptr;    // 密閉箱, バスレフ箱
  QLineEdit* VbEdit = nullptr;       // L
  QLineEdit* ReEdit = nullptr;       // Ω, empty: fitted
  QComboBox* DriverCombo = nullptr;  // フリーの測定, ドライバファイル, 値を入力, なし
  QLineEdit* DriverFile = nullptr;
  QPushButton* BrowseButton = nullptr;
  QLineEdit* FsEdit = nullptr;
  QLineEdit* QmsEdit = nullptr;
  QLineEdit* QesEdit = nullptr;
  QLineEdit* QtsEdit = nullptr;
  QLineEdit* VasEdit = nullptr;
  QLineEdit* SdEdit = nullptr;       // cm², a driver file's Cms to Vas
  QPushButton* FitButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QPushButton* CloseButton = nullptr;
  QTableWidget* Table = nullptr;     // name, value, ±σ, unit, classic, ±σ
  QLabel* ResidualLabel = nullptr;
  QLabel* NotesLabel = nullptr;      // where the driver came from, notes, warnings

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void DriverChanged();
  // The input from the controls; false after telling what is wrong.
  bool Gather(BoxInput& in);
  void ShowResult();
  void Clear();
  void Tell(const QString& text);
  FitCurve Current() const;
  bool StillFitted() const;

  const PointValues* raw_ = nullptr;
  const MeasureData* measurement_ = nullptr;
  const QString* fileName_ = nullptr;
  BoxResult result_;
  bool haveFit_ = false;
  FitCurve fitted_;
  QString fittedDriver_;  // the driver's file of the fit shown, or empty
  std::unique_ptr<PointValues> overlay_;
};

}  // namespace kavo

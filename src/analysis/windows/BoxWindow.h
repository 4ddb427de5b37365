// The box window ("箱の解析", analysis/windows/AnalysisWindow): a finished
// loudspeaker's closed or vented box fitted to the current measurement
// (analysis/BoxModel), with the driver from a free-air measurement's file,
// a driver file or values typed in. The fitted system impedance is drawn
// dashed over the measurement.
#pragma once

#include "analysis/BoxModel.h"
#include "analysis/windows/AnalysisWindow.h"

class QComboBox;

namespace kavo {

class TFormBox : public TFormAnalysis {
  Q_OBJECT

 public:
  explicit TFormBox(QWidget* parent = nullptr);

  void RunClick() override;
  void BrowseClick();
  const BoxResult& Result() const { return result_; }

  QComboBox* KindCombo = nullptr;    // 密閉箱, バスレフ箱
  QLineEdit* VbEdit = nullptr;       // L
  QComboBox* DriverCombo = nullptr;  // フリーの測定, ドライバファイル, 値を入力, なし
  QLineEdit* DriverFile = nullptr;
  QPushButton* BrowseButton = nullptr;
  QLineEdit* FsEdit = nullptr;
  QLineEdit* QmsEdit = nullptr;
  QLineEdit* QesEdit = nullptr;
  QLineEdit* QtsEdit = nullptr;
  QLineEdit* VasEdit = nullptr;
  QLineEdit* SdEdit = nullptr;       // cm², a driver file's Cms to Vas

 protected:
  bool OverlayAt(double f, std::complex<double>& z) const override;
  QByteArray SaveBytes(int type) const override;
  std::vector<SaveType> SaveTypes() const override;
  QString SaveSuffix() const override { return QStringLiteral("_box"); }
  void Forget() override;
  void showEvent(QShowEvent* event) override;

 private:
  void DriverChanged();
  // The input from the controls; false after telling what is wrong.
  bool Gather(BoxInput& in);
  void ShowFit(const FitCurve& made);

  BoxResult result_;
  QString fittedDriver_;  // the driver's file of the fit shown, or empty
};

}  // namespace kavo

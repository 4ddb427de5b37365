// The crossover windows (analysis/windows/AnalysisWindow):
//   "部品の測定"       a part's curve fitted (analysis/PartModel): its values
//                      with ±σ, the fitted part dashed over the measurement;
//   "インピーダンス補正" the Zobel and notch designed from the driver's curve
//                      (analysis/Compensation): each component with ±σ and
//                      its standard value, the flatness, the compensated curve
//                      (standard values) dashed over the measurement. The
//                      driver's Fs, Qms and Qes come from its model fitted
//                      with the Re typed, or from a driver file (.wdr).
#pragma once

#include "analysis/Compensation.h"
#include "analysis/PartModel.h"
#include "analysis/windows/AnalysisWindow.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace kavo {

class TFormPart : public TFormAnalysis {
  Q_OBJECT

 public:
  explicit TFormPart(QWidget* parent = nullptr);
  void RunClick() override;
  const PartResult& Result() const { return result_; }

  QComboBox* KindCombo = nullptr;  // 自動, インダクタ, コンデンサ, 抵抗
  QLineEdit* AtEdit = nullptr;     // the part's value also at this frequency

 protected:
  bool OverlayAt(double f, std::complex<double>& z) const override;
  QByteArray SaveBytes(int type) const override;
  std::vector<SaveType> SaveTypes() const override;
  void Forget() override { result_ = {}; }
  void showEvent(QShowEvent* event) override;

 private:
  PartResult result_;
};

class TFormComp : public TFormAnalysis {
  Q_OBJECT

 public:
  explicit TFormComp(QWidget* parent = nullptr);
  void RunClick() override;
  const CompensationResult& Result() const { return result_; }

  QComboBox* DriverCombo = nullptr;  // Re typed, a driver file
  QLineEdit* DriverFile = nullptr;
  QPushButton* BrowseButton = nullptr;
  QCheckBox* ZobelCheck = nullptr;
  QCheckBox* NotchCheck = nullptr;
  QLineEdit* LowEdit = nullptr;
  QLineEdit* HighEdit = nullptr;
  QComboBox* SeriesCombo = nullptr;  // E12/E24, E12, E24, exact
  QLineEdit* PowerEdit = nullptr;

 protected:
  bool OverlayAt(double f, std::complex<double>& z) const override;
  QByteArray SaveBytes(int type) const override;
  std::vector<SaveType> SaveTypes() const override;
  void Forget() override {
    result_ = {};
    driverFile_.clear();
  }
  void showEvent(QShowEvent* event) override;

 private:
  void DriverChanged();
  void BrowseClick();
  // The driver's values from the file named; false (and said) when it gives none.
  bool ReadDriver(CompensationInput& in);

  CompensationResult result_;
  QString driverFile_;  // the driver file the result was designed with
  bool exact_ = false;
};

}  // namespace kavo

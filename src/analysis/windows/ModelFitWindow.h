// The model-fit window ("モデル適合解析", analysis/windows/AnalysisWindow):
// the driver's model fitted to the current measurement, alone or with a
// second measurement of the same driver (an added mass or a closed box, read
// from its file), with ±1σ on every value. The fitted model's R and θ are
// drawn over the measurement.
#pragma once

#include "analysis/ModelFit.h"
#include "analysis/windows/AnalysisWindow.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace kavo {

class TFormFit : public TFormAnalysis {
  Q_OBJECT

 public:
  explicit TFormFit(QWidget* parent = nullptr);

  void RunClick() override;
  void BrowseClick();
  const FitResult& Result() const { return result_; }

  QComboBox* CoilCombo = nullptr;
  QCheckBox* CreepCheck = nullptr;
  QRadioButton* ReFixed = nullptr;
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

 protected:
  bool OverlayAt(double f, std::complex<double>& z) const override;
  QByteArray SaveBytes(int type) const override;
  std::vector<SaveType> SaveTypes() const override;
  void Forget() override;
  void showEvent(QShowEvent* event) override;

 private:
  void SecondChanged();
  // The input from the controls; false after telling what is wrong.
  bool Gather(FitInput& in);
  void ShowFit(const FitCurve& made);
  // The text table's opening lines: what was fitted, to what, over which range.
  QByteArray TextHeader() const;

  FitResult result_;
  QString modelName_;     // "semi, creep", for the driver file
  QString fittedSecond_;  // the second measurement's file of the fit shown, or empty
};

}  // namespace kavo

// The result-analysis window: lists up to five resonance peaks of the
// current measurement and, on "Ts の計算", asks for Re and shows the
// Thiele-Small parameters. It is not modal; it searches again each time it
// becomes the active window, so it follows a measurement that changed under
// it.
#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "analysis/Ts_analysis.h"

class QLineEdit;
class QPushButton;

namespace Ui {
class TFormCalc;
}

namespace kavo {

class TFormTS;
class TForm_Re;

class TFormCalc : public QWidget {
  Q_OBJECT

 public:
  explicit TFormCalc(QWidget* parent = nullptr);
  ~TFormCalc() override;

  // The Re dialog and the parameter table this window opens.
  void SetDialogs(TForm_Re* re, TFormTS* ts);
  // The main window's unsmoothed and smoothed values, result and data set.
  void SetSource(const PointValues* raw, PointValues* smooth, TSResult* result, const MeasureData* measurement);

  void ClearPeaks();
  void ShowPeak(int32_t slot, int32_t row);
  void FindPeaks();
  bool CalcTS();
  void FormActivate();
  void ButtonTSClick();
  void CloseButtonClick();

  // Where the window opens beside its owner's frame `owner` (whose menu bar
  // ends at `menuBottom`) within `screen`: right of it, else left of it,
  // else at the screen's right edge below the menu bar; always on screen.
  static QPoint PlaceBeside(const QRect& owner, int menuBottom, const QSize& size, const QRect& screen);

  // The last search and the Re last entered (0 until one is).
  const TsAnalysis& Analysis() const { return analysis_; }
  float calcRe = 0;

  std::array<QLineEdit*, 2 * MaxPeaks> Edits{};  // frequency, R of row 0, then row 1, ...
  QPushButton* ButtonTS = nullptr;
  QPushButton* CloseButton = nullptr;
  QPushButton* FitButton = nullptr;  // "モデル適合...": asks for the model-fit window
  QPushButton* BoxButton = nullptr;  // "箱の解析...": asks for the box window

 signals:
  void ModelFitRequested();
  void BoxRequested();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowMessage(TsFailure failure);

  std::unique_ptr<Ui::TFormCalc> ui_;
  TsAnalysis analysis_;
  const PointValues* raw_ = nullptr;
  PointValues* smooth_ = nullptr;
  TSResult* result_ = nullptr;
  const MeasureData* measurement_ = nullptr;
  TForm_Re* re_ = nullptr;
  TFormTS* ts_ = nullptr;
};

}  // namespace kavo

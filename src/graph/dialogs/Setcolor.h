// The line colour dialog: the R and θ colours of the measurement and of the
// five reference positions, edited on a working copy of the settings. A click
// on a swatch, or Space or Return on the swatch Tab has reached, opens the
// colour picker at the swatch's colour; "設定" writes the copy back,
// anything else drops it.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

#include "data/Kavo_setting.h"

class QComboBox;
class QPushButton;

namespace Ui {
class TFormSetColor;
}

namespace kavo {

class PaintBox;

class TFormSetColor : public QDialog {
  Q_OBJECT

 public:
  explicit TFormSetColor(QWidget* parent = nullptr);
  ~TFormSetColor() override;

  // Copies every field of `settings` into the working copy, remembers both
  // references and selects "データ１". `cancelled` stays 1 unless "設定".
  void Prepare(SettingsRecord& settings, uint8_t& cancelled);

  void FormPaint();
  void ComboBox1Change();
  void PaintBox1Click();
  void PaintBox2Click();
  void PaintBox3Click();
  void PaintBox4Click();
  void SetBtnClick();
  void CancelBtnClick();

  // The colour swatch `index` (1..4) shows, 0x00BBGGRR.
  int32_t SwatchColour(int index) const;

  SettingsRecord workingColours;

  PaintBox* PaintBox1 = nullptr;
  PaintBox* PaintBox2 = nullptr;
  PaintBox* PaintBox3 = nullptr;
  PaintBox* PaintBox4 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* SetBtn = nullptr;

 public slots:
  void reject() override;

 protected:
  // The swatches' keys and focus marks.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int32_t& ColourOf(int index);
  void PickInto(int index);
  void PaintSwatch(int index) const;

  std::unique_ptr<Ui::TFormSetColor> ui_;
  SettingsRecord* target_ = nullptr;
  uint8_t* cancelled_ = nullptr;
};

}  // namespace kavo

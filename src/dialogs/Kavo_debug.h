// The debug window: created with the others at start-up and kept hidden; no
// code of the program shows it or writes into its boxes.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TFormDebug;
}

namespace kavo {

class TFormDebug : public QDialog {
  Q_OBJECT

 public:
  explicit TFormDebug(QWidget* parent = nullptr);
  ~TFormDebug() override;


 public slots:
  // "Clear": empties Edit6.
  void Button1Click();

 private:
  std::unique_ptr<Ui::TFormDebug> ui_;
};

}  // namespace kavo

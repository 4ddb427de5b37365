#include "dialogs/Kavo_debug.h"

#include "platform/desktop/Look.h"
#include "ui_Kavo_debug.h"


namespace kavo {

TFormDebug::TFormDebug(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint),
      ui_(std::make_unique<Ui::TFormDebug>()) {
  ui_->setupUi(this);
  QFont font = ProgramFont();
  font.setPointSize(9);
  setFont(font);
  connect(ui_->Button1, &QPushButton::clicked, this, &TFormDebug::Button1Click);
}

TFormDebug::~TFormDebug() = default;

void TFormDebug::Button1Click() { ui_->Edit6->clear(); }

}  // namespace kavo

#include "graph/dialogs/Kavo_printinfo.h"

#include <QLineEdit>
#include <QPushButton>

#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "platform/Look.h"
#include "ui_Kavo_printinfo.h"

namespace kavo {

QValidator::State PrintInfoValidator::validate(QString& input, int&) const {
  return IsPrintInfoLine(input.toStdString()) ? Acceptable : Invalid;
}

TFormPrnInfo::TFormPrnInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TFormPrnInfo>()) {
  ui_->setupUi(this);
  setFont(ProgramFont(12));
  setFixedSize(size());
  Edit1 = ui_->Edit1;
  Edit2 = ui_->Edit2;
  Edit3 = ui_->Edit3;
  Button1 = ui_->Button1;
  Button2 = ui_->Button2;
  for (QLineEdit* edit : {Edit1, Edit2, Edit3}) edit->setValidator(&validator_);
  connect(Button1, &QPushButton::clicked, this, &TFormPrnInfo::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TFormPrnInfo::Button2Click);
}

TFormPrnInfo::~TFormPrnInfo() = default;

void TFormPrnInfo::Prepare(SettingsRecord& settings, uint8_t& printCancelled) {
  settings_ = &settings;
  cancelled_ = &printCancelled;
  printCancelled = 1;
  FormShow();  // the lines are there even before the window shows
}

void TFormPrnInfo::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TFormPrnInfo::FormShow() {
  if (!settings_) return;
  QLineEdit* edits[3] = {Edit1, Edit2, Edit3};
  for (int i = 0; i < 3; ++i) edits[i]->setText(FromCp932(settings_->pstr[i]));
  Edit1->setFocus();
}

void TFormPrnInfo::Button1Click() {
  if (settings_) {
    const QLineEdit* edits[3] = {Edit1, Edit2, Edit3};
    for (int i = 0; i < 3; ++i) {
      // An untouched line keeps its bytes exactly as the settings file had them.
      if (edits[i]->text() != FromCp932(settings_->pstr[i]))
        settings_->pstr[i] = ToCp932(edits[i]->text());
    }
  }
  if (cancelled_) *cancelled_ = 0;
  accept();
}

void TFormPrnInfo::Button2Click() { reject(); }

// Escape and the window manager's close count as "取消し".
void TFormPrnInfo::reject() {
  if (cancelled_) *cancelled_ = 1;
  QDialog::reject();
}

}  // namespace kavo

#include "platform/Modal.h"
#include "platform/Look.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace kavo {
namespace {

class QtModal : public ModalSeam {
 public:
  MsgResult Message(QWidget* parent, const QString& caption, const QString& text, MsgIcon icon,
                    MsgButtons buttons) override {
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
      case MsgIcon::Stop: box.setIcon(QMessageBox::Critical); break;
      case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
      case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
      case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
      case MsgIcon::None: break;
    }
    switch (buttons) {
      case MsgButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
      case MsgButtons::OKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
      case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
      case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
      case QMessageBox::Ok: return MsgResult::OK;
      case QMessageBox::Yes: return MsgResult::Yes;
      case QMessageBox::No: return MsgResult::No;
      default: return MsgResult::Cancel;
    }
  }

  bool OpenFileName(QWidget* parent, const QString& filter, const QString& initialName,
                    QString& path) override {
    QString chosen = QFileDialog::getOpenFileName(parent, QString(), InitialPath(initialName), QtFilter(filter));
    if (chosen.isEmpty()) return false;
    path = chosen;
    return true;
  }

  bool SaveFileName(QWidget* parent, const QString& filter, const QString& initialName,
                    QString& path) override {
    // The program asks about overwriting itself, after fixing the extension.
    QString chosen = QFileDialog::getSaveFileName(parent, QString(), InitialPath(initialName), QtFilter(filter),
                                                  nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return false;
    path = chosen;
    return true;
  }

  bool PrintDialog(QWidget* parent, QPrinter& printer) override {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
  }

  bool PageSetupDialog(QWidget* parent, QPrinter& printer) override {
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
  }

  bool PickColor(QWidget* parent, uint32_t& bgr) override {
    QColor chosen = QColorDialog::getColor(ColorFromBgr(bgr), parent);
    if (!chosen.isValid()) return false;
    bgr = BgrFromColor(chosen);
    return true;
  }

  int ExecDialog(QDialog& dialog) override { return dialog.exec(); }

 private:
  // A pattern such as "*.DTA" is no name to pre-fill.
  static QString InitialPath(const QString& name) { return name.contains('*') ? QString() : name; }
};

QtModal& QtSeam() {
  static QtModal seam;
  return seam;
}

ModalSeam* current = nullptr;

}  // namespace

ModalSeam& Modal() { return current ? *current : QtSeam(); }

void SetModal(ModalSeam* seam) { current = seam; }

QString QtFilter(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString desc = parts[i];
    const QString pattern = QString(parts[i + 1]).replace(';', ' ');
    if (!desc.contains('(')) desc += QStringLiteral(" (%1)").arg(pattern);
    out << desc;
  }
  return out.join(QStringLiteral(";;"));
}

MsgResult ScriptedModal::Message(QWidget*, const QString& caption, const QString& text, MsgIcon icon,
                                 MsgButtons buttons) {
  ModalCall call;
  call.kind = ModalKind::Message;
  call.caption = caption;
  call.text = text;
  call.icon = icon;
  call.buttons = buttons;
  calls.push_back(call);
  if (!messageAnswers.empty()) {
    MsgResult r = messageAnswers.front();
    messageAnswers.pop_front();
    return r;
  }
  switch (buttons) {
    case MsgButtons::OK: return MsgResult::OK;
    case MsgButtons::YesNo: return MsgResult::No;
    default: return MsgResult::Cancel;
  }
}

static bool FileAnswer(ScriptedModal& s, ModalKind kind, const QString& filter, const QString& initialName,
                       QString& path) {
  ModalCall call;
  call.kind = kind;
  call.text = initialName;
  call.filter = filter;
  s.calls.push_back(call);
  if (s.fileAnswers.empty()) return false;
  QString answer = s.fileAnswers.front();
  s.fileAnswers.pop_front();
  if (answer.isEmpty()) return false;
  path = answer;
  return true;
}

bool ScriptedModal::OpenFileName(QWidget*, const QString& filter, const QString& initialName, QString& path) {
  return FileAnswer(*this, ModalKind::OpenFile, filter, initialName, path);
}

bool ScriptedModal::SaveFileName(QWidget*, const QString& filter, const QString& initialName, QString& path) {
  return FileAnswer(*this, ModalKind::SaveFile, filter, initialName, path);
}

static bool PopBool(std::deque<bool>& q) {
  if (q.empty()) return false;
  bool b = q.front();
  q.pop_front();
  return b;
}

bool ScriptedModal::PrintDialog(QWidget*, QPrinter&) {
  calls.push_back(ModalCall{ModalKind::Print, {}, {}, {}, MsgIcon::None, MsgButtons::OK, {}});
  return PopBool(printAnswers);
}

bool ScriptedModal::PageSetupDialog(QWidget*, QPrinter&) {
  calls.push_back(ModalCall{ModalKind::PageSetup, {}, {}, {}, MsgIcon::None, MsgButtons::OK, {}});
  return PopBool(pageSetupAnswers);
}

bool ScriptedModal::PickColor(QWidget*, uint32_t& bgr) {
  ModalCall call;
  call.kind = ModalKind::Color;
  call.color = bgr;
  calls.push_back(call);
  if (colorAnswers.empty()) return false;
  bgr = colorAnswers.front();
  colorAnswers.pop_front();
  return true;
}

int ScriptedModal::ExecDialog(QDialog& dialog) {
  ModalCall call;
  call.kind = ModalKind::Dialog;
  call.caption = dialog.windowTitle();
  call.dialogName = dialog.objectName();
  calls.push_back(call);
  return dialogHandler ? dialogHandler(dialog) : QDialog::Rejected;
}

QStringList ScriptedModal::MessageTexts() const {
  QStringList out;
  for (const ModalCall& c : calls)
    if (c.kind == ModalKind::Message) out << c.text;
  return out;
}

}  // namespace kavo

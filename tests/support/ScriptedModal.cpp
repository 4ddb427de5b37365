#include "ScriptedModal.h"

#include <QDialog>

namespace kavo {

MsgResult ScriptedModal::MessageWithDefault(QWidget* parent, const QString& caption, const QString& text,
                                            MsgIcon icon, MsgButtons buttons, MsgResult defaultButton) {
  pendingDefault_ = defaultButton;
  const MsgResult answer = Message(parent, caption, text, icon, buttons);
  pendingDefault_.reset();
  return answer;
}

MsgResult ScriptedModal::Message(QWidget*, const QString& caption, const QString& text, MsgIcon icon,
                                 MsgButtons buttons) {
  ModalCall call;
  call.defaultButton = pendingDefault_;
  pendingDefault_.reset();
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

static ModalCall FileCall(ModalKind kind, const QString& title, const QString& filter,
                          const QString& initialName, bool multiple) {
  ModalCall call;
  call.kind = kind;
  call.caption = title;
  call.text = initialName;
  call.filter = filter;
  call.multiple = multiple;
  return call;
}

static bool FileAnswer(ScriptedModal& s, QString& path) {
  if (s.fileAnswers.empty()) return false;
  QString answer = s.fileAnswers.front();
  s.fileAnswers.pop_front();
  if (answer.isEmpty()) return false;
  path = answer;
  return true;
}

bool ScriptedModal::OpenFileName(QWidget*, const QString& title, const QString& filter,
                                 const QString& initialName, QString& path) {
  calls.push_back(FileCall(ModalKind::OpenFile, title, filter, initialName, false));
  return FileAnswer(*this, path);
}

bool ScriptedModal::OpenFileNames(QWidget*, const QString& title, const QString& filter,
                                  const QString& initialName, QStringList& paths) {
  calls.push_back(FileCall(ModalKind::OpenFile, title, filter, initialName, true));
  if (fileListAnswers.empty()) return false;
  QStringList answer = fileListAnswers.front();
  fileListAnswers.pop_front();
  if (answer.isEmpty()) return false;
  paths = answer;
  return true;
}

bool ScriptedModal::SaveFileName(QWidget*, const QString& filter, const QString& initialName, QString& path) {
  calls.push_back(FileCall(ModalKind::SaveFile, QString(), filter, initialName, false));
  return FileAnswer(*this, path);
}

bool ScriptedModal::SaveFileNameOfType(QWidget* parent, const QString& filter, const QString& initialName,
                                       QString& path, int& type) {
  type = 0;
  if (!typeAnswers.empty()) {
    type = typeAnswers.front();
    typeAnswers.pop_front();
  }
  return SaveFileName(parent, filter, initialName, path);
}

static bool PopBool(std::deque<bool>& q) {
  if (q.empty()) return false;
  bool b = q.front();
  q.pop_front();
  return b;
}

bool ScriptedModal::PrintDialog(QWidget*, QPrinter&) {
  ModalCall call;
  call.kind = ModalKind::Print;
  calls.push_back(call);
  return PopBool(printAnswers);
}

bool ScriptedModal::PageSetupDialog(QWidget*, QPrinter&) {
  ModalCall call;
  call.kind = ModalKind::PageSetup;
  calls.push_back(call);
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

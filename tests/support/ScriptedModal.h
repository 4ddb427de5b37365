// The scripted modal seam of the tests: records every question the program
// asks and answers from queues, so that the whole program can be driven
// without a person. Never part of KAVO or kavo-tool.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/desktop/Modal.h"

namespace kavo {

enum class ModalKind { Message, OpenFile, SaveFile, Print, PageSetup, Color, Dialog };

// What was asked, as recorded by the scripted seam.
struct ModalCall {
  ModalKind kind = ModalKind::Message;
  QString caption;
  QString text;       // message text; for file dialogs the initial file name
  QString filter;     // file dialogs: "説明|*.ext" as the program gives it
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::OK;
  std::optional<MsgResult> defaultButton;  // Message: the button Return presses, when set
  QString dialogName; // Dialog: the window's object name
  bool multiple = false;  // open dialog: several files may be chosen
  uint32_t color = 0; // Color: the colour the picker opened with, 0x00BBGGRR
};

// Records every call; answers from queues. An empty queue answers with the
// safe default: OK for OK boxes, No for questions, cancel for file, print,
// set-up and colour dialogs, and rejection for a window without a handler.
class ScriptedModal : public ModalSeam {
 public:
  std::vector<ModalCall> calls;
  std::deque<MsgResult> messageAnswers;
  std::deque<QString> fileAnswers;          // empty string = cancel
  std::deque<int> typeAnswers;              // SaveFileNameOfType's type; none = 0
  std::deque<QStringList> fileListAnswers;  // open with multiple selection; empty = cancel
  std::deque<bool> printAnswers;
  std::deque<bool> pageSetupAnswers;
  std::deque<uint32_t> colorAnswers;
  // Handler for ExecDialog: may edit the dialog's controls, returns its result.
  std::function<int(QDialog&)> dialogHandler;

  MsgResult Message(QWidget* parent, const QString& caption, const QString& text, MsgIcon icon,
                    MsgButtons buttons) override;
  // Records the default with the call; answers as Message (which a test's
  // own seam may extend).
  MsgResult MessageWithDefault(QWidget* parent, const QString& caption, const QString& text, MsgIcon icon,
                               MsgButtons buttons, MsgResult defaultButton) override;
  bool OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                    const QString& initialName, QString& path) override;
  bool OpenFileNames(QWidget* parent, const QString& title, const QString& filter,
                     const QString& initialName, QStringList& paths) override;
  bool SaveFileName(QWidget* parent, const QString& filter, const QString& initialName,
                    QString& path) override;
  bool SaveFileNameOfType(QWidget* parent, const QString& filter, const QString& initialName, QString& path,
                          int& type) override;
  bool PrintDialog(QWidget* parent, QPrinter& printer) override;
  bool PageSetupDialog(QWidget* parent, QPrinter& printer) override;
  bool PickColor(QWidget* parent, uint32_t& bgr) override;
  int ExecDialog(QDialog& dialog) override;

  // Texts of the message boxes shown so far, in order.
  QStringList MessageTexts() const;

 private:
  std::optional<MsgResult> pendingDefault_;  // of the box MessageWithDefault is showing
};

// Installs a scripted seam for the lifetime of the object.
class ScopedScriptedModal {
 public:
  ScopedScriptedModal() { SetModal(&seam); }
  ~ScopedScriptedModal() { SetModal(nullptr); }
  ScriptedModal* operator->() { return &seam; }
  ScriptedModal seam;
};

}  // namespace kavo

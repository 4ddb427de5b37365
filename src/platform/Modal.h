// The one door through which KAVO asks the user something modally: message
// boxes, file dialogs, the print and printer set-up dialogs, the colour
// picker and the program's own modal windows. The Qt implementation shows
// real dialogs; the scripted one records every question and answers from a
// queue, so the whole program can be driven without a person.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QFileDialog;
class QMessageBox;
class QPrinter;
class QWidget;

namespace kavo {

enum class MsgIcon { None, Stop, Exclamation, Information, Question };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgResult { OK, Cancel, Yes, No };

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

class ModalSeam {
 public:
  virtual ~ModalSeam() = default;
  virtual MsgResult Message(QWidget* parent, const QString& caption, const QString& text,
                            MsgIcon icon, MsgButtons buttons) = 0;
  // The same box with `defaultButton` as the button that Return presses
  // (Message leaves the box's own choice, its first button). A seam that
  // knows no default shows it as Message does.
  virtual MsgResult MessageWithDefault(QWidget* parent, const QString& caption, const QString& text,
                                       MsgIcon icon, MsgButtons buttons, MsgResult defaultButton) {
    (void)defaultButton;
    return Message(parent, caption, text, icon, buttons);
  }
  // File dialogs take the filter in the "description|*.ext" form; they return
  // false on cancel, else true with the chosen full path in `path`. An empty
  // title leaves the dialog's own. The caption of the recorded call is the
  // title.
  virtual bool OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                            const QString& initialName, QString& path) = 0;
  // Open dialog with multiple selection: the chosen full paths in the order
  // the dialog lists them; false on cancel or when nothing was chosen.
  virtual bool OpenFileNames(QWidget* parent, const QString& title, const QString& filter,
                             const QString& initialName, QStringList& paths) = 0;
  virtual bool SaveFileName(QWidget* parent, const QString& filter, const QString& initialName,
                            QString& path) = 0;
  // The same for a filter of several types: `type` is the index (from 0, in
  // the filter's order) of the type chosen in the dialog.
  virtual bool SaveFileNameOfType(QWidget* parent, const QString& filter, const QString& initialName,
                                  QString& path, int& type) = 0;
  virtual bool PrintDialog(QWidget* parent, QPrinter& printer) = 0;
  virtual bool PageSetupDialog(QWidget* parent, QPrinter& printer) = 0;
  // Colour in 0x00BBGGRR; false on cancel.
  virtual bool PickColor(QWidget* parent, uint32_t& bgr) = 0;
  // Shows one of the program's own windows modally; returns QDialog's result.
  virtual int ExecDialog(QDialog& dialog) = 0;
};

// Loads Qt's own Japanese texts (standard buttons; file, colour and print
// dialogs) from `folder`, by default Qt's translations folder, whatever the
// locale; replaces what an earlier call loaded. False when the file is
// missing: message boxes then name their buttons themselves.
bool LoadQtJapanese(const QString& folder = QString());

// The box the Qt seam shows for Message, built but not shown.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& caption, const QString& text,
                                            MsgIcon icon, MsgButtons buttons,
                                            std::optional<MsgResult> defaultButton = std::nullopt);

// Before a save to `name`: false, once the user has been told, when `name`
// is one of `inputs` (the files the program shows: the measurement, the
// references); false when `name` exists and the user does not agree to
// overwrite it ("いいえ" is the default, the icon the exclamation mark).
bool MaySaveTo(QWidget* parent, const QString& caption, const QString& name, const QStringList& inputs);

// The seam in force. Defaults to the Qt implementation.
ModalSeam& Modal();
// Replaces the seam (nullptr restores the Qt one). Not owned.
void SetModal(ModalSeam* seam);

// Turns "desc|*.ext|desc2|*.x2" into Qt's "desc (*.ext);;desc2 (*.x2)".
QString QtFilter(const QString& filter);

// Sets up a Qt file dialog the same on every desktop (Qt's own widgets, not
// the desktop's), with the filter matching names in any letter case, so that
// "*.DTA" shows x.dta as well. Used by the Qt seam; tests drive it directly.
void PrepareFileDialog(QFileDialog& dialog, const QString& title, const QString& filter,
                       const QString& initialName);

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

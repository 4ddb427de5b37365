// The one door through which KAVO asks the user something modally: message
// boxes, file dialogs, the print and printer set-up dialogs, the colour
// picker and the program's own modal windows. The Qt implementation shows
// real dialogs; the tests put a scripted one in its place (SetModal).
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

class QDialog;
class QFileDialog;
class QMessageBox;
class QPrinter;
class QWidget;

namespace kavo {

enum class MsgIcon { None, Stop, Exclamation, Information, Question };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgResult { OK, Cancel, Yes, No };

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

}  // namespace kavo

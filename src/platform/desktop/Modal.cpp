#include "platform/desktop/Modal.h"
#include "platform/desktop/Look.h"
#include "platform/Paths.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTranslator>

namespace kavo {
namespace {

// The name field opens with the pattern ("*.DTA") to be typed over: Return
// on a pattern left as it stands chooses nothing, rather than a file named
// "*.DTA".
class FileDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  void accept() override {
    const QStringList chosen = selectedFiles();
    for (const QString& path : chosen) {
      const QString name = QFileInfo(path).fileName();
      if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'))) return;
    }
    QFileDialog::accept();
  }
};

class QtModal : public ModalSeam {
 public:
  MsgResult Message(QWidget* parent, const QString& caption, const QString& text, MsgIcon icon,
                    MsgButtons buttons) override {
    return Show(*MakeMessageBox(parent, caption, text, icon, buttons));
  }

  MsgResult MessageWithDefault(QWidget* parent, const QString& caption, const QString& text, MsgIcon icon,
                               MsgButtons buttons, MsgResult defaultButton) override {
    return Show(*MakeMessageBox(parent, caption, text, icon, buttons, defaultButton));
  }

  static MsgResult Show(QMessageBox& box) {
    switch (box.exec()) {
      case QMessageBox::Ok: return MsgResult::OK;
      case QMessageBox::Yes: return MsgResult::Yes;
      case QMessageBox::No: return MsgResult::No;
      default: return MsgResult::Cancel;
    }
  }

  bool OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                    const QString& initialName, QString& path) override {
    QStringList chosen;
    if (!RunFileDialog(parent, QFileDialog::AcceptOpen, QFileDialog::ExistingFile, title, filter, initialName,
                       chosen))
      return false;
    path = chosen.first();
    return true;
  }

  bool OpenFileNames(QWidget* parent, const QString& title, const QString& filter,
                     const QString& initialName, QStringList& paths) override {
    return RunFileDialog(parent, QFileDialog::AcceptOpen, QFileDialog::ExistingFiles, title, filter,
                         initialName, paths);
  }

  bool SaveFileName(QWidget* parent, const QString& filter, const QString& initialName,
                    QString& path) override {
    int type = 0;
    return SaveFileNameOfType(parent, filter, initialName, path, type);
  }

  bool SaveFileNameOfType(QWidget* parent, const QString& filter, const QString& initialName, QString& path,
                          int& type) override {
    QStringList chosen;
    if (!RunFileDialog(parent, QFileDialog::AcceptSave, QFileDialog::AnyFile, QString(), filter, initialName,
                       chosen, &type))
      return false;
    path = chosen.first();
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
  bool RunFileDialog(QWidget* parent, QFileDialog::AcceptMode accept, QFileDialog::FileMode mode,
                     const QString& title, const QString& filter, const QString& initialName,
                     QStringList& paths, int* type = nullptr) {
    FileDialog dialog(parent);
    dialog.setAcceptMode(accept);
    dialog.setFileMode(mode);
    // The program asks about overwriting itself, after fixing the extension.
    if (accept == QFileDialog::AcceptSave) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    PrepareFileDialog(dialog, title, filter, initialName);
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir()) dialog.setDirectory(lastFolder);
    if (dialog.exec() != QDialog::Accepted) return false;
    QStringList chosen = dialog.selectedFiles();
    chosen.removeAll(QString());
    if (chosen.isEmpty()) return false;
    // The next dialog starts where the user was.
    lastFolder = QFileInfo(chosen.first()).absolutePath();
    paths = chosen;
    if (type) *type = std::max(0, int(QtFilter(filter).split(QStringLiteral(";;")).indexOf(dialog.selectedNameFilter())));
    return true;
  }

  QString lastFolder;
};

QTranslator* qtJapanese = nullptr;

QtModal& QtSeam() {
  static QtModal seam;
  return seam;
}

ModalSeam* current = nullptr;

}  // namespace

bool LoadQtJapanese(const QString& folder) {
  if (qtJapanese) {
    QCoreApplication::removeTranslator(qtJapanese);
    delete qtJapanese;
    qtJapanese = nullptr;
  }
  auto* translator = new QTranslator;
  const QString dir = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  if (!translator->load(QStringLiteral("qtbase_ja"), dir) || !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  qtJapanese = translator;
  return true;
}

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& caption, const QString& text,
                                            MsgIcon icon, MsgButtons buttons,
                                            std::optional<MsgResult> defaultButton) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(caption);
  box->setText(text);
  switch (icon) {
    case MsgIcon::Stop: box->setIcon(QMessageBox::Critical); break;
    case MsgIcon::Exclamation: box->setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box->setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box->setIcon(QMessageBox::Question); break;
    case MsgIcon::None: break;
  }
  switch (buttons) {
    case MsgButtons::OK: box->setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OKCancel: box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box->setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
      box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  if (!qtJapanese) {
    // Without Qt's own translations the buttons would read in English.
    static const struct {
      QMessageBox::StandardButton button;
      const char* text;
    } names[] = {{QMessageBox::Ok, "OK"},
                 {QMessageBox::Cancel, "キャンセル"},
                 {QMessageBox::Yes, "はい(&Y)"},
                 {QMessageBox::No, "いいえ(&N)"}};
    for (const auto& name : names)
      if (QAbstractButton* button = box->button(name.button)) button->setText(QString::fromUtf8(name.text));
  }
  if (defaultButton) {
    static const QMessageBox::StandardButton standard[] = {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes,
                                                           QMessageBox::No};
    if (auto* button = qobject_cast<QPushButton*>(box->button(standard[static_cast<int>(*defaultButton)]))) {
      // Return presses the default; the focus starts there too, so that a
      // stray Space does not press the other button either.
      box->setDefaultButton(button);
      button->setFocus();
    }
  }
  return box;
}

bool MaySaveTo(QWidget* parent, const QString& caption, const QString& name, const QStringList& inputs) {
  for (const QString& input : inputs) {
    if (input.isEmpty() || !SameFile(name, input)) continue;
    const QString text = QStringLiteral("ファイル：") + name + QStringLiteral("は表示中のデータのファイルです。") +
                         QLatin1Char('\n') + QStringLiteral("別の名前で保存して下さい");
    Modal().Message(parent, caption, text, MsgIcon::Exclamation, MsgButtons::OK);
    return false;
  }
  if (!QFileInfo::exists(name)) return true;
  const QString text = QStringLiteral("ファイル：") + name + QStringLiteral("があります。") + QLatin1Char('\n') +
                       QStringLiteral("上書きしますか");
  return Modal().MessageWithDefault(parent, caption, text, MsgIcon::Exclamation, MsgButtons::YesNo, MsgResult::No) ==
         MsgResult::Yes;
}

ModalSeam& Modal() { return current ? *current : QtSeam(); }

void SetModal(ModalSeam* seam) { current = seam; }

void PrepareFileDialog(QFileDialog& dialog, const QString& title, const QString& filter,
                       const QString& initialName) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (!title.isEmpty()) dialog.setWindowTitle(title);
  // Files of this program keep their meaning whatever the letter case of
  // the extension (a.DTA and a.dta from another system alike).
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  dialog.setNameFilter(QtFilter(filter));
  // A pattern ("*.DTA") stands in the name field as well, to be typed over.
  if (!initialName.isEmpty()) dialog.selectFile(initialName);
}

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

}  // namespace kavo

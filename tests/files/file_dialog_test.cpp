// The real Qt file dialogs of the modal seam, driven as a keyboard user
// would: what the data-file filter lists, and a full path typed into the
// name field followed by Return.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "EventPump.h"
#include "TempDir.h"
#include "platform/desktop/Modal.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace kavo::test {
namespace {

QStringList Listed(QFileDialog& dialog) {
  QStringList names;
  auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
  if (!view || !view->model()) return names;
  const QModelIndex root = view->rootIndex();
  for (int i = 0; i < view->model()->rowCount(root); ++i) names << view->model()->index(i, 0, root).data().toString();
  return names;
}

void Press(QWidget* target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

// Waits for the modal file dialog, lets the folder listing settle, records
// the dialog's title and listing, then types `typed` and presses Return (or
// Escape when `typed` is empty). A dialog still open after that is rejected,
// so a test can never hang on it.
struct Keyboard {
  QString typed;
  QString title;
  QString initial;  // the name field as the dialog opened
  QStringList listed;
  bool sawDialog = false;

  void Arm(const QStringList& awaited) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    auto started = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer, awaited, started] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      sawDialog = true;
      ++*started;
      const QStringList names = Listed(*dialog);
      bool ready = true;
      for (const QString& name : awaited) ready = ready && names.contains(name);
      if (!ready && *started < 500) return;  // up to 10 s for the listing
      title = dialog->windowTitle();
      listed = names;
      listed.sort();
      auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (edit) initial = edit->text();
      if (typed.isEmpty() || !edit) {
        Press(dialog, Qt::Key_Escape);
      } else {
        edit->setFocus();
        edit->setText(typed);
        Press(edit, Qt::Key_Return);
      }
      if (QApplication::activeModalWidget() == dialog) dialog->reject();
      timer->deleteLater();
    });
    timer->start();
  }
};

class FileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.DTA", "b.dta", "c.txt", "D.TXT", "e.DTA.bak"}) WriteAll(Path(name), "x");
    QDir(dir.Root()).mkdir(QStringLiteral("v1.2"));
  }
  QString Path(const char* name) const { return dir.Path(QString::fromUtf8(name)); }
  TempDir dir;
};

TEST_F(FileDialogTest, DataFilterListsBothLetterCasesAndATypedPathOpensIt) {
  const QString filter = QStringLiteral("データファイル (*.DTA)|*.DTA");
  const QString title = QStringLiteral("データファイルを選んでください");
  // A first dialog to bring the folder up; later ones start where it left.
  Keyboard first;
  first.typed = Path("b.dta");
  first.Arm({});
  QString path;
  ASSERT_TRUE(Modal().OpenFileName(nullptr, title, filter, QStringLiteral("*.DTA"), path));
  EXPECT_EQ(path, Path("b.dta"));
  EXPECT_EQ(first.title, title);

  Keyboard open;
  open.typed = Path("a.DTA");
  open.Arm({QStringLiteral("a.DTA"), QStringLiteral("b.dta")});
  ASSERT_TRUE(Modal().OpenFileName(nullptr, title, filter, QStringLiteral("*.DTA"), path));
  EXPECT_EQ(path, Path("a.DTA"));
  EXPECT_EQ(open.listed, (QStringList{QStringLiteral("a.DTA"), QStringLiteral("b.dta"), QStringLiteral("v1.2")}));

  // References: several files at once, in the order typed.
  Keyboard refs;
  refs.typed = QStringLiteral("\"%1\" \"%2\"").arg(Path("b.dta"), Path("a.DTA"));
  refs.Arm({QStringLiteral("a.DTA")});
  QStringList paths;
  ASSERT_TRUE(Modal().OpenFileNames(nullptr, QStringLiteral("参照ファイルを選んでください(５個まで)"), filter,
                                    QStringLiteral("*.DTA"), paths));
  EXPECT_EQ(paths, (QStringList{Path("b.dta"), Path("a.DTA")}));

  // The text export's filter works the same way.
  Keyboard text;
  text.typed = Path("v1.2/result");
  text.Arm({QStringLiteral("c.txt")});
  ASSERT_TRUE(Modal().SaveFileName(nullptr, QStringLiteral("データファイル (*.txt)|*.txt"), QStringLiteral("*.txt"), path));
  EXPECT_EQ(path, Path("v1.2/result"));  // the command fixes the extension itself
  EXPECT_EQ(text.listed, (QStringList{QStringLiteral("D.TXT"), QStringLiteral("c.txt"), QStringLiteral("v1.2")}));
}

TEST_F(FileDialogTest, SaveOverAnExistingNameAsksNothingAndEscapeCancels) {
  const QString filter = QStringLiteral("データファイル (*.DTA)|*.DTA");
  Keyboard save;
  save.typed = Path("a.DTA");
  save.Arm({});
  QString path;
  // The program asks about overwriting after fixing the extension.
  ASSERT_TRUE(Modal().SaveFileName(nullptr, filter, QStringLiteral("*.DTA"), path));
  EXPECT_EQ(path, Path("a.DTA"));
  EXPECT_EQ(save.initial, QStringLiteral("*.DTA"));
  // Return on the pattern as it stands chooses no file named "*.DTA".
  Keyboard pattern;
  pattern.typed = QStringLiteral("*.DTA");
  pattern.Arm({});
  path.clear();
  EXPECT_FALSE(Modal().SaveFileName(nullptr, filter, QStringLiteral("*.DTA"), path)) << path.toStdString();

  Keyboard cancel;
  cancel.Arm({});
  path.clear();
  EXPECT_FALSE(Modal().OpenFileName(nullptr, QString(), filter, QStringLiteral("*.DTA"), path));
  EXPECT_TRUE(cancel.sawDialog);
  EXPECT_TRUE(path.isEmpty());
}

}  // namespace
}  // namespace kavo::test

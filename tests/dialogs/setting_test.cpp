// The COM port dialog: its list, the typed-text rules, cancelling, the device
// line and the mapping of a COM number to a serial device present.
#include "dialogs/Setting.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/ComPorts.h"
#include "ScriptedModal.h"

namespace kavo::test {
namespace {

class ComDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { qputenv("KAVO_SETTINGS_DIR", dir.Path(QStringLiteral("settings")).toUtf8()); }
  void TearDown() override {
    qunsetenv("KAVO_SETTINGS_DIR");
    qunsetenv("KAVO_COM7");
  }
  // Opens the dialog on `current` as the main window does.
  void Open(int32_t current) {
    port = current;
    cancelled = 0;
    dialog.SetPortTarget(port, cancelled);
    dialog.show();
  }
  void Type(const QString& text) { dialog.ComboBox1->setEditText(text); }
  QStringList Items() const {
    QStringList items;
    for (int i = 0; i < dialog.ComboBox1->count(); ++i) items << dialog.ComboBox1->itemText(i);
    return items;
  }
  // A device tree of our own: symbolic links to character devices that exist.
  QString FakeDev() {
    const QString root = dir.Path(QStringLiteral("dev"));
    QDir().mkpath(root + QStringLiteral("/serial/by-id"));
    QDir().mkpath(dir.Path(QStringLiteral("sys/ttyS0")));
    QDir().mkpath(dir.Path(QStringLiteral("sys/ttyS1")));
    auto link = [](const QString& target, const QString& at) { EXPECT_TRUE(QFile::link(target, at)) << at.toStdString(); };
    link(QStringLiteral("/dev/null"), root + QStringLiteral("/ttyUSB0"));
    link(QStringLiteral("/dev/zero"), root + QStringLiteral("/ttyUSB10"));
    link(QStringLiteral("/dev/full"), root + QStringLiteral("/ttyUSB2"));
    link(QStringLiteral("/dev/urandom"), root + QStringLiteral("/ttyACM0"));
    link(QStringLiteral("/dev/random"), root + QStringLiteral("/ttyS0"));  // no chip: left out
    link(QStringLiteral("/dev/tty"), root + QStringLiteral("/ttyS1"));     // a 16550A
    link(QStringLiteral("../../ttyUSB0"), root + QStringLiteral("/serial/by-id/usb-FTDI_FT232R_A6008-if00-port0"));
    link(QStringLiteral("../../ttyUSB7"), root + QStringLiteral("/serial/by-id/usb-gone-if00-port0"));  // unplugged
    WriteAll(dir.Path(QStringLiteral("sys/ttyS0/type")), QByteArray("0\n"));
    WriteAll(dir.Path(QStringLiteral("sys/ttyS1/type")), QByteArray("4\n"));
    dialog.SetDeviceRoots(root, dir.Path(QStringLiteral("sys")));
    return root;
  }

  TempDir dir;
  ScopedScriptedModal modal;
  TFormSetting dialog;
  int32_t port = 0;
  uint8_t cancelled = 0;
};

TEST_F(ComDialogTest, ListReachesTenOrTheCurrentPort) {
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("COMポートの設定"));
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_NE(dialog.Button1->focusPolicy() & Qt::TabFocus, 0);
  EXPECT_NE(dialog.Button2->focusPolicy() & Qt::TabFocus, 0);
  Open(3);
  EXPECT_EQ(Items().size(), 10);
  EXPECT_EQ(Items().front(), QStringLiteral("COM1"));
  EXPECT_EQ(Items().back(), QStringLiteral("COM10"));
  EXPECT_EQ(dialog.ComboBox1->currentIndex(), 2);
  EXPECT_EQ(dialog.ComboBox1->currentText(), QStringLiteral("COM3"));
  Open(12);
  EXPECT_EQ(Items().size(), 12);
  EXPECT_EQ(Items().back(), QStringLiteral("COM12"));
  EXPECT_EQ(dialog.ComboBox1->currentIndex(), 11);
  // A picked entry is taken as it is.
  dialog.ComboBox1->setCurrentIndex(4);
  dialog.Button1Click();
  EXPECT_EQ(port, 5);
  EXPECT_EQ(cancelled, 0);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ComDialogTest, TypedTexts) {
  const QString invalid = QStringLiteral("不正なCOM指定です");
  const QString number = QStringLiteral("COM番号エラーです");
  const QString notNumber = QStringLiteral("COM番号は数字で指定して下さい");
  struct Case {
    const char* text;
    int32_t port;     // 0: refused
    QString message;  // for a refusal
  };
  const Case cases[] = {
      {"COM200", 200, {}},  {"COM256", 256, {}},        {"COM3", 3, {}},
      {"COM257", 0, number}, {"COM0", 0, number},       {"COM-1", 0, number},
      {"COM99999999999", 0, number},                    {"com3", 0, invalid},
      {"PORT3", 0, invalid}, {"", 0, invalid},          {"COMX", 0, notNumber},
      {"COM", 0, notNumber}, {"COM3X", 0, notNumber},   {"COM 3 ", 0, notNumber},
  };
  for (const Case& c : cases) {
    const QString text = QString::fromUtf8(c.text);
    Open(4);
    modal->calls.clear();
    Type(text);
    dialog.Button1Click();
    if (c.port) {
      EXPECT_EQ(port, c.port) << c.text;
      EXPECT_EQ(cancelled, 0) << c.text;
      EXPECT_FALSE(dialog.isVisible()) << c.text;
      EXPECT_TRUE(modal->calls.empty()) << c.text;
    } else {
      // Refused: the message, the dialog still open, nothing changed.
      ASSERT_EQ(modal->calls.size(), 1u) << c.text;
      EXPECT_EQ(modal->calls[0].text, c.message) << c.text;
      EXPECT_EQ(modal->calls[0].caption, QStringLiteral("エラー"));
      EXPECT_EQ(modal->calls[0].icon, MsgIcon::None);
      EXPECT_EQ(modal->calls[0].buttons, MsgButtons::OK);
      EXPECT_TRUE(dialog.isVisible()) << c.text;
      EXPECT_EQ(port, 4) << c.text;
      EXPECT_EQ(cancelled, 1) << c.text;
    }
    dialog.hide();
  }
}

TEST_F(ComDialogTest, EveryOtherWayOutIsCancel) {
  auto typeThenLeave = [&](const std::function<void()>& leave) {
    Open(6);
    Type(QStringLiteral("COM9"));
    leave();
    EXPECT_EQ(port, 6);
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(dialog.isVisible());
  };
  typeThenLeave([&] { dialog.Button2->click(); });
  typeThenLeave([&] {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &escape);
  });
  typeThenLeave([&] { dialog.close(); });  // the window manager's close
  // Return in the box is "設定".
  Open(6);
  Type(QStringLiteral("COM9"));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(dialog.ComboBox1->lineEdit(), &enter);
  EXPECT_EQ(port, 9);
  EXPECT_EQ(cancelled, 0);
}

TEST_F(ComDialogTest, DeviceLineFollowsTheMapping) {
  const QString ports = dir.Path(QStringLiteral("settings/ports"));
  QDir().mkpath(ports);
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), ports + QStringLiteral("/COM3")));
  ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/ttyUSB9"), ports + QStringLiteral("/COM5")));
  ASSERT_TRUE(WriteAll(ports + QStringLiteral("/COM6"), QByteArray("not a device")));
  qputenv("KAVO_COM7", "/dev/zero");
  Open(3);
  EXPECT_EQ(dialog.DeviceLine->text(), QStringLiteral("→ /dev/null"));
  EXPECT_TRUE(dialog.DeviceLine->isReadOnly());
  dialog.ComboBox1->setCurrentIndex(4);
  EXPECT_EQ(dialog.DeviceLine->text(), QStringLiteral("→ /nonexistent/ttyUSB9 (ありません)"));
  dialog.ComboBox1->setCurrentIndex(5);
  EXPECT_EQ(dialog.DeviceLine->text(), QStringLiteral("→ ") + ports + QStringLiteral("/COM6 (シリアルポートではありません)"));
  dialog.ComboBox1->setCurrentIndex(6);
  EXPECT_EQ(dialog.DeviceLine->text(), QStringLiteral("→ /dev/zero [KAVO_COM7]"));
  // A typed number shows its device too; the default of COM n is ttyS(n-1).
  Type(QStringLiteral("COM200"));
  EXPECT_EQ(dialog.DeviceLine->text(), QStringLiteral("→ /dev/ttyS199 (ありません)"));
  Type(QStringLiteral("COMX"));
  EXPECT_EQ(dialog.DeviceLine->text(), QString());
}

TEST_F(ComDialogTest, TheWholeDeviceLineShows) {
  const QString ports = dir.Path(QStringLiteral("settings/ports"));
  QDir().mkpath(ports);
  ASSERT_TRUE(WriteAll(ports + QStringLiteral("/COM6"), QByteArray("not a device")));
  qputenv("KAVO_COM2", "/dev/null");
  Open(2);
  const QSize designed = dialog.size();
  for (int index : {5, 1}) {
    dialog.ComboBox1->setCurrentIndex(index);
    const QLineEdit& line = *dialog.DeviceLine;
    const int textWidth = line.fontMetrics().horizontalAdvance(line.text());
    EXPECT_LT(textWidth, line.contentsRect().width() - 4) << line.text().toStdString();
    EXPECT_LE(line.geometry().right(), dialog.width() - 8);
  }
  // A short line leaves the dialog as designed.
  EXPECT_EQ(dialog.size(), designed);
}

TEST_F(ComDialogTest, SerialDevicesPresentInTheirOrder) {
  const QString root = FakeDev();
  const std::vector<SerialDevice> devices = ListSerialDevices(root, dir.Path(QStringLiteral("sys")));
  QStringList paths, labels;
  for (const SerialDevice& d : devices) {
    paths << d.path;
    labels << d.label;
  }
  const QStringList want = {root + QStringLiteral("/serial/by-id/usb-FTDI_FT232R_A6008-if00-port0"),
                            root + QStringLiteral("/ttyUSB2"), root + QStringLiteral("/ttyUSB10"),
                            root + QStringLiteral("/ttyACM0"), root + QStringLiteral("/ttyS1")};
  EXPECT_EQ(paths.join(u'\n').toStdString(), want.join(u'\n').toStdString());
  EXPECT_EQ(labels.front(), QStringLiteral("usb-FTDI_FT232R_A6008-if00-port0 (/dev/null)"));
  EXPECT_EQ(labels.back(), root + QStringLiteral("/ttyS1"));
}

TEST_F(ComDialogTest, MappingWritesTheLinkAtomically) {
  const QString root = FakeDev();
  const QString link = dir.Path(QStringLiteral("settings/ports/COM3"));
  Open(3);
  int shown = 0;
  modal->dialogHandler = [&](QDialog& chooser) {
    ++shown;
    EXPECT_EQ(chooser.objectName(), QStringLiteral("TFormPortMap"));
    auto* list = chooser.findChild<QListWidget*>(QStringLiteral("DeviceList"));
    EXPECT_EQ(list->count(), 5);
    list->setCurrentRow(shown == 1 ? 0 : 3);
    return int(QDialog::Accepted);
  };
  dialog.MapBtn->click();
  EXPECT_EQ(QFileInfo(link).symLinkTarget(),
            root + QStringLiteral("/serial/by-id/usb-FTDI_FT232R_A6008-if00-port0"));
  EXPECT_EQ(dialog.DeviceLine->text(),
            QStringLiteral("→ ") + root + QStringLiteral("/serial/by-id/usb-FTDI_FT232R_A6008-if00-port0"));
  // Again: the old link is replaced, no temporary name is left behind.
  dialog.MapBtn->click();
  EXPECT_EQ(QFileInfo(link).symLinkTarget(), root + QStringLiteral("/ttyACM0"));
  EXPECT_EQ(QDir(dir.Path(QStringLiteral("settings/ports"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("COM3")});
  EXPECT_TRUE(modal->MessageTexts().isEmpty());
  // Mapping changes the device, never the port number or the dialog's state.
  EXPECT_EQ(port, 3);
  EXPECT_TRUE(dialog.isVisible());

  // Cancelling the list maps nothing; an unmappable place is reported.
  modal->dialogHandler = [](QDialog&) { return int(QDialog::Rejected); };
  dialog.ComboBox1->setCurrentIndex(3);
  dialog.MapBtn->click();
  EXPECT_FALSE(QFileInfo(dir.Path(QStringLiteral("settings/ports/COM4"))).isSymLink());
  QDir().mkpath(dir.Path(QStringLiteral("settings/ports/COM4/keep")));
  modal->dialogHandler = [](QDialog&) { return int(QDialog::Accepted); };
  dialog.MapBtn->click();
  ASSERT_EQ(modal->MessageTexts().size(), 1);
  EXPECT_TRUE(modal->MessageTexts()[0].startsWith(QStringLiteral("COM4の割り当てを保存できませんでした")));
  EXPECT_TRUE(QFileInfo(dir.Path(QStringLiteral("settings/ports/COM4/keep"))).isDir());

  // An invalid number maps nothing and says why.
  modal->calls.clear();
  Type(QStringLiteral("COM0"));
  dialog.MapBtn->click();
  EXPECT_EQ(modal->MessageTexts(), QStringList{QStringLiteral("COM番号エラーです")});
}

}  // namespace
}  // namespace kavo::test

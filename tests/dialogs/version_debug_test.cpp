// The version window (closes on a click or a closing key) and the debug
// window's one action.
#include "dialogs/Kavo_debug.h"
#include "dialogs/Version.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QMouseEvent>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace kavo {
namespace {

QLabel* Image1(TFormVersion& window) { return window.findChild<QLabel*>(QStringLiteral("Image1")); }

template <class T>
T* Control(QWidget& window, const char* name) {
  T* control = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

void Click(QWidget* target, QPoint at) {
  const QPointF local(at), global(target->mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QApplication::sendEvent(target, &release);
}

// Runs the window modally and clicks `target` once the loop is running; a
// watchdog ends a window that ignored the click with result 99.
int ExecAndClick(TFormVersion& window, QWidget* target, QPoint at) {
  QTimer::singleShot(0, &window, [=] { Click(target, at); });
  QTimer::singleShot(3000, &window, [&window] { window.done(99); });
  return window.exec();
}

TEST(VersionWindow, HasItsCaptionSizePictureAndNoCloseBox) {
  TFormVersion window;
  ASSERT_NE(Image1(window), nullptr);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("KAVO バージョン情報"));
  EXPECT_EQ(window.size(), QSize(290, 170));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(window.windowFlags() & Qt::WindowSystemMenuHint);
  EXPECT_EQ(Image1(window)->geometry(), QRect(0, 0, 290, 172));
  EXPECT_FALSE(window.isVisible());

  const QImage picture = TFormVersion::Picture();
  EXPECT_EQ(picture.size(), QSize(290, 170));
  EXPECT_EQ(picture.depth(), 24);
  // Light lettering on the dark ground: the picture is not a plain fill.
  int light = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (qGray(picture.pixel(x, y)) > 200) ++light;
  EXPECT_GT(light, 300);
}

TEST(VersionWindow, AClickOnThePictureOrTheWindowClosesIt) {
  TFormVersion window;
  EXPECT_EQ(ExecAndClick(window, Image1(window), QPoint(145, 85)), QDialog::Accepted);
  EXPECT_FALSE(window.isVisible());
  // Shown again it still works, and a click delivered to the window itself
  // closes it as well.
  EXPECT_EQ(ExecAndClick(window, &window, QPoint(5, 5)), QDialog::Accepted);
  EXPECT_FALSE(window.isVisible());
}

TEST(VersionWindow, EscapeReturnEnterAndSpaceCloseItOtherKeysDoNot) {
  TFormVersion window;
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    QTimer::singleShot(0, &window, [&window, key] { QTest::keyClick(&window, key); });
    QTimer::singleShot(3000, &window, [&window] { window.done(99); });
    EXPECT_EQ(window.exec(), QDialog::Accepted) << key;
  }
  window.show();
  QTest::keyClick(&window, Qt::Key_A);
  EXPECT_TRUE(window.isVisible());
}

TEST(DebugWindow, StartsWithItsTextsAndClearEmptiesOnlyEdit6) {
  TFormDebug window;
  auto* edit1 = Control<QLineEdit>(window, "Edit1");
  auto* edit5 = Control<QLineEdit>(window, "Edit5");
  auto* edit6 = Control<QLineEdit>(window, "Edit6");
  auto* button1 = Control<QPushButton>(window, "Button1");
  ASSERT_TRUE(edit1 && edit5 && edit6 && button1);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("FormDebug"));
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(edit1->text(), QStringLiteral("Edit1"));
  EXPECT_EQ(edit5->text(), QStringLiteral("Edit5"));
  EXPECT_EQ(edit6->text(), QStringLiteral("Edit6"));
  EXPECT_EQ(edit6->geometry(), QRect(56, 208, 201, 145));
  EXPECT_EQ(button1->text(), QStringLiteral("Clear"));
  button1->click();
  EXPECT_EQ(edit6->text(), QString());
  EXPECT_EQ(edit1->text(), QStringLiteral("Edit1"));
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
}

}  // namespace
}  // namespace kavo

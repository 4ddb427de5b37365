#include "KeyDrive.h"

#include <QApplication>
#include <QWidget>
#include <QtTest/QTest>

namespace kavo::test {

bool ShowActive(QWidget* window, QWidget* first) {
  window->show();
  window->activateWindow();
  // The offscreen platform keeps a hidden window as its focus window and so
  // never activates it again when it is shown anew: do what a window
  // manager would.
  if (QApplication::activeWindow() != window && QGuiApplication::focusWindow() == window->windowHandle())
    QApplication::setActiveWindow(window);
  if (!QTest::qWaitFor([window] { return QApplication::activeWindow() == window; })) return false;
  if (first) first->setFocus(Qt::OtherFocusReason);
  return true;
}

namespace {

// A combo box's line edit has no name of its own: it stands for its box.
QString NameOf(QWidget* w) {
  while (w && w->objectName().isEmpty()) w = w->parentWidget();
  return w ? w->objectName() : QStringLiteral("<none>");
}

}  // namespace

QStringList TabWalk(int presses) {
  QStringList names;
  for (int i = 0; i < presses; ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) break;
    QTest::keyClick(focus, Qt::Key_Tab);
    names << NameOf(QApplication::focusWidget());
  }
  return names;
}

void TypeText(QWidget* widget, const QString& text) {
  for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace kavo::test

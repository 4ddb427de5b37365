// Drives a window by real key events, as a user at the keyboard does.
#pragma once

#include <QStringList>

class QWidget;

namespace kavo::test {

// Shows `window`, waits until it is active and gives `first` the focus.
bool ShowActive(QWidget* window, QWidget* first);
// Presses Tab `presses` times on whatever has the focus and returns the
// object name of the focus after each press (a box's line edit counts as
// its box).
QStringList TabWalk(int presses);
// Types `text` into `widget` one key event per character; unlike
// QTest::keyClicks it also takes characters beyond ASCII ("５．６").
void TypeText(QWidget* widget, const QString& text);

}  // namespace kavo::test

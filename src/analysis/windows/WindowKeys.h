// The keys every analysis window answers alike.
#pragma once

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace kavo {

// Return on a button presses it, anywhere else it runs the window's command
// (`run`); Escape closes the window. False for any other key.
template <class Run>
bool TakeAnalysisKey(QWidget& window, QKeyEvent* event, Run run) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(window.focusWidget())) button->click();
    else run();
    return true;
  }
  if (event->key() == Qt::Key_Escape) {
    window.close();
    return true;
  }
  return false;
}

}  // namespace kavo

#include "messages/StatusPanels.h"

#include <QLabel>

namespace kavo {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QStringLiteral("StatusBar1"));
  setSizeGripEnabled(false);
  for (int i = 0; i < kPanelCount; ++i) {
    auto* panel = new QLabel(this);
    panel->setObjectName(QStringLiteral("Panel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);  // unit texts are data, never markup
    panel->setFixedWidth(kInitialWidth);
    // Stretch 0 keeps every panel at its own width, packed from the left.
    addWidget(panel, 0);
    panels_[static_cast<std::size_t>(i)] = panel;
  }
}

QString StatusPanels::PanelText(int index) const {
  if (index < 0 || index >= kPanelCount) return {};
  return panels_[static_cast<std::size_t>(index)]->text();
}

int StatusPanels::PanelWidth(int index) const {
  if (index < 0 || index >= kPanelCount) return 0;
  return panels_[static_cast<std::size_t>(index)]->minimumWidth();
}

void StatusPanels::SetPanel(int index, const QString& text, int width) {
  if (index < 0 || index >= kPanelCount) return;
  QLabel* panel = panels_[static_cast<std::size_t>(index)];
  panel->setText(text);
  panel->setFixedWidth(width < 0 ? 0 : width);
}

}  // namespace kavo

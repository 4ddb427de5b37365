#include "messages/StatusPanels.h"

#include <QLabel>
#include <algorithm>

namespace kavo {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QStringLiteral("StatusBar1"));
  setSizeGripEnabled(false);
  for (int i = 0; i < kPanelCount; ++i) {
    auto* panel = new QLabel(this);
    panel->setObjectName(QStringLiteral("Panel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);  // unit texts are data, never markup
    // Fixed in both directions, a label does not ask the bar for a new
    // layout when only its text changes: a sweep rewrites panel 2 on every
    // point, and the other panels need not be laid out and painted again.
    panel->setFixedSize(kInitialWidth, panel->sizeHint().height());
    // Stretch 0 keeps every panel at its own width, packed from the left.
    addWidget(panel, 0);
    panels_[static_cast<std::size_t>(i)] = panel;
  }
  showTimer_.setSingleShot(true);
  connect(&showTimer_, &QTimer::timeout, this, &StatusPanels::ShowPending);
}

QString StatusPanels::PanelText(int index) const {
  if (index < 0 || index >= kPanelCount) return {};
  const Latest& latest = latest_[static_cast<std::size_t>(index)];
  return latest.pending ? latest.text : panels_[static_cast<std::size_t>(index)]->text();
}

int StatusPanels::PanelWidth(int index) const {
  if (index < 0 || index >= kPanelCount) return 0;
  const Latest& latest = latest_[static_cast<std::size_t>(index)];
  if (latest.pending) return std::max(latest.widthOf(font(), latest.text), 0);
  return panels_[static_cast<std::size_t>(index)]->minimumWidth();
}

void StatusPanels::SetPanelText(int index, const QString& text, WidthRule widthOf) {
  if (index < 0 || index >= kPanelCount || !widthOf) return;
  Latest& latest = latest_[static_cast<std::size_t>(index)];
  latest.text = text;
  latest.widthOf = widthOf;
  if (latest.shown.isValid() && latest.shown.elapsed() < kShowInterval) {
    latest.pending = true;
    if (!showTimer_.isActive()) showTimer_.start(static_cast<int>(kShowInterval - latest.shown.elapsed()));
    return;
  }
  Show(index);
}

void StatusPanels::Show(int index) {
  Latest& latest = latest_[static_cast<std::size_t>(index)];
  latest.pending = false;
  SetPanel(index, latest.text, latest.widthOf(font(), latest.text));
  latest.shown.start();
}

void StatusPanels::ShowPending() {
  for (int i = 0; i < kPanelCount; ++i)
    if (latest_[static_cast<std::size_t>(i)].pending) Show(i);
}

void StatusPanels::SetPanel(int index, const QString& text, int width) {
  if (index < 0 || index >= kPanelCount) return;
  QLabel* panel = panels_[static_cast<std::size_t>(index)];
  if (panel->text() != text) panel->setText(text);
  const int w = width < 0 ? 0 : width;
  if (panel->minimumWidth() != w || panel->maximumWidth() != w) panel->setFixedWidth(w);
}

void StatusPanels::SetPanelToolTip(int index, const QString& text) {
  if (index < 0 || index >= kPanelCount) return;
  panels_[static_cast<std::size_t>(index)]->setToolTip(text);
}

}  // namespace kavo

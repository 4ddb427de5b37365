// The main window's status bar with classic fixed-width panels. QStatusBar
// only knows loose widgets, so each panel is a label of a width set by its
// writer, placed left to right.
#pragma once

#include <QStatusBar>
#include <array>

class QLabel;

namespace kavo {

class StatusPanels : public QStatusBar {
  Q_OBJECT

 public:
  static constexpr int kPanelCount = 3;
  static constexpr int kInitialWidth = 50;

  explicit StatusPanels(QWidget* parent = nullptr);

  int PanelCount() const { return kPanelCount; }
  // Empty text / 0 for an index outside 0..PanelCount()-1.
  QString PanelText(int index) const;
  int PanelWidth(int index) const;
  // Sets text and width together; an index outside the panels is ignored,
  // a negative width is taken as 0.
  void SetPanel(int index, const QString& text, int width);

 private:
  std::array<QLabel*, kPanelCount> panels_{};
};

}  // namespace kavo

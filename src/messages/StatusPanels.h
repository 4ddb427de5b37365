// The main window's status bar with classic fixed-width panels. QStatusBar
// only knows loose widgets, so each panel is a label of a width set by its
// writer, placed left to right.
#pragma once

#include <QElapsedTimer>
#include <QStatusBar>
#include <QTimer>
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
  // The text shown when the pointer rests on a panel (empty for none).
  void SetPanelToolTip(int index, const QString& text);

  // Shows `text` at the width widthOf(font(), text). Writes to one panel
  // closer together than kShowInterval ms (a sweep's read-outs, one per
  // point) are shown together: the latest, at the end of the interval, and
  // its width is measured then. PanelText and PanelWidth see the latest.
  using WidthRule = int (*)(const QFont& font, const QString& text);
  void SetPanelText(int index, const QString& text, WidthRule widthOf);
  static constexpr int kShowInterval = 100;

 private:
  void ShowPending();
  void Show(int index);

  std::array<QLabel*, kPanelCount> panels_{};
  struct Latest {
    QString text;
    WidthRule widthOf = nullptr;
    bool pending = false;
    QElapsedTimer shown;  // since the panel last changed on screen
  };
  std::array<Latest, kPanelCount> latest_{};
  QTimer showTimer_;
};

}  // namespace kavo

// A sweep rewrites the read-out panel for every point. The bar must then
// stay quiet: the other panels are not painted again, the read-out panel is
// painted a few times a second rather than per point, and the latest
// read-out is what the panel ends up showing.
#include <QElapsedTimer>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <gtest/gtest.h>
#include <map>

#include "EventPump.h"
#include "messages/Ka_status.h"
#include "messages/StatusPanels.h"
#include "platform/desktop/Look.h"

namespace kavo {
namespace {

struct EventCounter : QObject {
  std::map<std::pair<QObject*, QEvent::Type>, int> counts;
  bool eventFilter(QObject* watched, QEvent* e) override {
    ++counts[{watched, e->type()}];
    return false;
  }
  int Count(QObject* o, QEvent::Type t) const {
    auto it = counts.find({o, t});
    return it == counts.end() ? 0 : it->second;
  }
};

TEST(QuietStatusBar, ReadOutsPerPointRepaintOnlyTheirPanelAFewTimesASecond) {
  QWidget window;
  window.setFont(ProgramFont(12));
  auto* layout = new QHBoxLayout(&window);
  auto* bar = new StatusPanels;
  layout->addWidget(bar);
  window.resize(900, 30);
  KStatus writer(bar, QStringLiteral("KA-V"), 2);
  writer.ShowUnitInfo(QStringLiteral("KA-V"), QStringLiteral("0815"), QStringLiteral("2.10"));
  writer.ShowReceiving();
  window.show();
  test::PumpFor(150);

  QLabel* panels[3];
  for (int i = 0; i < 3; ++i) panels[i] = bar->findChild<QLabel*>(QStringLiteral("Panel%1").arg(i));
  EventCounter counter;
  for (QObject* o : {static_cast<QObject*>(bar), static_cast<QObject*>(panels[0]), static_cast<QObject*>(panels[1]),
                     static_cast<QObject*>(panels[2])})
    o->installEventFilter(&counter);

  QElapsedTimer clock;
  clock.start();
  QString last;
  for (int point = 0; point < 50; ++point) {  // 50 points a second, as a sweep sends them
    last = QStringLiteral("周波数：%1[Hz] / 8.%2[Ω] / -1.%3[deg]").arg(100 + point).arg(point % 10).arg(point % 7);
    writer.SetPanelText(last, 2);
    EXPECT_EQ(bar->PanelText(2), last);
    test::PumpFor(20);
  }
  const qint64 writing = clock.elapsed();
  test::PumpFor(2 * StatusPanels::kShowInterval);

  EXPECT_EQ(panels[2]->text(), last);
  EXPECT_EQ(bar->PanelWidth(2), KStatus::PanelWidthFor(bar->font(), last));
  // The bar is laid out (and so painted whole) only when the read-out's
  // width changes, not for a new text of the same width.
  const int shows = static_cast<int>(writing / StatusPanels::kShowInterval) + 3;
  const int layouts = counter.Count(bar, QEvent::LayoutRequest);
  EXPECT_LE(layouts, shows);
  EXPECT_LE(counter.Count(panels[0], QEvent::Paint), layouts);
  EXPECT_LE(counter.Count(panels[1], QEvent::Paint), layouts);
  EXPECT_LE(counter.Count(panels[2], QEvent::Paint), shows);
  EXPECT_GE(counter.Count(panels[2], QEvent::Paint), 1);
}

}  // namespace
}  // namespace kavo

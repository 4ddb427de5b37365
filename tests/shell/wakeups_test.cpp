// After a start that ended in a real message box, the idle program must
// sleep: no idle pass, posted event or zero timer may be left behind by the
// box's own event loop or by the idle handler's guard against passes inside
// a box.
#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "MainProbe.h"
#include "MainWindowFixture.h"
#include "PtyUnit.h"

namespace kavo::test {
namespace {

int AwakeSignalsOver(int ms) {
  int count = 0;
  const auto counting =
      QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] { ++count; });
  PumpFor(ms);
  QObject::disconnect(counting);
  return count;
}

// Wake-ups of the event loop while idling for `ms`, less those of the wait
// itself (its start and the timer that ends it).
int WakeUpsOver(int ms) {
  const int ownWakeUps = AwakeSignalsOver(1);
  return AwakeSignalsOver(ms) - ownWakeUps;
}

class WakeUpTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    SetModal(nullptr);  // real boxes, each with its own event loop
    // Answers every box as a user would, by clicking its default button.
    QObject::connect(&dismisser, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      boxTexts << box->text();
      QAbstractButton* button = box->defaultButton() ? box->defaultButton() : box->buttons().value(0);
      if (button) button->click();
    });
  }
  void TearDown() override {
    dismisser.stop();
    SetModal(&modal.seam);
    MainWindowTest::TearDown();
    qunsetenv("KAVO_COM1");
  }
  // Clicks "測定開始" from the event loop and waits until the start has ended.
  void StartAndWaitForTheBox() {
    const int before = boxTexts.size();
    dismisser.start(20);
    QMetaObject::invokeMethod(TFormMainProbe(main).MStartBtn(), "click", Qt::QueuedConnection);
    ASSERT_TRUE(PumpUntil([&] { return boxTexts.size() > before && TFormMainProbe(main).MStartBtn()->isEnabled(); }, 15000));
    dismisser.stop();
    PumpFor(100);  // the box's aftermath: focus, repaint
  }

  QTimer dismisser;
  QStringList boxTexts;
};

TEST_F(WakeUpTest, NoWakeUpsAfterABoxShownFromAnIdlePass) {
  QDir(dir.Root()).mkdir(QStringLiteral("KAVO_ini.prf"));  // the first pass warns
  dismisser.start(20);
  main = CreateForms();
  main->show();
  ASSERT_TRUE(PumpUntil([&] { return !boxTexts.isEmpty() && TFormMainProbe(main).settingsPending() == 0; }));
  EXPECT_EQ(boxTexts, QStringList{QStringLiteral("初期設定ファイルを保存できませんでした")});
  dismisser.stop();
  PumpFor(100);
  EXPECT_EQ(WakeUpsOver(1000), 0);
}

TEST_F(WakeUpTest, NoWakeUpsAfterTheBoxesOfAFailedStart) {
  Start();
  main->show();
  PumpFor(100);
  EXPECT_EQ(WakeUpsOver(1000), 0);  // idle before any box

  // The port cannot be opened.
  qputenv("KAVO_COM1", QFile::encodeName(dir.Path(QStringLiteral("no-such-tty"))));
  StartAndWaitForTheBox();
  EXPECT_EQ(boxTexts.last(), QStringLiteral("COMポートが開けませんでした。COM番号を確認して下さい。"));
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_EQ(WakeUpsOver(1000), 0);

  // The port opens, but no unit answers.
  kavsim::PtyUnit unit;
  unit.Config().fault = kavsim::Fault::Silence;
  ASSERT_TRUE(unit.Start());
  qputenv("KAVO_COM1", QByteArray::fromStdString(unit.SlavePath()));
  StartAndWaitForTheBox();
  EXPECT_EQ(boxTexts.last(), QStringLiteral("KA-Vユニットが見つかりませんでした。COM番号を確認して下さい。"));
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_EQ(WakeUpsOver(1000), 0);
  EXPECT_EQ(boxTexts.size(), 2);
}

}  // namespace
}  // namespace kavo::test

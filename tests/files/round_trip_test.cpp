// A measurement from the simulated unit kept in a file and brought back:
// saved, closed, opened again, saved again.
#include <QAction>
#include <QComboBox>
#include <QPushButton>

#include "MainProbe.h"
#include "MainWindowFixture.h"
#include "PtyUnit.h"
#include "UnitModel.h"

namespace kavo::test {
namespace {

class RoundTripTest : public MainWindowTest {
 protected:
  void TearDown() override {
    qunsetenv("KAVO_COM1");
    MainWindowTest::TearDown();
  }
  void StartUnit(const char* preset) {
    unit = std::make_unique<kavsim::PtyUnit>();
    unit->Config().paced = false;
    ASSERT_TRUE(kavsim::FindPreset(preset, unit->Config().model));
    ASSERT_TRUE(unit->Start());
    qputenv("KAVO_COM1", QByteArray::fromStdString(unit->SlavePath()));
  }
  bool Measure(int band) {
    TFormMainProbe(main).ComboBox2()->setCurrentIndex(band - 1);
    main->MStartBtnClick();
    return PumpUntil([this] { return TFormMainProbe(main).SweepOver(); }, 10000) &&
           TFormMainProbe(main).mainData().valid == 1;
  }
  void Save(const QString& path) {
    modal->fileAnswers = {path};
    main->MenuFile_SaveClick();
  }
  std::unique_ptr<kavsim::PtyUnit> unit;
};

bool SameValues(const PointValues& a, const PointValues& b) {
  for (int k = 0; k < MaxPoints; ++k)
    if (a.R[k] != b.R[k] || a.Theta[k] != b.Theta[k] || a.Freq[k] != b.Freq[k]) return false;
  return a.valid == b.valid;
}

TEST_F(RoundTripTest, MeasuredSavedClosedAndOpenedAgainIsTheSame) {
  StartUnit("woofer65");
  Start();
  ASSERT_TRUE(Measure(1));
  const PointValues raw = TFormMainProbe(main).rawValues(), ave = TFormMainProbe(main).aveValues();
  const std::string dateTime = TFormMainProbe(main).mainData().dateTime;
  const QString title = QStringLiteral("KAVO v2.1");

  const QString first = dir.Path(QStringLiteral("woofer"));
  Save(first);
  const QString saved = first + QStringLiteral(".DTA");
  EXPECT_EQ(TFormMainProbe(main).dataSaved(), 1);
  EXPECT_EQ(main->windowTitle(), title + QStringLiteral(" / ") + saved);
  const QByteArray bytes = ReadAll(saved);
  EXPECT_TRUE(bytes.startsWith("DataFile:KA-V\r\nSN:0815\r\nDateTime:" + QByteArray::fromStdString(dateTime) +
                               "\r\nCommPortNum:1\r\nBand:1\r\nDNum:400\r\n"));
  EXPECT_TRUE(bytes.endsWith("\r\nEND:\r\n"));
  EXPECT_EQ(bytes.count("\r\n"), 407);

  main->MenuFile_CloseClick();  // saved: no question
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 0);
  EXPECT_EQ(main->windowTitle(), title);

  TFormMainProbe(main).UnitSerial() = "0000";
  TFormMainProbe(main).ComboBox2()->setCurrentIndex(3);
  modal->fileAnswers = {saved};
  main->MenuFile_OpenClick();
  ASSERT_EQ(TFormMainProbe(main).mainData().valid, 1);
  EXPECT_EQ(TFormMainProbe(main).UnitSerial(), "0815");
  EXPECT_EQ(TFormMainProbe(main).ComboBox2()->currentIndex(), 0);
  EXPECT_EQ(main->windowTitle(), title + QStringLiteral(" / ") + saved);
  EXPECT_EQ(TFormMainProbe(main).mainData().dateTime, dateTime);
  EXPECT_TRUE(SameValues(TFormMainProbe(main).rawValues(), raw));
  EXPECT_TRUE(SameValues(TFormMainProbe(main).aveValues(), ave));

  const QString again = dir.Path(QStringLiteral("again.DTA"));
  Save(again);
  EXPECT_EQ(ReadAll(again), bytes);
  EXPECT_TRUE(modal->MessageTexts().isEmpty());
  // Nothing to lose: quitting asks nothing.
  EXPECT_TRUE(main->mConfirmQuit());
  EXPECT_TRUE(modal->MessageTexts().isEmpty());
}

}  // namespace
}  // namespace kavo::test

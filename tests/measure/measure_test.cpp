// Whole measurements through the real main window against a unit on a
// pseudo-terminal: the simulated KA-V unit or a scripted one.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <sys/stat.h>
#include <unistd.h>

#include "MainProbe.h"
#include "MainWindowFixture.h"
#include "PtyPair.h"
#include "PtyUnit.h"
#include "ScopedFileModes.h"
#include "ScriptedUnit.h"
#include "Records.h"
#include "UnitModel.h"
#include "data/Kavo_file.h"
#include "messages/StatusPanels.h"

namespace kavo::test {
namespace {

using Commands = std::vector<std::string>;

class MeasureTest : public MainWindowTest {
 protected:
  void TearDown() override {
    qunsetenv("KAVO_COM1");
    qunsetenv("KAVO_COM2");
    MainWindowTest::TearDown();
  }
  // Starts the simulated unit (unpaced unless said otherwise) as COM1.
  kavsim::PtyUnit& StartUnit(kavsim::Fault fault = kavsim::Fault::None, bool paced = false, int faultPoint = 5) {
    unit = std::make_unique<kavsim::PtyUnit>();
    unit->Config().paced = paced;
    unit->Config().fault = fault;
    unit->Config().faultPoint = faultPoint;
    EXPECT_TRUE(unit->Start());
    qputenv("KAVO_COM1", QByteArray::fromStdString(unit->SlavePath()));
    return *unit;
  }
  void UseScripted(ScriptedUnit& scripted) {
    ASSERT_TRUE(scripted.Ok());
    qputenv("KAVO_COM1", QByteArray::fromStdString(scripted.Path()));
  }
  QString Panel(int i) const { return TFormMainProbe(main).StatusBar1()->PanelText(i); }
  bool Idle() const {
    return TFormMainProbe(main).MStartBtn()->text() == QStringLiteral("測定開始") && TFormMainProbe(main).QuitBtn()->isEnabled() &&
           TFormMainProbe(main).ComboBox2()->isEnabled() && TFormMainProbe(main).MenuFile()->menuAction()->isEnabled() &&
           TFormMainProbe(main).MenuHelp()->menuAction()->isEnabled() && TFormMainProbe(main).MStartBtn()->isEnabled();
  }
  // Presses the start button and runs the loop until the sweep is over.
  bool Measure(int band, int timeoutMs = 10000) {
    TFormMainProbe(main).ComboBox2()->setCurrentIndex(band - 1);
    main->MStartBtnClick();
    return PumpUntil([this] { return TFormMainProbe(main).SweepOver(); }, timeoutMs);
  }

  std::unique_ptr<kavsim::PtyUnit> unit;
};

const Commands ProbeAndIdentify = {"?", "U?", "ME", "U?", "V?", "SN?", "M?"};

Commands With(Commands head, std::initializer_list<std::string> tail) {
  head.insert(head.end(), tail);
  return head;
}

// A sweep under tolerance rules: the verdict takes the state panel's place,
// short enough that the read-out panel stays in a window of the default width.
TEST_F(MeasureTest, TheVerdictAfterASweepLeavesEveryPanelInTheWindow) {
  StartUnit();
  Start();
  main->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  kavsim::DriverModel other;
  other.Fs = 49;
  MeasureData data;
  ASSERT_TRUE(FillFromUnit(data, other));
  SettingsRecord settings;
  ASSERT_TRUE(KAVO_File().WriteDataFile(dir.Path("ref.DTA"), "0815", &settings, &data));
  ASSERT_TRUE(WriteAll(dir.Path("rules.kqc"), "reference = ref.DTA\nR = 10%\ntheta = 5 deg\nFs = 3%\n"));
  modal->fileAnswers.push_back(dir.Path("rules.kqc"));
  QTest::keyClick(main, Qt::Key_R, Qt::AltModifier);
  ASSERT_TRUE(PumpUntil([&] { return QApplication::activePopupWidget() == TFormMainProbe(main).MenuRef(); }));
  QTest::keyClick(TFormMainProbe(main).MenuRef(), Qt::Key_T);
  ASSERT_TRUE(PumpUntil([&] { return QApplication::activePopupWidget() == nullptr; }));
  ASSERT_TRUE(Measure(1));
  EXPECT_TRUE(Panel(1).startsWith(QStringLiteral("不合格：R が "))) << Panel(1).toStdString();
  StatusPanels* bar = TFormMainProbe(main).StatusBar1();
  int widths = 0;
  for (int i = 0; i < bar->PanelCount(); ++i) widths += bar->PanelWidth(i);
  EXPECT_LE(widths, main->width()) << Panel(0).toStdString() << " | " << Panel(1).toStdString() << " | "
                                   << Panel(2).toStdString();
}

TEST_F(MeasureTest, FullBandSweepFillsEverySlotAndFinishes) {
  StartUnit();
  Start();
  ASSERT_TRUE(Measure(1));

  EXPECT_EQ(Panel(1), QStringLiteral("測定終了しました"));
  EXPECT_EQ(Panel(0), QStringLiteral("KA-V/ SN=0815/ 2.10"));
  EXPECT_EQ(Panel(2), QStringLiteral("周波数：20.00[Hz]...20.000[kHz]"));
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 1);
  EXPECT_EQ(TFormMainProbe(main).dataSaved(), 0);
  EXPECT_EQ(TFormMainProbe(main).RxCount(), 7603);
  EXPECT_EQ(TFormMainProbe(main).PointCount(), 400);
  EXPECT_EQ(std::string(TFormMainProbe(main).RxBuffer() + 7600, 2), "OK");
  for (int k = 0; k < 400; ++k) {
    ASSERT_EQ(std::string(TFormMainProbe(main).mainData().points[k].c, 18), std::string(TFormMainProbe(main).RxBuffer() + k * 19, 18)) << k;
    ASSERT_EQ(TFormMainProbe(main).mainData().points[k].c[18], '\0');
  }
  EXPECT_TRUE(unit->WaitForCommands(ProbeAndIdentify.size() + 2, 1000));
  EXPECT_EQ(unit->Commands(), With(ProbeAndIdentify, {"M1", "ME"}));
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_EQ(TFormMainProbe(main).UnitConnected(), 0);
  EXPECT_TRUE(Idle());
  EXPECT_TRUE(modal->calls.empty());
  // The resonance of the default driver (42 Hz, about 62 ohm) sets a 100-ohm scale.
  EXPECT_EQ(TFormMainProbe(main).graphScale().rMax, 100.0f);
  EXPECT_EQ(main->windowTitle(), QStringLiteral("KAVO v2.1"));
}

TEST_F(MeasureTest, EachBandFillsItsOwnSlots) {
  StartUnit();
  Start();
  for (int band = 2; band <= 4; ++band) {
    unit->ClearCommands();
    TFormMainProbe(main).dataSaved() = 1;  // no question between the sweeps
    ASSERT_TRUE(Measure(band)) << band;
    const int first = BandFirstSlot(band), last = BandLastSlot(band);
    EXPECT_EQ(TFormMainProbe(main).mainData().valid, 1) << band;
    EXPECT_EQ(TFormMainProbe(main).mainData().band, band);
    EXPECT_EQ(TFormMainProbe(main).RxCount(), BandPointCount(band) * 19 + 3);
    EXPECT_EQ(TFormMainProbe(main).mainData().points[first].c[18], '\0');
    EXPECT_EQ(TFormMainProbe(main).mainData().points[last].c[18], '\0');
    // Slots outside the band stay cleared.
    const int outside = band == 4 ? 0 : 399;
    EXPECT_EQ(std::string(TFormMainProbe(main).mainData().points[outside].c, 19), std::string(19, '0')) << band;
    EXPECT_EQ(TFormMainProbe(main).rawValues().R[outside], -1.0f);
    EXPECT_GT(TFormMainProbe(main).rawValues().R[first], 0.0f);
    const std::string bandCommand = "M" + std::to_string(band);
    EXPECT_TRUE(unit->WaitForCommands(ProbeAndIdentify.size() + 2, 1000));
    EXPECT_EQ(unit->Commands(), With(ProbeAndIdentify, {bandCommand, "ME"}));
  }
}

TEST_F(MeasureTest, PortThatCannotBeOpened) {
  qputenv("KAVO_COM1", "/nonexistent/tty");
  Start();
  main->MStartBtnClick();
  EXPECT_EQ(Panel(0), QStringLiteral("通信ポートが開けません"));
  ASSERT_EQ(modal->MessageTexts(), QStringList{QStringLiteral("COMポートが開けませんでした。COM番号を確認して下さい。")});
  EXPECT_EQ(modal->calls[0].icon, MsgIcon::Stop);
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_TRUE(Idle());
}

TEST_F(MeasureTest, PortThatThisUserMayNotOpenNamesTheDeviceAndTheCure) {
  // Reached through a link, as ports/COM<n> is: the box names the device
  // behind it and advises dialout only for a device of that group.
  PtyPair port;
  ASSERT_TRUE(port.Ok());
  ASSERT_EQ(chmod(port.Path().c_str(), 0), 0);
  const QString link = dir.Path(QStringLiteral("COM1"));
  ASSERT_TRUE(QFile::link(QString::fromStdString(port.Path()), link));
  qputenv("KAVO_COM1", QFile::encodeName(link));
  Start();
  for (const gid_t group : {gid_t{20}, gid_t{5}}) {  // Debian's dialout and tty
    SCOPED_TRACE(group);
    ASSERT_EQ(chown(port.Path().c_str(), 0, group), 0);
    modal->calls.clear();
    {
      ScopedFileModes modes;  // root meets the mode as a user outside the group would
      ASSERT_TRUE(modes.Binding());
      main->MStartBtnClick();
    }
    EXPECT_EQ(Panel(0), QStringLiteral("通信ポートが開けません"));
    const QStringList lines = modal->MessageTexts().value(0).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2) << modal->MessageTexts().join('|').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("COMポートが開けませんでした。COM番号を確認して下さい。"));
    EXPECT_TRUE(lines[1].startsWith(QString::fromStdString(port.Path()) + QStringLiteral(" を開く権限がありません")))
        << lines[1].toStdString();
    EXPECT_EQ(lines[1].contains(QStringLiteral("dialout")) && lines[1].contains(QStringLiteral("ログインし直して")), group == 20);
    EXPECT_EQ(lines[1].contains(QStringLiteral("グループ tty")), group == 5) << lines[1].toStdString();
    EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
    EXPECT_TRUE(Idle());
  }
}

TEST_F(MeasureTest, ProbeFailuresReportTheMissingUnit) {
  for (kavsim::Fault fault : {kavsim::Fault::Silence, kavsim::Fault::WrongModel}) {
    StartUnit(fault);
    if (!main) Start();
    modal->calls.clear();
    main->MStartBtnClick();
    EXPECT_EQ(Panel(0), QStringLiteral("KA-V が見つかりませんでした"));
    EXPECT_EQ(modal->MessageTexts(),
              QStringList{QStringLiteral("KA-Vユニットが見つかりませんでした。COM番号を確認して下さい。")});
    EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
    EXPECT_EQ(TFormMainProbe(main).UnitConnected(), 0);
    EXPECT_TRUE(Idle());
  }
}

TEST_F(MeasureTest, IdentificationFailuresShowTheirStatusOnly) {
  struct Case {
    kavsim::Fault fault;
    const char* text;
  };
  const Case cases[] = {{kavsim::Fault::LowerCaseModel, "KA-V ではありません"},
                        {kavsim::Fault::Uncalibrated, "KA-V 未校正です"}};
  for (const Case& c : cases) {
    StartUnit(c.fault);
    if (!main) Start();
    main->MStartBtnClick();
    EXPECT_EQ(Panel(1), QString::fromUtf8(c.text));
    EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
    EXPECT_EQ(TFormMainProbe(main).UnitConnected(), 0);
    EXPECT_TRUE(Idle());
  }
  // A unit that passes the probe but never answers "V?".
  ScriptedUnit mute([](const std::string& command) { return command == "V?" ? "" : HealthyAnswer(command); });
  UseScripted(mute);
  main->MStartBtnClick();
  EXPECT_EQ(Panel(1), QStringLiteral("KA-V 応答エラーです"));
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_TRUE(modal->MessageTexts().isEmpty());
  EXPECT_EQ(mute.Commands(), (Commands{"?", "U?", "ME", "U?", "V?"}));
}

TEST_F(MeasureTest, BandCommandUnansweredClosesThePort) {
  ScriptedUnit unit([](const std::string& command) { return command == "M1" ? "" : HealthyAnswer(command); });
  UseScripted(unit);
  Start();
  const std::string before = TFormMainProbe(main).mainData().dateTime;
  main->MStartBtnClick();
  EXPECT_EQ(Panel(1), QStringLiteral("コマンド送信エラーです"));
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_EQ(TFormMainProbe(main).UnitConnected(), 0);
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 0);
  EXPECT_NE(TFormMainProbe(main).mainData().dateTime, before);  // the data set was prepared, then left cleared
  EXPECT_TRUE(modal->MessageTexts().isEmpty());
  EXPECT_TRUE(Idle());
}

TEST_F(MeasureTest, RefusedOrMismatchedBandEndsTheStartAndTheNextUsesThePortChosenNow) {
  // The start ends cleanly: the unit told "ME", the port closed, the user told
  // why. The next start, with COM2 chosen meanwhile, connects there afresh.
  struct Case {
    const char* reply;  // to "M1"
    const char* message;
  };
  const char* const mismatch = "ユニットとアプリケーションのバージョンがミスマッチです";
  const Case cases[] = {{"NG  \r", "KA-Vユニットが測定を開始できませんでした。ユニットを確認して下さい。"},
                        {"XYZW\r", mismatch},
                        {"0090\r", mismatch}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    ScriptedUnit refusing([&](const std::string& command) { return command == "M1" ? c.reply : HealthyAnswer(command); });
    UseScripted(refusing);
    if (!main) Start();
    TFormMainProbe(main).settings().CommPortNum = 1;
    modal->calls.clear();
    main->MStartBtnClick();
    EXPECT_EQ(modal->MessageTexts(), QStringList{QString::fromUtf8(c.message)});
    EXPECT_EQ(refusing.Commands(), With(ProbeAndIdentify, {"M1", "ME"}));
    EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
    EXPECT_EQ(TFormMainProbe(main).UnitConnected(), 0);
    EXPECT_TRUE(Idle());

    kavsim::PtyUnit other;
    other.Config().paced = false;
    ASSERT_TRUE(other.Start());
    qputenv("KAVO_COM2", QByteArray::fromStdString(other.SlavePath()));
    TFormMainProbe(main).settings().CommPortNum = 2;
    ASSERT_TRUE(Measure(1));
    EXPECT_EQ(TFormMainProbe(main).mainData().valid, 1);
    EXPECT_TRUE(other.WaitForCommands(ProbeAndIdentify.size() + 2, 1000));
    EXPECT_EQ(other.Commands(), With(ProbeAndIdentify, {"M1", "ME"}));
    EXPECT_EQ(refusing.Commands().size(), ProbeAndIdentify.size() + 2);
    TFormMainProbe(main).dataSaved() = 1;  // no question before the next case
  }
}

TEST_F(MeasureTest, WrongPointCountIsAVersionMismatch) {
  StartUnit(kavsim::Fault::WrongCount);
  Start();
  TFormMainProbe(main).ComboBox2()->setCurrentIndex(1);
  main->MStartBtnClick();
  EXPECT_EQ(modal->MessageTexts(), QStringList{QStringLiteral("ユニットとアプリケーションのバージョンがミスマッチです")});
  EXPECT_EQ(modal->calls[0].icon, MsgIcon::Stop);
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_EQ(TFormMainProbe(main).UnitConnected(), 0);
  EXPECT_EQ(TFormMainProbe(main).Acquiring(), 0);
  EXPECT_TRUE(Idle());
}

TEST_F(MeasureTest, SilenceEndsTheSweepThroughTheWatchdog) {
  StartUnit(kavsim::Fault::Stall, false, 7);
  Start();
  TFormMainProbe(main).TimeoutMs() = 300;
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(Measure(1));
  EXPECT_GE(clock.elapsed(), 300);
  EXPECT_EQ(Panel(0), QStringLiteral("データ受信エラーです"));
  EXPECT_EQ(TFormMainProbe(main).PointCount(), 7);
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 0);
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_EQ(TFormMainProbe(main).UnitConnected(), 0);
  EXPECT_TRUE(Idle());
  EXPECT_TRUE(unit->WaitForCommands(ProbeAndIdentify.size() + 2, 1000));
  EXPECT_EQ(unit->Commands().back(), "ME");
}

TEST_F(MeasureTest, BrokenStreamsEndWithAReceiveError) {
  struct Case {
    kavsim::Fault fault;
    int points;  // records accepted before the end
  };
  const Case cases[] = {{kavsim::Fault::CrInRecord, 5}, {kavsim::Fault::BadClosing, 400}};
  for (const Case& c : cases) {
    StartUnit(c.fault);
    if (!main) Start();
    TFormMainProbe(main).TimeoutMs() = 60000;  // these must end by themselves, long before
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(Measure(1, 5000));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(Panel(0), QStringLiteral("データ受信エラーです")) << kavsim::FaultName(c.fault);
    EXPECT_EQ(TFormMainProbe(main).PointCount(), c.points);
    EXPECT_EQ(TFormMainProbe(main).mainData().valid, 0);
    EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
    EXPECT_TRUE(Idle());
  }
}

TEST_F(MeasureTest, ALineFeedOrNulInARecordIsAReceiveError) {
  // Such a record could be shown but never saved, so it breaks the sweep at
  // once, as a carriage return does; the slot keeps the bytes before it.
  for (const char bad : {'\n', '\0'}) {
    std::string stream = "0190\r";
    for (int n = 0; n < 3; ++n) stream += kavsim::EncodePoint(8.0, 10.0, kavsim::SlotFrequency(n)) + '\r';
    std::string broken = kavsim::EncodePoint(8.0, 10.0, kavsim::SlotFrequency(3));
    broken[9] = bad;
    stream += broken + '\r';
    for (int n = 4; n < 400; ++n) stream += kavsim::EncodePoint(8.0, 10.0, kavsim::SlotFrequency(n)) + '\r';
    ScriptedUnit scripted([&](const std::string& command) {
      return command == "M1" ? stream + "OK\r" : HealthyAnswer(command);
    });
    UseScripted(scripted);
    if (!main) Start();
    TFormMainProbe(main).TimeoutMs() = 60000;  // must end by itself, long before
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(Measure(1, 5000));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(Panel(0), QStringLiteral("データ受信エラーです")) << int(bad);
    EXPECT_EQ(TFormMainProbe(main).PointCount(), 3);
    EXPECT_EQ(std::string(TFormMainProbe(main).mainData().points[3].c, 9), broken.substr(0, 9));
    EXPECT_EQ(TFormMainProbe(main).mainData().valid, 0);
    EXPECT_EQ(TFormMainProbe(main).CompletionPending(), 0);
    EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
    EXPECT_TRUE(Idle());
  }
}

TEST_F(MeasureTest, ZeroDivisorStallsUntilTheWatchdog) {
  StartUnit(kavsim::Fault::ZeroDivisor, false, 9);
  Start();
  TFormMainProbe(main).TimeoutMs() = 400;
  ASSERT_TRUE(Measure(1));
  EXPECT_EQ(TFormMainProbe(main).PointCount(), 9);
  EXPECT_EQ(Panel(0), QStringLiteral("データ受信エラーです"));
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 0);
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
}

TEST_F(MeasureTest, AUnitThatKeepsSendingCannotOverrunTheBuffer) {
  // Announces the full band, then sends 600 records without a divisor: the
  // sweep stalls at the first one while the bytes keep coming.
  ScriptedUnit flood([](const std::string& command) {
    if (command != "M1") return HealthyAnswer(command);
    std::string bytes = "0190\r";
    for (int i = 0; i < 600; ++i) bytes += "0258012C00100A0000\r";
    return bytes;
  });
  UseScripted(flood);
  Start();
  TFormMainProbe(main).TimeoutMs() = 60000;
  ASSERT_TRUE(Measure(1, 20000));
  EXPECT_EQ(Panel(0), QStringLiteral("データ受信エラーです"));
  EXPECT_EQ(TFormMainProbe(main).RxCount(), RxBufferSize);
  EXPECT_EQ(TFormMainProbe(main).PointCount(), 0);
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_TRUE(Idle());
}

TEST_F(MeasureTest, AVanishingDeviceEndsTheSweepWithoutWaitingForever) {
  // Paced, so that the line goes down mid-sweep and not under the band reply.
  StartUnit(kavsim::Fault::HangUp, true, 20);
  Start();
  TFormMainProbe(main).TimeoutMs() = 3000;
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(Measure(1, 8000));
  // Well before the watchdog: the lost line is noticed at once.
  EXPECT_LT(clock.elapsed(), 2000);
  EXPECT_EQ(Panel(0), QStringLiteral("データ受信エラーです"));
  EXPECT_LE(TFormMainProbe(main).PointCount(), 20);
  EXPECT_GE(TFormMainProbe(main).PointCount(), 15);
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_EQ(TFormMainProbe(main).UnitConnected(), 0);
  EXPECT_TRUE(Idle());
}

TEST_F(MeasureTest, StopButtonEndsARunningSweep) {
  StartUnit(kavsim::Fault::None, /*paced=*/true);
  Start();
  main->MStartBtnClick();
  EXPECT_EQ(TFormMainProbe(main).MStartBtn()->text(), QStringLiteral("測定停止"));
  EXPECT_FALSE(TFormMainProbe(main).QuitBtn()->isEnabled());
  EXPECT_FALSE(TFormMainProbe(main).ComboBox2()->isEnabled());
  EXPECT_FALSE(TFormMainProbe(main).MenuGraph()->menuAction()->isEnabled());
  EXPECT_TRUE(TFormMainProbe(main).MStartBtn()->isEnabled());
  EXPECT_EQ(Panel(1), QStringLiteral("測定中です"));
  ASSERT_TRUE(PumpUntil([&] { return TFormMainProbe(main).PointCount() >= 10; }));

  main->MStartBtnClick();
  EXPECT_EQ(Panel(1), QStringLiteral("測定中止しました"));
  EXPECT_EQ(TFormMainProbe(main).Acquiring(), 0);
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_EQ(TFormMainProbe(main).UnitConnected(), 0);
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 0);
  EXPECT_TRUE(Idle());
  EXPECT_EQ(unit->Commands().back(), "ME");

  // A new start clears the partial data and connects from scratch.
  const int partial = TFormMainProbe(main).PointCount();
  ASSERT_GE(partial, 10);
  unit->ClearCommands();
  main->MStartBtnClick();
  EXPECT_EQ(TFormMainProbe(main).PointCount(), 0);
  EXPECT_EQ(std::string(TFormMainProbe(main).mainData().points[0].c, 19), std::string(19, '0'));
  EXPECT_EQ(unit->Commands(), With(ProbeAndIdentify, {"M1"}));
  main->MStartBtnClick();  // stop again
}

TEST_F(MeasureTest, StopWithAnUnresponsiveUnitGivesUpAfterThreeTries) {
  // Streams ten records, then answers nothing at all.
  std::atomic<bool> sweeping{false};
  ScriptedUnit deaf([&](const std::string& command) -> std::string {
    if (sweeping) return "";
    if (command != "M1") return HealthyAnswer(command);
    sweeping = true;
    std::string bytes = "0190\r";
    for (int i = 0; i < 10; ++i) bytes += "0258012C00100A0001\r";
    return bytes;
  });
  UseScripted(deaf);
  Start();
  main->MStartBtnClick();
  ASSERT_TRUE(PumpUntil([&] { return TFormMainProbe(main).PointCount() >= 10; }));
  QElapsedTimer clock;
  clock.start();
  main->MStartBtnClick();
  const qint64 took = clock.elapsed();
  EXPECT_GE(took, 850);
  EXPECT_LT(took, 2000);
  EXPECT_EQ(Panel(1), QStringLiteral("測定中止しました"));
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_EQ(TFormMainProbe(main).UnitConnected(), 0);  // cleared although the unit never answered
  EXPECT_TRUE(Idle());
  const Commands commands = deaf.Commands();
  ASSERT_GE(commands.size(), 3u);
  EXPECT_EQ(Commands(commands.end() - 3, commands.end()), (Commands{"ME", "ME", "ME"}));
}

TEST_F(MeasureTest, ClosingTheWindowDuringASweepStopsTheUnitFirst) {
  StartUnit(kavsim::Fault::None, /*paced=*/true);
  Start();
  main->show();
  main->MStartBtnClick();
  ASSERT_TRUE(PumpUntil([&] { return TFormMainProbe(main).PointCount() >= 3; }));
  QFile::remove(SettingsFile());
  main->close();
  EXPECT_FALSE(main->isVisible());
  EXPECT_EQ(TFormMainProbe(main).PortOpen(), 0);
  EXPECT_EQ(TFormMainProbe(main).Acquiring(), 0);
  EXPECT_EQ(unit->Commands().back(), "ME");
  EXPECT_TRUE(QFile::exists(SettingsFile()));
}

TEST_F(MeasureTest, RScaleGrowsDuringTheSweepAndIsRecomputedAtTheEnd) {
  // A driver whose resonance peak (about 280 ohm) passes every step.
  unit = std::make_unique<kavsim::PtyUnit>();
  unit->Config().paced = false;
  unit->Config().model = kavsim::DriverModel{8.0, 0.2e-3, 60.0, 10.0, 0.3};
  ASSERT_TRUE(unit->Start());
  qputenv("KAVO_COM1", QByteArray::fromStdString(unit->SlavePath()));
  Start();
  std::vector<float> seen;
  main->MStartBtnClick();
  EXPECT_EQ(TFormMainProbe(main).graphScale().rMax, 25.0f);
  ASSERT_TRUE(PumpUntil([&] {
    if (seen.empty() || seen.back() != TFormMainProbe(main).graphScale().rMax) seen.push_back(TFormMainProbe(main).graphScale().rMax);
    return TFormMainProbe(main).SweepOver();
  }));
  ASSERT_EQ(TFormMainProbe(main).mainData().valid, 1);
  ASSERT_GE(seen.size(), 2u);
  for (size_t i = 1; i + 1 < seen.size(); ++i) EXPECT_GT(seen[i], seen[i - 1]);
  for (float r : seen) EXPECT_LE(r, 200.0f);
  EXPECT_EQ(TFormMainProbe(main).graphScale().rMax, 200.0f);
}

TEST_F(MeasureTest, UnsavedDataIsNotDiscardedWithoutConsent) {
  StartUnit();
  Start();
  TFormMainProbe(main).mainData().valid = 1;
  TFormMainProbe(main).dataSaved() = 0;
  main->setWindowTitle(QStringLiteral("KAVO v2.1 - a.DTA"));
  modal->messageAnswers.push_back(MsgResult::No);
  main->MStartBtnClick();
  EXPECT_EQ(modal->MessageTexts(),
            QStringList{QStringLiteral("測定データを保存していません。破棄して新しい測定を開始しますか？")});
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 1);
  EXPECT_EQ(main->windowTitle(), QStringLiteral("KAVO v2.1 - a.DTA"));
  EXPECT_TRUE(Idle());
  PumpFor(50);
  EXPECT_TRUE(unit->Commands().empty());

  // Yes goes ahead through the menu command too.
  modal->messageAnswers.push_back(MsgResult::Yes);
  main->MenuMeasure_StartClick();
  EXPECT_EQ(TFormMainProbe(main).Acquiring(), 1);
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 0);
  EXPECT_EQ(main->windowTitle(), QStringLiteral("KAVO v2.1"));
  ASSERT_TRUE(PumpUntil([&] { return TFormMainProbe(main).SweepOver(); }));
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 1);
}

}  // namespace
}  // namespace kavo::test

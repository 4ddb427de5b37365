// The main window's print, printer set-up, line colour and COM port commands,
// end to end: dialogs answered by script, the page printed to PDF, the
// settings file written on close, a measurement on a mapped COM number.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QtTest/QTest>

#include "MainProbe.h"
#include "MainWindowFixture.h"
#include "MainProbe.h"
#include "PtyUnit.h"
#include "Records.h"
#include "analysis/windows/Kavo_calc.h"
#include "analysis/windows/Re.h"
#include "analysis/windows/Ts.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "dialogs/Setting.h"
#include "graph/dialogs/Kavo_printinfo.h"
#include "graph/PaintBox.h"
#include "graph/dialogs/Setcolor.h"
#include "messages/StatusPanels.h"

namespace kavo::test {
namespace {

class MenuCommandsTest : public MainWindowTest {
 protected:
  void LoadMeasurement() {
    FillBand(TFormMainProbe(main).mainData(), 1, [](double f, double& r, double& t) { WooferModel(f, r, t); });
    ASSERT_TRUE(TFormMainProbe(main).fileHandler()->ConvertData(&TFormMainProbe(main).mainData(), &TFormMainProbe(main).rawValues(), &TFormMainProbe(main).aveValues()));
    TFormMainProbe(main).mainData().valid = 1;
    TFormMainProbe(main).dataSaved() = 1;
  }
  void LoadReference(int k) {
    FillBand(TFormMainProbe(main).refData()[k], 1, [](double f, double& r, double& t) { WooferModel(f, r, t, 90.0, 20.0); });
    ASSERT_TRUE(TFormMainProbe(main).fileHandler()->ConvertData(&TFormMainProbe(main).refData()[k], &TFormMainProbe(main).refRawValues()[k], &TFormMainProbe(main).refAveValues()[k]));
    TFormMainProbe(main).refData()[k].valid = 1;
    TFormMainProbe(main).refCount() = k + 1;
  }
  QPrinter& PdfPrinter(const QString& name) {
    QPrinter& printer = main->mPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.Path(name));
    return printer;
  }
  // The settings file as the next start would read it.
  SettingsRecord SavedSettings() {
    main->close();
    SettingsRecord saved;
    ViewSettings view;
    EXPECT_TRUE(KAVO_File().ReadSettings(SettingsFile(), &saved, &view));
    return saved;
  }
  static QString PdfPageSize(const QString& pdf) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
      if (line.startsWith(QStringLiteral("Page size:"))) return line.section(':', 1).simplified();
    return QString();
  }
};

TEST_F(MenuCommandsTest, PrintNeedsAMeasurement) {
  Start();
  LoadReference(0);  // references alone are not printed
  TFormMainProbe(main).MenuFile_Print()->trigger();
  EXPECT_EQ(modal->MessageTexts(), QStringList{QStringLiteral("データがありません")});
  ASSERT_EQ(modal->calls.size(), 1u);
}

TEST_F(MenuCommandsTest, InformationLinesAreLimitedAsTypedAndSurviveTheSettingsFile) {
  Start();
  LoadMeasurement();
  LoadReference(0);
  LoadReference(1);
  TFormMainProbe(main).settings().pstr[0] = Utf8ToCp932("前回の行");
  modal->dialogHandler = [&](QDialog& dialog) {
    auto& info = dynamic_cast<TFormPrnInfo&>(dialog);
    info.show();  // the lines come from the settings when it shows
    EXPECT_EQ(info.Edit1->text(), QStringLiteral("前回の行"));
    EXPECT_EQ(info.windowTitle(), QStringLiteral("KAVO グラフ印刷"));
    info.Edit1->clear();
    info.Edit1->insert(QString(MaxPrintInfoBytes, 'a'));
    info.Edit1->insert(QStringLiteral("a"));  // one byte too many
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, QStringLiteral("z"));
    QApplication::sendEvent(info.Edit1, &key);  // typed: refused as well
    info.Edit2->insert(QString(121, QChar(0x3042)));  // 121 x "あ": 242 bytes
    info.Edit2->insert(QStringLiteral("あ"));         // 2 more: refused
    info.Edit2->insert(QStringLiteral("b"));          // 1 more: fits
    info.Edit3->insert(QStringLiteral("x\ny"));       // no line break
    info.Edit3->insert(QStringLiteral("第３行"));
    info.Button1->click();
    return info.result();
  };
  modal->printAnswers = {true};
  PdfPrinter(QStringLiteral("page.pdf"));
  TFormMainProbe(main).MenuFile_Print()->trigger();

  EXPECT_EQ(main->printCancelled, 0);
  EXPECT_EQ(TFormMainProbe(main).settings().pstr[0], std::string(MaxPrintInfoBytes, 'a'));
  EXPECT_EQ(TFormMainProbe(main).settings().pstr[1], Utf8ToCp932(QString(121, QChar(0x3042)).toStdString() + "b"));
  EXPECT_EQ(TFormMainProbe(main).settings().pstr[2], Utf8ToCp932("第３行"));
  EXPECT_GT(QFileInfo(dir.Path(QStringLiteral("page.pdf"))).size(), 1000);
  EXPECT_EQ(main->mPrinter().resolution(), 600);
  EXPECT_TRUE(modal->MessageTexts().isEmpty());

  // The longest lines are written and read back whole, and so is the rest.
  TFormMainProbe(main).settings().CommPortNum = 17;
  const SettingsRecord saved = SavedSettings();
  EXPECT_TRUE(modal->MessageTexts().isEmpty());  // no "初期設定ファイルを保存できませんでした"
  for (int i = 0; i < 3; ++i) EXPECT_EQ(saved.pstr[i], TFormMainProbe(main).settings().pstr[i]) << i;
  EXPECT_EQ(saved.CommPortNum, 17);
}

TEST_F(MenuCommandsTest, CancelsPrintNothing) {
  Start();
  LoadMeasurement();
  const QString pdf = dir.Path(QStringLiteral("page.pdf"));
  PdfPrinter(QStringLiteral("page.pdf"));
  const std::string before = TFormMainProbe(main).settings().pstr[1];
  // Information dialog closed by the window manager or Escape: nothing stored, no print dialog.
  for (int way = 0; way < 2; ++way) {
    modal->calls.clear();
    modal->dialogHandler = [&](QDialog& dialog) {
      auto& info = dynamic_cast<TFormPrnInfo&>(dialog);
      info.show();
      info.Edit2->setText(QStringLiteral("捨てる"));
      if (way == 0) {
        info.close();
      } else {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&info, &escape);
      }
      return info.result();
    };
    TFormMainProbe(main).MenuFile_Print()->trigger();
    EXPECT_EQ(main->printCancelled, 1);
    EXPECT_EQ(TFormMainProbe(main).settings().pstr[1], before);
    ASSERT_EQ(modal->calls.size(), 1u);
    EXPECT_EQ(modal->calls[0].kind, ModalKind::Dialog);
  }
  // "印刷", then the print dialog cancelled: the lines are kept, nothing printed.
  modal->calls.clear();
  modal->dialogHandler = [&](QDialog& dialog) {
    auto& info = dynamic_cast<TFormPrnInfo&>(dialog);
    info.show();
    info.Edit2->setText(QStringLiteral("残る"));
    info.Button1->click();
    return info.result();
  };
  modal->printAnswers = {false};
  TFormMainProbe(main).MenuFile_Print()->trigger();
  EXPECT_EQ(TFormMainProbe(main).settings().pstr[1], Utf8ToCp932("残る"));
  ASSERT_EQ(modal->calls.size(), 2u);
  EXPECT_EQ(modal->calls[1].kind, ModalKind::Print);
  EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(MenuCommandsTest, FailedPrintJobIsReported) {
  Start();
  LoadMeasurement();
  ASSERT_TRUE(WriteAll(dir.Path(QStringLiteral("plain")), "x"));
  PdfPrinter(QStringLiteral("plain/page.pdf"));  // inside a plain file
  modal->dialogHandler = [](QDialog& dialog) {
    dynamic_cast<TFormPrnInfo&>(dialog).Button1->click();
    return dialog.result();
  };
  modal->printAnswers = {true};
  TFormMainProbe(main).MenuFile_Print()->trigger();
  EXPECT_EQ(modal->MessageTexts(),
            QStringList{QStringLiteral("印刷できませんでした。プリンタと出力先を確認して下さい。")});
  EXPECT_EQ(modal->calls.back().icon, MsgIcon::Stop);
  EXPECT_TRUE(main->isVisible() || !main->mStartupFailed());
}

TEST_F(MenuCommandsTest, PrinterSetUpIsKeptForPrinting) {
  Start();
  LoadMeasurement();
  QPrinter* printer = &main->mPrinter();
  modal->pageSetupAnswers = {true};
  TFormMainProbe(main).MenuFile_PrintSetup()->trigger();
  ASSERT_EQ(modal->calls.size(), 1u);
  EXPECT_EQ(modal->calls[0].kind, ModalKind::PageSetup);
  // What the set-up dialog chose on that printer is what the next print uses.
  printer->setPageSize(QPageSize(QPageSize::A4));
  printer->setPageOrientation(QPageLayout::Landscape);
  EXPECT_EQ(&main->mPrinter(), printer);
  PdfPrinter(QStringLiteral("landscape.pdf"));
  modal->dialogHandler = [](QDialog& dialog) {
    dynamic_cast<TFormPrnInfo&>(dialog).Button1->click();
    return dialog.result();
  };
  modal->printAnswers = {true};
  TFormMainProbe(main).MenuFile_Print()->trigger();
  EXPECT_EQ(PdfPageSize(dir.Path(QStringLiteral("landscape.pdf"))), QStringLiteral("842 x 595 pts (A4)"));
}

TEST_F(MenuCommandsTest, LineColoursRecolourLabelsAndCurvesAndReachTheSettingsFile) {
  Start();
  LoadMeasurement();
  LoadReference(2);
  main->mRedrawGraph();
  const QColor oldR = TFormMainProbe(main).axisLabels()[0]->palette().color(QPalette::WindowText);

  // Cancelled after picks: nothing changes.
  modal->colorAnswers = {0x00FF00, 0x00FFFF};
  modal->dialogHandler = [](QDialog& dialog) {
    auto& colours = dynamic_cast<TFormSetColor&>(dialog);
    colours.PaintBox1Click();
    colours.PaintBox2Click();
    colours.CancelBtn->click();
    return colours.result();
  };
  TFormMainProbe(main).MenuSet_Color()->trigger();
  EXPECT_EQ(main->colorCancelled, 1);
  EXPECT_EQ(TFormMainProbe(main).settings().PenColor_R, 0xFF0000);
  EXPECT_EQ(TFormMainProbe(main).axisLabels()[0]->palette().color(QPalette::WindowText), oldR);

  // Set: new measurement R colour and new colours for reference position 2.
  modal->colorAnswers = {0x008000, 0x0080FF, 0x00C0C0};
  modal->dialogHandler = [](QDialog& dialog) {
    auto& colours = dynamic_cast<TFormSetColor&>(dialog);
    colours.PaintBox1Click();
    colours.ComboBox1->setCurrentIndex(2);
    colours.PaintBox3Click();
    colours.PaintBox4Click();
    colours.SetBtn->click();
    return colours.result();
  };
  TFormMainProbe(main).MenuSet_Color()->trigger();
  EXPECT_EQ(main->colorCancelled, 0);
  EXPECT_EQ(TFormMainProbe(main).axisLabels()[0]->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x00));
  EXPECT_EQ(TFormMainProbe(main).axisLabels()[12]->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0x00));
  const QImage& picture = TFormMainProbe(main).graphPlotter()->Bitmap();
  auto count = [&](QColor c) {
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) n += picture.pixelColor(x, y) == c;
    return n;
  };
  EXPECT_GT(count(QColor(0x00, 0x80, 0x00)), 100);  // measurement R
  EXPECT_EQ(count(QColor(0x00, 0x00, 0xFF)), 0);     // its old blue is gone
  EXPECT_GT(count(QColor(0xFF, 0x80, 0x00)), 100);  // reference 2 R (0x0080FF)
  EXPECT_GT(count(QColor(0xC0, 0xC0, 0x00)), 100);  // reference 2 theta (0x00C0C0)

  const SettingsRecord saved = SavedSettings();
  EXPECT_EQ(saved.PenColor_R, 0x008000);
  EXPECT_EQ(saved.PenColor_Theta, 0x0000FF);
  EXPECT_EQ(saved.PenColor_R_Ref[2], 0x0080FF);
  EXPECT_EQ(saved.PenColor_Theta_Ref[2], 0x00C0C0);
  EXPECT_EQ(saved.PenColor_R_Ref[0], 0x808000);
  EXPECT_NE(ReadAll(SettingsFile()).indexOf("PenColor_R_Ref[2]:33023\r\n"), -1);
}

TEST_F(MenuCommandsTest, ComPortChosenAndMappedIsUsedByTheNextMeasurement) {
  kavsim::PtyUnit unit;
  unit.Config().paced = false;
  ASSERT_TRUE(unit.Start());
  // A USB adapter as the system would name it, leading to the simulated unit.
  const QString devRoot = dir.Path(QStringLiteral("dev"));
  QDir().mkpath(devRoot);
  ASSERT_TRUE(QFile::link(QString::fromStdString(unit.SlavePath()), devRoot + QStringLiteral("/ttyUSB0")));
  Start();
  Forms().setting->SetDeviceRoots(devRoot, dir.Path(QStringLiteral("sys")));

  // Cancel keeps the port.
  modal->dialogHandler = [](QDialog& dialog) {
    auto& com = dynamic_cast<TFormSetting&>(dialog);
    com.ComboBox1->setCurrentIndex(4);
    com.Button2->click();
    return com.result();
  };
  TFormMainProbe(main).MenuSet_COM()->trigger();
  EXPECT_EQ(TFormMainProbe(main).settings().CommPortNum, 1);

  // COM12 typed, mapped to the adapter, set.
  QString lineBefore, lineAfter;
  modal->dialogHandler = [&](QDialog& dialog) {
    if (dialog.objectName() == QStringLiteral("TFormPortMap")) {
      auto* list = dialog.findChild<QListWidget*>(QStringLiteral("DeviceList"));
      EXPECT_EQ(list->count(), 1);
      list->setCurrentRow(0);
      return int(QDialog::Accepted);
    }
    auto& com = dynamic_cast<TFormSetting&>(dialog);
    EXPECT_EQ(com.ComboBox1->currentText(), QStringLiteral("COM1"));
    com.ComboBox1->setEditText(QStringLiteral("COM12"));
    lineBefore = com.DeviceLine->text();
    com.MapBtn->click();
    lineAfter = com.DeviceLine->text();
    com.Button1->click();
    return com.result();
  };
  TFormMainProbe(main).MenuSet_COM()->trigger();
  EXPECT_EQ(TFormMainProbe(main).settings().CommPortNum, 12);
  EXPECT_EQ(lineBefore, QStringLiteral("→ /dev/ttyS11 (ありません)"));
  EXPECT_EQ(lineAfter, QStringLiteral("→ ") + devRoot + QStringLiteral("/ttyUSB0"));
  EXPECT_EQ(QFileInfo(dir.Path(QStringLiteral("ports/COM12"))).symLinkTarget(), devRoot + QStringLiteral("/ttyUSB0"));

  main->MStartBtnClick();
  ASSERT_TRUE(PumpUntil([&] { return TFormMainProbe(main).SweepOver(); }, 20000));
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 1);
  EXPECT_EQ(TFormMainProbe(main).PointCount(), 400);
  EXPECT_TRUE(modal->MessageTexts().isEmpty());
  // Closing asks before the unsaved measurement goes; yes writes the settings.
  modal->messageAnswers.push_back(MsgResult::Yes);
  EXPECT_EQ(SavedSettings().CommPortNum, 12);
  EXPECT_EQ(modal->MessageTexts().size(), 1);
}

// At the keyboard, by real key events: Tab reaches every control that acts,
// Escape stops a sweep, "com3" typed is refused, the analysis window opens
// beside the main window.
// Offscreen, a window shown anew is never activated: do as a window manager.
void Activate(QWidget* w, QWidget* focus) {
  w->show();
  QApplication::setActiveWindow(w);
  ASSERT_TRUE(QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }));
  if (focus) focus->setFocus();
}
// Tab pressed `n` times; the focus's name after each (a line edit's is its box's).
QStringList Tabs(int n) {
  QStringList names;
  for (QWidget* w; n-- > 0 && (w = QApplication::focusWidget()); names << (w ? w->objectName() : "")) {
    QTest::keyClick(w, Qt::Key_Tab);
    for (w = QApplication::focusWidget(); w && w->objectName().isEmpty();) w = w->parentWidget();
  }
  return names;
}
void Key(Qt::Key key, Qt::KeyboardModifiers mod = {}) { QTest::keyClick(QApplication::focusWidget(), key, mod); }

TEST_F(MenuCommandsTest, KeyboardTabReachesEveryControlThatActs) {
  Start();
  TFormMainProbe p(main);
  const AppForms& f = Forms();
  uint8_t flag = 0;
  f.setColor->Prepare(p.settings(), flag);
  const std::tuple<QWidget*, QWidget*, QStringList> windows[] = {
      {main, p.MStartBtn(), {"ComboBox2", "QuitBtn", "MStartBtn"}},
      {f.setting, f.setting->ComboBox1, {"MapBtn", "Button2", "Button1", "ComboBox1"}},
      {f.setColor, f.setColor->PaintBox1,
       {"PaintBox2", "ComboBox1", "PaintBox3", "PaintBox4", "CancelBtn", "SetBtn", "PaintBox1"}},
      {f.re, f.re->Edit1, {"Button1", "Button2", "Edit1"}},
      {f.ts, f.ts->Button1, {"Button1"}}};
  for (const auto& [window, first, chain] : windows) {
    Activate(window, first);
    EXPECT_EQ(Tabs(int(chain.size())), chain);
  }
  Activate(f.setColor, f.setColor->PaintBox1);
  Key(Qt::Key_Space);  // the picker, at the swatch's colour
  EXPECT_EQ(modal->calls.back().color, uint32_t(p.settings().PenColor_R));
}

TEST_F(MenuCommandsTest, KeyboardEscapeStopsASweepStartedBySpaceAndTheButtonKeepsTheFocus) {
  kavsim::PtyUnit unit;  // paced: a sweep takes seconds
  ASSERT_TRUE(unit.Start());
  ScopedEnv com1("KAVO_COM1", QByteArray::fromStdString(unit.SlavePath()));
  Start();
  TFormMainProbe p(main);
  Activate(main, p.MStartBtn());
  Key(Qt::Key_Space);
  PumpFor(400);
  ASSERT_EQ(p.MStartBtn()->text(), QStringLiteral("測定停止"));
  ASSERT_EQ(QApplication::focusWidget(), p.MStartBtn());
  Key(Qt::Key_Escape);
  EXPECT_EQ(p.StatusBar1()->PanelText(1), QStringLiteral("測定中止しました"));
  EXPECT_EQ(unit.Commands().back(), "ME");
  Key(Qt::Key_Escape);  // idle: starts nothing; Space on the button starts anew
  EXPECT_EQ(p.MStartBtn()->text(), QStringLiteral("測定開始"));
  Key(Qt::Key_Space);
  EXPECT_EQ(p.MStartBtn()->text(), QStringLiteral("測定停止"));
  Key(Qt::Key_Escape);
}

TEST_F(MenuCommandsTest, KeyboardLowerCaseComTypedIsRefusedByReturnAndBySetButton) {
  Start();
  TFormMainProbe p(main);
  TFormSetting& com = *Forms().setting;
  for (const bool byButton : {false, true}) {
    int32_t port = 4;
    uint8_t cancelled = 0;
    com.SetPortTarget(port, cancelled);
    Activate(&com, com.ComboBox1);
    Key(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(com.ComboBox1->lineEdit(), QStringLiteral("com3"));
    if (byButton) Tabs(3);  // to "設定"
    Key(byButton ? Qt::Key_Space : Qt::Key_Return);
    EXPECT_EQ(modal->MessageTexts().value(byButton), QStringLiteral("不正なCOM指定です"));
    EXPECT_TRUE(port == 4 && com.isVisible());
  }
}

TEST_F(MenuCommandsTest, KeyboardAnalysisWindowOpensBesideTheMainWindowAndEscapeClosesIt) {
  Start();
  TFormMainProbe p(main);
  Activate(main, nullptr);
  LoadMeasurement();
  p.MenuMesure_Calc()->trigger();
  TFormCalc* calc = Forms().calc;
  EXPECT_TRUE(main->screen()->availableGeometry().contains(calc->frameGeometry()));
  const QRect menu(main->menuBar()->mapToGlobal(QPoint()), main->menuBar()->size());
  EXPECT_FALSE(calc->frameGeometry().intersects(menu));
  Activate(calc, calc->ButtonTS);
  EXPECT_EQ(Tabs(4), (QStringList{"FitButton", "BoxButton", "CloseButton", "ButtonTS"}));
  Key(Qt::Key_Escape);
  EXPECT_FALSE(calc->isVisible());
}

}  // namespace
}  // namespace kavo::test

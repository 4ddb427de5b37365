// Main window life cycle: construction, owned objects, the idle handler,
// closing and destruction; and the window's own small commands.
#include "shell/Kavo_main.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QSocketNotifier>

#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "dialogs/Version.h"
#include "graph/PaintBox.h"
#include "link/Spdrv.h"
#include "messages/Ka_message.h"
#include "messages/Ka_status.h"
#include "messages/StatusPanels.h"
#include "platform/desktop/Look.h"
#include "platform/desktop/Modal.h"
#include "platform/Names.h"
#include "shell/Forms.h"
#include "ui_Kavo_main.h"

#include <utility>

// The icon lives in this static library; its initialiser must be pulled in.
static void InitIconResource() { Q_INIT_RESOURCE(kavo_icon); }

namespace kavo {
namespace {

const QEvent::Type IdleEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

TFormMain::TFormMain(QWidget* owner) : QMainWindow(owner), ui(new Ui::TFormMain) {
  ui->setupUi(this);
  move(255, 178);  // the designed position; the designer file sets only the size
  setFont(ProgramFont(12));
  // The desktop entry's icon, for window managers that take it from the window.
  InitIconResource();
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/kavo-48.png"));
  icon.addFile(QStringLiteral(":/icons/kavo-128.png"));
  setWindowIcon(icon);

  PaintBox1 = ui->PaintBox1;
  MStartBtn = ui->MStartBtn;
  QuitBtn = ui->QuitBtn;
  ComboBox2 = ui->ComboBox2;
  MenuFile = ui->MenuFile;
  MenuMeasure = ui->MenuMeasure;
  MenuGraph = ui->MenuGraph;
  MenuRef = ui->MenuRef;
  MenuSet = ui->MenuSet;
  MenuHelp = ui->MenuHelp;
  MenuFile_Open = ui->MenuFile_Open;
  MenuFile_Save = ui->MenuFile_Save;
  MenuFile_Close = ui->MenuFile_Close;
  MenuFile_Export = ui->MenuFile_Export;
  MenuFile_PrintSetup = ui->MenuFile_PrintSetup;
  MenuFile_Print = ui->MenuFile_Print;
  MenuFile_Quit = ui->MenuFile_Quit;
  MenuMeasure_Start = ui->MenuMeasure_Start;
  MenuMesure_Calc = ui->MenuMesure_Calc;
  MenuMesure_Fit = ui->MenuMesure_Fit;
  MenuMesure_Box = ui->MenuMesure_Box;
  MenuMesure_Part = ui->MenuMesure_Part;
  MenuMesure_Comp = ui->MenuMesure_Comp;
  MenuGraph_R_only = ui->MenuGraph_R_only;
  MenuGraph_Wide = ui->MenuGraph_Wide;
  MenuGraph_Ave = ui->MenuGraph_Ave;
  MenuRef_Open = ui->MenuRef_Open;
  MenuRef_Close = ui->MenuRef_Close;
  MenuSet_COM = ui->MenuSet_COM;
  MenuSet_Color = ui->MenuSet_Color;
  MenuSet_Warning = ui->MenuSet_Warning;
  MenuHelp_Version = ui->MenuHelp_Version;

  StatusBar1 = new StatusPanels(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  setStatusBar(StatusBar1);

  Timer1.setSingleShot(true);
  Timer1.setTimerType(Qt::PreciseTimer);

  fileName.clear();
  for (auto& name : refFileName) name.clear();
  mainData.dateTime.clear();
  for (auto& ref : refData) ref.dateTime.clear();
  for (auto& text : settings.pstr) text.clear();
  mBindGraph();
  mCollectAxisLabels();
  mHideAxisLabels();
  mConnectHandlers();
}

TFormMain::~TFormMain() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
  FormDestroy();
}

void TFormMain::mConnectHandlers() {
  connect(MStartBtn, &QPushButton::clicked, this, &TFormMain::MStartBtnClick);
  connect(QuitBtn, &QPushButton::clicked, this, &TFormMain::QuitBtnClick);
  connect(ComboBox2, &QComboBox::activated, this, [this](int) { ComboBox2Change(); });
  connect(MenuFile_Open, &QAction::triggered, this, &TFormMain::MenuFile_OpenClick);
  connect(MenuFile_Save, &QAction::triggered, this, &TFormMain::MenuFile_SaveClick);
  connect(MenuFile_Close, &QAction::triggered, this, &TFormMain::MenuFile_CloseClick);
  connect(MenuFile_Export, &QAction::triggered, this, &TFormMain::MenuFile_ExportClick);
  connect(MenuRef_Open, &QAction::triggered, this, &TFormMain::MenuRef_OpenClick);
  connect(MenuRef_Close, &QAction::triggered, this, &TFormMain::MenuRef_CloseClick);
  mSetupQc();
  connect(MenuFile_Quit, &QAction::triggered, this, &TFormMain::MenuFile_QuitClick);
  connect(MenuMeasure_Start, &QAction::triggered, this, &TFormMain::MenuMeasure_StartClick);
  connect(MenuHelp_Version, &QAction::triggered, this, &TFormMain::MenuHelp_VersionClick);
  connect(MenuMesure_Calc, &QAction::triggered, this, &TFormMain::MenuMesure_CalcClick);
  connect(MenuMesure_Fit, &QAction::triggered, this, &TFormMain::MenuMesure_FitClick);
  connect(MenuMesure_Box, &QAction::triggered, this, &TFormMain::MenuMesure_BoxClick);
  connect(MenuMesure_Part, &QAction::triggered, this, &TFormMain::MenuMesure_PartClick);
  connect(MenuMesure_Comp, &QAction::triggered, this, &TFormMain::MenuMesure_CompClick);
  connect(MenuFile_Print, &QAction::triggered, this, &TFormMain::MenuFile_PrintClick);
  connect(MenuFile_PrintSetup, &QAction::triggered, this, &TFormMain::MenuFile_PrintSetupClick);
  connect(MenuSet_Color, &QAction::triggered, this, &TFormMain::MenuSet_ColorClick);
  connect(MenuSet_COM, &QAction::triggered, this, &TFormMain::MenuSet_COMClick);
  mConnectCheckItem(MenuSet_Warning, &TFormMain::MenuSet_WarningClick);
  mConnectCheckItem(MenuGraph_R_only, &TFormMain::MenuGraph_R_onlyClick);
  mConnectCheckItem(MenuGraph_Wide, &TFormMain::MenuGraph_WideClick);
  mConnectCheckItem(MenuGraph_Ave, &TFormMain::MenuGraph_AveClick);
  connect(PaintBox1, &PaintBox::MouseDown, this,
          [this](int x, int y, Qt::MouseButton) { PaintBox1MouseDown(x, y); });
  connect(&Timer1, &QTimer::timeout, this, &TFormMain::Timer1Timer);
  // The menus are disabled while a sweep runs; Escape still stops it, the
  // very way the button does (a button busy with a start ignores it).
  StopShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  StopShortcut->setEnabled(false);
  connect(StopShortcut, &QShortcut::activated, MStartBtn, &QPushButton::click);
}

// The check-item handlers toggle the mark themselves (they are called
// directly too), so the menu's own toggle is undone first.
void TFormMain::mConnectCheckItem(QAction* item, void (TFormMain::*handler)()) {
  connect(item, &QAction::triggered, this, [this, item, handler] {
    item->setChecked(!item->isChecked());
    (this->*handler)();
  });
}

void TFormMain::FormCreate() { mInitWindow(); }

void TFormMain::mInitWindow() {
  // 1. The idle handler: a pass runs when the event queue has become empty,
  // something has happened since the last pass, and work is pending.
  QCoreApplication::instance()->installEventFilter(this);
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TFormMain::mOnAboutToBlock);

  settingsPending = 1;
  dataSaved = completionPending = statusLayoutPending = geometryApplying = 0;

  MenuGraph_R_only->setChecked(false);
  MenuGraph_Wide->setChecked(false);
  MenuGraph_Ave->setChecked(true);
  MenuSet_Warning->setChecked(false);

  SetDefaults(settings);
  mColorAxisLabels();

  dataSets.Reset();
  ComboBox2->setCurrentIndex(0);

  mResetGraphScale(1);
  mSelectValueArrays();

  mCollectAxisLabels();

  if (mCreateObjects()) {
    setWindowTitle(QString::fromLatin1(ProgramCaption));
  } else {
    startupFailed = true;
    close();
  }
}

void TFormMain::mCollectAxisLabels() {
  static const char* const names[AxisLabelCount] = {
      "Label0",  "Label1",  "Label2",  "Label3",  "Label4",  "Label5",  "Label6",  "Label7",  "Label8",
      "Label9",  "Label00", "Label01", "Label20", "Label21", "Label22", "Label23", "Label24", "Label25",
      "Label26", "Label27", "Label28", "Label29", "Label30", "Label31", "Label10", "Label11", "Label12",
      "Label13", "Label14", "Label15", "Label16", "Label17", "Label18", "Label19", "Label199"};
  LabelSlots labels{};
  for (int i = 0; i < AxisLabelCount; ++i)
    labels[static_cast<size_t>(i)] = findChild<QLabel*>(QString::fromLatin1(names[i]));
  graphSheet.Attach(PaintBox1, labels);
}

void TFormMain::mHideAxisLabels() { graphSheet.HideLabels(); }

void TFormMain::mColorAxisLabels() { graphSheet.ColorLabels(settings, palette().color(QPalette::WindowText)); }

bool TFormMain::mCreateObjects() {
  msgCatalog.reset(new (std::nothrow) TK_Message(QString::fromLatin1(UnitModelName), ProgramCaption));
  if (!msgCatalog) {
    ShowCatalogFatalError();
    return false;
  }
  statusTexts.reset(new (std::nothrow) KStatus(StatusBar1, QString::fromLatin1(UnitModelName), 2));
  if (!statusTexts) {
    msgCatalog->ShowFatalMemoryError(QStringLiteral("KStatus"));
    return false;
  }
  fileHandler.reset(new (std::nothrow) KAVO_File());
  if (!fileHandler) {
    msgCatalog->ShowFatalMemoryError(QStringLiteral("KAVO_File"));
    return false;
  }
  graphPlotter = graphSheet.CreatePlotter(&settings, &graphView.Scale()) ? graphSheet.Plotter() : nullptr;
  if (!graphPlotter) {
    msgCatalog->ShowFatalMemoryError(QStringLiteral("Graph_RTF"));
    return false;
  }
  commDriver.reset(new (std::nothrow) TSerialPortDriver(this));
  if (!commDriver) {
    msgCatalog->ShowFatalMemoryError(QStringLiteral("TSerialPortDriver"));
    return false;
  }
  session.Attach(commDriver.get());
  return true;
}

void TFormMain::FormDestroy() {
  mWatchPort(false);
  msgCatalog.reset();
  statusTexts.reset();
  fileHandler.reset();
  graphSheet.DestroyPlotter();
  graphPlotter = nullptr;
  session.Attach(nullptr);
  commDriver.reset();  // closes the port if it is still open
}

// ---- the idle handler ----

bool TFormMain::mIdleWorkPending() const {
  return settingsPending || session.Acquiring() || completionPending || statusLayoutPending;
}

bool TFormMain::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != IdleEvent) idleArmed = true;
  // The start button is disabled while its start or stop runs, and the busy
  // window disables everything else, so the focus is lost on the way: the
  // button takes it back when it is usable again. While a sweep runs it so
  // holds the focus as "測定停止" (Space stops, as Escape does), and after a
  // stop Space starts again.
  if (watched == MStartBtn && e->type() == QEvent::EnabledChange && MStartBtn->isEnabled() && !focusWidget())
    MStartBtn->setFocus();
  return QMainWindow::eventFilter(watched, e);
}

void TFormMain::mOnAboutToBlock() {
  // A modal box shown from inside a pass runs its own loop: no nested pass.
  if (idleRunning) return;
  if (idleArmed && !idleQueued && mIdleWorkPending()) {
    idleQueued = true;
    QCoreApplication::postEvent(this, new QEvent(IdleEvent), Qt::LowEventPriority);
  }
}

bool TFormMain::event(QEvent* e) {
  if (e->type() == IdleEvent) {
    idleQueued = false;
    idleArmed = false;
    idleRunning = true;
    mAppIdle();
    idleRunning = false;
    return true;
  }
  return QMainWindow::event(e);
}

void TFormMain::mAppIdle() {
  ++idlePasses;
  if (settingsPending) {
    settingsPending = 0;
    mApplyStoredSettings();
    if (!startupFile.isEmpty()) mOpenDataFile(std::exchange(startupFile, QString()));
  }
  if (session.Acquiring()) mAcquireStep();
  if (completionPending) {
    completionPending = 0;
    mFinishMeasure();
  }
  if (statusLayoutPending) {
    statusLayoutPending = 0;
    mLayoutStatusBar();
  }
}

void TFormMain::mApplyStoredSettings() {
  LoadSettings(QString::fromLatin1(SettingsFileName));
  mColorAxisLabels();
  graphSheet.ClearWithScales(mROnly());
}

void TFormMain::mLayoutStatusBar() {
  // The status bar keeps a fixed 20-pixel height at the bottom of the client
  // area; the main window's layout places it there.
  StatusBar1->setFixedHeight(20);
}

// ---- closing ----

void TFormMain::closeEvent(QCloseEvent* e) {
  // The window's own close command (title bar, Alt+F4) must not throw away
  // a completed measurement unasked either; the quit command has asked.
  const bool asked = quitConfirmed;
  quitConfirmed = false;
  if (!asked && !startupFailed && mainData.valid && !dataSaved && !msgCatalog->ConfirmQuit()) {
    e->ignore();
    return;
  }
  bool canClose = true;
  FormCloseQuery(canClose);
  if (canClose) e->accept();
  else e->ignore();
}

void TFormMain::FormCloseQuery(bool& canClose) {
  canClose = true;
  if (startupFailed) return;
  if (session.UnitConnected()) mStopMeasure();
  SaveSettings();
}

bool TFormMain::mConfirmQuit() {
  if (mainData.valid && !dataSaved && !msgCatalog->ConfirmQuit()) return false;
  if (session.UnitConnected()) mStopMeasure();
  return true;
}

void TFormMain::QuitBtnClick() {
  if (!mConfirmQuit()) return;
  quitConfirmed = true;
  close();
}

void TFormMain::MenuFile_QuitClick() { QuitBtnClick(); }

void TFormMain::MenuHelp_VersionClick() {
  TFormVersion* version = Forms().version;
  if (!version) return;
  Modal().ExecDialog(*version);
  activateWindow();
}

void TFormMain::MenuSet_WarningClick() { MenuSet_Warning->setChecked(!MenuSet_Warning->isChecked()); }

// ---- data helpers ----

void TFormMain::ClearData(MeasureData& data) { kavo::ClearData(data); }
void TFormMain::ClearValues(PointValues& values) { kavo::ClearValues(values); }
bool TFormMain::AnyRefLoaded() const { return dataSets.AnyRefLoaded(); }

}  // namespace kavo

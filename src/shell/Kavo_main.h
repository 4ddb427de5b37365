// The main window: owner of every measurement, reference and setting, of the
// five long-lived helper objects, and of the idle handler that runs all
// background work (settings load, sweep steps, finishing, status layout).
// Its methods are all here in shell/, one unit per area (Kavo_main_*.cpp);
// this declaration has one section per unit. The event handlers keep their
// designer names and stay public; the state is private, and the tests reach
// it through TFormMainProbe.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "analysis/Ts_analysis.h"
#include "data/DataSets.h"
#include "data/Kavo_setting.h"
#include "graph/GraphSheet.h"
#include "graph/GraphView.h"
#include "link/MeasureSession.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QShortcut;
class QSocketNotifier;

namespace Ui {
class TFormMain;
}

namespace kavo {
class KAVO_File;
class KStatus;
class StatusPanels;
class PaintBox;
class TK_Message;
class TSerialPortDriver;
class TFormAnalysis;

constexpr int AxisLabelCount = 35;
// The sweep watchdog: silence on the line for this long ends the sweep.
constexpr int DefaultTimeoutMs = 10000;

class TFormMain : public QMainWindow {
  Q_OBJECT
  friend class TFormMainProbe;  // the tests' view of the private state

 public:
  explicit TFormMain(QWidget* owner = nullptr);
  ~TFormMain() override;

  // ==== Kavo_main.cpp: life cycle, the idle handler, the small commands ====
 public:
  void FormCreate();
  bool mStartupFailed() const { return startupFailed; }
  void mHideAxisLabels();
  void mColorAxisLabels();
  void mCollectAxisLabels();
  bool mCreateObjects();
  void mAppIdle();
  void mApplyStoredSettings();
  void mLayoutStatusBar();
  void FormDestroy();
  void QuitBtnClick();
  void MenuFile_QuitClick();
  bool mConfirmQuit();
  void MenuHelp_VersionClick();
  void MenuSet_WarningClick();
  // Data helpers forwarded to the data model.
  static void ClearData(MeasureData& data);
  static void ClearValues(PointValues& values);
  bool AnyRefLoaded() const;

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void mInitWindow();
  void FormCloseQuery(bool& canClose);
  void mConnectHandlers();
  void mConnectCheckItem(QAction* item, void (TFormMain::*handler)());
  bool mIdleWorkPending() const;
  void mOnAboutToBlock();

  std::unique_ptr<Ui::TFormMain> ui;
  // Controls (designer names).
  PaintBox* PaintBox1 = nullptr;
  QPushButton* MStartBtn = nullptr;
  QPushButton* QuitBtn = nullptr;
  QComboBox* ComboBox2 = nullptr;
  StatusPanels* StatusBar1 = nullptr;
  // Escape while a sweep runs: "測定停止", as the button (enabled only then).
  QShortcut* StopShortcut = nullptr;
  QMenu *MenuFile = nullptr, *MenuMeasure = nullptr, *MenuGraph = nullptr, *MenuRef = nullptr,
        *MenuSet = nullptr, *MenuHelp = nullptr;
  QAction *MenuFile_Open = nullptr, *MenuFile_Save = nullptr, *MenuFile_Close = nullptr,
          *MenuFile_Export = nullptr, *MenuFile_PrintSetup = nullptr, *MenuFile_Print = nullptr,
          *MenuFile_Quit = nullptr, *MenuMeasure_Start = nullptr, *MenuMesure_Calc = nullptr, *MenuMesure_Fit = nullptr,
          *MenuMesure_Box = nullptr,
          *MenuMesure_Part = nullptr, *MenuMesure_Comp = nullptr,
          *MenuGraph_R_only = nullptr, *MenuGraph_Wide = nullptr, *MenuGraph_Ave = nullptr,
          *MenuRef_Open = nullptr, *MenuRef_Close = nullptr, *MenuSet_COM = nullptr,
          *MenuSet_Color = nullptr, *MenuSet_Warning = nullptr, *MenuHelp_Version = nullptr;
  // Owned objects, created by mCreateObjects in this order.
  std::unique_ptr<TK_Message> msgCatalog;
  std::unique_ptr<KStatus> statusTexts;
  std::unique_ptr<KAVO_File> fileHandler;
  // The idle handler's flags.
  uint8_t settingsPending = 0;
  uint8_t statusLayoutPending = 0;
  bool startupFailed = false;
  bool quitConfirmed = false;  // the quit command has asked already
  bool idleArmed = true;       // an event arrived since the last idle pass
  bool idleQueued = false;     // an idle pass has been posted
  bool idleRunning = false;    // inside mAppIdle
  // Idle passes run so far (for tests and benchmarks).
  uint64_t idlePasses = 0;

  // ==== Kavo_main_files.cpp: the measurement and the references in files ====
 public:
  void MenuFile_OpenClick();
  // "開く" without its file dialog: reads `path` as the measurement, with the
  // command's messages and title.
  void mOpenDataFile(const QString& path);
  // The file named on the command line: opened by the first idle pass, after
  // the settings it could otherwise be overwritten by.
  void mOpenAtStart(const QString& path) { startupFile = path; }
  // A file another start of the program handed over: "開く" with `path` for
  // the chosen file (its question about unsaved data first); nothing while
  // the command is not available (a measurement runs).
  void mOpenHanded(const QString& path);
  void MenuFile_SaveClick();
  void MenuFile_CloseClick();
  void MenuFile_ExportClick();
  void MenuRef_OpenClick();
  void MenuRef_CloseClick();
  // The save and export name rule (data/DataSets.h).
  static QString ForceExtension(const QString& name, const QString& ext);
  // The files of what is on show: the references loaded and, with
  // `withMeasurement`, the measurement's file.
  QStringList mFilesShown(bool withMeasurement) const;
  // False when `name` is the file of a reference (or, unless the
  // measurement is saved over its own file, of the measurement), or exists
  // and the user does not agree to overwrite it.
  bool mMaySaveTo(const QString& name, bool overMeasurement);

 private:
  void mReportLoadFailure(const QString& file, LoadFailure failure, const QString& why);
  // "KAVO v2.1", with " / " and fileName when a file is current.
  void mShowFileTitle(bool withFile);
  void mCheckOverRange();
  void mSelectBand(int32_t band);

  DataSets dataSets;
  // The sets under the names the rest of the window knows them by.
  MeasureData& mainData = dataSets.mainData;
  MeasureData (&refData)[MaxRefs] = dataSets.refData;
  PointValues& rawValues = dataSets.rawValues;
  PointValues& aveValues = dataSets.aveValues;
  PointValues (&refRawValues)[MaxRefs] = dataSets.refRawValues;
  PointValues (&refAveValues)[MaxRefs] = dataSets.refAveValues;
  QString& fileName = dataSets.fileName;
  QString startupFile;
  QString (&refFileName)[MaxRefs] = dataSets.refFileName;
  int32_t& refCount = dataSets.refCount;
  uint8_t dataSaved = 0;

  // ==== Kavo_main_settings.cpp: the settings file ====
 public:
  void LoadSettings(const QString& name);
  void SaveSettings();

 private:
  void mRecordGeometry();
  void mWriteSettings(const QString& path);

  SettingsRecord settings;
  ViewSettings view;
  uint8_t geometryApplying = 0;

  // ==== Kavo_main_calc.cpp: "結果を分析", "モデル適合解析" ====
 public:
  void MenuMesure_CalcClick();
  // "モデル適合解析", and "モデル適合..." of the result-analysis window.
  void MenuMesure_FitClick();
  // "箱の解析", and "箱の解析..." of the result-analysis window.
  void MenuMesure_BoxClick();
  // "部品の測定" and "インピーダンス補正": the crossover windows.
  void MenuMesure_PartClick();
  void MenuMesure_CompClick();
  // An analysis window beside this one, made of the measurement on show.
  void mShowAnalysis(TFormAnalysis* window);
  // Another measurement (or none) is on show: the analysis windows drop
  // what they found in the earlier one.
  void mMeasurementChanged();

 private:
  void mPlaceBeside(QWidget& window);
  PointValues smoothValues;
  TSResult tsResult;

  // ==== Kavo_main_qc.cpp: "許容範囲を表示...", the pass/fail verdict ====
 public:
  void MenuRef_ToleranceClick();
  void MenuRef_VerdictClick();
  // "合格" or "不合格：" and the first reason, short, for the measurement
  // under the rules in force, in the state panel; the whole as its tool tip.
  void mShowQcVerdict();
  // The references were cleared: a band built on them goes with them.
  void mRefsCleared();

 private:
  void mSetupQc();
  void mRemoveQc();
  void mRedrawForQc();
  std::shared_ptr<struct QcWindowState> qcState;  // the rules in force, or null
  QAction *MenuRef_Tolerance = nullptr, *MenuRef_Verdict = nullptr;

  // ==== Kavo_main_com.cpp: the COM port command ====
 public:
  void MenuSet_COMClick();

  // ==== Kavo_main_print.cpp: printing, line colours ====
 public:
  void MenuFile_PrintClick();
  void MenuFile_PrintSetupClick();
  void MenuSet_ColorClick();
  // The printer the set-up dialog adjusts and printing uses, for the whole run.
  QPrinter& mPrinter();
  uint8_t printCancelled = 0;
  uint8_t colorCancelled = 0;

 private:
  std::shared_ptr<QPrinter> printer;  // made on first use

  // ==== Kavo_main_graph.cpp: the graph view, forwarded to GraphView and GraphSheet ====
 public:
  void mRedrawMeasurement();
  void mRedrawReferences();
  void mRedrawBoth();
  void mRedrawGraph();
  void FormResize();
  void PaintBox1MouseDown(int x, int y);
  void ComboBox2Change();
  void MenuGraph_R_onlyClick();
  void MenuGraph_WideClick();
  void MenuGraph_AveClick();
  // A curve pair of `owner` drawn dashed in the measurement's colours over
  // the measurement (the fitted model), asked for the band shown; null for
  // none at the time.
  void mSetGraphOverlay(const void* owner, std::function<const PointValues*(int32_t band)> curves);
  // The scale steps and the read-out texts need no window.
  static float mRScaleFor(float m);
  static float mThetaScaleFor(float a);
  static QString mFormatResistance(const PointText& record);
  static QString mFormatPhase(const PointText& record);
  static QString mFormatFrequency(const PointText& record);

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  bool mROnly() const;
  bool mWide() const;
  bool mAveraging() const;
  ViewOptions mViewOptions() const;
  // Points the view at the window's data sets (once, at construction).
  void mBindGraph();
  void mResetGraphScale(int32_t band);
  void mSelectValueArrays();
  float mMainRMax() const;
  float mRefRMax() const;
  float mMainThetaMax() const;
  float mRefThetaMax() const;
  void mScaleForMeasurement();
  void mScaleForReferences();
  void mScaleForBoth();
  int32_t mFindPointIndex(float f) const;
  static QString mPointReadout(const PointText& record);
  // The measurement, with the references when any are loaded.
  void mRedrawWithMeasurement();

  GraphView graphView;    // the scale record and the rules that fill it
  GraphSheet graphSheet;  // paint area, scale labels, plotter
  // The names the window's other units draw and scale by.
  GraphScale& graphScale = graphView.Scale();
  Graph_RTF* graphPlotter = nullptr;  // graphSheet's plotter once created

  // ==== Kavo_main_link.cpp: unit protocol and sweep ====
 public:
  void MStartBtnClick();
  void MenuMeasure_StartClick();
  void mSetBusyUI();
  void mSetIdleUI();
  bool mQuery(const char* command, char* reply, int deadlineMs, int n);
  bool mCommand(const char* command, const char* expected, int deadlineMs);
  bool mOpenPort(int32_t port);
  void mClosePort();
  bool mProbeUnit();
  bool mIdentifyUnit();
  void mStopMeasure();
  void mReleaseCOM();
  void mStartMeasure();
  bool mConnectAndStart();
  void mStartTimeout(int ms);
  void mStopTimeout();
  void Timer1Timer();
  void mAcquireStep();
  void mFinishMeasure();

  QTimer Timer1;

 private:
  // The status text and message of a failed connection; true when connected.
  bool mReportConnect(ConnectResult result);
  bool mConnectUnit();
  void mPrepareSweep(int32_t band);
  bool mStartBand(int32_t band);
  void mEndSweep(SweepEvent event);
  void mDrawNewPoint(int32_t slot, int32_t index);
  void mRedrawCutSweep();
  void mWatchPort(bool on);

  std::unique_ptr<TSerialPortDriver> commDriver;  // created by mCreateObjects
  MeasureSession session;                   // the unit, the receive state of a sweep
  uint8_t completionPending = 0;            // the idle handler runs mFinishMeasure
  // The watchdog interval a sweep uses; tests may shorten it.
  int timeoutMs = DefaultTimeoutMs;
  QSocketNotifier* portNotifier = nullptr;
  bool portSignalled = false;  // the port was readable since the last read
};

}  // namespace kavo

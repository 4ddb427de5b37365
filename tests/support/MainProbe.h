// The tests' one way into the main window's private state: the window keeps
// its state private and befriends this class only.
#pragma once

#include "shell/Kavo_main.h"

namespace kavo {

class TFormMainProbe {
 public:
  explicit TFormMainProbe(TFormMain& window) : w(window) {}
  explicit TFormMainProbe(TFormMain* window) : w(*window) {}

  // ---- measuring: the session, its port and its receive state ----
  MeasureSession& Session() { return w.session; }
  TSerialPortDriver* Driver() const { return w.commDriver; }
  uint8_t PortOpen() const { return w.session.PortOpen(); }
  uint8_t UnitConnected() const { return w.session.UnitConnected(); }
  uint8_t Acquiring() const { return w.session.Acquiring(); }
  uint8_t CompletionPending() const { return w.completionPending; }
  // Neither receiving nor waiting to finish.
  bool SweepOver() const { return !w.session.Acquiring() && !w.completionPending; }
  int32_t PointCount() const { return w.session.PointCount(); }
  int32_t RxCount() const { return w.session.RxCount(); }
  const char* RxBuffer() const { return w.session.RxBuffer(); }
  std::string& UnitSerial() { return w.session.UnitSerial(); }
  int& TimeoutMs() { return w.timeoutMs; }

  // ---- graph: the view, the sheet and the scales ----
  GraphScale& graphScale() const { return w.graphView.Scale(); }
  Graph_RTF* graphPlotter() const { return w.graphSheet.Plotter(); }
  const LabelSlots& axisLabels() const { return w.graphSheet.Labels(); }
  int32_t mFindPointIndex(float f) const { return w.mFindPointIndex(f); }
  float mMainRMax() const { return w.mMainRMax(); }
  float mMainThetaMax() const { return w.mMainThetaMax(); }

  // ---- data sets, files, settings and the window's own state ----
  auto& dataSets() { return w.dataSets; }
  auto& mainData() { return w.mainData; }
  auto& rawValues() { return w.rawValues; }
  auto& aveValues() { return w.aveValues; }
  auto& fileName() { return w.fileName; }
  auto& refData() { return w.refData; }
  auto& refRawValues() { return w.refRawValues; }
  auto& refAveValues() { return w.refAveValues; }
  auto& refFileName() { return w.refFileName; }
  auto& refCount() { return w.refCount; }
  auto& dataSaved() { return w.dataSaved; }
  auto& settings() { return w.settings; }
  auto& view() { return w.view; }
  auto& settingsPending() { return w.settingsPending; }
  auto& statusLayoutPending() { return w.statusLayoutPending; }
  auto& idlePasses() { return w.idlePasses; }
  auto& tsResult() { return w.tsResult; }
  auto* fileHandler() { return w.fileHandler; }
  auto* statusTexts() { return w.statusTexts; }
  auto* PaintBox1() { return w.PaintBox1; }
  auto* MStartBtn() { return w.MStartBtn; }
  auto* QuitBtn() { return w.QuitBtn; }
  auto* ComboBox2() { return w.ComboBox2; }
  auto* StatusBar1() { return w.StatusBar1; }
  auto* MenuFile() { return w.MenuFile; }
  auto* MenuMeasure() { return w.MenuMeasure; }
  auto* MenuGraph() { return w.MenuGraph; }
  auto* MenuRef() { return w.MenuRef; }
  auto* MenuSet() { return w.MenuSet; }
  auto* MenuHelp() { return w.MenuHelp; }
  auto* MenuFile_Open() { return w.MenuFile_Open; }
  auto* MenuFile_Save() { return w.MenuFile_Save; }
  auto* MenuFile_Close() { return w.MenuFile_Close; }
  auto* MenuFile_Export() { return w.MenuFile_Export; }
  auto* MenuFile_PrintSetup() { return w.MenuFile_PrintSetup; }
  auto* MenuFile_Print() { return w.MenuFile_Print; }
  auto* MenuFile_Quit() { return w.MenuFile_Quit; }
  auto* MenuMeasure_Start() { return w.MenuMeasure_Start; }
  auto* MenuMesure_Calc() { return w.MenuMesure_Calc; }
  auto* MenuMesure_Fit() { return w.MenuMesure_Fit; }
  auto* MenuGraph_R_only() { return w.MenuGraph_R_only; }
  auto* MenuGraph_Wide() { return w.MenuGraph_Wide; }
  auto* MenuGraph_Ave() { return w.MenuGraph_Ave; }
  auto* MenuRef_Open() { return w.MenuRef_Open; }
  auto* MenuRef_Close() { return w.MenuRef_Close; }
  auto* MenuSet_COM() { return w.MenuSet_COM; }
  auto* MenuSet_Color() { return w.MenuSet_Color; }
  auto* MenuSet_Warning() { return w.MenuSet_Warning; }
  auto* MenuHelp_Version() { return w.MenuHelp_Version; }

 private:
  TFormMain& w;
};

}  // namespace kavo

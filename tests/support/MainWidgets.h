// The main window's controls as its user sees them, found by their object
// names: no private access needed.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

#include "graph/PaintBox.h"
#include "messages/StatusPanels.h"

namespace kavo {

class MainWidgets {
 public:
  explicit MainWidgets(QWidget& window) : window_(window) {}
  explicit MainWidgets(QWidget* window) : window_(*window) {}

  template <typename T>
  T* Find(const char* name) const {
    return window_.findChild<T*>(QLatin1String(name));
  }

  PaintBox* PaintBox1() const { return Find<PaintBox>("PaintBox1"); }
  QPushButton* MStartBtn() const { return Find<QPushButton>("MStartBtn"); }
  QPushButton* QuitBtn() const { return Find<QPushButton>("QuitBtn"); }
  QComboBox* ComboBox2() const { return Find<QComboBox>("ComboBox2"); }
  StatusPanels* StatusBar1() const { return Find<StatusPanels>("StatusBar1"); }
  QMenu* MenuFile() const { return Find<QMenu>("MenuFile"); }
  QMenu* MenuMeasure() const { return Find<QMenu>("MenuMeasure"); }
  QMenu* MenuGraph() const { return Find<QMenu>("MenuGraph"); }
  QMenu* MenuRef() const { return Find<QMenu>("MenuRef"); }
  QMenu* MenuSet() const { return Find<QMenu>("MenuSet"); }
  QMenu* MenuHelp() const { return Find<QMenu>("MenuHelp"); }
  QAction* MenuFile_Open() const { return Find<QAction>("MenuFile_Open"); }
  QAction* MenuFile_Save() const { return Find<QAction>("MenuFile_Save"); }
  QAction* MenuFile_Close() const { return Find<QAction>("MenuFile_Close"); }
  QAction* MenuFile_Export() const { return Find<QAction>("MenuFile_Export"); }
  QAction* MenuFile_PrintSetup() const { return Find<QAction>("MenuFile_PrintSetup"); }
  QAction* MenuFile_Print() const { return Find<QAction>("MenuFile_Print"); }
  QAction* MenuFile_Quit() const { return Find<QAction>("MenuFile_Quit"); }
  QAction* MenuMeasure_Start() const { return Find<QAction>("MenuMeasure_Start"); }
  QAction* MenuMesure_Calc() const { return Find<QAction>("MenuMesure_Calc"); }
  QAction* MenuMesure_Fit() const { return Find<QAction>("MenuMesure_Fit"); }
  QAction* MenuMesure_Box() const { return Find<QAction>("MenuMesure_Box"); }
  QAction* MenuMesure_Part() const { return Find<QAction>("MenuMesure_Part"); }
  QAction* MenuMesure_Comp() const { return Find<QAction>("MenuMesure_Comp"); }
  QAction* MenuGraph_R_only() const { return Find<QAction>("MenuGraph_R_only"); }
  QAction* MenuGraph_Wide() const { return Find<QAction>("MenuGraph_Wide"); }
  QAction* MenuGraph_Ave() const { return Find<QAction>("MenuGraph_Ave"); }
  QAction* MenuRef_Open() const { return Find<QAction>("MenuRef_Open"); }
  QAction* MenuRef_Close() const { return Find<QAction>("MenuRef_Close"); }
  QAction* MenuSet_COM() const { return Find<QAction>("MenuSet_COM"); }
  QAction* MenuSet_Color() const { return Find<QAction>("MenuSet_Color"); }
  QAction* MenuSet_Warning() const { return Find<QAction>("MenuSet_Warning"); }
  QAction* MenuHelp_Version() const { return Find<QAction>("MenuHelp_Version"); }

 private:
  QWidget& window_;
};

}  // namespace kavo

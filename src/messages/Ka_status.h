// The status-bar texts of the main window. Panel 0 tells the link state,
// panel 1 the state of the current operation, panel 2 the read-outs written
// by the measurement and the graph. Every text goes through SetPanelText,
// which sizes the panel to its text.
#pragma once

#include <QFont>
#include <QPointer>
#include <QString>

namespace kavo {

class StatusPanels;

class KStatus {
 public:
  // The bar is not owned; `lastPanel` is the highest index that may be
  // written (the main window passes 2).
  KStatus(StatusPanels* statusBar, const QString& modelName, int lastPanel);

  KStatus(const KStatus&) = delete;
  KStatus& operator=(const KStatus&) = delete;

  const QString& ModelName() const { return modelName_; }

  // Panel width: 110 px while the text measures up to 100 px in the bar's
  // font, else its width + 20. A panel outside 0..lastPanel is ignored.
  void SetPanelText(const QString& text, int panel);
  void ClearPanel(int panel);
  // Panel 0: model + "/ SN=" + serial + "/ " + version.
  void ShowUnitInfo(const QString& model, const QString& serial, const QString& version);

  // Panel 0: the link.
  void ShowUnitMissing();
  void ShowPortError();
  void ShowReceiveError();
  // Panel 0 emptied when it tells of the receive error of a sweep that is
  // history (another measurement is on show); any other link text stays.
  void ClearReceiveError();
  // Panel 1: the current operation.
  void ShowSendError();
  void ShowResponseError();
  void ShowNotUnit();
  void ShowNotCalibrated();
  void ShowMeasuring();
  void ShowReceiving();
  void ShowCalculating();
  void ShowMeasureDone();
  void ShowMeasureStopped();
  void ShowCalcError();
  void ShowSaveError();
  void ShowExportDone();

  // The panel width for `text` in `font`, by the rule above.
  static int PanelWidthFor(const QFont& font, const QString& text);

  static constexpr int kMinPanelWidth = 110;
  static constexpr int kNarrowTextWidth = 100;
  static constexpr int kTextMargin = 20;

 private:
  // The bar belongs to the main window; a guard keeps a late call harmless.
  QPointer<StatusPanels> statusBar_;
  QString modelName_;
  int lastPanel_;
};

}  // namespace kavo

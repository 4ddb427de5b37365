// Main window: the measurement's commands and the window's side of a sweep.
// The unit's protocol and the receiving belong to `session`; here its
// results become status texts, messages, the watchdog, the button and the
// drawing, one record per idle pass.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSocketNotifier>
#include <utility>

#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "graph/Graph_rtf.h"
#include "link/Spdrv.h"
#include "messages/Ka_message.h"
#include "messages/Ka_status.h"
#include "platform/ComPorts.h"
#include "platform/Names.h"
#include "shell/Kavo_main.h"

namespace kavo {
namespace {

const char* const StartCaption = "測定開始";
const char* const StopCaption = "測定停止";

}  // namespace

// ---- exchanges, forwarded to the session ----

bool TFormMain::mQuery(const char* command, char* reply, int deadlineMs, int n) {
  return session.Query(command, reply, deadlineMs, n);
}

bool TFormMain::mCommand(const char* command, const char* expected, int deadlineMs) {
  return session.Command(command, expected, deadlineMs);
}

bool TFormMain::mOpenPort(int32_t port) { return session.OpenPort(port); }
void TFormMain::mClosePort() { session.ClosePort(); }
bool TFormMain::mProbeUnit() { return session.ProbeUnit(); }
bool TFormMain::mIdentifyUnit() { return mReportConnect(session.IdentifyUnit()); }

void TFormMain::mStopMeasure() {
  if (!session.Engaged()) return;
  mWatchPort(false);
  mStopTimeout();
  session.Stop();
  statusTexts->ShowMeasureStopped();
}

void TFormMain::mReleaseCOM() {
  if (!session.Engaged()) return;
  mWatchPort(false);
  session.Release();
}

// ---- start and stop ----

void TFormMain::MStartBtnClick() {
  MStartBtn->setEnabled(false);
  if (MStartBtn->text() == QString::fromUtf8(StartCaption)) {
    mStartMeasure();
  } else {
    mStopMeasure();
    mSetIdleUI();
    MStartBtn->setText(QString::fromUtf8(StartCaption));
  }
  MStartBtn->setEnabled(true);
}

void TFormMain::MenuMeasure_StartClick() {
  MStartBtn->setEnabled(false);
  mStartMeasure();
  MStartBtn->setEnabled(true);
}

void TFormMain::mSetBusyUI() {
  for (QMenu* menu : {MenuFile, MenuMeasure, MenuGraph, MenuRef, MenuSet, MenuHelp})
    menu->menuAction()->setEnabled(false);
  QuitBtn->setEnabled(false);
  ComboBox2->setEnabled(false);
  StopShortcut->setEnabled(true);
  MStartBtn->setFocus();  // taken up again once the start has returned (eventFilter)
}

void TFormMain::mSetIdleUI() {
  for (QMenu* menu : {MenuFile, MenuMeasure, MenuGraph, MenuRef, MenuSet, MenuHelp})
    menu->menuAction()->setEnabled(true);
  QuitBtn->setEnabled(true);
  ComboBox2->setEnabled(true);
  MStartBtn->setEnabled(true);
  StopShortcut->setEnabled(false);
}

void TFormMain::mStartMeasure() {
  if (mainData.valid && !dataSaved && !msgCatalog->ConfirmDiscardAndMeasure()) return;
  mSetBusyUI();
  MStartBtn->setText(QString::fromUtf8(StopCaption));
  statusTexts->ClearPanel(1);
  statusTexts->ClearPanel(2);
  if (mConnectAndStart()) {
    graphPlotter->Clear();
    graphPlotter->DrawScales(mROnly());
    statusTexts->ShowMeasuring();
  } else {
    mSetIdleUI();
    MStartBtn->setText(QString::fromUtf8(StartCaption));
  }
}

bool TFormMain::mConnectAndStart() {
  if (!mConnectUnit()) return false;
  const int32_t band = ComboBox2->currentIndex() + 1;
  mPrepareSweep(band);
  if (!mStartBand(band)) return false;
  mWatchPort(true);
  mStartTimeout(timeoutMs);
  statusTexts->ShowReceiving();
  return true;
}

bool TFormMain::mConnectUnit() {
  if (!mReportConnect(session.Connect(settings.CommPortNum))) return false;
  statusTexts->ShowUnitInfo(QString::fromLatin1(UnitModelName), FromCp932(session.UnitSerial()),
                            FromCp932(session.UnitVersion()));
  return true;
}

bool TFormMain::mReportConnect(ConnectResult result) {
  switch (result) {
    case ConnectResult::Connected:
      return true;
    case ConnectResult::PortError:
      statusTexts->ShowPortError();
      // A port that is there but refused to this user is told apart.
      if (commDriver && commDriver->LastOpenFailure() == OpenFailure::PermissionDenied) {
        // The device behind a ports/COM<n> link and the group that owns it.
        const DeviceOwner owner = OwnerOf(commDriver->PortName());
        msgCatalog->ShowComAccessError(owner.device.isEmpty() ? commDriver->PortName() : owner.device, owner.group);
      } else
        msgCatalog->ShowComOpenError();
      break;
    case ConnectResult::UnitMissing:
      statusTexts->ShowUnitMissing();
      msgCatalog->ShowUnitNotFound();
      break;
    case ConnectResult::ResponseError:
      statusTexts->ShowResponseError();
      break;
    case ConnectResult::NotUnit:
      statusTexts->ShowNotUnit();
      break;
    case ConnectResult::NotCalibrated:
      statusTexts->ShowNotCalibrated();
      break;
    case ConnectResult::NoDriver:
    case ConnectResult::PortNotOpen:
      break;
  }
  return false;
}

// An empty data set and graph scale for the band, and a fresh receive state.
void TFormMain::mPrepareSweep(int32_t band) {
  mainData.band = band;
  mResetGraphScale(band);
  session.Prepare(band);
  mainData.valid = 0;
  ClearData(mainData);
  mainData.dateTime = NowText();
  fileName.clear();
  setWindowTitle(QString::fromLatin1(ProgramCaption));
}

bool TFormMain::mStartBand(int32_t band) {
  switch (session.StartBand(band)) {
    case BandResult::Started:
      return true;
    case BandResult::Unanswered:
      statusTexts->ShowSendError();
      break;
    case BandResult::Refused:
      msgCatalog->ShowMeasureRefused();
      break;
    case BandResult::Garbage:  // not the answer this program expects either
    case BandResult::Mismatch:
      msgCatalog->ShowVersionMismatch();
      break;
  }
  return false;
}

// ---- watchdog ----

void TFormMain::mStartTimeout(int ms) {
  Timer1.stop();
  Timer1.setInterval(ms);
  session.SetTimeoutExpired(false);
  Timer1.start();
}

void TFormMain::mStopTimeout() { Timer1.stop(); }

void TFormMain::Timer1Timer() {
  Timer1.stop();
  session.SetTimeoutExpired(true);
}

// While a sweep runs, readable data on the port wakes the event loop, so an
// idle pass follows every arrival and the program keeps pace with the line.
void TFormMain::mWatchPort(bool on) {
  delete portNotifier;
  portNotifier = nullptr;
  portSignalled = false;
  if (!on || !commDriver || commDriver->Handle() < 0) return;
  portNotifier = new QSocketNotifier(commDriver->Handle(), QSocketNotifier::Read, this);
  connect(portNotifier, &QSocketNotifier::activated, this, [this] { portSignalled = true; });
}

// ---- receiving ----

void TFormMain::mAcquireStep() {
  const SweepStepResult step = session.Step(mainData, rawValues, aveValues, std::exchange(portSignalled, false));
  if (step.bytesArrived) mStartTimeout(timeoutMs);
  if (EndsSweep(step.event)) {
    mEndSweep(step.event);
    return;
  }
  if (step.event == SweepEvent::Waiting) return;
  statusTexts->SetPanelText(mPointReadout(mainData.points[step.slot]), 2);
  // A record without a divisor stalls the sweep until the watchdog.
  if (step.event == SweepEvent::Unconverted) return;
  if (step.index > 0) mDrawNewPoint(step.slot, step.index);
  // The next record follows on the heels of this one: the next pass goes
  // straight to it rather than waiting in the event loop for its first byte.
  idleArmed = true;
}

// The sweep is complete when the unit closed it with "OK"; every other end
// is a receive error. Either way the unit is told and the window is idle.
void TFormMain::mEndSweep(SweepEvent event) {
  mStopTimeout();
  if (event == SweepEvent::ClosedOk) {
    statusTexts->ShowCalculating();
    completionPending = 1;
  } else {
    statusTexts->ShowReceiveError();
  }
  mReleaseCOM();
  MStartBtn->setText(QString::fromUtf8(StartCaption));
  mSetIdleUI();
}

// One more segment, or the whole curve so far when the R scale has to grow
// (it grows during a sweep only up to 200 ohm).
void TFormMain::mDrawNewPoint(int32_t slot, int32_t index) {
  const float r = rawValues.R[slot];
  if (graphScale.rMax < 200.0f && r > graphScale.rMax) {
    graphScale.rMax = mRScaleFor(r);
    graphPlotter->Clear();
    graphPlotter->DrawMeasurementSoFar(mROnly(), index, mWide());
  } else {
    graphPlotter->DrawSegment(mROnly(), slot, mWide());
  }
}

void TFormMain::mFinishMeasure() {
  if (!fileHandler->ConvertData(&mainData, &rawValues, &aveValues)) {
    statusTexts->ShowCalcError();
    mainData.valid = 0;
    return;
  }
  mainData.valid = 1;
  dataSaved = 0;
  mRedrawWithMeasurement();
  const int32_t band = mainData.band;
  statusTexts->SetPanelText(QStringLiteral("周波数：") + mFormatFrequency(mainData.points[BandFirstSlot(band)]) +
                                QStringLiteral("...") + mFormatFrequency(mainData.points[BandLastSlot(band)]),
                            2);
  statusTexts->ShowMeasureDone();
  mShowQcVerdict();
}

}  // namespace kavo
